#include "platform/FileContents.h"

#include "platform/FileSystem.h"

#include <bcrypt.h>

#include <algorithm>

namespace korrimat {

namespace {

// SHA-256 through the system's cryptography (BCrypt).
class SystemSha256 : public Digest {
public:
    static std::unique_ptr<Digest> Open()
    {
        auto digest = std::make_unique<SystemSha256>();
        BCRYPT_ALG_HANDLE algorithm = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            return nullptr;
        digest->algorithm_.Reset(algorithm);
        BCRYPT_HASH_HANDLE hash = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))
            return nullptr;
        digest->hash_.Reset(hash);
        return digest;
    }

    bool Add(std::span<const BYTE> bytes) override
    {
        return BCRYPT_SUCCESS(::BCryptHashData(hash_.Get(), const_cast<PUCHAR>(bytes.data()),
                                               static_cast<ULONG>(bytes.size()), 0));
    }

    std::optional<std::vector<BYTE>> Finish() override
    {
        std::vector<BYTE> digest(32);
        if (!BCRYPT_SUCCESS(::BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
            return std::nullopt;
        return digest;
    }

private:
    // The hash goes before the algorithm it was made from.
    UniqueCryptoAlgorithm algorithm_;
    UniqueCryptoHash hash_;
};

} // namespace

OpenedFile FileContents::OpenToRead(const std::string& path) const
{
    OpenedFile opened;
    opened.file = OpenForReading(path, opened.error);
    return opened;
}

FileRead FileContents::Read(HANDLE file, std::span<BYTE> buffer) const
{
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    if (!::ReadFile(file, buffer.data(), wanted, &read, nullptr))
        return {0, ::GetLastError()};
    return {read, ERROR_SUCCESS};
}

std::unique_ptr<Digest> FileContents::NewSha256() const
{
    return SystemSha256::Open();
}

std::optional<std::uint64_t> SizeOfOpenFile(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace korrimat
