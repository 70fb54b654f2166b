// The reading of a signature's bytes without the system: any bytes as a file for the place of
// its signature, and the signature's time-stamp token and counter-signature times. The reader
// stops the run if it is asked for a byte outside the file; a table said to be present must lie
// inside the file with its first entry inside it, and a time found must be a real calendar time.

#include "fuzz/FuzzBytes.h"
#include "formats/SignatureBytes.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>

using namespace korrimat;

namespace {

void CheckTime(const std::optional<SignatureTime>& time)
{
    if (time && (time->year < 0 || time->year > 9999 || time->month < 1 || time->month > 12 || time->day < 1
                 || time->day > 31 || time->hour > 23 || time->minute > 59 || time->second > 59))
        std::abort();
}

// Each place after an attribute's type where a value could start: the time readers must take any
// of them, as the system would hand them over.
void ReadTimesAfter(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> type)
{
    auto at = bytes.begin();
    while ((at = std::search(at, bytes.end(), type.begin(), type.end())) != bytes.end()) {
        at += static_cast<std::ptrdiff_t>(type.size());
        const auto rest = bytes.subspan(static_cast<std::size_t>(at - bytes.begin()));
        // Past the SET that holds the values: its tag and a short or long length.
        for (std::size_t skip = 2; skip <= 6 && skip < rest.size(); ++skip) {
            CheckTime(TimeStampTokenTime(rest.subspan(skip)));
            CheckTime(CounterSignatureTime(rest.subspan(skip)));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const EmbeddedSignaturePlace place = FindEmbeddedSignature(fuzz::StrictBytes(data, size));
    if (place.state == EmbeddedSignaturePlace::State::Present
        && (place.offset > size || place.size > size - place.offset || place.entryLength <= 8
            || place.entryLength > place.size))
        std::abort();
    const std::span<const std::uint8_t> bytes(data, size);
    CheckTime(TimeStampTokenTime(bytes));
    CheckTime(CounterSignatureTime(bytes));
    // 1.3.6.1.4.1.311.3.3.1, the RFC 3161 token's attribute, and 1.2.840.113549.1.9.6, the
    // counter-signature's, as DER writes them.
    static constexpr std::array<std::uint8_t, 12> kTokenType = {0x06, 0x0A, 0x2B, 0x06, 0x01, 0x04, 0x01,
                                                                0x82, 0x37, 0x03, 0x03, 0x01};
    static constexpr std::array<std::uint8_t, 11> kCounterType = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                                                  0xF7, 0x0D, 0x01, 0x09, 0x06};
    ReadTimesAfter(bytes, kTokenType);
    ReadTimesAfter(bytes, kCounterType);
    return 0;
}
