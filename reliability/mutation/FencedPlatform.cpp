#include "reliability/mutation/FencedPlatform.h"

#include <cstdint>
#include <cstring>

namespace korrimat::mutation {
namespace {

std::size_t PageSize()
{
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return system.dwPageSize;
}

} // namespace

FencedCopy::FencedCopy(std::span<const BYTE> bytes)
{
    static const std::size_t page = PageSize();
    const std::size_t body = (bytes.size() / page + 1) * page;
    UniqueVirtualMemory memory(::VirtualAlloc(nullptr, body + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD previous = 0;
    if (!memory || !::VirtualProtect(static_cast<BYTE*>(memory.Get()) + body, page, PAGE_NOACCESS, &previous))
        return;
    memory_ = std::move(memory);
    BYTE* const copy = static_cast<BYTE*>(memory_.Get()) + body - bytes.size();
    if (!bytes.empty())
        std::memcpy(copy, bytes.data(), bytes.size());
    bytes_ = std::span<BYTE>(copy, bytes.size());
}

std::optional<VersionValue> FencedVersions::Query(std::span<const BYTE> image, const std::string& subBlock) const
{
    const FencedCopy fenced(image);
    if (!fenced.Fenced())
        return VersionResources::Query(image, subBlock);

    const std::span<BYTE> copy = fenced.Bytes();
    const std::optional<VersionValue> found = VersionResources::Query(copy, subBlock);

    // The real query writes narrow text into the image it is given, and the caller's image is
    // its own writable buffer: it gets the text, and the value at the same offset into it.
    std::memcpy(const_cast<BYTE*>(image.data()), copy.data(), image.size());
    if (!found || found->address == nullptr)
        return found;
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(found->address) - reinterpret_cast<std::uintptr_t>(copy.data());
    return VersionValue{reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(image.data()) + offset), found->length};
}

} // namespace korrimat::mutation
