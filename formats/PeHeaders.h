#pragma once
// The headers of a program file (MZ, then PE or NE), read with every offset checked against the
// file's size: what the icon walk (IconSourceCheck.h) and the properties report need of them.
// Plain bytes in, no system call and no Windows header, so that it can be fuzzed anywhere.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korrimat {

// Random access to a file's bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies `count` bytes from `offset`; false when they are not all there.
    virtual bool Read(std::uint64_t offset, void* into, std::size_t count) const = 0;
};

// Little-endian fields at file offsets; nothing for a field not wholly inside the file.
class ByteReader {
public:
    explicit ByteReader(const ByteSource& file) : file_(file), size_(file.Size()) {}

    std::uint64_t Size() const noexcept { return size_; }
    bool Holds(std::uint64_t offset, std::uint64_t count) const noexcept
    {
        return offset <= size_ && count <= size_ - offset;
    }
    std::optional<std::uint8_t> U8(std::uint64_t offset) const;
    std::optional<std::uint16_t> U16(std::uint64_t offset) const;
    std::optional<std::uint32_t> U32(std::uint64_t offset) const;
    std::optional<std::uint64_t> U64(std::uint64_t offset) const;
    // The bytes from `offset` up to a NUL byte that comes within `limit` bytes; nothing when
    // none does before the limit or the file's end.
    std::optional<std::string> TextUpToNul(std::uint64_t offset, std::size_t limit) const;

private:
    const ByteSource& file_;
    std::uint64_t size_;
};

// What follows the MZ header, found through the offset at 0x3C.
enum class NewHeader {
    NotMz,     // no MZ signature: no program at all
    None,      // an MZ program whose offset names no place inside the file
    Cut,       // the offset names a place too near the end to hold a signature
    Pe,        // "PE\0\0"
    Ne,        // a 16-bit program
    Other,
};

struct ProgramHeaderPlace {
    NewHeader kind = NewHeader::NotMz;
    std::uint32_t offset = 0;  // of the new header's signature
};

ProgramHeaderPlace FindProgramHeader(const ByteReader& in);

// The PE file header and the start of the optional header that follows it.
struct PeFileHeader {
    std::uint16_t machine = 0;
    std::uint16_t sectionCount = 0;
    std::uint32_t timeStamp = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t characteristics = 0;
    std::uint64_t optional = 0;  // file offset of the optional header
    std::uint16_t magic = 0;     // kPe32, kPe32Plus or another value
};

inline constexpr std::uint16_t kPe32 = 0x10B;
inline constexpr std::uint16_t kPe32Plus = 0x20B;

// Nothing when a field of it lies past the file's end.
std::optional<PeFileHeader> ReadPeFileHeader(const ByteReader& in, std::uint32_t header);

// One entry of the optional header's data directories (an image address, or a file offset for
// the security directory) and where the entry itself lies in the file.
struct PeDataDirectory {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
    std::uint64_t entry = 0;
};

// The directory at `index` (0 exports, 1 imports, 2 resources, 4 security, ...): nothing when the
// optional header is of neither kind, counts fewer directories, ends before the entry (by its
// declared size) or the file does.
std::optional<PeDataDirectory> ReadDataDirectory(const ByteReader& in, const PeFileHeader& header,
                                                 std::uint32_t index);

// A section table entry: where its bytes lie in the loaded image and in the file.
struct PeSection {
    std::uint32_t address = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

// The section table that follows the optional header: nothing when it runs past the file's end,
// or a section's end wraps round the 32-bit address space (a reader counting in 32 bits could
// match it anywhere: refused rather than guessed at).
std::optional<std::vector<PeSection>> ReadSectionTable(const ByteReader& in, const PeFileHeader& header);

// Where an image address lies in the file: inside a section's raw data, or nowhere (an address in
// no section's file bytes holds nothing the file can show).
std::optional<std::uint64_t> SectionFileOffset(const std::vector<PeSection>& sections, std::uint32_t address);

// What the properties report says of a file as a program.
struct ProgramKind {
    bool readable = false;  // false: the file could not be opened or read
    bool pe = false;        // a PE program or library
    std::uint16_t machine = 0;
    int bits = 0;           // 32 or 64 by the optional header; 0 when it is neither kind
};

ProgramKind ProgramKindOf(const ByteSource& file);

// "x86", "x64", "ARM64", "ARM", "IA-64", ..., or the number in hexadecimal
// ("0x0EBD").
std::string MachineName(std::uint16_t machine);

} // namespace korrimat
