#include "platform/FileContents.h"

#include "platform/FileSystem.h"

#include <bcrypt.h>

#include <algorithm>

namespace korrimat {

LPCWSTR BCryptAlgorithmId(HashAlgorithm algorithm)
{
    switch (algorithm) {
    case HashAlgorithm::Md5:
        return BCRYPT_MD5_ALGORITHM;
    case HashAlgorithm::Sha1:
        return BCRYPT_SHA1_ALGORITHM;
    case HashAlgorithm::Sha256:
        return BCRYPT_SHA256_ALGORITHM;
    case HashAlgorithm::Sha384:
        return BCRYPT_SHA384_ALGORITHM;
    case HashAlgorithm::Sha512:
        return BCRYPT_SHA512_ALGORITHM;
    }
    return BCRYPT_SHA256_ALGORITHM;
}

namespace {

// A hash through the system's cryptography (BCrypt).
class SystemDigest : public Digest {
public:
    static std::unique_ptr<Digest> Open(HashAlgorithm kind)
    {
        auto digest = std::make_unique<SystemDigest>();
        digest->length_ = KindOf(kind).digits / 2;
        BCRYPT_ALG_HANDLE algorithm = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCryptAlgorithmId(kind), nullptr, 0)))
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
        std::vector<BYTE> digest(length_);
        if (!BCRYPT_SUCCESS(::BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
            return std::nullopt;
        return digest;
    }

private:
    std::size_t length_ = 0;
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

std::unique_ptr<Digest> FileContents::NewDigest(HashAlgorithm algorithm) const
{
    return SystemDigest::Open(algorithm);
}

std::optional<std::uint64_t> SizeOfOpenFile(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace korrimat
