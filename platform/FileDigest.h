#pragma once
// The SHA-256 of a file's contents through the system's cryptography, read in pieces so that the
// work can report its progress and be stopped between pieces. Meant for a worker thread (Worker.h).

#include "platform/FileContents.h"

#include <cstdint>
#include <functional>
#include <string>

namespace korrimat {

struct FileDigest {
    enum class Outcome {
        Done,          // `hex` holds the digest
        Stopped,       // the stop event was set first
        CannotOpen,    // `error` says why (ERROR_SHARING_VIOLATION: held open with no sharing)
        CannotRead,    // a read failed part of the way: `error`
        NoCryptography,
    };
    Outcome outcome = Outcome::NoCryptography;
    DWORD error = 0;
    std::string hex;  // lower-case hexadecimal, 64 digits
};

// Reads the file opened with every kind of sharing (FileContents::OpenToRead) and hashes it.
// `progress(done, total)` follows each piece, in bytes. `stop` may be null: nothing stops it.
FileDigest Sha256OfFile(const FileContents& contents, const std::string& path, HANDLE stop,
                        const std::function<void(std::uint64_t done, std::uint64_t total)>& progress);

} // namespace korrimat
