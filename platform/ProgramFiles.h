#pragma once
// Programs and icon files read from disk: the walks of PeHeaders.h, IconSourceCheck.h and
// SignatureBytes.h over an open file, a block at a time.

#include "formats/PeHeaders.h"
#include "formats/ProgramImage.h"
#include "formats/SignatureBytes.h"
#include "platform/ProgramManifest.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korrimat {

// Whether the shell may read the file's icon from it without reading past its end (see
// IconSourceCheck.h); true for a file that cannot be opened, which the shell cannot read either.
bool IconSourceIsWholeAt(const std::string& path);
// The file's program headers (PeHeaders.h); not readable when it cannot be opened.
ProgramKind ProgramKindAt(const std::string& path);
// What a PE image is, and what its manifest asks for.
struct ProgramFacts {
    ProgramImage image;
    std::optional<ManifestFacts> manifest;  // none when the image holds no manifest
};
// The program headers and where the embedded signature lies, from one opening of the file; with
// `wholeImage`, what the program is too: its directories walked and its manifest parsed, which
// costs more than the rest together.
struct ProgramHeaders {
    ProgramKind kind;
    EmbeddedSignaturePlace signature;
    std::optional<ProgramFacts> program;  // for a PE image, when asked for
};
ProgramHeaders ProgramHeadersAt(const std::string& path, bool wholeImage = false);
// What the file is as a program; none when it cannot be opened or is not a PE image.
std::optional<ProgramFacts> ProgramFactsAt(const std::string& path);
// Where the file's embedded signature lies (SignatureBytes.h); None when it cannot be opened.
EmbeddedSignaturePlace EmbeddedSignatureAt(const std::string& path);
EmbeddedSignaturePlace EmbeddedSignatureIn(HANDLE file);
// `count` bytes of an open file from `offset`; empty unless all of them could be read.
std::vector<std::uint8_t> ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t count);

} // namespace korrimat
