// The reading of a program file's headers for its machine and word size: any bytes as a file.
// The reader stops the run if it is asked for a byte outside the file. Where the bytes hold a
// whole PE header, the result must be what a plain look at the published offsets gives.

#include "fuzz/FuzzBytes.h"
#include "formats/PeHeaders.h"

#include <cstdlib>

using namespace korrimat;

namespace {

std::uint32_t Little(const std::uint8_t* at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ProgramKind kind = ProgramKindOf(fuzz::StrictBytes(data, size));
    if (!kind.readable || MachineName(kind.machine).empty())
        std::abort();

    bool pe = false;
    if (size >= 0x40 && data[0] == 'M' && data[1] == 'Z') {
        const std::uint64_t header = Little(data + 0x3C, 4);
        pe = header + 26 <= size && Little(data + header, 4) == 0x00004550;
        if (pe) {
            const std::uint32_t magic = Little(data + header + 24, 2);
            const int bits = magic == 0x10B ? 32 : magic == 0x20B ? 64 : 0;
            if (kind.machine != Little(data + header + 4, 2) || kind.bits != bits)
                std::abort();
        }
    }
    if (kind.pe != pe)
        std::abort();
    return 0;
}
