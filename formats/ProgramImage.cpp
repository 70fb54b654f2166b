#include "formats/ProgramImage.h"

#include "formats/ImageLayout.h"
#include "formats/PlainText.h"

#include <algorithm>
#include <utility>

namespace korrimat {

namespace {

// COFF header characteristics.
constexpr std::uint16_t kRelocsStripped = 0x0001;
constexpr std::uint16_t kLargeAddressAware = 0x0020;
constexpr std::uint16_t kSystemFile = 0x1000;
constexpr std::uint16_t kDll = 0x2000;

// Optional header DllCharacteristics.
constexpr std::uint16_t kHighEntropyVa = 0x0020;
constexpr std::uint16_t kDynamicBase = 0x0040;
constexpr std::uint16_t kForceIntegrity = 0x0080;
constexpr std::uint16_t kNxCompat = 0x0100;
constexpr std::uint16_t kNoSeh = 0x0400;
constexpr std::uint16_t kGuardCf = 0x4000;

constexpr std::uint16_t kMachineX86 = 0x014C;
constexpr std::uint16_t kMachineX64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kSubsystemNative = 1;

enum DirectoryIndex : std::uint32_t {
    kExports = 0,
    kImports = 1,
    kDebug = 6,
    kLoadConfig = 10,
    kDelayImports = 13,
    kComDescriptor = 14,
};

constexpr std::uint32_t kDebugRepro = 16;
constexpr std::uint32_t kDebugExDllCharacteristics = 20;
constexpr std::uint32_t kCetCompat = 0x1;
constexpr std::uint32_t kGuardCfInstrumented = 0x100;
// Linkers write a handful of debug entries; a directory claiming more is damaged.
constexpr std::uint32_t kMaxDebugEntries = 256;

constexpr std::uint32_t kClrIlOnly = 0x1;
constexpr std::uint32_t kClr32BitRequired = 0x2;
constexpr std::uint32_t kClrStrongNameSigned = 0x8;
constexpr std::uint32_t kClr32BitPreferred = 0x20000;
constexpr std::uint32_t kMetadataSignature = 0x424A5342;  // "BSJB"
constexpr std::uint32_t kMaxRuntimeVersionBytes = 256;


std::string VersionText(unsigned major, unsigned minor)
{
    return std::to_string(major) + "." + std::to_string(minor);
}

bool IsPrintableAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}


// How one directory of import descriptors is laid out.
struct DescriptorForm {
    DirectoryIndex directory;
    std::uint32_t size;
    std::uint32_t nameField;  // where in a descriptor the DLL name's address stands
    bool hasAttributes;       // delay imports: without the attributes' first bit, virtual addresses
};

constexpr DescriptorForm kImportDescriptors{kImports, 20, 12, false};
constexpr DescriptorForm kDelayImportDescriptors{kDelayImports, 32, 4, true};

// The DLL names of the descriptors up to the one whose name is zero. The directory's size is not
// trusted, as the loader does not trust it either; a delay import's old form (attributes without
// the first bit) gives virtual addresses: less the image base.
std::vector<std::string> DescriptorNames(const ImageLayout& image, const DescriptorForm& form)
{
    std::vector<std::string> names;
    const auto table = image.DirectoryOffset(form.directory);
    if (!table)
        return names;
    for (std::uint64_t entry = *table; names.size() < kMaxProgramImageNames; entry += form.size) {
        const auto nameField = image.In().U32(entry + form.nameField);
        if (!nameField || *nameField == 0)
            break;
        std::uint64_t address = *nameField;
        if (form.hasAttributes) {
            const auto attributes = image.In().U32(entry);
            if (!attributes)
                break;
            if ((*attributes & 1) == 0) {
                if (address < image.ImageBase() || address - image.ImageBase() > 0xFFFFFFFFull)
                    break;
                address -= image.ImageBase();
            }
        }
        auto name = image.NameAt(static_cast<std::uint32_t>(address));
        if (!name)
            break;
        names.push_back(std::move(*name));
    }
    return names;
}

std::uint32_t ExportedNameCount(const ImageLayout& image)
{
    const auto directory = image.DirectoryOffset(kExports);
    const auto count = directory ? image.In().U32(*directory + 24) : std::nullopt;
    return count.value_or(0);
}

struct DebugFacts {
    bool reproducible = false;
    bool cetCompatible = false;
};

// Debug directory entries, 28 bytes each: the type at 12, the data's size at 16, its image
// address at 20 and its file offset at 24.
DebugFacts ReadDebugFacts(const ImageLayout& image)
{
    DebugFacts facts;
    const auto directory = image.Directory(kDebug);
    const auto table = directory ? image.FileOffsetOf(directory->address) : std::nullopt;
    if (!table)
        return facts;
    const std::uint32_t count = std::min(directory->size / 28, kMaxDebugEntries);
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::uint64_t entry = *table + 28ull * index;
        const auto type = image.In().U32(entry + 12);
        if (!type)
            break;
        if (*type == kDebugRepro) {
            facts.reproducible = true;
        } else if (*type == kDebugExDllCharacteristics) {
            const auto size = image.In().U32(entry + 16);
            const auto address = image.In().U32(entry + 20);
            const auto offset = image.In().U32(entry + 24);
            if (!size || !address || !offset || *size < 4)
                continue;
            const auto data = *offset != 0 ? std::optional<std::uint64_t>(*offset) : image.FileOffsetOf(*address);
            const auto flags = data ? image.In().U32(*data) : std::nullopt;
            facts.cetCompatible = flags && (*flags & kCetCompat) != 0;
        }
    }
    return facts;
}

// The load configuration's fields that matter here. Its length is the structure's own Size,
// which the loader goes by: x86 linkers write 64 into the directory's size for old systems
// while the structure goes on.
struct LoadConfigFacts {
    std::optional<std::uint32_t> guardFlags;
    bool safeSehTable = false;
    bool chpeMetadata = false;
};

LoadConfigFacts ReadLoadConfig(const ImageLayout& image, bool pe32Plus)
{
    LoadConfigFacts facts;
    const auto start = image.DirectoryOffset(kLoadConfig);
    const auto length = start ? image.In().U32(*start) : std::nullopt;
    if (!length)
        return facts;
    const auto covers = [&](std::uint32_t field, std::uint32_t bytes) { return field + bytes <= *length; };
    const std::uint32_t guardFlags = pe32Plus ? 144 : 88;
    if (covers(guardFlags, 4))
        facts.guardFlags = image.In().U32(*start + guardFlags);
    if (pe32Plus) {
        constexpr std::uint32_t chpe = 200;
        if (covers(chpe, 8)) {
            const auto pointer = image.In().U64(*start + chpe);
            facts.chpeMetadata = pointer && *pointer != 0;
        }
    } else if (covers(64, 8)) {
        const auto table = image.In().U32(*start + 64);
        const auto count = image.In().U32(*start + 68);
        facts.safeSehTable = table && count && *table != 0 && *count != 0;
    }
    return facts;
}

// The COM descriptor: the metadata's address and size at 8 and 12, the flags at 16. The metadata
// root: "BSJB", two version numbers, a reserved word, the length of the version text, the text.
std::optional<ClrImage> ReadClr(const ImageLayout& image)
{
    const auto descriptor = image.DirectoryOffset(kComDescriptor);
    const auto flags = descriptor ? image.In().U32(*descriptor + 16) : std::nullopt;
    if (!flags)
        return std::nullopt;
    ClrImage clr;
    clr.ilOnly = (*flags & kClrIlOnly) != 0;
    const bool required = (*flags & kClr32BitRequired) != 0;
    const bool preferred = (*flags & kClr32BitPreferred) != 0;
    clr.requires32Bit = required && !preferred;
    clr.prefers32Bit = required && preferred;
    clr.strongNameSigned = (*flags & kClrStrongNameSigned) != 0;

    const auto metadataAddress = image.In().U32(*descriptor + 8);
    const auto root = metadataAddress ? image.FileOffsetOf(*metadataAddress) : std::nullopt;
    const auto signature = root ? image.In().U32(*root) : std::nullopt;
    const auto length = root ? image.In().U32(*root + 12) : std::nullopt;
    if (signature != kMetadataSignature || !length)
        return clr;
    const auto version = image.In().TextUpToNul(*root + 16, std::min(*length, kMaxRuntimeVersionBytes));
    if (version && IsPrintableAscii(*version))
        clr.runtimeVersion = *version;
    return clr;
}

} // namespace

std::string SubsystemName(std::uint16_t subsystem)
{
    switch (subsystem) {
    case 1:
        return "Native";
    case 2:
        return "Windows GUI";
    case 3:
        return "Windows console";
    case 5:
        return "OS/2 console";
    case 7:
        return "POSIX console";
    case 9:
        return "Windows CE GUI";
    case 10:
        return "EFI application";
    case 11:
        return "EFI boot service driver";
    case 12:
        return "EFI runtime driver";
    case 13:
        return "EFI ROM";
    case 14:
        return "Xbox";
    case 16:
        return "Windows boot application";
    default:
        return std::to_string(subsystem);
    }
}

std::optional<ProgramImage> ReadProgramImage(const ByteSource& file)
{
    const ByteReader in(file);
    const ProgramHeaderPlace place = FindProgramHeader(in);
    if (place.kind != NewHeader::Pe)
        return std::nullopt;
    const std::optional<PeFileHeader> header = ReadPeFileHeader(in, place.offset);
    if (!header)
        return std::nullopt;

    ProgramImage program;
    program.machine = MachineName(header->machine);
    program.timeStamp = header->timeStamp;
    program.largeAddressAware = (header->characteristics & kLargeAddressAware) != 0;
    const bool dll = (header->characteristics & kDll) != 0;
    program.kind = dll ? "library" : "program";
    const bool pe32Plus = header->magic == kPe32Plus;
    if (header->magic != kPe32 && !pe32Plus)
        return program;
    if (header->machine == kMachineX86)
        program.protections.safeSeh = false;

    // Up to DllCharacteristics, the two kinds of optional header share their offsets.
    const std::uint64_t optional = header->optional;
    const auto linkerMajor = in.U8(optional + 2);
    const auto linkerMinor = in.U8(optional + 3);
    const auto osMajor = in.U16(optional + 40);
    const auto osMinor = in.U16(optional + 42);
    const auto subsystemMajor = in.U16(optional + 48);
    const auto subsystemMinor = in.U16(optional + 50);
    const auto headersSize = in.U32(optional + 60);
    const auto subsystem = in.U16(optional + 68);
    const auto dllCharacteristics = in.U16(optional + 70);
    // Before DllCharacteristics: there whenever the fields checked below are.
    const std::uint64_t imageBase = pe32Plus ? in.U64(optional + 24).value_or(0) : in.U32(optional + 28).value_or(0);
    if (!linkerMajor || !linkerMinor || !osMajor || !osMinor || !subsystemMajor || !subsystemMinor || !headersSize
        || !subsystem || !dllCharacteristics)
        return program;
    program.linkerVersion = VersionText(*linkerMajor, *linkerMinor);
    if (*osMajor != 0 || *osMinor != 0)
        program.osVersion = VersionText(*osMajor, *osMinor);
    program.subsystem = *subsystem;
    program.subsystemName = SubsystemName(*subsystem);
    program.subsystemVersion = VersionText(*subsystemMajor, *subsystemMinor);

    const std::uint16_t flags = *dllCharacteristics;
    ProgramProtections& protections = program.protections;
    protections.aslr = (flags & kDynamicBase) != 0 && (header->characteristics & kRelocsStripped) == 0;
    protections.highEntropyAslr = (flags & kHighEntropyVa) != 0;
    protections.dep = (flags & kNxCompat) != 0;
    protections.forceIntegrity = (flags & kForceIntegrity) != 0;

    std::optional<std::vector<PeSection>> sections = ReadSectionTable(in, *header);
    const ImageLayout image(in, *header, sections ? std::move(*sections) : std::vector<PeSection>{}, *headersSize, imageBase);

    const LoadConfigFacts loadConfig = ReadLoadConfig(image, pe32Plus);
    protections.cfg = (flags & kGuardCf) != 0 && loadConfig.guardFlags
                   && (*loadConfig.guardFlags & kGuardCfInstrumented) != 0;
    if (header->machine == kMachineX86)
        protections.safeSeh = loadConfig.safeSehTable || (flags & kNoSeh) != 0;
    if (loadConfig.chpeMetadata && header->machine == kMachineX64)
        program.machine = "ARM64EC";
    else if (loadConfig.chpeMetadata && header->machine == kMachineArm64)
        program.machine = "ARM64X";

    const DebugFacts debug = ReadDebugFacts(image);
    program.reproducible = debug.reproducible;
    protections.cetCompatible = debug.cetCompatible;

    program.imports = DescriptorNames(image, kImportDescriptors);
    program.delayImports = DescriptorNames(image, kDelayImportDescriptors);
    program.exportedNames = ExportedNameCount(image);
    program.clr = ReadClr(image);
    program.manifest = FindManifest(image);

    const bool kernelImport = std::any_of(program.imports.begin(), program.imports.end(),
                                          [](const std::string& name) { return SameIgnoringAsciiCase(name, "ntoskrnl.exe"); });
    if (*subsystem == kSubsystemNative && ((header->characteristics & kSystemFile) != 0 || kernelImport))
        program.kind = "driver";
    return program;
}

} // namespace korrimat
