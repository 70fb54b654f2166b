#pragma once
// Date values: days since 30 December 1899 (day 0) with the time of day as the fraction. A
// negative value reads with its whole part, towards zero, as the day and its absolute fraction
// as the time: -1.25 is 29 December 1899, 06:00.

#include <optional>

namespace korrimat {

inline constexpr unsigned short kFirstDateYear = 100;
inline constexpr unsigned short kLastDateYear = 9999;

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int dayOfWeek = 6;  // 0 is Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The date value of a calendar day and time of day (proleptic Gregorian calendar).
double DateValueOf(int year, int month, int day, int hour, int minute, int second);

// The calendar day and time, to the nearest second; nothing outside the years 100 to 9999.
std::optional<DateParts> SplitDateValue(double date);

} // namespace korrimat
