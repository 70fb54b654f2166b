#pragma once
// The headers of a program file (MZ, then PE or NE), read with every offset checked against the
// file's size: what the icon walk (IconSourceCheck.h) and the properties report need of them.
// Plain bytes in, no system call and no Windows header, so that it can be fuzzed anywhere.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

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
    std::optional<std::uint16_t> U16(std::uint64_t offset) const;
    std::optional<std::uint32_t> U32(std::uint64_t offset) const;

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
    std::uint16_t optionalSize = 0;
    std::uint64_t optional = 0;  // file offset of the optional header
    std::uint16_t magic = 0;     // kPe32, kPe32Plus or another value
};

inline constexpr std::uint16_t kPe32 = 0x10B;
inline constexpr std::uint16_t kPe32Plus = 0x20B;

// Nothing when a field of it lies past the file's end.
std::optional<PeFileHeader> ReadPeFileHeader(const ByteReader& in, std::uint32_t header);

// What the properties report says of a file as a program.
struct ProgramKind {
    bool readable = false;  // false: the file could not be opened or read
    bool pe = false;        // a PE program or library
    std::uint16_t machine = 0;
    int bits = 0;           // 32 or 64 by the optional header; 0 when it is neither kind
};

ProgramKind ProgramKindOf(const ByteSource& file);

// "x86", "x64", "ARM64", "ARM", "IA-64", or the number in hexadecimal ("0x01F0").
std::string MachineName(std::uint16_t machine);

} // namespace korrimat
