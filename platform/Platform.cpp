#include "platform/Platform.h"

#include "platform/SizedText.h"
#include "platform/UniqueHandle.h"

#include <algorithm>
#include <vector>

namespace korrimat {

std::optional<std::string> WindowsPlatform::FullPathOf(const std::string& path) const
{
    return FillSizedText([&](char* buffer, std::size_t capacity) {
        return ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(capacity), buffer, nullptr);
    });
}

std::optional<WIN32_FIND_DATAA> WindowsPlatform::FindFirst(const std::string& path) const
{
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA(path.c_str(), &found));
    if (!search)
        return std::nullopt;
    return found;
}

bool WindowsPlatform::ToLocalFileTime(const FILETIME& utc, FILETIME& local) const
{
    return ::FileTimeToLocalFileTime(&utc, &local) != FALSE;
}

bool WindowsPlatform::ToSystemTime(const FILETIME& time, SYSTEMTIME& parts) const
{
    return ::FileTimeToSystemTime(&time, &parts) != FALSE;
}

std::optional<std::string> WindowsPlatform::ShortPathOf(const std::string& path) const
{
    return FillSizedText([&](char* buffer, std::size_t capacity) {
        return ::GetShortPathNameA(path.c_str(), buffer, static_cast<DWORD>(capacity));
    });
}

DWORD WindowsPlatform::CompressedSizeOf(const std::string& path, DWORD& high) const
{
    return ::GetCompressedFileSizeA(path.c_str(), &high);
}

DWORD_PTR WindowsPlatform::ShellInfoOf(const std::string& path, SHFILEINFOA& info) const
{
    info = SHFILEINFOA{};
    return ::SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info),
                            SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
}

DWORD WindowsPlatform::VersionInfoSize(const std::string& path) const
{
    DWORD ignored = 0;
    return ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
}

bool WindowsPlatform::ReadVersionInfo(const std::string& path, std::span<BYTE> image) const
{
    return ::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(image.size()), image.data()) != FALSE;
}

bool WindowsPlatform::QueryVersionValue(std::span<const BYTE> image, const std::string& subBlock,
                                        const void*& address, UINT& length) const
{
    void* found = nullptr;
    length = 0;
    const BOOL ok = ::VerQueryValueA(image.data(), subBlock.c_str(), &found, &length);
    address = found;
    return ok != FALSE;
}

std::string WindowsPlatform::LanguageName(DWORD languageId) const
{
    char buffer[256] = {};
    const DWORD count = ::VerLanguageNameA(languageId, buffer, static_cast<DWORD>(std::size(buffer)));
    // Some implementations count the terminating zero in their result: cut at the first NUL.
    const std::size_t written = std::min<std::size_t>(count, std::size(buffer));
    const auto end = std::find(buffer, buffer + written, '\0');
    return std::string(buffer, end);
}

std::string WindowsPlatform::Environment(const std::string& name) const
{
    return FillSizedText([&](char* buffer, std::size_t capacity) {
               return ::GetEnvironmentVariableA(name.c_str(), buffer, static_cast<DWORD>(capacity));
           })
        .value_or(std::string());
}

std::string WindowsPlatform::LocaleText(LCTYPE type) const
{
    const int size = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    const int written = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text.data(), size);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written));
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::string WindowsPlatform::UpperCase(const std::string& text) const
{
    if (text.empty())
        return text;
    // Through UTF-16 so that a multi-byte code page is upper-cased character by character,
    // never byte by byte.
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0)
        return text;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    const int narrowLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return text;
    std::string upper(static_cast<std::size_t>(narrowLength), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, upper.data(), narrowLength, nullptr, nullptr);
    return upper;
}

bool WindowsPlatform::DrawIconAt(HDC surface, int x, int y, HICON icon) const
{
    return ::DrawIcon(surface, x, y, icon) != FALSE;
}

const Platform& SystemPlatform()
{
    static const WindowsPlatform platform;
    return platform;
}

} // namespace korrimat
