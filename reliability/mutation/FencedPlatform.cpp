#include "reliability/mutation/FencedPlatform.h"

#include "platform/UniqueHandle.h"

#include <cstdint>
#include <cstring>

namespace korrimat::mutation {
namespace {

struct VirtualMemoryTraits {
    using Handle = void*;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle memory) noexcept { ::VirtualFree(memory, 0, MEM_RELEASE); }
};
using UniqueVirtualMemory = UniqueHandle<VirtualMemoryTraits>;

std::size_t PageSize()
{
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return system.dwPageSize;
}

} // namespace

bool FencedPlatform::QueryVersionValue(std::span<const BYTE> image, const std::string& subBlock,
                                       const void*& address, UINT& length) const
{
    static const std::size_t page = PageSize();
    const std::size_t body = (image.size() / page + 1) * page;
    UniqueVirtualMemory memory(::VirtualAlloc(nullptr, body + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD previous = 0;
    if (!memory || !::VirtualProtect(static_cast<BYTE*>(memory.Get()) + body, page, PAGE_NOACCESS, &previous))
        return WindowsPlatform::QueryVersionValue(image, subBlock, address, length);

    BYTE* const copy = static_cast<BYTE*>(memory.Get()) + body - image.size();
    std::memcpy(copy, image.data(), image.size());
    const void* found = nullptr;
    const bool result = WindowsPlatform::QueryVersionValue(std::span<const BYTE>(copy, image.size()), subBlock, found, length);

    // The real query writes narrow text into the image it is given, and the caller's image is
    // its own writable buffer: it gets the text, and an address at the same offset into it.
    std::memcpy(const_cast<BYTE*>(image.data()), copy, image.size());
    if (found == nullptr) {
        address = nullptr;
    } else {
        const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(found) - reinterpret_cast<std::uintptr_t>(copy);
        address = reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(image.data()) + offset);
    }
    return result;
}

} // namespace korrimat::mutation
