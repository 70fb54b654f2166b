// Any bytes as a file's Zone.Identifier stream. Beyond what the sanitizers watch:
// - an unreadable stream has nothing else set; a readable one has its zone's name, or its number
//   when the zone has none, and no empty address and no address with a control character;
// - the same text with a UTF-8 byte order mark before it, or with Windows line endings for Unix
//   ones, reads the same.

#include "formats/DownloadOrigin.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace korrimat;

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void CheckAddress(const std::optional<std::string>& address)
{
    if (!address)
        return;
    Check(!address->empty());
    for (const char c : *address)
        Check(static_cast<unsigned char>(c) >= 0x20 || c == '\t');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const DownloadOrigin origin = ReadDownloadOrigin(bytes);
    if (!origin.readable) {
        Check(origin == DownloadOrigin{});
    } else {
        const std::string_view name = ZoneName(origin.zoneId);
        Check(origin.zone == (name.empty() ? std::to_string(origin.zoneId) : std::string(name)));
        CheckAddress(origin.hostUrl);
        CheckAddress(origin.referrerUrl);
    }

    const bool startsWithMark = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    const bool startsWithWideMark = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    if (size + 3 <= kZoneIdentifierLargest && !startsWithMark && !startsWithWideMark) {
        std::vector<std::uint8_t> marked{0xEF, 0xBB, 0xBF};
        marked.insert(marked.end(), data, data + size);
        Check(ReadDownloadOrigin(marked) == origin);
    }

    std::vector<std::uint8_t> windowsEndings;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r'))
            windowsEndings.push_back('\r');
        windowsEndings.push_back(data[i]);
    }
    if (windowsEndings.size() <= kZoneIdentifierLargest && !startsWithWideMark)
        Check(ReadDownloadOrigin(windowsEndings) == origin);
    return 0;
}
