#include "formats/Hashes.h"

#include "formats/PlainText.h"

#include <algorithm>

namespace korrimat {

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The name without its hyphens, in lower case: "SHA-256" and "sha256" alike.
std::string Folded(std::string_view name)
{
    std::string folded;
    for (const char c : name) {
        if (c != '-' && c != '_')
            folded += AsciiLower(c);
    }
    return folded;
}

} // namespace

const HashKind& KindOf(HashAlgorithm algorithm)
{
    for (const HashKind& kind : kHashKinds) {
        if (kind.algorithm == algorithm)
            return kind;
    }
    return kHashKinds[0];
}

std::optional<HashAlgorithm> HashByName(std::string_view name)
{
    const std::string folded = Folded(name);
    for (const HashKind& kind : kHashKinds) {
        if (folded == kind.key)
            return kind.algorithm;
    }
    return std::nullopt;
}

std::optional<HashAlgorithm> HashByDigits(std::size_t digits)
{
    for (const HashKind& kind : kHashKinds) {
        if (kind.digits == digits)
            return kind.algorithm;
    }
    return std::nullopt;
}

std::optional<TypedHash> ReadTypedHash(std::string_view text)
{
    TypedHash typed;
    // A leading name: letters, digits and hyphens up to the first colon or space, when they name an
    // algorithm ("sha256:", "SHA-512 "). Digits alone are the hash itself.
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start != std::string_view::npos) {
        const std::size_t end = text.find_first_of(": \t", start);
        if (end != std::string_view::npos) {
            if (const std::optional<HashAlgorithm> named = HashByName(text.substr(start, end - start))) {
                typed.named = named;
                text = text.substr(end);
            }
        }
    }
    for (const char c : text) {
        if (IsSpace(c) || c == ':')
            continue;
        if (!IsHexDigit(c))
            return std::nullopt;
        typed.digits += AsciiLower(c);
    }
    if (typed.digits.empty())
        return std::nullopt;
    return typed;
}

std::optional<std::string> HashShapedText(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    const std::string_view digits = text.substr(first, last - first + 1);
    const bool allHex = std::all_of(digits.begin(), digits.end(), IsHexDigit);
    const std::size_t n = digits.size();
    if (!allHex || (n != 32 && n != 40 && n != 64 && n != 128))
        return std::nullopt;
    return std::string(digits);
}

} // namespace korrimat
