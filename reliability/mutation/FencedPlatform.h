#pragma once
// The real platform, with every version query run on a copy of the image that ends where
// inaccessible memory begins. A query that reads or writes past the image then faults at once,
// in the file that made it do so, instead of quietly damaging the heap and failing later on
// another file. Otherwise it answers exactly as the real query does.

#include "platform/Platform.h"
#include "platform/UniqueHandle.h"

#include <span>

namespace korrimat::mutation {

struct VirtualMemoryTraits {
    using Handle = void*;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle memory) noexcept { ::VirtualFree(memory, 0, MEM_RELEASE); }
};
using UniqueVirtualMemory = UniqueHandle<VirtualMemoryTraits>;

// A copy of some bytes whose last byte is followed by a page that may not be touched.
class FencedCopy {
public:
    explicit FencedCopy(std::span<const BYTE> bytes);
    // False when the memory could not be had: Bytes() is then empty.
    bool Fenced() const noexcept { return static_cast<bool>(memory_); }
    std::span<BYTE> Bytes() const noexcept { return bytes_; }

private:
    UniqueVirtualMemory memory_;
    std::span<BYTE> bytes_;
};

class FencedVersions : public VersionResources {
public:
    std::optional<VersionValue> Query(std::span<const BYTE> image, const std::string& subBlock) const override;
};

// The real platform with the fenced version queries.
class FencedPlatform : private FencedVersions, public Platform {
public:
    FencedPlatform() : Platform(SystemPlatform().With(static_cast<const FencedVersions&>(*this))) {}
};

} // namespace korrimat::mutation
