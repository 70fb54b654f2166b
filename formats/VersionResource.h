#pragma once
// Everything a version resource carries, read by its own walk of the blocks (VersionBlocks.h)
// rather than by the system's queries: the fixed part's numbers, every translation pair, and
// every string table with every string in it (any key, not only the version items), all in the
// file's own order. A block that does not fit is left out with what follows it at its level;
// what came before it is kept. Plain bytes in, no system call and no Windows header.

#include "formats/FixedFileFields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

struct VersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    bool operator==(const VersionTranslation&) const = default;
};

struct VersionString {
    std::u16string key;
    std::u16string value;
    bool operator==(const VersionString&) const = default;
};

struct VersionStringTable {
    std::u16string key;  // eight hexadecimal digits: language, then code page
    std::vector<VersionString> strings;
    bool operator==(const VersionStringTable&) const = default;
};

struct VersionResourceContents {
    std::optional<FixedFileFields> fixed;
    std::vector<VersionTranslation> translations;
    std::vector<VersionStringTable> tables;
    // False when some block did not fit and was left out.
    bool whole = true;
    bool operator==(const VersionResourceContents&) const = default;
};

VersionResourceContents ReadVersionResource(std::span<const std::uint8_t> image);

// The four parts of a version held in two 32-bit fields.
std::array<std::uint16_t, 4> VersionParts(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// The string table key a translation names ("040904B0").
std::u16string TranslationKey(const VersionTranslation& translation);

// Which string table each translation names (its key, letters in either case; the first such
// table), and the tables no translation names, each by its place in `contents.tables`.
struct TranslationTables {
    std::vector<std::optional<std::size_t>> tableOfTranslation;  // one per translation
    std::vector<std::size_t> unnamedTables;
};
TranslationTables MatchTranslations(const VersionResourceContents& contents);

// The name of a code page a version resource names (the list the resource format documents):
// "Unicode" for 1200, "Multilingual" for 1252...; empty for any other.
std::string_view CodePageName(std::uint16_t codePage);

} // namespace korrimat
