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

FileDigest Sha256OfFile(const FileContents& contents, const std::string& path, HANDLE stop,
                        const std::function<void(std::uint64_t done, std::uint64_t total)>& progress)
{
    FileDigest result;
    const std::unique_ptr<Digest> digest = contents.NewSha256();
    if (!digest)
        return result;
    const OpenedFile opened = contents.OpenToRead(path);
    const UniqueFile& file = opened.file;
    if (!file) {
        result.error = opened.error;
        result.outcome = FileDigest::Outcome::CannotOpen;
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
        if (!digest->Add(std::span<const BYTE>(piece.data(), read.count))) {
            result.outcome = FileDigest::Outcome::NoCryptography;
            return result;
        }
        done += read.count;
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
