#pragma once
// What the sums files beside a file (SHA256SUMS, setup.exe.sha256...) say its hash is.

#include "formats/Hashes.h"

#include <string>
#include <vector>

namespace korrimat {

struct SumsClaim {
    std::string sumsFile;  // the sums file's name as its folder lists it: "SHA256SUMS"
    enum class Kind { Hash, DifferentHashes, TooLarge };
    Kind kind = Kind::Hash;
    HashAlgorithm algorithm = HashAlgorithm::Sha256;  // Hash and DifferentHashes
    std::string digits;                               // Hash: the value it gives
    bool operator==(const SumsClaim&) const = default;
};

// The sums files in the folder of `path` (a file's full path) that name its file, in the folder's name order:
// each with the hash it gives (Kind::Hash), or DifferentHashes when it names the file twice with different values
// (twice with the same value is one Hash); sums files too large to read are listed as TooLarge; sums files that
// cannot be opened, or name the file nowhere, are left out. A name matches the file's name ignoring case as the
// file system does (SameNameIgnoringCase), with a leading "./" ignored; names with a folder part don't match.
// A sums file that gives the file's hash by more than one algorithm (BSD lines of several tags) makes one claim
// per algorithm, in the order of their first lines.
std::vector<SumsClaim> SumsClaimsFor(const std::string& path);

} // namespace korrimat
