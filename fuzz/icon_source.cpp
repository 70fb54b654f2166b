// The walk that decides whether the shell may read a file's icons: any bytes as a file. The walk
// must check every offset before it reads: the reader here stops the run when it is asked for a
// byte outside the file, and AddressSanitizer watches everything else.

#include "fuzz/FuzzBytes.h"
#include "formats/IconSourceCheck.h"

using namespace korrimat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IconSourceIsWhole(fuzz::StrictBytes(data, size));
    return 0;
}
