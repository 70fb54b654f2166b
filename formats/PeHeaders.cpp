#include "formats/PeHeaders.h"

#include "formats/PlainText.h"

#include <array>

namespace korrimat {

namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kNeSignature = 0x454E;      // "NE"

} // namespace

std::optional<std::uint16_t> ByteReader::U16(std::uint64_t offset) const
{
    std::array<std::uint8_t, 2> bytes{};
    if (!Holds(offset, bytes.size()) || !file_.Read(offset, bytes.data(), bytes.size()))
        return std::nullopt;
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::optional<std::uint32_t> ByteReader::U32(std::uint64_t offset) const
{
    std::array<std::uint8_t, 4> bytes{};
    if (!Holds(offset, bytes.size()) || !file_.Read(offset, bytes.data(), bytes.size()))
        return std::nullopt;
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
         | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

ProgramHeaderPlace FindProgramHeader(const ByteReader& in)
{
    const auto signature = in.U16(0);
    if (!signature || *signature != kMzSignature)
        return {NewHeader::NotMz, 0};
    const auto header = in.U32(0x3C);
    if (!header || *header >= in.Size())
        return {NewHeader::None, 0};
    const auto newSignature = in.U32(*header);
    if (!newSignature)
        return {NewHeader::Cut, *header};
    if (*newSignature == kPeSignature)
        return {NewHeader::Pe, *header};
    if ((*newSignature & 0xFFFF) == kNeSignature)
        return {NewHeader::Ne, *header};
    return {NewHeader::Other, *header};
}

std::optional<PeFileHeader> ReadPeFileHeader(const ByteReader& in, std::uint32_t header)
{
    const std::uint64_t fileHeader = std::uint64_t{header} + 4;
    const auto machine = in.U16(fileHeader);
    const auto sectionCount = in.U16(fileHeader + 2);
    const auto optionalSize = in.U16(fileHeader + 16);
    const auto magic = in.U16(fileHeader + 20);
    if (!machine || !sectionCount || !optionalSize || !magic)
        return std::nullopt;
    return PeFileHeader{*machine, *sectionCount, *optionalSize, fileHeader + 20, *magic};
}

ProgramKind ProgramKindOf(const ByteSource& file)
{
    const ByteReader in(file);
    ProgramKind kind;
    kind.readable = true;
    const ProgramHeaderPlace place = FindProgramHeader(in);
    if (place.kind != NewHeader::Pe)
        return kind;
    const std::optional<PeFileHeader> header = ReadPeFileHeader(in, place.offset);
    if (!header)
        return kind;
    kind.pe = true;
    kind.machine = header->machine;
    kind.bits = header->magic == kPe32 ? 32 : header->magic == kPe32Plus ? 64 : 0;
    return kind;
}

std::string MachineName(std::uint16_t machine)
{
    switch (machine) {
    case 0x014C:
        return "x86";
    case 0x8664:
        return "x64";
    case 0xAA64:
        return "ARM64";
    case 0x01C0:
    case 0x01C2:
    case 0x01C4:
        return "ARM";
    case 0x0200:
        return "IA-64";
    default:
        return "0x" + HexDigits(machine, 4);
    }
}

} // namespace korrimat
