#include "formats/ImageLayout.h"

namespace korrimat {

namespace {

constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kManifestType = 24;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000;

// A resource directory: 16 bytes, then its entries (8 bytes each), those named by a string
// before those numbered.
struct ResourceDirectory {
    std::uint64_t offset = 0;
    std::uint32_t named = 0;
    std::uint32_t numbered = 0;
};

class ResourceTree {
public:
    ResourceTree(const ImageLayout& image, std::uint64_t root) : image_(image), root_(root) {}

    std::optional<ResourceDirectory> DirectoryAt(std::uint64_t offset) const
    {
        const auto named = image_.In().U16(offset + 12);
        const auto numbered = image_.In().U16(offset + 14);
        if (!named || !numbered || !image_.In().Holds(offset + 16, 8ull * (*named + *numbered)))
            return std::nullopt;
        return ResourceDirectory{offset, *named, *numbered};
    }

    // The directory an entry points to; nothing when it points to data instead.
    std::optional<ResourceDirectory> Below(const ResourceDirectory& directory, std::uint32_t index) const
    {
        const auto target = image_.In().U32(Entry(directory, index) + 4);
        if (!target || (*target & kSubdirectoryBit) == 0)
            return std::nullopt;
        return DirectoryAt(root_ + (*target & ~kSubdirectoryBit));
    }

    std::optional<std::uint32_t> IdOf(const ResourceDirectory& directory, std::uint32_t index) const
    {
        return image_.In().U32(Entry(directory, index));
    }

    // The data an entry points to, wholly inside the file; nothing when it is a directory.
    std::optional<ResourcePlace> DataOf(const ResourceDirectory& directory, std::uint32_t index) const
    {
        const auto target = image_.In().U32(Entry(directory, index) + 4);
        if (!target || (*target & kSubdirectoryBit) != 0)
            return std::nullopt;
        const std::uint64_t dataEntry = root_ + *target;
        const auto address = image_.In().U32(dataEntry);
        const auto size = image_.In().U32(dataEntry + 4);
        const auto offset = address ? image_.FileOffsetOf(*address) : std::nullopt;
        if (!size || !offset || *size == 0 || !image_.In().Holds(*offset, *size))
            return std::nullopt;
        return ResourcePlace{*offset, *size};
    }

private:
    static std::uint64_t Entry(const ResourceDirectory& directory, std::uint32_t index)
    {
        return directory.offset + 16 + 8ull * index;
    }

    const ImageLayout& image_;
    std::uint64_t root_;
};

} // namespace

// Types, then names, then languages: three fixed levels, so no walk can loop.
std::optional<ResourcePlace> FindManifest(const ImageLayout& image)
{
    const auto root = image.DirectoryOffset(kResourceDirectory);
    if (!root)
        return std::nullopt;
    const ResourceTree tree(image, *root);
    const auto types = tree.DirectoryAt(*root);
    if (!types)
        return std::nullopt;
    for (std::uint32_t index = types->named; index < types->named + types->numbered; ++index) {
        if (tree.IdOf(*types, index) != kManifestType)
            continue;
        const auto names = tree.Below(*types, index);
        if (!names || names->named + names->numbered == 0)
            return std::nullopt;
        // Numbered ones (1 for a program, 2 for a library) sort after any named one.
        const auto languages = tree.Below(*names, names->numbered != 0 ? names->named : 0);
        if (!languages || languages->named + languages->numbered == 0)
            return std::nullopt;
        return tree.DataOf(*languages, 0);
    }
    return std::nullopt;
}

} // namespace korrimat
