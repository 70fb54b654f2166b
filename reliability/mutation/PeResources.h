#pragma once
// A small reader of the parts of a PE file the mutation run changes: where the version resource
// (RT_VERSION) lies in the file, and the blocks inside it. Every read is checked against the
// file's size; a file it cannot follow gives nothing and a reason.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korrimat::mutation {

struct VersionResource {
    // File offset of the resource data entry (its size field is four bytes further on).
    std::size_t dataEntryOffset = 0;
    // File offset and size of the resource data.
    std::size_t dataOffset = 0;
    std::size_t size = 0;
};

// The version resource the system's lookup takes: type 16, name 1 (else the first name), the
// first language.
std::optional<VersionResource> FindVersionResource(std::span<const std::uint8_t> file, std::string& why);

// One block of a version resource, by its offset inside the resource data.
struct VersionBlock {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::size_t valueLength = 0;
    std::size_t keyEnd = 0;          // offset of the key's terminating zero character
    std::size_t parentEnd = 0;       // where the enclosing block ends (the resource's end for the root)
    int level = 0;
};

// Every block of a well-formed resource, parents before their children, in file order. Stops
// at the first block that does not fit (a damaged resource gives what came before).
std::vector<VersionBlock> VersionBlocks(std::span<const std::uint8_t> resource);

std::uint16_t ReadWord(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t ReadDword(std::span<const std::uint8_t> bytes, std::size_t offset);
void WriteWord(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);
void WriteDword(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);

} // namespace korrimat::mutation
