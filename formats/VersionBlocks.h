#pragma once
// The blocks of a 32-bit version resource, read with every length checked: the one walk that
// both the check made before the system's queries (VersionImageCheck.h) and the full reading of
// a resource (VersionResource.h) are built on. Each block is three 16-bit words (its length, its
// value's length and its type: 1 for text, 0 for binary), a UTF-16 key ending in a zero, padding
// to four bytes from the block's start, the value, padding again, then its child blocks.
// Plain bytes in, no system call and no Windows header, so that it can be fuzzed anywhere.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korrimat {

struct VersionBlock {
    std::size_t begin = 0;      // offset of the block in the image
    std::size_t end = 0;        // begin plus the block's length
    std::size_t key = 0;        // offset of the key's first character
    std::size_t keyLength = 0;  // in characters, without the terminating zero
    std::size_t value = 0;      // offset of the value
    std::size_t valueSize = 0;  // in bytes; a text value's length counts characters
    bool text = false;
    std::size_t children = 0;   // where the first child would start
};

// The block at `begin`, which must lie whole before `limit` with its key ending inside it and
// its value before `valueLimit`; nothing when it does not.
std::optional<VersionBlock> ReadVersionBlock(std::span<const std::uint8_t> image, std::size_t begin,
                                             std::size_t limit, std::size_t valueLimit);

// Calls `visit` for each child of `parent` in order, each read with its value before
// `valueLimit`. False when a child does not fit: it and the children after it are not visited.
bool ForEachChildBlock(std::span<const std::uint8_t> image, const VersionBlock& parent, std::size_t valueLimit,
                       const std::function<void(const VersionBlock&)>& visit);

// The 16-bit little-endian word at `offset` (which the caller has checked).
inline std::uint16_t VersionWord(std::span<const std::uint8_t> image, std::size_t offset)
{
    return static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
}

// The block's key.
std::u16string VersionBlockKey(std::span<const std::uint8_t> image, const VersionBlock& block);
// Whether the key is exactly this text (of plain ASCII letters).
bool VersionKeyIs(std::span<const std::uint8_t> image, const VersionBlock& block, std::string_view key);

} // namespace korrimat
