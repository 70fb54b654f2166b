// The size texts, across the whole signed 64-bit range: a byte count, then the decimal and the
// group separators, each ended by a zero byte.
// Checks against a second way of working it out: the exact count in brackets, grouped again from
// the right, is the count; the head is the count divided by its unit's power of 1,024, rounded
// half away from zero to its band's places, worked out by halving decimal digits where the product
// works on binary fractions.

#include "fileinfo/RegionalText.h"
#include "fuzz/FuzzInput.h"

#include <cstdlib>
#include <string>

using namespace korrimat;

namespace {

// The digits of a count with a separator before every third from the right, written backwards.
std::string GroupedFromTheRight(unsigned long long value, const std::string& separator)
{
    const std::string digits = std::to_string(value);
    std::string reversed;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && i % 3 == 0)
            reversed.append(separator.rbegin(), separator.rend());
        reversed += digits[digits.size() - 1 - i];
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

// A decimal number, halved in place with the remainder dropped.
void Halve(std::string& digits)
{
    int carry = 0;
    for (char& digit : digits) {
        const int value = carry * 10 + (digit - '0');
        digit = static_cast<char>('0' + value / 2);
        carry = value % 2;
    }
    const std::size_t first = digits.find_first_not_of('0');
    digits.erase(0, first == std::string::npos ? digits.size() - 1 : first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const auto bytes = input.Take<std::int64_t>();
    const std::string decimal(input.Piece().substr(0, 4));
    const std::string group(input.Piece().substr(0, 4));
    const std::string text = FormatSizeText(bytes, decimal, group);
    if (bytes < 1024) {
        const unsigned long long magnitude = bytes < 0 ? 0 - static_cast<unsigned long long>(bytes) : bytes;
        if (text != (bytes < 0 ? "-" : "") + GroupedFromTheRight(magnitude, group) + " bytes")
            std::abort();
        return 0;
    }
    const std::string tail = " (" + GroupedFromTheRight(static_cast<unsigned long long>(bytes), group) + " bytes)";
    if (text.size() <= tail.size() || text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        std::abort();
    const std::size_t open = text.size() - tail.size();
    // The band by the digits of the whole kibibytes, the unit and places by the band.
    const std::size_t band = std::to_string(bytes / 1024).size() - 1;
    const int unit = static_cast<int>(band / 3);
    const int places = 2 - static_cast<int>(band % 3);
    // count * 10^places / 2^(10 * (unit + 1)), rounded half up: halve the decimal digits one time
    // less than the power of two, add one, halve once more.
    std::string digits = std::to_string(bytes) + std::string(static_cast<std::size_t>(places), '0');
    for (int halving = 1; halving < 10 * (unit + 1); ++halving)
        Halve(digits);
    const unsigned long long rounded = (std::stoull(digits) + 1) / 2;
    const unsigned long long scale = places == 2 ? 100 : places == 1 ? 10 : 1;
    std::string expected = std::to_string(rounded / scale);
    if (places > 0) {
        const std::string fraction = std::to_string(rounded % scale);
        expected += decimal + std::string(static_cast<std::size_t>(places) - fraction.size(), '0') + fraction;
    }
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    if (text.substr(0, open) != expected + units[unit])
        std::abort();
    return 0;
}
