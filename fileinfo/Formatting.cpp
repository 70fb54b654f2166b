// CFileInfo's display texts for dates and sizes, in the user's regional settings read at each call.
// Dates are formatted here from the user's pictures rather than by the system's date formatting,
// which refuses years before 1601 (the date value 0 is in 1899).

#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace korrimat {

namespace {

// A whole number in groups of three ("#,##0").
std::string Grouped(std::uint64_t value, const std::string& separator)
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

// How many characters of `letter` stand from `position` on.
std::size_t RunLength(const std::string& picture, std::size_t position)
{
    std::size_t end = position;
    while (end < picture.size() && picture[end] == picture[position])
        ++end;
    return end - position;
}

// The bytes of the character at `position`: a whole sequence under the UTF-8 code page, a lead
// byte with its trail byte under a double-byte one, else one. Never past the end of the text.
std::size_t CharacterLength(const std::string& text, std::size_t position)
{
    const auto lead = static_cast<BYTE>(text[position]);
    std::size_t length = 1;
    if (::GetACP() == CP_UTF8)
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    else if (::IsDBCSLeadByte(lead))
        length = 2;
    return std::min(length, text.size() - position);
}

class PictureFormatter {
public:
    PictureFormatter(const Platform& platform, const DateParts& parts) : platform_(platform), parts_(parts) {}

    std::string Format(const std::string& picture) const
    {
        std::string text;
        for (std::size_t i = 0; i < picture.size();) {
            const char letter = picture[i];
            if (const std::size_t length = CharacterLength(picture, i); length > 1) {
                // A character of several bytes: a trail byte may look like a picture letter.
                text.append(picture, i, length);
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
    // Literal text up to the closing quote; two quotes stand for one.
    static std::size_t QuotedText(const std::string& picture, std::size_t i, std::string& text)
    {
        while (i < picture.size()) {
            if (const std::size_t length = CharacterLength(picture, i); length > 1) {
                text.append(picture, i, length);
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
            text += count <= 2 ? Number(parts_.day, count) : DayName(count == 3);
            return true;
        case 'M':
            text += count <= 2 ? Number(parts_.month, count) : MonthName(count == 3);
            return true;
        case 'y':
            // "y" and "yy" the year of the century; three letters or more the whole year.
            text += count <= 2 ? Number(parts_.year % 100, count)
                              : Digits(static_cast<std::uint64_t>(parts_.year), 4);
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
            const std::string marker = platform_.LocaleText(parts_.hour < 12 ? LOCALE_S1159 : LOCALE_S2359);
            if (count == 1 && !marker.empty())
                // The first character only, whole, however many bytes it takes.
                text += marker.substr(0, CharacterLength(marker, 0));
            else
                text += marker;
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

    std::string DayName(bool abbreviated) const
    {
        // The system's names run from Monday (1) to Sunday (7).
        const int index = (parts_.dayOfWeek + 6) % 7;
        const LCTYPE first = abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1;
        return platform_.LocaleText(first + static_cast<LCTYPE>(index));
    }

    std::string MonthName(bool abbreviated) const
    {
        const LCTYPE first = abbreviated ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1;
        return platform_.LocaleText(first + static_cast<LCTYPE>(parts_.month - 1));
    }

    const Platform& platform_;
    const DateParts& parts_;
};

constexpr std::array<const char*, 6> kUnits{"KB", "MB", "GB", "TB", "PB", "EB"};

} // namespace

std::string CFileInfo::FormatFileDate(double date) const
{
    const std::optional<DateParts> parts = SplitDateValue(date);
    if (!parts)
        return {};
    const PictureFormatter formatter(*platform_, *parts);
    return formatter.Format(platform_->LocaleText(LOCALE_SLONGDATE)) + " " +
           formatter.Format(platform_->LocaleText(LOCALE_STIMEFORMAT));
}

std::string CFileInfo::FormatFileSize(std::int64_t bytes) const
{
    const std::string group = platform_->LocaleText(LOCALE_STHOUSAND);
    if (bytes < 1024) {
        const std::uint64_t magnitude = bytes < 0 ? 0 - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
        std::string text(bytes < 0 ? "-" : "");
        text += Grouped(magnitude, group);
        text += " bytes";
        return text;
    }
    const std::uint64_t count = static_cast<std::uint64_t>(bytes);

    // The band steps at whole kibibytes of 10, 100, 1,000...: each unit shows "0.00", "0.0",
    // then "0", and the next unit (a power of 1,024) begins at 1,000 of the last.
    const std::size_t band = std::to_string(count / 1024).size() - 1;
    const std::size_t unit = band / 3;
    const int decimals = 2 - static_cast<int>(band % 3);
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
    for (int place = 0; place < decimals; ++place) {
        fraction *= 10;
        rounded = rounded * 10 + (fraction >> shift);
        fraction &= mask;
    }
    if (fraction >= (std::uint64_t{1} << (shift - 1)))
        ++rounded;

    std::string head = std::to_string(rounded / scale);
    if (decimals > 0)
        head += platform_->LocaleText(LOCALE_SDECIMAL) + Digits(rounded % scale, static_cast<std::size_t>(decimals));
    return head + kUnits[unit] + " (" + Grouped(count, group) + " bytes)";
}

} // namespace korrimat
