#pragma once
// A file's hashes through the system's cryptography, every algorithm asked for computed in one
// read of the file, in pieces, so that the work can report its progress and be stopped between
// pieces, and the file is never held whole. Meant for a worker.

#include "formats/Hashes.h"
#include "platform/FileContents.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace korrimat {

struct HashValue {
    HashAlgorithm algorithm;
    std::string hex;  // lower-case hexadecimal
};

struct FileDigest {
    enum class Outcome {
        Done,          // `values` holds the digests
        Stopped,       // the stop event was set first
        CannotOpen,    // `error` says why (ERROR_SHARING_VIOLATION: held open with no sharing)
        CannotRead,    // a read failed part of the way: `error`
        NoCryptography,
    };
    Outcome outcome = Outcome::NoCryptography;
    DWORD error = 0;
    std::vector<HashValue> values;  // one for each algorithm asked, in that order, when Done
    // The first value's digits, for a hash asked alone.
    std::string hex;
};

using DigestProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads the file opened with every kind of sharing (FileContents::OpenToRead) and hashes it with
// each of `algorithms`. `progress(done, total)` follows each piece, in bytes. `stop` may be null:
// nothing stops it then.
FileDigest HashesOfFile(const FileContents& contents, const std::string& path, std::span<const HashAlgorithm> algorithms,
                        HANDLE stop, const DigestProgress& progress);
FileDigest Sha256OfFile(const FileContents& contents, const std::string& path, HANDLE stop, const DigestProgress& progress);

} // namespace korrimat
