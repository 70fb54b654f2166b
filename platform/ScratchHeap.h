#pragma once
// Containers for work that is thrown away at its end, on a heap of their own that goes with it.
// The process's heap keeps the memory freed inside it for later blocks: a large folder's
// temporary buffers, grown and freed there, would stay with the process long after its listing.

#include "platform/UniqueHandle.h"

#include <cstddef>
#include <new>
#include <string>
#include <vector>

namespace korrimat {

// A heap of its own, released whole when the object goes; containers using it must go first.
class ScratchHeap {
public:
    ScratchHeap() : heap_(::HeapCreate(0, 0, 0))
    {
        if (!heap_)
            throw std::bad_alloc();
    }
    HANDLE Get() const noexcept { return heap_.Get(); }

private:
    UniqueHeap heap_;
};

template <typename T>
class ScratchAllocator {
public:
    using value_type = T;

    explicit ScratchAllocator(const ScratchHeap& heap) noexcept : heap_(heap.Get()) {}
    template <typename U>
    ScratchAllocator(const ScratchAllocator<U>& other) noexcept : heap_(other.Heap()) {}

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* block = ::HeapAlloc(heap_, 0, count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { ::HeapFree(heap_, 0, block); }

    HANDLE Heap() const noexcept { return heap_; }
    template <typename U>
    bool operator==(const ScratchAllocator<U>& other) const noexcept { return heap_ == other.Heap(); }

private:
    HANDLE heap_;
};

template <typename T>
using ScratchVector = std::vector<T, ScratchAllocator<T>>;
template <typename Char>
using ScratchText = std::basic_string<Char, std::char_traits<Char>, ScratchAllocator<Char>>;

} // namespace korrimat
