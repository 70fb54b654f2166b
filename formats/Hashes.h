#pragma once
// The hash algorithms Korrimat computes, by the names users and sums files give them, and a hash
// as a user types or pastes it. Plain text in, no system call.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korrimat {

enum class HashAlgorithm { Md5, Sha1, Sha256, Sha384, Sha512 };

struct HashKind {
    HashAlgorithm algorithm;
    std::string_view key;      // the report's and the console's name: "sha256"
    std::string_view caption;  // as the page and the text report name it: "SHA-256"
    std::string_view tag;      // a BSD-style sums line's tag: "SHA256"
    std::size_t digits;        // hexadecimal digits of a value
};

inline constexpr std::array<HashKind, 5> kHashKinds{{
    {HashAlgorithm::Md5, "md5", "MD5", "MD5", 32},
    {HashAlgorithm::Sha1, "sha1", "SHA-1", "SHA1", 40},
    {HashAlgorithm::Sha256, "sha256", "SHA-256", "SHA256", 64},
    {HashAlgorithm::Sha384, "sha384", "SHA-384", "SHA384", 96},
    {HashAlgorithm::Sha512, "sha512", "SHA-512", "SHA512", 128},
}};

// The four the Hashes page shows, in its order.
inline constexpr std::array<HashAlgorithm, 4> kPageHashes{HashAlgorithm::Md5, HashAlgorithm::Sha1, HashAlgorithm::Sha256,
                                                          HashAlgorithm::Sha512};

const HashKind& KindOf(HashAlgorithm algorithm);
// By the report's name or the sums line's tag, any case ("sha256", "SHA256", "sha-256").
std::optional<HashAlgorithm> HashByName(std::string_view name);
// By the number of hexadecimal digits of a value; nothing for a length no algorithm has.
std::optional<HashAlgorithm> HashByDigits(std::size_t digits);

// A hash as typed or pasted: letter case, spaces, tabs, line breaks and colons ignored, and an
// algorithm's name before it ("sha256:", "SHA-256 ") taken as what it claims to be.
struct TypedHash {
    std::string digits;  // lower case
    std::optional<HashAlgorithm> named;
};
// Nothing when what is left is empty or holds anything but hexadecimal digits.
std::optional<TypedHash> ReadTypedHash(std::string_view text);

// Text shaped like a hash on its own, 32, 40, 64 or 128 hexadecimal digits with at most white
// space around them: the digits as they stand; nothing for any other text.
std::optional<std::string> HashShapedText(std::string_view text);

} // namespace korrimat
