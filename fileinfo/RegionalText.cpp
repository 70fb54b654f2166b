#include "fileinfo/RegionalText.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>

namespace korrimat {

namespace {

// A whole number in groups of three ("#,##0").
std::string Grouped(std::uint64_t value, std::string_view separator)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

// How many characters of the letter at `position` stand from there on.
std::size_t RunLength(std::string_view picture, std::size_t position)
{
    std::size_t end = position;
    while (end < picture.size() && picture[end] == picture[position])
        ++end;
    return end - position;
}

class PictureFormatter {
public:
    PictureFormatter(const DateParts& parts, const DateNames& names, CharacterLength characterLength)
        : parts_(parts), names_(names), characterLength_(characterLength)
    {
    }

    std::string Format(std::string_view picture) const
    {
        std::string text;
        for (std::size_t i = 0; i < picture.size();) {
            const char letter = picture[i];
            if (const std::size_t length = Length(picture, i); length > 1) {
                // A character of several bytes: a trail byte may look like a picture letter.
                text.append(picture.substr(i, length));
                i += length;
                continue;
            }
            if (letter == '\'') {
                i = QuotedText(picture, i + 1, text);
                continue;
            }
            const std::size_t count = RunLength(picture, i);
            if (!Field(letter, count, text))
                text.append(count, letter);
            i += count;
        }
        return text;
    }

private:
    // The character's bytes, at least one and never past the end, whatever the code page says.
    std::size_t Length(std::string_view text, std::size_t position) const
    {
        return std::clamp<std::size_t>(characterLength_(text, position), 1, text.size() - position);
    }

    // Literal text up to the closing quote; two quotes stand for one.
    std::size_t QuotedText(std::string_view picture, std::size_t i, std::string& text) const
    {
        while (i < picture.size()) {
            if (const std::size_t length = Length(picture, i); length > 1) {
                text.append(picture.substr(i, length));
                i += length;
                continue;
            }
            if (picture[i] == '\'') {
                if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                    text += '\'';
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            text += picture[i++];
        }
        return i;
    }

    bool Field(char letter, std::size_t count, std::string& text) const
    {
        const int hour12 = parts_.hour % 12 == 0 ? 12 : parts_.hour % 12;
        switch (letter) {
        case 'd':
            // The names run from Monday (0) to Sunday (6).
            text += count <= 2 ? Number(parts_.day, count)
                               : names_(count == 3 ? DateName::ShortDay : DateName::Day, (parts_.dayOfWeek + 6) % 7);
            return true;
        case 'M':
            text += count <= 2 ? Number(parts_.month, count)
                               : names_(count == 3 ? DateName::ShortMonth : DateName::Month, parts_.month - 1);
            return true;
        case 'y':
            // "y" and "yy" the year of the century; three letters or more the whole year.
            text += count <= 2 ? Number(parts_.year % 100, count) : Digits(static_cast<std::uint64_t>(parts_.year), 4);
            return true;
        case 'g':
            // Every date value falls in one era of the Gregorian calendar (years 100 to 9999).
            text += "A.D.";
            return true;
        case 'h':
            text += Number(hour12, count);
            return true;
        case 'H':
            text += Number(parts_.hour, count);
            return true;
        case 'm':
            text += Number(parts_.minute, count);
            return true;
        case 's':
            text += Number(parts_.second, count);
            return true;
        case 't': {
            const std::string marker = names_(parts_.hour < 12 ? DateName::Morning : DateName::Afternoon, 0);
            // One letter: the first character only, whole, however many bytes it takes.
            text += count == 1 && !marker.empty() ? marker.substr(0, Length(marker, 0)) : marker;
            return true;
        }
        default:
            return false;
        }
    }

    // One letter: no leading zero; two or more: two digits.
    static std::string Number(int value, std::size_t count)
    {
        return Digits(static_cast<std::uint64_t>(value), count < 2 ? 1 : 2);
    }

    const DateParts& parts_;
    const DateNames& names_;
    CharacterLength characterLength_;
};

constexpr std::array<const char*, 6> kUnits{"KB", "MB", "GB", "TB", "PB", "EB"};

} // namespace

std::string FormatDatePicture(std::string_view picture, const DateParts& parts, const DateNames& names,
                              CharacterLength characterLength)
{
    return PictureFormatter(parts, names, characterLength).Format(picture);
}

std::string FormatSizeText(std::int64_t bytes, std::string_view decimalSeparator, std::string_view groupSeparator)
{
    if (bytes < 1024) {
        const std::uint64_t magnitude = bytes < 0 ? 0 - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
        std::string text = bytes < 0 ? "-" : "";
        text += Grouped(magnitude, groupSeparator);
        text += " bytes";
        return text;
    }
    const auto count = static_cast<std::uint64_t>(bytes);

    // The band steps at whole kibibytes of 10, 100, 1,000...: each unit shows "0.00", "0.0",
    // then "0", and the next unit (a power of 1,024) begins at 1,000 of the last.
    const std::size_t band = std::to_string(count / 1024).size() - 1;
    const std::size_t unit = band / 3;
    const std::size_t decimals = 2 - band % 3;
    const std::uint64_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;

    // The head is count / 1024^(unit+1) to `decimals` places, worked out digit by digit in whole
    // numbers. Such a quotient is a finite binary fraction, so a true half (1,152 bytes is 1.125KB)
    // is seen as exactly half and rounds away from zero, where printing a double would round it to
    // even (1.12). No count gives a value like 1.005, whose half a double cannot hold; its nearest
    // neighbours, 1,029 bytes (1.0048828125KB) and 1,030 bytes (1.005859375KB), round by their
    // exact values to 1.00 and 1.01.
    const unsigned shift = 10 * static_cast<unsigned>(unit + 1);
    const std::uint64_t mask = (std::uint64_t{1} << shift) - 1;
    std::uint64_t rounded = count >> shift;
    std::uint64_t fraction = count & mask;  // below 2^60, so ten times it still fits
    for (std::size_t place = 0; place < decimals; ++place) {
        fraction *= 10;
        rounded = rounded * 10 + (fraction >> shift);
        fraction &= mask;
    }
    if (fraction >= (std::uint64_t{1} << (shift - 1)))
        ++rounded;

    std::string head = std::to_string(rounded / scale);
    if (decimals > 0)
        head += std::string(decimalSeparator) + Digits(rounded % scale, decimals);
    return head + kUnits[unit] + " (" + Grouped(count, groupSeparator) + " bytes)";
}

} // namespace korrimat
