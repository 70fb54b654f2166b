#pragma once
// Small text helpers that call no system: digits, hexadecimal, trimming, UTF-8 character lengths.

#include <cstddef>
#include <cstdint>
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

} // namespace korrimat
