#pragma once
// The date and size texts of the General page, made from the user's regional settings handed in
// as text (date pictures, names, separators): text the user controls. Plain standard C++ with no
// system call, so that it can be fuzzed on any system.

#include "fileinfo/DateValue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace korrimat {

// The names a date picture may ask for.
enum class DateName {
    Day,         // "dddd"; index 0 is Monday
    ShortDay,    // "ddd"
    Month,       // "MMMM"; index 0 is January
    ShortMonth,  // "MMM"
    Morning,     // "tt" before noon
    Afternoon,   // "tt" from noon on
};

// The user's text for a name, asked for only when a picture uses it.
using DateNames = std::function<std::string(DateName name, int index)>;
// How many bytes the character at a position takes in the text's code page: at least one, and
// never past the end of the text.
using CharacterLength = std::size_t (*)(std::string_view text, std::size_t position);

// A date and time written by a picture of the user's ("dddd, MMMM dd, yyyy", "h:mm:ss tt"):
// letters stand for fields, quoted text for itself, and a character of several bytes is never
// taken apart.
std::string FormatDatePicture(std::string_view picture, const DateParts& parts, const DateNames& names,
                              CharacterLength characterLength);

// A byte count: "123 bytes" below one kibibyte, else the count in the largest unit that keeps
// three digits, to two, one or no places ("1.50KB", "15.0MB", "150GB"), with the exact count
// grouped in threes ("(1,536 bytes)"). Halves round away from zero.
std::string FormatSizeText(std::int64_t bytes, std::string_view decimalSeparator, std::string_view groupSeparator);

} // namespace korrimat
