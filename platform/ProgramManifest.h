#pragma once
// What a program's embedded manifest asks of Windows, read with the system's XML reader
// (XmlLite): the rights it runs with, how it takes the screen's density, long paths, its code
// page and the Windows versions it was made for. A manifest that is not well-formed XML is
// damaged; nothing of it is then believed. One that is never parsed (too large, its bytes out of
// reach, no XML reader on the system) is not called damaged: nobody knows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// A manifest larger than this is not read: Windows' own are a few kilobytes.
inline constexpr std::size_t kManifestLargest = 1024 * 1024;

enum class ManifestReading {
    Read,
    Damaged,     // not well-formed XML, or deeper than any manifest
    TooLarge,    // over kManifestLargest
    Unreadable,  // its bytes could not be read from the file
    NoReader,    // the system's XML reader could not be loaded or made
};

struct ManifestFacts {
    // All but Read leave the rest unset.
    ManifestReading reading = ManifestReading::NoReader;
    std::optional<std::string> executionLevel;  // requestedExecutionLevel's level, as it stands
    std::optional<bool> uiAccess;
    std::optional<std::string> dpiAwareness;    // the dpiAwareness element's text, else dpiAware's
    std::optional<bool> longPathAware;
    std::optional<std::string> activeCodePage;
    std::vector<std::string> supportedOS;       // SupportedOsName of each supportedOS Id, in order

    friend bool operator==(const ManifestFacts&, const ManifestFacts&) = default;
};

ManifestFacts ReadManifest(std::span<const std::uint8_t> xml);
// Why a manifest was not read, in a few words ("damaged", "not read: larger than 1 MiB"); empty
// for one that was.
std::string ManifestNotReadText(ManifestReading reading);

// "Windows Vista", "Windows 7", "Windows 8", "Windows 8.1", "Windows 10 and 11" for the
// compatibility section's Ids; any other Id as it stands.
std::string SupportedOsName(std::string_view id);

} // namespace korrimat
