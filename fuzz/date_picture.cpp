// The date and time pictures of the user's regional settings: a date value, then the picture and
// the names it may ask for, each ended by a zero byte.
// Checks: a picture and names in whole UTF-8 characters give a text in whole UTF-8 characters
// (no character is ever cut, "t" included); a date outside the years 100 to 9999 gives no parts.

#include "fileinfo/RegionalText.h"
#include "fuzz/FuzzInput.h"
#include "platform/Text.h"

#include <cmath>
#include <cstdlib>
#include <string>

using namespace korrimat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const double date = input.Take<double>();
    const std::string picture(input.Piece());
    const std::string name(input.Piece());
    const std::string marker(input.Piece());

    const std::optional<DateParts> parts = SplitDateValue(date);
    if (!parts)
        return 0;
    if (parts->year < kFirstDateYear || parts->year > kLastDateYear || parts->month < 1 || parts->month > 12 ||
        parts->day < 1 || parts->day > 31 || parts->hour > 23 || parts->minute > 59 || parts->second > 59)
        std::abort();

    const DateNames names = [&](DateName which, int index) {
        if (index < 0 || index > 11)
            std::abort();  // a day or month name that does not exist
        return which == DateName::Morning || which == DateName::Afternoon ? marker : name;
    };
    const std::string text = FormatDatePicture(picture, *parts, names, Utf8CharacterLength);
    if (fuzz::IsUtf8(picture) && fuzz::IsUtf8(name) && fuzz::IsUtf8(marker) && !fuzz::IsUtf8(text))
        std::abort();
    return 0;
}
