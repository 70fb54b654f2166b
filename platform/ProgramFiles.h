#pragma once
// Programs and icon files read from disk: the walks of PeHeaders.h, IconSourceCheck.h and
// SignatureBytes.h over an open file, a block at a time.

#include "formats/PeHeaders.h"
#include "formats/ProgramImage.h"
#include "formats/SignatureBytes.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korrimat {

// Whether the shell may read the file's icon from it without reading past its end (see
// IconSourceCheck.h); true for a file that cannot be opened, which the shell cannot read either.
bool IconSourceIsWholeAt(const std::string& path);
// The file's program headers (PeHeaders.h); not readable when it cannot be opened.
ProgramKind ProgramKindAt(const std::string& path);
// The program headers and where the embedded signature lies, from one opening of the file; with
// `wholeImage`, what the program is (ProgramImage.h) and its manifest's bytes too.
struct ProgramHeaders {
    ProgramKind kind;
    EmbeddedSignaturePlace signature;
    std::optional<ProgramImage> image;  // for a PE image, when asked for
    // The manifest resource's bytes: empty without one, and when it is larger than the reading
    // takes (kManifestLargest) or cannot be read, with `manifestUnreadable` set.
    std::vector<std::uint8_t> manifest;
    bool manifestUnreadable = false;
};
ProgramHeaders ProgramHeadersAt(const std::string& path, bool wholeImage = false);
// Where the file's embedded signature lies (SignatureBytes.h); None when it cannot be opened.
EmbeddedSignaturePlace EmbeddedSignatureAt(const std::string& path);
EmbeddedSignaturePlace EmbeddedSignatureIn(HANDLE file);
// `count` bytes of an open file from `offset`; empty unless all of them could be read.
std::vector<std::uint8_t> ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t count);

} // namespace korrimat
