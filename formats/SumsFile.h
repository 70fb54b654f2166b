#pragma once
// Sums files as sha256sum and the BSD tools write them: one hash and one file name a line, in the
// GNU form ("HEX  NAME", "HEX *NAME") or the BSD form ("SHA256 (NAME) = HEX"). Plain bytes in, no
// system call and no Windows header.

#include "formats/Hashes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

inline constexpr std::size_t kSumsFileLargest = 1 << 20;  // bytes; a larger file is not read
inline constexpr std::size_t kSumsLineLongest = 4096;     // characters; a file with a longer line is not read

struct SumsEntry {
    std::string name;         // as the line gives it, the GNU form's "*" (binary) mark removed
    std::string digits;       // lower case
    HashAlgorithm algorithm;  // from the BSD tag, else from the sums file's own name, else the digits' count
    std::size_t line = 0;     // 1-based
    bool operator==(const SumsEntry&) const = default;
};

struct SumsFile {
    enum class State { Read, TooLarge };  // TooLarge: over kSumsFileLargest, or a line past kSumsLineLongest; no entries then
    State state = State::Read;
    std::vector<SumsEntry> entries;
    std::size_t unreadableLines = 0;  // neither form; blank lines and lines starting with '#' are not counted
    bool operator==(const SumsFile&) const = default;
};

// SHA256SUMS, SHA512SUMS, SHA1SUMS, MD5SUMS (any case), or a name ending in .sha256, .sha512, .sha1, .md5 (any case).
// A path's last part is taken as its name.
bool IsSumsFileName(std::string_view fileName);
// The algorithm a sums file's name gives its lines (SHA256SUMS, x.sha256 -> Sha256); nothing for a name that gives none.
std::optional<HashAlgorithm> SumsFileAlgorithm(std::string_view fileName);
// The bytes of a sums file (UTF-8, a BOM allowed, LF or CRLF lines). Reads nothing past the span.
// A line whose name holds a zero byte is unreadable: no file has such a name, and a caller's
// zero-terminated path would name another file.
SumsFile ReadSumsFile(std::span<const std::uint8_t> bytes, std::string_view fileName);

} // namespace korrimat
