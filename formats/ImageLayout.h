#pragma once
// A PE image as the loader lays it out, over its file's bytes: where the bytes behind an image
// address lie, the data directories, and names at image addresses; and the walk of its resource
// tree to the manifest. For the readers of formats/ProgramImage.cpp.

#include "formats/PeHeaders.h"
#include "formats/ProgramImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korrimat {

// The image as the loader lays it out, for finding the file bytes behind an image address.
class ImageLayout {
public:
    ImageLayout(const ByteReader& in, const PeFileHeader& header, std::vector<PeSection> sections,
          std::uint32_t headersSize, std::uint64_t imageBase)
        : in_(in), header_(header), sections_(std::move(sections)), headersSize_(headersSize), imageBase_(imageBase)
    {
    }

    const ByteReader& In() const { return in_; }
    std::uint64_t ImageBase() const { return imageBase_; }

    // In a section's raw data, else in the headers, which are loaded as they lie in the file.
    std::optional<std::uint64_t> FileOffsetOf(std::uint32_t address) const
    {
        if (const auto offset = SectionFileOffset(sections_, address))
            return offset;
        if (address < headersSize_)
            return address;
        return std::nullopt;
    }

    // Where a directory's contents start in the file; nothing for an absent directory.
    std::optional<PeDataDirectory> Directory(std::uint32_t index) const
    {
        const std::optional<PeDataDirectory> directory = ReadDataDirectory(in_, header_, index);
        if (!directory || directory->address == 0)
            return std::nullopt;
        return directory;
    }

    std::optional<std::uint64_t> DirectoryOffset(std::uint32_t index) const
    {
        const auto directory = Directory(index);
        return directory ? FileOffsetOf(directory->address) : std::nullopt;
    }

    // A library's name at an image address: NUL-terminated, not empty, within the cap.
    std::optional<std::string> NameAt(std::uint32_t address) const
    {
        const auto offset = FileOffsetOf(address);
        if (!offset)
            return std::nullopt;
        auto name = in_.TextUpToNul(*offset, kMaxProgramImageNameBytes + 1);
        if (!name || name->empty())
            return std::nullopt;
        return name;
    }

private:
    const ByteReader& in_;
    const PeFileHeader& header_;
    std::vector<PeSection> sections_;
    std::uint32_t headersSize_;
    std::uint64_t imageBase_;
};

// The first RT_MANIFEST resource (the lowest ID, or the first name) in its first language.
std::optional<ResourcePlace> FindManifest(const ImageLayout& image);

} // namespace korrimat
