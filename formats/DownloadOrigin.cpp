#include "formats/DownloadOrigin.h"

#include "formats/PlainText.h"

#include <array>

namespace korrimat {

namespace {

// The stream as UTF-8: as it stands after a UTF-8 byte order mark or none, converted after a
// UTF-16 little-endian one; nothing when it is neither.
std::optional<std::string> Utf8TextOf(std::span<const std::uint8_t> stream)
{
    if (stream.size() >= 2 && stream[0] == 0xFF && stream[1] == 0xFE) {
        if (stream.size() % 2 != 0)
            return std::nullopt;
        std::string text;
        for (std::size_t i = 2; i < stream.size(); i += 2) {
            std::uint32_t unit = stream[i] | (stream[i + 1] << 8);
            if (unit >= 0xDC00 && unit <= 0xDFFF)
                return std::nullopt;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (i + 3 >= stream.size())
                    return std::nullopt;
                const std::uint32_t low = stream[i + 2] | (stream[i + 3] << 8);
                if (low < 0xDC00 || low > 0xDFFF)
                    return std::nullopt;
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
            AppendUtf8(text, unit);
        }
        return text;
    }
    std::size_t start = 0;
    if (stream.size() >= 3 && stream[0] == 0xEF && stream[1] == 0xBB && stream[2] == 0xBF)
        start = 3;
    const std::string_view utf8(reinterpret_cast<const char*>(stream.data()) + start, stream.size() - start);
    if (!IsWellFormedUtf8(utf8))
        return std::nullopt;
    return std::string(utf8);
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A zone's number: decimal digits that fit 32 bits.
std::optional<std::uint32_t> ZoneNumber(std::string_view text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::string_view ZoneName(std::uint32_t zoneId)
{
    static constexpr std::array<std::string_view, 5> kNames = {"Local computer", "Local intranet", "Trusted sites",
                                                               "Internet", "Restricted sites"};
    return zoneId < kNames.size() ? kNames[zoneId] : std::string_view();
}

DownloadOrigin ReadDownloadOrigin(std::span<const std::uint8_t> stream)
{
    if (stream.size() > kZoneIdentifierLargest)
        return {};
    const std::optional<std::string> text = Utf8TextOf(stream);
    if (!text)
        return {};

    DownloadOrigin origin;
    std::optional<std::uint32_t> zoneId;
    bool inZoneTransfer = false;
    bool badZone = false;
    std::string_view rest(*text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // A control character (a NUL above all) says the stream is not text.
        for (const char c : line) {
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                return {};
        }
        line = Trimmed(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            inZoneTransfer = line.back() == ']' && SameIgnoringAsciiCase(Trimmed(line.substr(1, line.size() - 2)), "ZoneTransfer");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inZoneTransfer || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        // As the system's profile reading does, the first of a key counts.
        if (SameIgnoringAsciiCase(key, "ZoneId") && !zoneId && !badZone) {
            zoneId = ZoneNumber(value);
            badZone = !zoneId;
        } else if (SameIgnoringAsciiCase(key, "HostUrl") && !origin.hostUrl && !value.empty()) {
            origin.hostUrl = std::string(value);
        } else if (SameIgnoringAsciiCase(key, "ReferrerUrl") && !origin.referrerUrl && !value.empty()) {
            origin.referrerUrl = std::string(value);
        }
    }
    if (!zoneId)
        return {};
    origin.readable = true;
    origin.zoneId = *zoneId;
    const std::string_view name = ZoneName(*zoneId);
    origin.zone = name.empty() ? std::to_string(*zoneId) : std::string(name);
    return origin;
}

} // namespace korrimat
