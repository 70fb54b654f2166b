// The walk that decides whether the shell may read a file's icons: any bytes as a file. The walk
// must check every offset before it reads: the reader here stops the run when it is asked for a
// byte outside the file, and AddressSanitizer watches everything else.

#include "fuzz/FuzzInput.h"
#include "platform/IconSourceCheck.h"

#include <cstdlib>
#include <cstring>

using namespace korrimat;

namespace {

class Bytes : public ByteSource {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (offset > size_ || count > size_ - offset)
            std::abort();  // the walk asked for bytes outside the file
        std::memcpy(into, data_ + offset, count);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IconSourceIsWhole(Bytes(data, size));
    return 0;
}
