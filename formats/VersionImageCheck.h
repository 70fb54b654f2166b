#pragma once
// Whether a version image can be queried safely. The system's query trusts the lengths written
// in the image: it steps from child block to child block by them, and for text asked for in the
// narrow character set it writes the converted text after the resource, at an offset the root
// block's length gives. A damaged length makes it read, and write, outside the image.
// Plain bytes in, no system call and no Windows header (VersionBlocks.h).

#include <cstdint>
#include <span>

namespace korrimat {

// True when the root block, and the same room again after it plus four bytes (where narrow
// text goes), lie inside the image; the root block is binary or text, as every 32-bit resource's
// is; and every block a query for the root, the translation table or a string item can reach
// lies inside its parent, ends its key inside itself and its value inside the root block.
// `image` is what the system read, without any byte the caller added after it.
bool VersionImageIsWalkable(std::span<const std::uint8_t> image);

} // namespace korrimat
