#pragma once
// A file's contents and their digests, as a seam: what the user asks for alone (a file's hash),
// which a test overrides to make a read or the system's cryptography fail. Calls may come from a
// worker thread.

#include "formats/Hashes.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korrimat {

// A message digest being computed: bytes added in order, then the digest.
class Digest {
public:
    virtual ~Digest() = default;
    [[nodiscard]] virtual bool Add(std::span<const BYTE> bytes) = 0;
    // The digest of everything added; nothing when the system failed.
    [[nodiscard]] virtual std::optional<std::vector<BYTE>> Finish() = 0;
};

// A file opened for reading, or the system's error.
struct OpenedFile {
    UniqueFile file;
    DWORD error = ERROR_SUCCESS;
};

// A read: the count read (0 at the end), or the system's error.
struct FileRead {
    std::size_t count = 0;
    DWORD error = ERROR_SUCCESS;
    bool Failed() const noexcept { return error != ERROR_SUCCESS; }
};

class FileContents {
public:
    virtual ~FileContents() = default;
    // CreateFileW for reading the contents, with every kind of sharing (a file another program has
    // open for writing can still be read).
    [[nodiscard]] virtual OpenedFile OpenToRead(const std::string& path) const;
    // ReadFile of up to `buffer`'s size at the file's position.
    [[nodiscard]] virtual FileRead Read(HANDLE file, std::span<BYTE> buffer) const;
    // The system's hash of that algorithm (BCrypt); null when it cannot be had.
    [[nodiscard]] virtual std::unique_ptr<Digest> NewDigest(HashAlgorithm algorithm) const;
};

// The system's name of an algorithm for BCryptOpenAlgorithmProvider.
[[nodiscard]] LPCWSTR BCryptAlgorithmId(HashAlgorithm algorithm);

// GetFileSizeEx of an open file.
[[nodiscard]] std::optional<std::uint64_t> SizeOfOpenFile(HANDLE file);

} // namespace korrimat
