#include "formats/IconSourceCheck.h"

#include <optional>
#include <utility>
#include <vector>

namespace korrimat {

namespace {

constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint16_t kIconType = 3;
constexpr std::uint16_t kGroupIconType = 14;
constexpr std::uint32_t kOffsetBits = 0x7FFFFFFF;  // the high bit only marks a subdirectory

// An icon file: its directory and every image it names.
bool IconFileIsWhole(const ByteReader& in)
{
    const auto reserved = in.U16(0);
    const auto count = in.U16(4);
    if (reserved && *reserved != 0)
        return true;  // not taken for an icon file
    if (!count)
        return false;
    if (!in.Holds(6, 16ull * *count))
        return false;
    for (std::uint64_t entry = 6; entry < 6 + 16ull * *count; entry += 16) {
        const auto bytes = in.U32(entry + 8);
        const auto offset = in.U32(entry + 12);
        if (!bytes || !offset || !in.Holds(*offset, *bytes))
            return false;
    }
    return true;
}

struct Directory {
    std::uint64_t offset;
    std::uint32_t named;    // entries named by a string come first
    std::uint32_t entries;  // named and numbered together
};

class PeResources {
public:
    PeResources(const ByteReader& in, std::vector<PeSection> sections, std::uint64_t root)
        : in_(in), sections_(std::move(sections)), root_(root)
    {
    }

    // Where an address of the loaded image lies in the file: in a section's raw data, or nowhere
    // (the shell then stops reading before it reads anything there).
    std::optional<std::uint64_t> FileOffsetOf(std::uint32_t address) const
    {
        return SectionFileOffset(sections_, address);
    }

    // A directory at an offset from the root, with all its entries.
    std::optional<Directory> DirectoryAt(std::uint64_t offset) const
    {
        const auto named = in_.U16(offset + 12);
        const auto numbered = in_.U16(offset + 14);
        if (!named || !numbered)
            return std::nullopt;
        const Directory directory{offset, *named, std::uint32_t{*named} + *numbered};
        if (!in_.Holds(offset + 16, 8ull * directory.entries))
            return std::nullopt;
        return directory;
    }

    std::uint64_t EntryOffset(const Directory& directory, std::uint32_t index) const
    {
        return directory.offset + 16 + 8ull * index;
    }

    // Where an entry points, from the root.
    std::optional<std::uint64_t> Target(std::uint64_t entry) const
    {
        const auto offset = in_.U32(entry + 4);
        if (!offset)
            return std::nullopt;
        return root_ + (*offset & kOffsetBits);
    }

    // Below a name: the first language's data entry, which the shell takes whatever the count
    // says, and the data it names; for an icon group, as much of it as its header announces.
    bool ResourceIsWhole(std::uint64_t nameEntry, bool groupData) const
    {
        const auto languages = Target(nameEntry);
        if (!languages || !in_.Holds(*languages, 16 + 8))
            return false;
        const auto dataEntry = Target(*languages + 16);
        if (!dataEntry || !in_.Holds(*dataEntry, 16))
            return false;
        const auto address = in_.U32(*dataEntry);
        const auto size = in_.U32(*dataEntry + 4);
        if (!address || !size)
            return false;
        const std::optional<std::uint64_t> data = FileOffsetOf(*address);
        if (!data)
            return true;
        if (!groupData)
            return in_.Holds(*data, *size);
        // An icon group: a six-byte header and fourteen bytes for each image it lists.
        const auto images = in_.U16(*data + 4);
        return images && in_.Holds(*data, 6 + 14ull * *images);
    }

    // Every resource of a type (all directories of that number, should there be several).
    bool TypeIsWhole(const Directory& root, std::uint16_t type) const
    {
        for (std::uint32_t index = root.named; index < root.entries; ++index) {
            const std::uint64_t entry = EntryOffset(root, index);
            const auto id = in_.U32(entry);
            if (!id || (*id & 0xFFFF) != type)
                continue;
            const auto target = Target(entry);
            const std::optional<Directory> names = target ? DirectoryAt(*target) : std::nullopt;
            if (!names)
                return false;
            for (std::uint32_t name = 0; name < names->entries; ++name) {
                if (!ResourceIsWhole(EntryOffset(*names, name), type == kGroupIconType))
                    return false;
            }
        }
        return true;
    }

private:
    const ByteReader& in_;
    std::vector<PeSection> sections_;
    std::uint64_t root_;
};

bool ProgramIconsAreWhole(const ByteReader& in, std::uint32_t header)
{
    const std::optional<PeFileHeader> pe = ReadPeFileHeader(in, header);
    if (!pe)
        return false;
    const std::uint64_t optional = pe->optional;
    std::uint64_t directoryCountField = 0;
    if (pe->magic == kPe32)
        directoryCountField = optional + 92;
    else if (pe->magic == kPe32Plus)
        directoryCountField = optional + 108;
    else
        return true;  // no image the shell reads resources from
    const auto headersSize = in.U32(optional + 60);
    const auto directoryCount = in.U32(directoryCountField);
    if (!headersSize || !directoryCount)
        return false;
    if (*directoryCount <= kResourceDirectory)
        return true;
    const auto resources = in.U32(directoryCountField + 4 + 8 * kResourceDirectory);
    if (!resources)
        return false;
    if (*resources == 0)
        return true;

    std::optional<std::vector<PeSection>> sections = ReadSectionTable(in, *pe);
    if (!sections)
        return false;

    std::optional<std::uint64_t> root;
    if (*resources < *headersSize) {
        root = *resources;
    } else {
        root = SectionFileOffset(*sections, *resources);
        if (!root)
            return true;  // the shell finds no resources, and reads none
    }
    const PeResources tree(in, std::move(*sections), *root);
    const std::optional<Directory> types = tree.DirectoryAt(*root);
    return types && tree.TypeIsWhole(*types, kGroupIconType) && tree.TypeIsWhole(*types, kIconType);
}

} // namespace

bool IconSourceIsWhole(const ByteSource& file)
{
    const ByteReader in(file);
    const auto signature = in.U16(0);
    const auto second = in.U16(2);
    if (!signature || !second)
        return true;  // too short to be taken for a program or an icon file
    const ProgramHeaderPlace header = FindProgramHeader(in);
    switch (header.kind) {
    case NewHeader::NotMz:
        return *second == 1 ? IconFileIsWhole(in) : true;
    case NewHeader::None:
        return true;  // taken for no program with a header of its own
    case NewHeader::Cut:
        return false;
    case NewHeader::Pe:
        return ProgramIconsAreWhole(in, header.offset);
    case NewHeader::Ne:
        // A 16-bit program's resource table is not walked here: its icons are not read.
        return false;
    case NewHeader::Other:
        break;
    }
    return true;
}

} // namespace korrimat
