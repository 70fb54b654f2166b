#pragma once
// Where a downloaded file came from, as the browser or mail program that saved it wrote it into
// the file's Zone.Identifier stream (the "mark of the web"): a short text of the form
//   [ZoneTransfer]
//   ZoneId=3
//   ReferrerUrl=https://example.com/downloads
//   HostUrl=https://example.com/downloads/setup.exe
// Any bytes can be read: a stream that is not such a text is unreadable, never more. No system
// call, so that it is fuzzed natively (fuzz/download_origin.cpp).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korrimat {

// A real stream is a few hundred bytes; a larger one is not what it should be.
inline constexpr std::size_t kZoneIdentifierLargest = 64 * 1024;

struct DownloadOrigin {
    // False when the stream is binary, too large, not UTF-8 (or UTF-16 with its byte order mark),
    // or names no zone; then nothing else is set.
    bool readable = false;
    std::uint32_t zoneId = 0;
    std::string zone;  // ZoneName, or the number as text for a zone that has no name
    std::optional<std::string> hostUrl;      // where the file itself was fetched from
    std::optional<std::string> referrerUrl;  // the page that linked to it

    friend bool operator==(const DownloadOrigin&, const DownloadOrigin&) = default;
};

DownloadOrigin ReadDownloadOrigin(std::span<const std::uint8_t> stream);

// "Local computer", "Local intranet", "Trusted sites", "Internet", "Restricted sites"; empty for
// any other number.
std::string_view ZoneName(std::uint32_t zoneId);

} // namespace korrimat
