#include "platform/FileDigest.h"

#include "platform/Text.h"

#include <vector>

namespace korrimat {

namespace {

constexpr std::size_t kPieceSize = 1 << 20;

std::string Hex(const std::vector<BYTE>& bytes)
{
    std::string text;
    for (const BYTE byte : bytes)
        text += HexDigits(byte, 2, true);
    return text;
}

} // namespace

FileDigest Sha256OfFile(const Platform& platform, const std::string& path, HANDLE stop,
                        const std::function<void(std::uint64_t done, std::uint64_t total)>& progress)
{
    FileDigest result;
    const std::unique_ptr<Digest> digest = platform.NewSha256();
    if (!digest)
        return result;
    const UniqueFile file = platform.OpenToRead(path, result.error);
    if (!file) {
        result.outcome = FileDigest::Outcome::CannotOpen;
        return result;
    }
    const std::uint64_t total = platform.SizeOfOpenFile(file.Get()).value_or(0);
    std::vector<BYTE> piece(kPieceSize);
    std::uint64_t done = 0;
    for (;;) {
        if (stop && ::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
            result.outcome = FileDigest::Outcome::Stopped;
            return result;
        }
        const std::optional<std::size_t> read = platform.ReadOpenFile(file.Get(), piece, result.error);
        if (!read) {
            result.outcome = FileDigest::Outcome::CannotRead;
            return result;
        }
        if (*read == 0)
            break;
        if (!digest->Add(std::span<const BYTE>(piece.data(), *read))) {
            result.outcome = FileDigest::Outcome::NoCryptography;
            return result;
        }
        done += *read;
        if (progress)
            progress(done, total);
    }
    const std::optional<std::vector<BYTE>> value = digest->Finish();
    if (!value)
        return result;
    result.outcome = FileDigest::Outcome::Done;
    result.hex = Hex(*value);
    return result;
}

} // namespace korrimat
