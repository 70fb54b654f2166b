#pragma once
// A fuzzer's bytes as a file that a reader must not read past: a read outside it stops the run,
// so a missing bounds check is found even where it would not touch memory outside the input.

#include "formats/PeHeaders.h"

#include <cstdlib>
#include <cstring>

namespace korrimat::fuzz {

class StrictBytes : public ByteSource {
public:
    StrictBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (offset > size_ || count > size_ - offset)
            std::abort();
        if (count != 0)
            std::memcpy(into, data_ + offset, count);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace korrimat::fuzz
