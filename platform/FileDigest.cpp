#include "platform/FileDigest.h"

#include "platform/Text.h"

#include <memory>
#include <vector>

namespace korrimat {

namespace {

// Large enough that the system's calls cost nothing beside the hashing, small enough to stay
// in the processor's caches while the digests run over it.
constexpr std::size_t kPieceSize = 1 << 20;

std::string Hex(const std::vector<BYTE>& bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const BYTE byte : bytes)
        text += HexDigits(byte, 2, true);
    return text;
}

} // namespace

FileDigest HashesOfFile(const FileContents& contents, const std::string& path, std::span<const HashAlgorithm> algorithms,
                        HANDLE stop, const DigestProgress& progress)
{
    FileDigest result;
    std::vector<std::unique_ptr<Digest>> digests;
    for (const HashAlgorithm algorithm : algorithms) {
        digests.push_back(contents.NewDigest(algorithm));
        if (!digests.back())
            return result;
    }
    const OpenedFile opened = contents.OpenToRead(path);
    const UniqueFile& file = opened.file;
    if (!file) {
        result.outcome = FileDigest::Outcome::CannotOpen;
        result.error = opened.error;
        return result;
    }
    const std::uint64_t total = SizeOfOpenFile(file.Get()).value_or(0);
    std::vector<BYTE> piece(kPieceSize);
    std::uint64_t done = 0;
    for (;;) {
        if (stop && ::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
            result.outcome = FileDigest::Outcome::Stopped;
            return result;
        }
        const FileRead read = contents.Read(file.Get(), piece);
        if (read.Failed()) {
            result.outcome = FileDigest::Outcome::CannotRead;
            result.error = read.error;
            return result;
        }
        if (read.count == 0)
            break;
        for (const std::unique_ptr<Digest>& digest : digests) {
            if (!digest->Add(std::span<const BYTE>(piece.data(), read.count))) {
                result.outcome = FileDigest::Outcome::NoCryptography;
                return result;
            }
        }
        done += read.count;
        if (progress)
            progress(done, total);
    }
    for (std::size_t i = 0; i < digests.size(); ++i) {
        const std::optional<std::vector<BYTE>> value = digests[i]->Finish();
        if (!value)
            return result;
        result.values.push_back({algorithms[i], Hex(*value)});
    }
    result.outcome = FileDigest::Outcome::Done;
    if (!result.values.empty())
        result.hex = result.values.front().hex;
    return result;
}

FileDigest Sha256OfFile(const FileContents& contents, const std::string& path, HANDLE stop, const DigestProgress& progress)
{
    const HashAlgorithm sha256[] = {HashAlgorithm::Sha256};
    return HashesOfFile(contents, path, sha256, stop, progress);
}

} // namespace korrimat
