#include "formats/VersionImageCheck.h"

#include "formats/VersionBlocks.h"

#include <cstddef>

namespace korrimat {
namespace {

// The root, StringFileInfo or VarFileInfo, a string table or Translation, a string item: the
// queries made never look for a child below that.
constexpr int kDeepestLevel = 3;

// The block and, down to the deepest level, its children; every value before the root's end,
// where the system's query lets it lie.
bool Walkable(std::span<const std::uint8_t> image, const VersionBlock& block, std::size_t rootEnd, int level)
{
    if (level == kDeepestLevel)
        return true;
    bool walkable = true;
    const bool whole = ForEachChildBlock(image, block, rootEnd, [&](const VersionBlock& child) {
        walkable = walkable && Walkable(image, child, rootEnd, level + 1);
    });
    return whole && walkable;
}

} // namespace

bool VersionImageIsWalkable(std::span<const std::uint8_t> image)
{
    if (image.size() < 6)
        return false;
    const std::size_t rootLength = VersionWord(image, 0);
    if (2 * rootLength + 4 > image.size())
        return false;
    // Any other type would have its low byte read as the first character of a 16-bit
    // resource's key, and the image walked by that other layout.
    if (VersionWord(image, 4) > 1)
        return false;
    const auto root = ReadVersionBlock(image, 0, rootLength, rootLength);
    return root && Walkable(image, *root, rootLength, 0);
}

} // namespace korrimat
