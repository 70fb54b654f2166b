#include "formats/VersionBlocks.h"

namespace korrimat {

namespace {

constexpr std::size_t kHeaderSize = 6;

constexpr std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

} // namespace

std::optional<VersionBlock> ReadVersionBlock(std::span<const std::uint8_t> image, std::size_t begin,
                                             std::size_t limit, std::size_t valueLimit)
{
    if (limit > image.size() || begin >= limit || limit - begin < kHeaderSize)
        return std::nullopt;
    const std::size_t length = VersionWord(image, begin);
    const std::size_t valueLength = VersionWord(image, begin + 2);
    VersionBlock block;
    block.begin = begin;
    block.text = VersionWord(image, begin + 4) != 0;
    // A length of zero would name the block itself as its next sibling.
    if (length < kHeaderSize || length > limit - begin)
        return std::nullopt;
    block.end = begin + length;

    // The key: UTF-16 text that ends in a zero character inside the block.
    block.key = begin + kHeaderSize;
    std::size_t at = block.key;
    while (at + 2 <= block.end && VersionWord(image, at) != 0)
        at += 2;
    if (at + 2 > block.end)
        return std::nullopt;
    block.keyLength = (at - block.key) / 2;

    // The system's query aligns from the block's own start, and counts a text value in characters.
    block.value = begin + Align4(at + 2 - begin);
    block.valueSize = valueLength * (block.text ? 2 : 1);
    if (valueLimit > image.size() || block.value > valueLimit || block.valueSize > valueLimit - block.value)
        return std::nullopt;
    block.children = begin + Align4(block.value - begin + block.valueSize);
    return block;
}

bool ForEachChildBlock(std::span<const std::uint8_t> image, const VersionBlock& parent, std::size_t valueLimit,
                       const std::function<void(const VersionBlock&)>& visit)
{
    // Every block is at least six bytes long, so each step moves on.
    for (std::size_t child = parent.children; child < parent.end;) {
        const std::optional<VersionBlock> block = ReadVersionBlock(image, child, parent.end, valueLimit);
        if (!block)
            return false;
        visit(*block);
        child += Align4(block->end - block->begin);
    }
    return true;
}

std::u16string VersionBlockKey(std::span<const std::uint8_t> image, const VersionBlock& block)
{
    std::u16string key;
    key.reserve(block.keyLength);
    for (std::size_t i = 0; i < block.keyLength; ++i)
        key.push_back(static_cast<char16_t>(VersionWord(image, block.key + 2 * i)));
    return key;
}

bool VersionKeyIs(std::span<const std::uint8_t> image, const VersionBlock& block, std::string_view key)
{
    if (block.keyLength != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (VersionWord(image, block.key + 2 * i) != static_cast<unsigned char>(key[i]))
            return false;
    }
    return true;
}

} // namespace korrimat
