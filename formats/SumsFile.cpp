#include "formats/SumsFile.h"

#include "formats/PlainText.h"

#include <algorithm>
#include <array>

namespace korrimat {

namespace {

struct SumsName {
    std::string_view text;  // lower case
    HashAlgorithm algorithm;
};

// The names the tools give a folder's sums, and the endings of one file's own.
constexpr std::array<SumsName, 4> kWholeNames{{
    {"md5sums", HashAlgorithm::Md5},
    {"sha1sums", HashAlgorithm::Sha1},
    {"sha256sums", HashAlgorithm::Sha256},
    {"sha512sums", HashAlgorithm::Sha512},
}};
constexpr std::array<SumsName, 4> kEndings{{
    {".md5", HashAlgorithm::Md5},
    {".sha1", HashAlgorithm::Sha1},
    {".sha256", HashAlgorithm::Sha256},
    {".sha512", HashAlgorithm::Sha512},
}};

constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";
constexpr std::size_t kLongestTag = 8;  // "SHA-256", with room for "SHA_512" or the like
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view LastPart(std::string_view path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// Nothing when there are no digits or any is not hexadecimal.
std::optional<std::string> LowerHex(std::string_view digits)
{
    if (digits.empty() || digits.find_first_not_of(kHexDigits) != std::string_view::npos)
        return std::nullopt;
    std::string lower(digits);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return lower;
}

// Calls visit(line, number) for each line without its LF or CRLF; a last line without LF too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit)
{
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        visit(line, ++number);
    }
}

// UTF-8 characters: every byte but the continuation bytes.
std::size_t CharacterCount(std::string_view line)
{
    return static_cast<std::size_t>(
        std::count_if(line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool HasOverlongLine(std::string_view text)
{
    bool overlong = false;
    ForEachLine(text, [&](std::string_view line, std::size_t) {
        overlong = overlong || (line.size() > kSumsLineLongest && CharacterCount(line) > kSumsLineLongest);
    });
    return overlong;
}

bool IsBlankOrComment(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#';
}

// "SHA256 (NAME) = HEX": the name may hold " (" and ") = " itself, so it ends at the last ") = ".
std::optional<SumsEntry> ReadBsdLine(std::string_view line)
{
    const std::size_t open = line.find(" (");
    if (open == std::string_view::npos || open > kLongestTag)
        return std::nullopt;
    const std::optional<HashAlgorithm> tagged = HashByName(line.substr(0, open));
    if (!tagged)
        return std::nullopt;
    const std::size_t close = line.rfind(") = ");
    if (close == std::string_view::npos || close < open + 2)
        return std::nullopt;
    std::string_view digits = line.substr(close + 4);
    digits = digits.substr(0, digits.find_last_not_of(" \t") + 1);
    std::optional<std::string> lower = LowerHex(digits);
    if (!lower || lower->size() != KindOf(*tagged).digits)
        return std::nullopt;
    return SumsEntry{std::string(line.substr(open + 2, close - open - 2)), std::move(*lower), *tagged, 0};
}

// "HEX  NAME" or "HEX *NAME", as sha256sum writes them, or "HEX NAME" as some other tools do.
std::optional<SumsEntry> ReadGnuLine(std::string_view line, std::optional<HashAlgorithm> named)
{
    const std::size_t count = line.find_first_not_of(kHexDigits);
    if (count == 0 || count == std::string_view::npos || line[count] != ' ')
        return std::nullopt;
    const std::optional<HashAlgorithm> algorithm = named ? named : HashByDigits(count);
    if (!algorithm || KindOf(*algorithm).digits != count)
        return std::nullopt;
    std::string_view name = line.substr(count + 1);
    if (name.starts_with(' ') || name.starts_with('*'))
        name.remove_prefix(1);
    return SumsEntry{std::string(name), *LowerHex(line.substr(0, count)), *algorithm, 0};
}

bool IsUsableName(std::string_view name)
{
    return !name.empty() && name.find('\0') == std::string_view::npos;
}

} // namespace

std::optional<HashAlgorithm> SumsFileAlgorithm(std::string_view fileName)
{
    const std::string_view name = LastPart(fileName);
    for (const SumsName& whole : kWholeNames) {
        if (SameIgnoringAsciiCase(name, whole.text))
            return whole.algorithm;
    }
    for (const SumsName& ending : kEndings) {
        const bool endsSo = name.size() >= ending.text.size()
            && SameIgnoringAsciiCase(name.substr(name.size() - ending.text.size()), ending.text);
        if (endsSo)
            return ending.algorithm;
    }
    return std::nullopt;
}

bool IsSumsFileName(std::string_view fileName)
{
    return SumsFileAlgorithm(fileName).has_value();
}

SumsFile ReadSumsFile(std::span<const std::uint8_t> bytes, std::string_view fileName)
{
    SumsFile file;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    if (bytes.size() > kSumsFileLargest || HasOverlongLine(text)) {
        file.state = SumsFile::State::TooLarge;
        return file;
    }
    const std::optional<HashAlgorithm> named = SumsFileAlgorithm(fileName);
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        if (IsBlankOrComment(line))
            return;
        std::optional<SumsEntry> entry = ReadBsdLine(line);
        if (!entry)
            entry = ReadGnuLine(line, named);
        if (entry && IsUsableName(entry->name)) {
            entry->line = number;
            file.entries.push_back(std::move(*entry));
        } else {
            ++file.unreadableLines;
        }
    });
    return file;
}

} // namespace korrimat
