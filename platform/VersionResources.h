#pragma once
// The system's version library, as a seam: a test overrides a call to count readings or to give
// what a real resource cannot. Reading the resource itself is a plain call.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace korrimat {

// What VerQueryValueA answered: where it says the value lies and its length (bytes, or characters
// for a text). Neither is checked here: the caller checks them against the image before reading.
struct VersionValue {
    const void* address = nullptr;
    UINT length = 0;
};

class VersionResources {
public:
    virtual ~VersionResources() = default;
    // GetFileVersionInfoSizeA: the size of the version resource, 0 when there is none.
    [[nodiscard]] virtual DWORD SizeOf(const std::string& path) const;
    // VerQueryValueA on a resource image; nothing when the resource has no such value.
    [[nodiscard]] virtual std::optional<VersionValue> Query(std::span<const BYTE> image, const std::string& subBlock) const;
    // VerLanguageNameW: the language's name, never holding a NUL; empty when it has none.
    [[nodiscard]] virtual std::string LanguageName(DWORD languageId) const;
};

// GetFileVersionInfoA into `image` (handle 0, the whole span's size); false on failure.
[[nodiscard]] bool ReadVersionInfo(const std::string& path, std::span<BYTE> image);

} // namespace korrimat
