#include "platform/VersionResources.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemScopes.h"
#include "platform/Text.h"

#include <algorithm>

namespace korrimat {

DWORD VersionResources::SizeOf(const std::string& path) const
{
    DWORD ignored = 0;
    DWORD size = 0;
    {
        // The library loads code while it works, which must come from the process's own system
        // folder: it sees the native one only for a path that lies in it.
        const NativeSystemFolder native(IsRedirectedPath(path));
        size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    }
    if (size != 0)
        return size;
    // The library stops at the classic limit: the entry's 8.3 path names the same entry.
    const std::optional<std::string> shortPath = ShortFormOfLongPath(path);
    if (!shortPath)
        return 0;
    const NativeSystemFolder native(IsRedirectedPath(*shortPath));
    return ::GetFileVersionInfoSizeA(shortPath->c_str(), &ignored);
}

std::optional<VersionValue> VersionResources::Query(std::span<const BYTE> image, const std::string& subBlock) const
{
    void* found = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(image.data(), subBlock.c_str(), &found, &length))
        return std::nullopt;
    return VersionValue{found, length};
}

std::string VersionResources::LanguageName(DWORD languageId) const
{
    // The wide call, converted here: the narrow one gives the name in the code page of the
    // user's locale, not the process's (a Russian user's names would arrive in CP1251).
    wchar_t buffer[256] = {};
    const DWORD count = ::VerLanguageNameW(languageId, buffer, static_cast<DWORD>(std::size(buffer)));
    // Some implementations count the terminating zero in their result: cut at the first NUL.
    const std::size_t written = std::min<std::size_t>(count, std::size(buffer));
    const auto end = std::find(buffer, buffer + written, L'\0');
    return NarrowText(std::wstring_view(buffer, static_cast<std::size_t>(end - buffer)));
}

bool ReadVersionInfo(const std::string& path, std::span<BYTE> image)
{
    const auto size = static_cast<DWORD>(image.size());
    {
        const NativeSystemFolder native(IsRedirectedPath(path));
        if (::GetFileVersionInfoA(path.c_str(), 0, size, image.data()))
            return true;
    }
    const std::optional<std::string> shortPath = ShortFormOfLongPath(path);
    if (!shortPath)
        return false;
    const NativeSystemFolder native(IsRedirectedPath(*shortPath));
    return ::GetFileVersionInfoA(shortPath->c_str(), 0, size, image.data()) != FALSE;
}

} // namespace korrimat
