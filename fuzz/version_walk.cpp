// The walk that decides whether the system's queries may touch a version image, and the full
// reading of the resource built on the same block walk: any bytes as an image. Beyond what the
// sanitizers watch, the two must agree with each other and with a larger buffer:
// - what the check passes, the full reading reads whole (it looks at no block the check skipped);
// - bytes after the root block change nothing the reading finds, and cannot make the check
//   refuse an image it passed (the check asks only for room after the root).

#include "formats/VersionImageCheck.h"
#include "formats/VersionResource.h"

#include <cstdlib>
#include <vector>

using namespace korrimat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> image(data, size);
    const bool walkable = VersionImageIsWalkable(image);
    const VersionResourceContents contents = ReadVersionResource(image);
    if (walkable && !contents.whole)
        std::abort();
    for (const VersionStringTable& table : contents.tables)
        for (const VersionString& item : table.strings)
            if ((item.key.size() + item.value.size()) * 2 > size)
                std::abort();

    const std::size_t rootLength = size < 2 ? 0 : static_cast<std::size_t>(data[0] | data[1] << 8);
    if (rootLength <= size) {
        std::vector<std::uint8_t> longer(data, data + size);
        longer.resize(size + 2 * rootLength + 8, 0xCD);
        if (ReadVersionResource(longer) != contents)
            std::abort();
        if (walkable && !VersionImageIsWalkable(longer))
            std::abort();
    }
    return 0;
}
