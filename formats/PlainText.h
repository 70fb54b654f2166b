#pragma once
// Small text helpers that call no system: digits, hexadecimal, trimming, ASCII case, UTF-8.

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

// The ASCII letter in lower case; every other byte, UTF-8 included, as it is.
constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Alike but for the case of ASCII letters: the names the file formats compare this way are ASCII.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

// Well-formed UTF-8 only: no stray or missing continuation, no overlong form, no surrogate,
// nothing past U+10FFFF.
inline bool IsWellFormedUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8CharacterLength(text, i);
        // The second byte's range is narrower after the leads that could begin a wrong form.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead == 0xE0)
            low = 0xA0;  // overlong
        else if (lead == 0xED)
            high = 0x9F;  // surrogates
        else if (lead == 0xF0)
            low = 0x90;  // overlong
        else if (lead == 0xF4)
            high = 0x8F;  // past U+10FFFF
        const bool goodLead = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
        const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (!goodLead || length != expected)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
}

// A code point's UTF-8 bytes appended (the caller gives a scalar value, no surrogate).
inline void AppendUtf8(std::string& text, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace korrimat
