#include "reliability/mutation/PeResources.h"

namespace korrimat::mutation {
namespace {

constexpr std::uint32_t kVersionType = 16;
constexpr std::uint32_t kVersionName = 1;
constexpr std::uint32_t kHighBit = 0x80000000u;

bool Fits(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t count)
{
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

class PeFile {
public:
    explicit PeFile(std::span<const std::uint8_t> file) : file_(file) {}

    bool ReadHeaders(std::string& why)
    {
        if (!Fits(file_, 0, 0x40) || file_[0] != 'M' || file_[1] != 'Z') {
            why = "no MZ header";
            return false;
        }
        const std::size_t pe = ReadDword(file_, 0x3C);
        if (!Fits(file_, pe, 24) || ReadDword(file_, pe) != 0x00004550u) {
            why = "no PE signature";
            return false;
        }
        const std::size_t sectionCount = ReadWord(file_, pe + 6);
        const std::size_t optionalSize = ReadWord(file_, pe + 20);
        const std::size_t optional = pe + 24;
        if (!Fits(file_, optional, optionalSize) || optionalSize < 2) {
            why = "optional header outside the file";
            return false;
        }
        // PE32 keeps its data directories 96 bytes in, PE32+ 112.
        std::size_t directories = 0;
        switch (ReadWord(file_, optional)) {
        case 0x10B: directories = 96; break;
        case 0x20B: directories = 112; break;
        default:
            why = "unknown optional header";
            return false;
        }
        const std::size_t resourceEntry = directories + 2 * 8;
        if (optionalSize < resourceEntry + 8 || ReadDword(file_, optional + directories - 4) < 3) {
            why = "no resource directory entry";
            return false;
        }
        resourceRva_ = ReadDword(file_, optional + resourceEntry);
        resourceSize_ = ReadDword(file_, optional + resourceEntry + 4);

        const std::size_t table = optional + optionalSize;
        if (!Fits(file_, table, sectionCount * 40)) {
            why = "section table outside the file";
            return false;
        }
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t at = table + i * 40;
            sections_.push_back({ReadDword(file_, at + 12), ReadDword(file_, at + 8), ReadDword(file_, at + 16),
                                 ReadDword(file_, at + 20)});
        }
        return true;
    }

    // Where `count` bytes at an address relative to the image lie in the file.
    std::optional<std::size_t> OffsetOf(std::uint32_t rva, std::size_t count) const
    {
        for (const Section& section : sections_) {
            if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize)
                continue;
            const std::size_t inside = rva - section.virtualAddress;
            if (count > section.rawSize - inside)
                return std::nullopt;
            const std::size_t offset = std::size_t{section.rawOffset} + inside;
            if (!Fits(file_, offset, count))
                return std::nullopt;
            return offset;
        }
        return std::nullopt;
    }

    std::uint32_t ResourceRva() const { return resourceRva_; }
    std::uint32_t ResourceSize() const { return resourceSize_; }

private:
    std::span<const std::uint8_t> file_;
    std::uint32_t resourceRva_ = 0;
    std::uint32_t resourceSize_ = 0;
    std::vector<Section> sections_;
};

// One level of the resource directory: the entry with `id` (or, with `orFirst`, the first entry
// when none has it). Gives the entry's target, relative to the directory's root.
std::optional<std::uint32_t> EntryOf(std::span<const std::uint8_t> directory, std::size_t table, std::uint32_t id,
                                     bool orFirst)
{
    if (!Fits(directory, table, 16))
        return std::nullopt;
    const std::size_t named = ReadWord(directory, table + 12);
    const std::size_t numbered = ReadWord(directory, table + 14);
    const std::size_t count = named + numbered;
    if (count == 0 || !Fits(directory, table + 16, count * 8))
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = table + 16 + i * 8;
        const std::uint32_t name = ReadDword(directory, entry);
        if ((name & kHighBit) == 0 && name == id)
            return ReadDword(directory, entry + 4);
    }
    if (orFirst)
        return ReadDword(directory, table + 16 + 4);
    return std::nullopt;
}

} // namespace

std::uint16_t ReadWord(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t ReadDword(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(ReadWord(bytes, offset)) |
           (static_cast<std::uint32_t>(ReadWord(bytes, offset + 2)) << 16);
}

void WriteWord(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteDword(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    WriteWord(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    WriteWord(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::optional<VersionResource> FindVersionResource(std::span<const std::uint8_t> file, std::string& why)
{
    PeFile pe(file);
    if (!pe.ReadHeaders(why))
        return std::nullopt;
    if (pe.ResourceRva() == 0 || pe.ResourceSize() == 0) {
        why = "no resources";
        return std::nullopt;
    }
    const std::optional<std::size_t> root = pe.OffsetOf(pe.ResourceRva(), pe.ResourceSize());
    if (!root) {
        why = "resource directory outside the file";
        return std::nullopt;
    }
    const std::span<const std::uint8_t> directory = file.subspan(*root, pe.ResourceSize());

    // Type, then name, then language; the first two lead to further tables, the last to data.
    const std::optional<std::uint32_t> names = EntryOf(directory, 0, kVersionType, false);
    if (!names || (*names & kHighBit) == 0) {
        why = "no version resource";
        return std::nullopt;
    }
    const std::optional<std::uint32_t> languages = EntryOf(directory, *names & ~kHighBit, kVersionName, true);
    if (!languages || (*languages & kHighBit) == 0) {
        why = "version resource without a language table";
        return std::nullopt;
    }
    const std::optional<std::uint32_t> data = EntryOf(directory, *languages & ~kHighBit, 0, true);
    if (!data || (*data & kHighBit) != 0 || !Fits(directory, *data, 16)) {
        why = "version resource without a data entry";
        return std::nullopt;
    }
    VersionResource found;
    found.dataEntryOffset = *root + *data;
    found.size = ReadDword(directory, *data + 4);
    const std::optional<std::size_t> offset = pe.OffsetOf(ReadDword(directory, *data), found.size);
    if (!offset) {
        why = "version resource data outside the file";
        return std::nullopt;
    }
    found.dataOffset = *offset;
    return found;
}

namespace {

void CollectBlocks(std::span<const std::uint8_t> resource, std::size_t begin, std::size_t limit, int level,
                   std::vector<VersionBlock>& blocks)
{
    constexpr int kDeepest = 4;
    constexpr auto align4 = [](std::size_t offset) { return (offset + 3) & ~std::size_t{3}; };
    if (begin >= limit || limit - begin < 6)
        return;
    VersionBlock block;
    block.offset = begin;
    block.length = ReadWord(resource, begin);
    block.valueLength = ReadWord(resource, begin + 2);
    block.parentEnd = limit;
    block.level = level;
    const bool text = ReadWord(resource, begin + 4) != 0;
    if (block.length < 6 || block.length > limit - begin)
        return;
    const std::size_t end = begin + block.length;
    std::size_t at = begin + 6;
    while (at + 2 <= end && ReadWord(resource, at) != 0)
        at += 2;
    if (at + 2 > end)
        return;
    block.keyEnd = at;
    blocks.push_back(block);
    if (level == kDeepest)
        return;
    const std::size_t value = begin + align4(at + 2 - begin);
    std::size_t child = begin + align4(value - begin + block.valueLength * (text ? 2 : 1));
    while (child + 6 <= end) {
        const std::size_t length = ReadWord(resource, child);
        if (length < 6)
            return;
        CollectBlocks(resource, child, end, level + 1, blocks);
        child += align4(length);
    }
}

} // namespace

std::vector<VersionBlock> VersionBlocks(std::span<const std::uint8_t> resource)
{
    std::vector<VersionBlock> blocks;
    CollectBlocks(resource, 0, resource.size(), 0, blocks);
    return blocks;
}

} // namespace korrimat::mutation
