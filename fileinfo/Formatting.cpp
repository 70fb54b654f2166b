// CFileInfo's display texts for dates and sizes, in the user's regional settings read at each call.
// Dates are formatted here from the user's pictures rather than by the system's date formatting,
// which refuses years before 1601 (the date value 0 is in 1899).

#include "fileinfo/FileInfo.h"
#include "fileinfo/RegionalText.h"
#include "platform/Locale.h"
#include "platform/Text.h"

namespace korrimat {

namespace {

// The names a date picture spells out, in the user's language.
std::string LocaleDateName(DateName name, int index)
{
    switch (name) {
    case DateName::Day:
        return LocaleText(LOCALE_SDAYNAME1 + static_cast<LCTYPE>(index));
    case DateName::ShortDay:
        return LocaleText(LOCALE_SABBREVDAYNAME1 + static_cast<LCTYPE>(index));
    case DateName::Month:
        return LocaleText(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(index));
    case DateName::ShortMonth:
        return LocaleText(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(index));
    case DateName::Morning:
        return LocaleText(LOCALE_S1159);
    default:
        return LocaleText(LOCALE_S2359);
    }
}

} // namespace

std::string CFileInfo::FormatFileDate(double date) const
{
    const std::optional<DateParts> parts = SplitDateValue(date);
    if (!parts)
        return {};
    return FormatDatePicture(LocaleText(LOCALE_SLONGDATE), *parts, LocaleDateName, NarrowCharacterLength) + " " +
           FormatDatePicture(LocaleText(LOCALE_STIMEFORMAT), *parts, LocaleDateName, NarrowCharacterLength);
}

std::string CFileInfo::FormatFileDay(double date) const
{
    const std::optional<DateParts> parts = SplitDateValue(date);
    return parts ? FormatDatePicture(LocaleText(LOCALE_SSHORTDATE), *parts, LocaleDateName, NarrowCharacterLength)
                 : std::string();
}

std::string CFileInfo::FormatFileSize(std::int64_t bytes) const
{
    // A size under a kibibyte is written in bytes alone: no decimal separator to ask for.
    const std::string group = LocaleText(LOCALE_STHOUSAND);
    return FormatSizeText(bytes, bytes < 1024 ? std::string() : LocaleText(LOCALE_SDECIMAL), group);
}

} // namespace korrimat
