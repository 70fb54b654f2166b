#pragma once
// Whether the shell may read a file's own icons without reading past the file's end.
//
// For a program (and an icon file) the shell draws the icon from the file itself, and some of its
// implementations (Wine's) trust every offset in the file: a program cut short, or an icon file
// whose directory points past its end, makes them read outside the file and fault. Korrimat
// walks the same structures first, with every offset checked, and describes a file that fails
// the walk by its name alone. Plain bytes in, no system call, so that it can be fuzzed anywhere.

#include "formats/PeHeaders.h"

namespace korrimat {

// True when the file is no icon source the shell would parse (neither a program with a PE or NE
// header nor an icon file), or when everything of it the shell reads to draw an icon lies whole
// inside the file: the headers, the resource directories of the icon groups and icons, their
// data entries and their data; for an icon file, its directory and every image.
bool IconSourceIsWhole(const ByteSource& file);

} // namespace korrimat
