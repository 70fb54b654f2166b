#include "fileinfo/DateValue.h"

#include <cmath>

namespace korrimat {

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (the civil-from-days pair below).
long long DaysFromCivil(long long year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr long long kDayZeroFrom1970 = -25569;  // 30 December 1899

} // namespace

double DateValueOf(int year, int month, int day, int hour, int minute, int second)
{
    const long long dayNumber = DaysFromCivil(year, month, day) - kDayZeroFrom1970;
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before day 0 the time still counts forwards from the day's midnight.
    return dayNumber < 0 ? static_cast<double>(dayNumber) - time : static_cast<double>(dayNumber) + time;
}

std::optional<DateParts> SplitDateValue(double date)
{
    if (!std::isfinite(date) || std::fabs(date) > 3.0e6)
        return std::nullopt;
    long long dayNumber = static_cast<long long>(std::trunc(date));
    long long seconds = std::llround(std::fabs(date - static_cast<double>(dayNumber)) * 86400.0);
    if (seconds >= 86400) {
        // Rounded up to the next midnight: the following calendar day, on either side of day 0
        // (before day 0 too the time counts forwards from the day's own midnight).
        seconds -= 86400;
        dayNumber += 1;
    }
    DateParts parts;
    CivilFromDays(dayNumber + kDayZeroFrom1970, parts.year, parts.month, parts.day);
    if (parts.year < kFirstDateYear || parts.year > kLastDateYear)
        return std::nullopt;
    // Day 0 was a Saturday.
    parts.dayOfWeek = static_cast<int>(((dayNumber % 7) + 7 + 6) % 7);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

} // namespace korrimat
