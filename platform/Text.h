#pragma once
// Small text helpers: digits, trimming, and the conversions between the active code page (UTF-8
// under Korrimat's manifest) and UTF-16. Only the conversions call the system.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korrimat {

// Decimal digits, zero-filled on the left to at least `width`; a longer number is never cut.
inline std::string Digits(std::uint64_t value, std::size_t width = 1)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

// Hexadecimal digits, zero-filled on the left to `width` (only the low 4 * width bits count).
inline std::string HexDigits(std::uint64_t value, std::size_t width, bool lowerCase = false)
{
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string text(width, '0');
    for (std::size_t i = width; i-- > 0; value >>= 4)
        text[i] = digits[value & 0xF];
    return text;
}

// The text without the spaces at either end.
inline std::string TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The bytes of the UTF-8 character at a position, by its lead byte; never past the end.
inline std::size_t Utf8CharacterLength(std::string_view text, std::size_t position)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length < text.size() - position ? length : text.size() - position;
}

// Conversions between the active code page and UTF-16, whole characters at a time.
std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);
// The narrow form of a name that must stay the same name: nothing when a character has no place
// in the code page (no best-fit letters, which could name another, existing file).
std::optional<std::string> ExactNarrowText(std::wstring_view text);

// The bytes of the character at a position in the active code page: a whole sequence under
// UTF-8, a lead byte with its trail byte under a double-byte code page, else one; never past the
// end of the text.
std::size_t NarrowCharacterLength(std::string_view text, std::size_t position);

} // namespace korrimat
