#include "versioninfo/VersionImageCheck.h"

#include <cstddef>

namespace korrimat {
namespace {

// Every block starts with three words: its length, its value's length and its type.
constexpr std::size_t kHeaderSize = 6;
// The root, StringFileInfo or VarFileInfo, a string table or Translation, a string item: the
// queries made never look for a child below that.
constexpr int kDeepestLevel = 3;

constexpr std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

class BlockWalk {
public:
    BlockWalk(std::span<const BYTE> image, std::size_t rootEnd) : image_(image), rootEnd_(rootEnd) {}

    // The block at `begin` and, down to the deepest level, its children, all before `limit`.
    bool Walkable(std::size_t begin, std::size_t limit, int level) const
    {
        if (begin >= limit || limit - begin < kHeaderSize)
            return false;
        const std::size_t length = WordAt(begin);
        const std::size_t valueLength = WordAt(begin + 2);
        const bool text = WordAt(begin + 4) != 0;
        // A length of zero would name the block itself as its next sibling.
        if (length < kHeaderSize || length > limit - begin)
            return false;
        const std::size_t end = begin + length;

        // The key: UTF-16 text that ends in a zero character inside the block.
        std::size_t at = begin + kHeaderSize;
        while (at + 2 <= end && WordAt(at) != 0)
            at += 2;
        if (at + 2 > end)
            return false;

        // The query aligns from the block's own start, and counts a text value in characters.
        const std::size_t value = begin + Align4(at + 2 - begin);
        const std::size_t valueSize = valueLength * (text ? 2 : 1);
        if (value > rootEnd_ || valueSize > rootEnd_ - value)
            return false;
        if (level == kDeepestLevel)
            return true;

        for (std::size_t child = begin + Align4(value - begin + valueSize); child < end;) {
            if (!Walkable(child, end, level + 1))
                return false;
            child += Align4(WordAt(child));
        }
        return true;
    }

private:
    std::size_t WordAt(std::size_t offset) const
    {
        return static_cast<std::size_t>(image_[offset]) | (static_cast<std::size_t>(image_[offset + 1]) << 8);
    }

    std::span<const BYTE> image_;
    std::size_t rootEnd_;
};

} // namespace

bool VersionImageIsWalkable(std::span<const BYTE> image)
{
    if (image.size() < kHeaderSize)
        return false;
    const std::size_t rootLength = static_cast<std::size_t>(image[0]) | (static_cast<std::size_t>(image[1]) << 8);
    if (2 * rootLength + 4 > image.size())
        return false;
    // Any other type would have its low byte read as the first character of a 16-bit
    // resource's key, and the image walked by that other layout.
    const std::size_t rootType = static_cast<std::size_t>(image[4]) | (static_cast<std::size_t>(image[5]) << 8);
    if (rootType > 1)
        return false;
    return BlockWalk(image, rootLength).Walkable(0, rootLength, 0);
}

} // namespace korrimat
