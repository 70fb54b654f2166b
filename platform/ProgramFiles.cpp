#include "platform/ProgramFiles.h"

#include "platform/FileSystem.h"
#include "formats/IconSourceCheck.h"

#include <array>
#include <cstring>
#include <utility>

namespace korrimat {

namespace {

// An open file's bytes, read a block at a time: the walks over a program's headers ask for a
// few bytes at a time, mostly near each other, and each ReadFile is a trip into the system.
class OpenFileBytes : public ByteSource {
public:
    explicit OpenFileBytes(HANDLE file) : file_(file)
    {
        LARGE_INTEGER size{};
        size_ = ::GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

    std::uint64_t Size() const override { return size_; }

    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (count > kBlockSize)
            return ReadAt(offset, into, count);
        auto* out = static_cast<std::uint8_t*>(into);
        while (count > 0) {
            const std::uint64_t start = offset / kBlockSize * kBlockSize;
            if (!blockValid_ || start != blockStart_) {
                const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size_ - std::min(size_, start)));
                blockValid_ = wanted > 0 && ReadAt(start, block_.data(), wanted);
                blockStart_ = start;
                blockSize_ = blockValid_ ? wanted : 0;
            }
            const auto within = static_cast<std::size_t>(offset - start);
            if (within >= blockSize_)
                return false;
            const std::size_t piece = std::min(count, blockSize_ - within);
            std::memcpy(out, block_.data() + within, piece);
            out += piece;
            offset += piece;
            count -= piece;
        }
        return true;
    }

private:
    static constexpr std::size_t kBlockSize = 4096;

    bool ReadAt(std::uint64_t offset, void* into, std::size_t count) const
    {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return ::ReadFile(file_, into, static_cast<DWORD>(count), &read, &at) && read == count;
    }

    HANDLE file_;
    std::uint64_t size_ = 0;
    mutable std::array<std::uint8_t, kBlockSize> block_{};
    mutable std::uint64_t blockStart_ = 0;
    mutable std::size_t blockSize_ = 0;
    mutable bool blockValid_ = false;
};

} // namespace

bool IconSourceIsWholeAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return !file || IconSourceIsWhole(OpenFileBytes(file.Get()));
}

ProgramKind ProgramKindAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return file ? ProgramKindOf(OpenFileBytes(file.Get())) : ProgramKind{};
}

namespace {

std::optional<ProgramFacts> ProgramFactsIn(HANDLE file, const ByteSource& bytes)
{
    std::optional<ProgramImage> image = ReadProgramImage(bytes);
    if (!image)
        return std::nullopt;
    ProgramFacts program{std::move(*image), std::nullopt};
    if (const std::optional<ResourcePlace> place = program.image.manifest) {
        if (place->size > kManifestLargest) {
            program.manifest = ManifestFacts{};
            program.manifest->reading = ManifestReading::TooLarge;
        } else if (const std::vector<std::uint8_t> xml = ReadFileBytes(file, place->offset, place->size); !xml.empty()) {
            program.manifest = ReadManifest(xml);
        } else {
            program.manifest = ManifestFacts{};
            program.manifest->reading = ManifestReading::Unreadable;
        }
    }
    return program;
}

} // namespace

ProgramHeaders ProgramHeadersAt(const std::string& path, bool wholeImage)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    if (!file)
        return {};
    const OpenFileBytes bytes(file.Get());
    ProgramHeaders headers;
    headers.kind = ProgramKindOf(bytes);
    headers.signature = FindEmbeddedSignature(bytes);
    if (wholeImage && headers.kind.pe)
        headers.program = ProgramFactsIn(file.Get(), bytes);
    return headers;
}

std::optional<ProgramFacts> ProgramFactsAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    if (!file)
        return std::nullopt;
    return ProgramFactsIn(file.Get(), OpenFileBytes(file.Get()));
}

EmbeddedSignaturePlace EmbeddedSignatureIn(HANDLE file)
{
    return FindEmbeddedSignature(OpenFileBytes(file));
}

EmbeddedSignaturePlace EmbeddedSignatureAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return file ? EmbeddedSignatureIn(file.Get()) : EmbeddedSignaturePlace{};
}

std::vector<std::uint8_t> ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (count > MAXDWORD || !::ReadFile(file, bytes.data(), static_cast<DWORD>(count), &read, &at) || read != count)
        return {};
    return bytes;
}

} // namespace korrimat
