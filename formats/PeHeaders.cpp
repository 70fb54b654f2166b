#include "formats/PeHeaders.h"

#include "formats/PlainText.h"

#include <algorithm>
#include <array>

namespace korrimat {

namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kNeSignature = 0x454E;      // "NE"

} // namespace

std::optional<std::uint8_t> ByteReader::U8(std::uint64_t offset) const
{
    std::uint8_t byte = 0;
    if (!Holds(offset, 1) || !file_.Read(offset, &byte, 1))
        return std::nullopt;
    return byte;
}

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

std::optional<std::uint64_t> ByteReader::U64(std::uint64_t offset) const
{
    const auto low = U32(offset);
    const auto high = low ? U32(offset + 4) : std::nullopt;
    if (!high)
        return std::nullopt;
    return std::uint64_t{*high} << 32 | *low;
}

std::optional<std::string> ByteReader::TextUpToNul(std::uint64_t offset, std::size_t limit) const
{
    if (offset > size_)
        return std::nullopt;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(limit, size_ - offset));
    std::string text(count, '\0');
    if (count != 0 && !file_.Read(offset, text.data(), count))
        return std::nullopt;
    const std::size_t end = text.find('\0');
    if (end == std::string::npos)
        return std::nullopt;
    text.resize(end);
    return text;
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
    const auto timeStamp = in.U32(fileHeader + 4);
    const auto optionalSize = in.U16(fileHeader + 16);
    const auto characteristics = in.U16(fileHeader + 18);
    const auto magic = in.U16(fileHeader + 20);
    if (!machine || !sectionCount || !timeStamp || !optionalSize || !characteristics || !magic)
        return std::nullopt;
    return PeFileHeader{*machine, *sectionCount, *timeStamp, *optionalSize, *characteristics, fileHeader + 20, *magic};
}

std::optional<PeDataDirectory> ReadDataDirectory(const ByteReader& in, const PeFileHeader& header,
                                                 std::uint32_t index)
{
    if (header.magic != kPe32 && header.magic != kPe32Plus)
        return std::nullopt;
    const std::uint64_t count = header.optional + (header.magic == kPe32 ? 92 : 108);
    const std::uint64_t entry = count + 4 + 8ull * index;
    const auto directories = in.U32(count);
    if (!directories || *directories <= index || entry + 8 > header.optional + header.optionalSize)
        return std::nullopt;
    const auto address = in.U32(entry);
    const auto size = in.U32(entry + 4);
    if (!address || !size)
        return std::nullopt;
    return PeDataDirectory{*address, *size, entry};
}

std::optional<std::vector<PeSection>> ReadSectionTable(const ByteReader& in, const PeFileHeader& header)
{
    const std::uint64_t table = header.optional + header.optionalSize;
    if (!in.Holds(table, 40ull * header.sectionCount))
        return std::nullopt;
    std::vector<PeSection> sections;
    sections.reserve(header.sectionCount);
    for (std::uint64_t at = table; at < table + 40ull * header.sectionCount; at += 40) {
        const auto address = in.U32(at + 12);
        const auto rawSize = in.U32(at + 16);
        const auto rawOffset = in.U32(at + 20);
        if (!address || !rawSize || !rawOffset)
            return std::nullopt;
        if (std::uint64_t{*address} + *rawSize > 0xFFFFFFFFull)
            return std::nullopt;
        sections.push_back({*address, *rawSize, *rawOffset});
    }
    return sections;
}

std::optional<std::uint64_t> SectionFileOffset(const std::vector<PeSection>& sections, std::uint32_t address)
{
    for (const PeSection& section : sections) {
        if (section.address <= address && address - section.address < section.rawSize)
            return std::uint64_t{section.rawOffset} + (address - section.address);
    }
    return std::nullopt;
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
    case 0xA641:
        return "ARM64EC";
    case 0xA64E:
        return "ARM64X";
    case 0x01C0:
    case 0x01C2:
    case 0x01C4:
        return "ARM";
    case 0x0200:
        return "IA-64";
    case 0x0EBC:
        return "EFI byte code";
    case 0x0162:
    case 0x0166:
    case 0x0168:
    case 0x0169:
    case 0x0266:
    case 0x0366:
    case 0x0466:
        return "MIPS";
    case 0x0184:
        return "Alpha";
    case 0x0284:
        return "Alpha 64";
    case 0x01A2:
    case 0x01A3:
    case 0x01A6:
    case 0x01A8:
        return "SuperH";
    case 0x01F0:
    case 0x01F1:
        return "PowerPC";
    case 0x5032:
        return "RISC-V 32";
    case 0x5064:
        return "RISC-V 64";
    case 0x5128:
        return "RISC-V 128";
    case 0x6232:
        return "LoongArch 32";
    case 0x6264:
        return "LoongArch 64";
    default:
        return "0x" + HexDigits(machine, 4);
    }
}

} // namespace korrimat
