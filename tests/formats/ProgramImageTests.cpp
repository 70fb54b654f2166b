// What a program is, read from its bytes: the programs mingw-w64 linked for these tests (each
// flag of the linker against the field it must set), images made here byte by byte for what
// mingw's linker does not write (load configuration, .NET header, debug entries, the old
// delay-import form), and images cut short or pointing outside themselves.

#include "formats/ProgramImage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace korrimat {
namespace {

class MemoryBytes : public ByteSource {
public:
    explicit MemoryBytes(const std::vector<std::uint8_t>& bytes, std::size_t size = SIZE_MAX)
        : bytes_(bytes), size_(std::min(size, bytes.size()))
    {
    }
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (offset > size_ || count > size_ - offset)
            return false;
        if (count != 0)
            std::memcpy(into, bytes_.data() + offset, count);
        return true;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t size_;
};

std::filesystem::path FixtureFolder()
{
    std::wstring buffer(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::filesystem::path(buffer.substr(0, length)).parent_path() / "programs";
}

std::vector<std::uint8_t> FileBytes(const std::string& name)
{
    std::ifstream file(FixtureFolder() / name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ProgramImage Read(const std::vector<std::uint8_t>& bytes)
{
    const std::optional<ProgramImage> image = ReadProgramImage(MemoryBytes(bytes));
    EXPECT_TRUE(image.has_value());
    return image.value_or(ProgramImage{});
}

ProgramImage ReadFixture(const std::string& name)
{
    return Read(FileBytes(name));
}

using Names = std::vector<std::string>;

// ---- The programs mingw-w64 linked ----

TEST(ProgramImage, ReadsAWindowedProgramWithTheLinkersDefaultProtections)
{
    const ProgramImage image = ReadFixture("gui64.exe");
    EXPECT_EQ(image.machine, "x64");
    EXPECT_EQ(image.kind, "program");
    EXPECT_EQ(image.subsystem, 2);
    EXPECT_EQ(image.subsystemName, "Windows GUI");
    EXPECT_EQ(image.subsystemVersion, "5.2");
    EXPECT_EQ(image.osVersion, "4.0");
    EXPECT_EQ(image.linkerVersion.rfind("2.", 0), 0u) << image.linkerVersion;  // GNU ld 2.x
    EXPECT_NE(image.timeStamp, 0u);
    EXPECT_FALSE(image.reproducible);  // a debug directory, holding only the build ID's entry
    EXPECT_TRUE(image.largeAddressAware);
    EXPECT_TRUE(image.protections.aslr);
    EXPECT_TRUE(image.protections.highEntropyAslr);
    EXPECT_TRUE(image.protections.dep);
    EXPECT_FALSE(image.protections.cfg);
    EXPECT_FALSE(image.protections.safeSeh.has_value());
    EXPECT_FALSE(image.protections.cetCompatible);
    EXPECT_FALSE(image.protections.forceIntegrity);
    EXPECT_EQ(image.imports, (Names{"KERNEL32.dll", "msvcrt.dll"}));
    EXPECT_TRUE(image.delayImports.empty());
    EXPECT_EQ(image.exportedNames, 0u);
    EXPECT_FALSE(image.clr.has_value());
    EXPECT_FALSE(image.manifest.has_value());
}

TEST(ProgramImage, ReadsAConsoleProgramLinkedWithoutProtections)
{
    const ProgramImage image = ReadFixture("console64-plain.exe");
    EXPECT_EQ(image.subsystem, 3);
    EXPECT_EQ(image.subsystemName, "Windows console");
    EXPECT_EQ(image.timeStamp, 0u);  // --no-insert-timestamp
    EXPECT_FALSE(image.protections.aslr);
    EXPECT_FALSE(image.protections.highEntropyAslr);
    EXPECT_FALSE(image.protections.dep);
    EXPECT_EQ(image.kind, "program");
}

TEST(ProgramImage, Reads32BitProgramsWithAndWithoutTheLargeAddressSpace)
{
    const ProgramImage large = ReadFixture("console32-large.exe");
    EXPECT_EQ(large.machine, "x86");
    EXPECT_TRUE(large.largeAddressAware);
    EXPECT_TRUE(large.protections.aslr);
    EXPECT_TRUE(large.protections.dep);
    EXPECT_FALSE(large.protections.highEntropyAslr);
    // An x86 image without a load configuration and without NO_SEH: no safe handler table.
    EXPECT_EQ(large.protections.safeSeh, false);
    EXPECT_EQ(large.imports, (Names{"KERNEL32.dll", "msvcrt.dll"}));

    const ProgramImage plain = ReadFixture("console32-plain.exe");
    EXPECT_FALSE(plain.largeAddressAware);
    EXPECT_FALSE(plain.protections.aslr);
    EXPECT_FALSE(plain.protections.dep);
}

TEST(ProgramImage, ReadsALibraryAndCountsItsExportedNames)
{
    const ProgramImage image = ReadFixture("library64.dll");
    EXPECT_EQ(image.kind, "library");
    EXPECT_EQ(image.exportedNames, 3u);
}

TEST(ProgramImage, TakesANativeImageImportingTheKernelForADriver)
{
    const ProgramImage image = ReadFixture("driver64.sys");
    EXPECT_EQ(image.kind, "driver");
    EXPECT_EQ(image.subsystemName, "Native");
    EXPECT_EQ(image.imports, Names{"ntoskrnl.exe"});
}

TEST(ProgramImage, FindsTheEmbeddedManifestsBytes)
{
    const std::vector<std::uint8_t> bytes = FileBytes("manifest64.exe");
    const ProgramImage image = Read(bytes);
    ASSERT_TRUE(image.manifest.has_value());
    const std::vector<std::uint8_t> manifest = FileBytes("Program.manifest");
    ASSERT_EQ(image.manifest->size, manifest.size());
    EXPECT_TRUE(std::equal(manifest.begin(), manifest.end(), bytes.begin() + static_cast<std::ptrdiff_t>(image.manifest->offset)));
}

// Every length of each fixture up to past its headers, then every 61st: never a fault, never a
// name that was not in the whole file, and nothing at all once the PE header is cut.
TEST(ProgramImage, ReadsImagesCutShortAtAnyLengthWithoutInventingAnything)
{
    for (const char* name : {"gui64.exe", "console32-large.exe", "library64.dll", "driver64.sys", "manifest64.exe"}) {
        const std::vector<std::uint8_t> bytes = FileBytes(name);
        const ProgramImage whole = Read(bytes);
        for (std::size_t length = 0; length < bytes.size(); length += length < 0x800 ? 1 : 61) {
            const std::optional<ProgramImage> cut = ReadProgramImage(MemoryBytes(bytes, length));
            if (!cut)
                continue;
            ASSERT_EQ(cut->machine, whole.machine) << name << " cut to " << length;
            ASSERT_LE(cut->imports.size(), whole.imports.size()) << name << " cut to " << length;
            ASSERT_TRUE(std::equal(cut->imports.begin(), cut->imports.end(), whole.imports.begin()))
                << name << " cut to " << length;
            ASSERT_TRUE(!cut->manifest || cut->manifest->offset + cut->manifest->size <= length);
        }
        EXPECT_FALSE(ReadProgramImage(MemoryBytes(bytes, 0x40)).has_value()) << name;
    }
}

// ---- Images made byte by byte ----

// A PE image of one section (image address 0x1000, file offset 0x200) whose contents a test
// places, with the data directories it names.
class Synthetic {
public:
    static constexpr std::uint32_t kSectionAddress = 0x1000;
    static constexpr std::uint32_t kSectionOffset = 0x200;
    static constexpr std::uint32_t kSectionSize = 0x20000;

    Synthetic(std::uint16_t machine, bool pe32Plus) : bytes_(kSectionOffset + kSectionSize), pe32Plus_(pe32Plus)
    {
        bytes_[0] = 'M';
        bytes_[1] = 'Z';
        Put32(0x3C, 0x40);
        Put32(0x40, 0x00004550);
        Put16(0x44, machine);
        Put16(0x46, 1);                          // one section
        Put16(0x54, pe32Plus ? 240 : 224);       // the optional header's size with 16 directories
        Put16(0x56, 0x0022);                     // executable, large address aware
        Put16(kOptional, pe32Plus ? 0x20B : 0x10B);
        if (pe32Plus)
            Put64(kOptional + 24, kImageBase);
        else
            Put32(kOptional + 28, static_cast<std::uint32_t>(kImageBase));
        Put32(kOptional + 60, kSectionOffset);  // the headers' size
        Put16(kOptional + 68, 3);               // console
        Put32(kOptional + (pe32Plus ? 108 : 92), 16);
        const std::uint32_t section = kOptional + (pe32Plus ? 240 : 224);
        std::memcpy(bytes_.data() + section, ".data", 5);
        Put32(section + 8, kSectionSize);
        Put32(section + 12, kSectionAddress);
        Put32(section + 16, kSectionSize);
        Put32(section + 20, kSectionOffset);
    }

    // Copies bytes into the section; their image address.
    std::uint32_t Place(const std::vector<std::uint8_t>& data)
    {
        const std::uint32_t at = next_;
        std::copy(data.begin(), data.end(), bytes_.begin() + kSectionOffset + at);
        next_ += (static_cast<std::uint32_t>(data.size()) + 7) & ~7u;
        return kSectionAddress + at;
    }
    std::uint32_t PlaceText(const std::string& text)
    {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        return Place(data);
    }
    void SetDirectory(std::uint32_t index, std::uint32_t address, std::uint32_t size)
    {
        const std::uint32_t entry = kOptional + (pe32Plus_ ? 112 : 96) + 8 * index;
        Put32(entry, address);
        Put32(entry + 4, size);
    }
    void SetDllCharacteristics(std::uint16_t flags) { Put16(kOptional + 70, flags); }
    void SetSubsystem(std::uint16_t subsystem) { Put16(kOptional + 68, subsystem); }
    // At an image address inside the section.
    void PutAt(std::uint32_t address, std::uint32_t value) { Put32(kSectionOffset + address - kSectionAddress, value); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    static constexpr std::uint64_t kImageBase = 0x400000;

private:
    static constexpr std::uint32_t kOptional = 0x58;

    void Put16(std::size_t at, std::uint16_t value)
    {
        bytes_[at] = static_cast<std::uint8_t>(value);
        bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void Put32(std::size_t at, std::uint32_t value)
    {
        Put16(at, static_cast<std::uint16_t>(value));
        Put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }
    void Put64(std::size_t at, std::uint64_t value)
    {
        Put32(at, static_cast<std::uint32_t>(value));
        Put32(at + 4, static_cast<std::uint32_t>(value >> 32));
    }

    std::vector<std::uint8_t> bytes_;
    bool pe32Plus_;
    std::uint32_t next_ = 0;
};

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words)
{
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    return bytes;
}

// A 64-bit load configuration of `size` bytes (its own Size field says so) with the CHPE
// metadata pointer at 200 and the guard flags at 144.
std::vector<std::uint8_t> LoadConfig64(std::uint32_t size, std::uint64_t chpe, std::uint32_t guardFlags)
{
    std::vector<std::uint8_t> config(std::max<std::uint32_t>(size, 208));
    std::memcpy(config.data(), &size, 4);
    std::memcpy(config.data() + 144, &guardFlags, 4);
    std::memcpy(config.data() + 200, &chpe, 8);
    return config;
}

constexpr std::uint16_t kX64 = 0x8664;
constexpr std::uint16_t kArm64 = 0xAA64;
constexpr std::uint16_t kX86 = 0x014C;

TEST(ProgramImage, NamesHybridArmImagesByTheirChpeMetadata)
{
    for (const auto& [machine, size, expected] : {std::tuple{kX64, 320u, "ARM64EC"}, std::tuple{kArm64, 320u, "ARM64X"},
                                                   std::tuple{kX64, 200u, "x64"}, std::tuple{kArm64, 204u, "ARM64"}}) {
        Synthetic image(machine, true);
        const std::vector<std::uint8_t> config = LoadConfig64(size, 0x140010000, 0);
        image.SetDirectory(10, image.Place(config), size);
        EXPECT_EQ(Read(image.Bytes()).machine, expected) << size;
    }
    EXPECT_EQ(MachineName(0x01C4), "ARM");
    EXPECT_EQ(MachineName(0x0EBD), "0x0EBD");
}

TEST(ProgramImage, TakesControlFlowGuardOnlyWhenTheCodeIsInstrumented)
{
    constexpr std::uint16_t kGuardCf = 0x4000;
    const auto cfg = [](std::uint16_t flags, std::uint32_t size, std::uint32_t guardFlags) {
        Synthetic image(kX64, true);
        image.SetDllCharacteristics(flags);
        image.SetDirectory(10, image.Place(LoadConfig64(size, 0, guardFlags)), size);
        return Read(image.Bytes()).protections.cfg;
    };
    EXPECT_TRUE(cfg(kGuardCf, 148, 0x10500));
    EXPECT_FALSE(cfg(kGuardCf, 148, 0x10000));  // instrumented flag missing
    EXPECT_FALSE(cfg(0, 148, 0x10500));         // the header does not ask for it
    EXPECT_FALSE(cfg(kGuardCf, 144, 0x10500));  // a configuration too short to hold GuardFlags
}

TEST(ProgramImage, ReadsSafeExceptionHandlersForX86Only)
{
    const auto safeSeh = [](std::uint16_t machine, bool pe32Plus, std::uint16_t flags, std::uint32_t table,
                            std::uint32_t count) {
        Synthetic image(machine, pe32Plus);
        image.SetDllCharacteristics(flags);
        std::vector<std::uint8_t> config(72);
        const std::vector<std::uint8_t> fields = Words({table, count});
        config[0] = 72;  // the directory's size stays 64, as x86 linkers write it
        std::copy(fields.begin(), fields.end(), config.begin() + 64);
        image.SetDirectory(10, image.Place(config), 64);
        return Read(image.Bytes()).protections.safeSeh;
    };
    EXPECT_EQ(safeSeh(kX86, false, 0, 0x402000, 3), true);
    EXPECT_EQ(safeSeh(kX86, false, 0, 0, 0), false);
    EXPECT_EQ(safeSeh(kX86, false, 0x0400, 0, 0), true);  // NO_SEH: no handler to hijack
    EXPECT_EQ(safeSeh(kX64, true, 0, 0x402000, 3), std::nullopt);
}

TEST(ProgramImage, ReadsTheDebugDirectorysReproAndCetEntries)
{
    Synthetic image(kX64, true);
    const std::uint32_t flags = image.Place(Words({0x1}));
    const std::uint32_t fileOffset = Synthetic::kSectionOffset + flags - Synthetic::kSectionAddress;
    // Three entries: CodeView, REPRO, extended DLL characteristics (by file offset).
    const std::uint32_t table = image.Place(Words({0, 0, 0, 2, 0, 0, 0,
                                                   0, 0, 0, 16, 0, 0, 0,
                                                   0, 0, 0, 20, 4, flags, fileOffset}));
    image.SetDirectory(6, table, 3 * 28);
    ProgramImage read = Read(image.Bytes());
    EXPECT_TRUE(read.reproducible);
    EXPECT_TRUE(read.protections.cetCompatible);

    image.SetDirectory(6, table, 28);  // the CodeView entry alone
    read = Read(image.Bytes());
    EXPECT_FALSE(read.reproducible);
    EXPECT_FALSE(read.protections.cetCompatible);
}

TEST(ProgramImage, ReadsDelayImportsInBothAddressForms)
{
    Synthetic image(kX86, false);
    const std::uint32_t first = image.PlaceText("user32.dll");
    const std::uint32_t second = image.PlaceText("shell32.dll");
    // The current form (attribute bit 0: image addresses), then the old one (virtual addresses).
    const std::uint32_t table = image.Place(Words({1, first, 0, 0, 0, 0, 0, 0,
                                                   0, static_cast<std::uint32_t>(Synthetic::kImageBase) + second, 0, 0, 0, 0, 0, 0,
                                                   0, 0, 0, 0, 0, 0, 0, 0}));
    image.SetDirectory(13, table, 3 * 32);
    EXPECT_EQ(Read(image.Bytes()).delayImports, (Names{"user32.dll", "shell32.dll"}));
}

TEST(ProgramImage, ReadsTheClrHeaderAndTheRuntimeVersion)
{
    const auto clr = [](std::uint32_t flags) {
        Synthetic image(kX86, false);
        std::vector<std::uint8_t> root = Words({0x424A5342, 0x00010001, 0, 12});
        const std::string version = "v4.0.30319";
        root.insert(root.end(), version.begin(), version.end());
        root.resize(root.size() + 2);  // NUL-padded to 12 bytes
        const std::uint32_t metadata = image.Place(root);
        const std::uint32_t descriptor = image.Place(Words({72, 0x00050002, metadata, static_cast<std::uint32_t>(root.size()), flags}));
        image.SetDirectory(14, descriptor, 72);
        return Read(image.Bytes()).clr;
    };
    const auto ilOnly = clr(0x9);
    ASSERT_TRUE(ilOnly.has_value());
    EXPECT_TRUE(ilOnly->ilOnly);
    EXPECT_TRUE(ilOnly->strongNameSigned);
    EXPECT_FALSE(ilOnly->requires32Bit);
    EXPECT_FALSE(ilOnly->prefers32Bit);
    EXPECT_EQ(ilOnly->runtimeVersion, "v4.0.30319");
    EXPECT_TRUE(clr(0x3)->requires32Bit);
    EXPECT_FALSE(clr(0x3)->prefers32Bit);
    EXPECT_TRUE(clr(0x20003)->prefers32Bit);
    EXPECT_FALSE(clr(0x20003)->requires32Bit);
}

TEST(ProgramImage, CapsTheImportListAndStopsAtANameWithoutItsEnd)
{
    Synthetic image(kX64, true);
    const std::uint32_t name = image.PlaceText("kernel32.dll");
    std::vector<std::uint8_t> descriptors;
    for (int i = 0; i < 5000; ++i) {
        const std::vector<std::uint8_t> one = Words({0, 0, 0, name, 0});
        descriptors.insert(descriptors.end(), one.begin(), one.end());
    }
    image.SetDirectory(1, image.Place(descriptors), 0);
    EXPECT_EQ(Read(image.Bytes()).imports.size(), kMaxProgramImageNames);

    Synthetic longName(kX64, true);
    const std::uint32_t fine = longName.PlaceText("ntdll.dll");
    const std::uint32_t endless = longName.Place(std::vector<std::uint8_t>(300, 'a'));
    longName.SetDirectory(1, longName.Place(Words({0, 0, 0, fine, 0, 0, 0, 0, endless, 0, 0, 0, 0, fine, 0, 0, 0, 0, 0, 0})), 0);
    EXPECT_EQ(Read(longName.Bytes()).imports, Names{"ntdll.dll"});
}

TEST(ProgramImage, StopsAtResourceEntriesThatLoopOrPointOutside)
{
    // A root whose one type entry (24) points back at the root itself: names, then languages,
    // then a "data entry" that is the root again.
    Synthetic image(kX64, true);
    const std::uint32_t root = image.Place(Words({0, 0, 0, 0x00010000, 24, 0x80000000}));
    image.SetDirectory(2, root, 24);
    EXPECT_FALSE(Read(image.Bytes()).manifest.has_value());

    // A whole tree whose data entry names data running past the file's end; then inside it.
    Synthetic outside(kX64, true);
    const std::uint32_t top = outside.Place(Words({0, 0, 0, 0x00010000, 24, 0}));
    const std::uint32_t names = outside.Place(Words({0, 0, 0, 0x00010000, 1, 0}));
    const std::uint32_t languages = outside.Place(Words({0, 0, 0, 0x00010000, 1033, 0}));
    const std::uint32_t data = outside.Place(Words({Synthetic::kSectionAddress + Synthetic::kSectionSize - 8, 64, 0, 0}));
    outside.PutAt(top + 20, 0x80000000 | (names - top));
    outside.PutAt(names + 20, 0x80000000 | (languages - top));
    outside.PutAt(languages + 20, data - top);
    outside.SetDirectory(2, top, 0x100);
    EXPECT_FALSE(Read(outside.Bytes()).manifest.has_value());
    outside.PutAt(data + 4, 8);
    const auto inside = Read(outside.Bytes()).manifest;
    ASSERT_TRUE(inside.has_value());
    EXPECT_EQ(inside->offset, outside.Bytes().size() - 8);
    EXPECT_EQ(inside->size, 8u);
}

TEST(ProgramImage, ForceIntegrityAndNativeSystemFilesAreRead)
{
    Synthetic image(kX64, true);
    image.SetDllCharacteristics(0x0080);
    image.SetSubsystem(1);
    ProgramImage read = Read(image.Bytes());
    EXPECT_TRUE(read.protections.forceIntegrity);
    EXPECT_EQ(read.kind, "program");  // Native alone: smss.exe is no driver
}

TEST(ProgramImage, ReadsNothingOfAFileThatIsNoPeImage)
{
    const std::vector<std::uint8_t> text{'M', 'Z', 'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(ReadProgramImage(MemoryBytes(text)).has_value());
}

} // namespace
} // namespace korrimat
