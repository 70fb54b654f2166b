#pragma once
// What the objects ask of a file-system entry, as a seam: the real calls (FileSystem.h, past the
// 260-character limit where the narrow ones give up), which a test overrides one at a time where
// it needs an answer the system cannot be made to give.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace korrimat {

class FileEntries {
public:
    virtual ~FileEntries() = default;

    // GetFullPathNameA: the absolute form of a path, or nothing when none can be formed.
    [[nodiscard]] virtual std::optional<std::string> FullPathOf(const std::string& path) const;
    // FindFirstFileA (the search closed again at once): the first matching entry, or nothing.
    [[nodiscard]] virtual std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const;
    // GetShortPathNameA: the 8.3 form of a path, or nothing.
    [[nodiscard]] virtual std::optional<std::string> ShortPathOf(const std::string& path) const;
    // GetCompressedFileSizeA: the bytes the entry takes on its disk, or nothing on failure.
    [[nodiscard]] virtual std::optional<std::uint64_t> CompressedSizeOf(const std::string& path) const;
};

} // namespace korrimat
