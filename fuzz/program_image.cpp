// The reading of what a program is (machine, protections, imported libraries, .NET header,
// manifest place): any bytes as a file. The reader stops the run if it is asked for a byte
// outside the file. The result must agree with the header reading it builds on, keep its lists
// and names within their caps, and name a manifest wholly inside the file.

#include "fuzz/FuzzBytes.h"
#include "formats/ProgramImage.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace korrimat;

namespace {

void CheckNames(const std::vector<std::string>& names)
{
    if (names.size() > kMaxProgramImageNames)
        std::abort();
    for (const std::string& name : names) {
        if (name.empty() || name.size() > kMaxProgramImageNameBytes || name.find('\0') != std::string::npos)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz::StrictBytes file(data, size);
    const std::optional<ProgramImage> image = ReadProgramImage(file);
    const ProgramKind kind = ProgramKindOf(file);
    if (image.has_value() != kind.pe)
        std::abort();
    if (!image)
        return 0;
    if (image->machine.empty())
        std::abort();
    if (image->kind != "program" && image->kind != "library" && image->kind != "driver")
        std::abort();
    if (image->subsystem && (image->subsystemName.empty() || kind.bits == 0))
        std::abort();
    if (image->protections.safeSeh && kind.machine != 0x014C)
        std::abort();
    CheckNames(image->imports);
    CheckNames(image->delayImports);
    if (image->clr) {
        const std::string& version = image->clr->runtimeVersion;
        if (version.size() >= 256
            || !std::all_of(version.begin(), version.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
            std::abort();
        if (image->clr->requires32Bit && image->clr->prefers32Bit)
            std::abort();
    }
    if (image->manifest
        && (image->manifest->size == 0 || image->manifest->offset > size || image->manifest->size > size - image->manifest->offset))
        std::abort();
    return 0;
}
