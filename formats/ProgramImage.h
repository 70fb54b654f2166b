#pragma once
// What a program is, read from its PE image's bytes: the machine it runs on, its role, the
// subsystem and versions it asks for, the protections it takes part in, the libraries it loads,
// whether it is a .NET assembly, and where its manifest lies. Every offset and count is checked
// against the file's size and every list is capped, so that any bytes can be read; no system
// call and no Windows header, so that it is fuzzed natively (fuzz/program_image.cpp).

#include "formats/PeHeaders.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korrimat {

// The limits of the lists read from an image: a longer list stops at the cap, and a longer name
// (or one without its NUL within the cap) ends its list there.
inline constexpr std::size_t kMaxProgramImageNames = 4096;
inline constexpr std::size_t kMaxProgramImageNameBytes = 256;

// The exploit mitigations the image's headers opt into.
struct ProgramProtections {
    bool aslr = false;             // DYNAMIC_BASE, and its relocations not stripped
    bool highEntropyAslr = false;  // HIGH_ENTROPY_VA: 64-bit bases; only means something for 64-bit
    bool dep = false;              // NX_COMPAT
    // GUARD_CF, and the load configuration's GuardFlags say the code is instrumented (0x100).
    bool cfg = false;
    // x86 only (empty for other machines): a safe exception handler table in the load
    // configuration (address and count both set), or NO_SEH (no handler at all).
    std::optional<bool> safeSeh;
    bool cetCompatible = false;   // the debug directory's extended characteristics: CET_COMPAT
    bool forceIntegrity = false;  // FORCE_INTEGRITY: loads only with a valid signature
};

// The COM descriptor of a .NET assembly.
struct ClrImage {
    bool ilOnly = false;            // COMIMAGE_FLAGS_ILONLY
    bool requires32Bit = false;     // 32BITREQUIRED without 32BITPREFERRED
    bool prefers32Bit = false;      // 32BITPREFERRED with 32BITREQUIRED ("Any CPU, 32-bit preferred")
    bool strongNameSigned = false;  // STRONGNAMESIGNED
    // The metadata root's version ("v4.0.30319"); empty when the root cannot be read or its text
    // is not printable ASCII.
    std::string runtimeVersion;
};

// Where a resource's data lies in the file, wholly inside it.
struct ResourcePlace {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

// A field is missing (empty, zero or false) when the part of the image holding it cannot be
// read; each directory is read on its own, so one damaged directory hides only its own fields.
// The machine's number and the bits are the image's ProgramKind (PeHeaders.h), read beside it.
struct ProgramImage {
    // MachineName of the COFF header's Machine, except "ARM64EC" for an x64 image and "ARM64X"
    // for an ARM64 image whose load configuration points to CHPE metadata (64-bit layout).
    std::string machine;
    // "driver": the Native subsystem, and IMAGE_FILE_SYSTEM or an import of ntoskrnl.exe (a
    // Native program such as smss.exe imports ntdll.dll alone); else "library" for
    // IMAGE_FILE_DLL; else "program".
    std::string kind;
    std::optional<std::uint16_t> subsystem;  // empty without a whole optional header
    std::string subsystemName;               // "Windows GUI", ...; the number as text when unknown
    std::string subsystemVersion;            // "6.0": major.minor as stored
    std::string linkerVersion;               // "2.40", "14.38": major.minor as stored
    std::optional<std::string> osVersion;    // empty when the header stores 0.0
    std::uint32_t timeStamp = 0;             // the COFF header's, seconds since 1970 (UTC) or a hash
    bool reproducible = false;               // a debug directory entry of type REPRO (16)
    bool largeAddressAware = false;          // IMAGE_FILE_LARGE_ADDRESS_AWARE
    ProgramProtections protections;
    // The libraries named by the import and delay-import directories, in their order; each list
    // stops at its end, its cap or the first entry that cannot be read.
    std::vector<std::string> imports;
    std::vector<std::string> delayImports;
    std::uint32_t exportedNames = 0;  // the export directory's NumberOfNames, as stored
    std::optional<ClrImage> clr;      // empty when there is no COM descriptor
    // The first RT_MANIFEST resource (the lowest ID, or the first name) in its first language.
    std::optional<ResourcePlace> manifest;
};

// Nothing for a file that is not a PE image (no "PE\0\0" header, or its COFF header cut short).
std::optional<ProgramImage> ReadProgramImage(const ByteSource& file);

// "Native", "Windows GUI", "Windows console", ..., or the number as text.
std::string SubsystemName(std::uint16_t subsystem);

} // namespace korrimat
