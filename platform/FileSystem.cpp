#include "platform/FileSystem.h"

#include "platform/SystemScopes.h"
#include "platform/SizedText.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace korrimat {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

std::wstring WithoutLongPrefix(std::wstring path)
{
    if (path.starts_with(kLongUncPrefix))
        return L"\\" + path.substr(kLongUncPrefix.size() - 1);
    if (path.starts_with(kLongPrefix))
        return path.substr(kLongPrefix.size());
    return path;
}

// Copies a converted name into a fixed narrow field; false when it does not fit whole.
template <std::size_t Size>
bool CopyName(const wchar_t* name, char (&field)[Size])
{
    const std::string narrow = NarrowText(name);
    if (narrow.size() >= Size)
        return false;
    std::memcpy(field, narrow.c_str(), narrow.size() + 1);
    return true;
}

} // namespace

std::wstring WidePath(std::string_view path)
{
    std::wstring wide = WideText(path);
    // Folders must leave room for an 8.3 name below the classic limit.
    if (wide.size() < MAX_PATH - 12 || wide.starts_with(kLongPrefix) || wide.starts_with(L"\\\\.\\"))
        return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\')
        return std::wstring(kLongPrefix) + wide;
    if (wide.starts_with(L"\\\\"))
        return std::wstring(kLongUncPrefix) + wide.substr(2);
    return wide;  // relative: the system makes it absolute, within its own limit
}

bool RefusedAsTooLong(const std::string& path)
{
    const DWORD error = ::GetLastError();
    return path.size() >= MAX_PATH - 12
        && (error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME);
}

std::optional<std::string> FullPathName(const std::string& path)
{
    if (auto full = FillSizedText([&](char* buffer, std::size_t capacity) {
            return ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(capacity), buffer, nullptr);
        }))
        return full;
    if (!RefusedAsTooLong(path))
        return std::nullopt;
    // A string operation: the wide call has no length limit and needs no prefix.
    const std::wstring wide = WideText(path);
    const auto full = FillSizedText<wchar_t>([&](wchar_t* buffer, std::size_t capacity) {
        return ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(capacity), buffer, nullptr);
    });
    if (!full)
        return std::nullopt;
    return NarrowText(*full);
}

std::optional<WIN32_FIND_DATAA> FindFirstEntry(const std::string& path)
{
    const NativeSystemFolder native;
    WIN32_FIND_DATAA found{};
    {
        UniqueFindHandle search(::FindFirstFileA(path.c_str(), &found));
        if (search)
            return found;
        if (!RefusedAsTooLong(path))
            return std::nullopt;
    }
    WIN32_FIND_DATAW wide{};
    UniqueFindHandle search(::FindFirstFileW(WidePath(path).c_str(), &wide));
    if (!search)
        return std::nullopt;
    found = WIN32_FIND_DATAA{};
    CopyEntryFacts(found, wide);
    found.dwReserved0 = wide.dwReserved0;
    found.dwReserved1 = wide.dwReserved1;
    if (!CopyName(wide.cFileName, found.cFileName))
        return std::nullopt;
    CopyName(wide.cAlternateFileName, found.cAlternateFileName);
    return found;
}

DWORD FileAttributes(const std::string& path)
{
    const CriticalErrorsSilenced silenced;
    const NativeSystemFolder native;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES || !RefusedAsTooLong(path))
        return attributes;
    return ::GetFileAttributesW(WidePath(path).c_str());
}

std::optional<std::string> ShortPathName(const std::string& path)
{
    const NativeSystemFolder native;
    if (auto shortPath = FillSizedText([&](char* buffer, std::size_t capacity) {
            return ::GetShortPathNameA(path.c_str(), buffer, static_cast<DWORD>(capacity));
        }))
        return shortPath;
    if (!RefusedAsTooLong(path))
        return std::nullopt;
    const std::wstring wide = WidePath(path);
    const auto shortPath = FillSizedText<wchar_t>([&](wchar_t* buffer, std::size_t capacity) {
        return ::GetShortPathNameW(wide.c_str(), buffer, static_cast<DWORD>(capacity));
    });
    if (!shortPath)
        return std::nullopt;
    return NarrowText(WithoutLongPrefix(*shortPath));
}

std::optional<std::uint64_t> CompressedFileSize(const std::string& path)
{
    const NativeSystemFolder native;
    DWORD high = 0;
    // A size of all ones is a real size when the call leaves no error behind.
    ::SetLastError(NO_ERROR);
    DWORD low = ::GetCompressedFileSizeA(path.c_str(), &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR && RefusedAsTooLong(path)) {
        high = 0;
        ::SetLastError(NO_ERROR);
        low = ::GetCompressedFileSizeW(WidePath(path).c_str(), &high);
    }
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        return std::nullopt;
    return (std::uint64_t{high} << 32) | low;
}

std::optional<std::string> ShortFormOfLongPath(const std::string& path)
{
    if (path.size() < MAX_PATH)
        return std::nullopt;
    std::optional<std::string> shortPath = ShortPathName(path);
    if (!shortPath || shortPath->size() >= MAX_PATH)
        return std::nullopt;
    return shortPath;
}

UserPath ResolveUserPath(std::wstring_view typed)
{
    UserPath resolved;
    std::wstring path(typed);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    // GetFullPathNameW is text work: it takes any length and makes a relative path absolute.
    const auto absolute = FillSizedText<wchar_t>([&](wchar_t* buffer, std::size_t capacity) {
        return ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(capacity), buffer, nullptr);
    });
    if (!absolute) {
        resolved.error = ::GetLastError();
        resolved.absolute = NarrowText(path);
        return resolved;
    }
    std::wstring full = WithoutLongPrefix(*absolute);
    // A root keeps its "\\": "C:\\", "\\\\server\\share\\".
    std::size_t root = full.size() >= 3 && full[1] == L':' ? 3 : 0;
    if (full.starts_with(L"\\\\")) {
        const std::size_t server = full.find(L'\\', 2);
        const std::size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
        root = share == std::wstring::npos ? full.size() : share + 1;
    }
    while (full.size() > std::max<std::size_t>(root, 1) && full.back() == L'\\')
        full.pop_back();
    resolved.absolute = NarrowText(full);

    // The stored names, through the prefixed form past the classic limit; the real System32 for a
    // 32-bit program, as for every kernel file call here.
    const NativeSystemFolder native;
    std::wstring prefixed = full;
    if (full.size() >= MAX_PATH - 12 && root == 3)
        prefixed = std::wstring(kLongPrefix) + full;
    else if (full.size() >= MAX_PATH - 12 && root > 3)
        prefixed = std::wstring(kLongUncPrefix) + full.substr(2);
    const auto stored = FillSizedText<wchar_t>([&](wchar_t* buffer, std::size_t capacity) {
        return ::GetLongPathNameW(prefixed.c_str(), buffer, static_cast<DWORD>(capacity));
    });
    if (!stored) {
        resolved.error = ::GetLastError();
        return resolved;
    }
    resolved.path = ExactNarrowText(WithoutLongPrefix(*stored));
    if (!resolved.path)
        resolved.error = ERROR_NO_UNICODE_TRANSLATION;
    return resolved;
}

UniqueFile OpenForReading(const std::string& path, DWORD& error)
{
    UniqueFile file;
    {
        const NativeSystemFolder native;
        file.Reset(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? NO_ERROR : ::GetLastError();
    }
    return file;
}

WholeFile ReadWholeFile(const std::string& path, std::size_t largest)
{
    WholeFile whole;
    const UniqueFile file = OpenForReading(path, whole.error);
    if (!file)
        return whole;
    // The size first, so that a large file costs no read at all.
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.Get(), &size) && static_cast<std::uint64_t>(size.QuadPart) > largest) {
        whole.state = WholeFile::State::TooLarge;
        return whole;
    }
    constexpr std::size_t kPiece = 64 * 1024;
    std::vector<std::uint8_t>& bytes = whole.bytes;
    for (;;) {
        const std::size_t start = bytes.size();
        // Up to one byte past the limit, which tells a file of exactly `largest` bytes from a larger one.
        const std::size_t wanted = largest - start >= kPiece ? kPiece : largest - start + 1;
        bytes.resize(start + wanted);
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + start, static_cast<DWORD>(wanted), &read, nullptr)) {
            whole.error = ::GetLastError();
            bytes.clear();
            return whole;
        }
        bytes.resize(start + read);
        if (bytes.size() > largest) {
            whole.state = WholeFile::State::TooLarge;
            bytes.clear();
            return whole;
        }
        if (read == 0) {
            whole.state = WholeFile::State::Read;
            return whole;
        }
    }
}

DWORD ForEachEntry(const std::string& pattern,
                   const std::function<void(std::string_view name, const WIN32_FIND_DATAW& found)>& visit)
{
    const CriticalErrorsSilenced silenced;
    const NativeSystemFolder native;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(WidePath(pattern).c_str(), &found));
    if (!search)
        return ::GetLastError();
    std::string name;
    do {
        name = NarrowText(found.cFileName);
        visit(name, found);
    } while (::FindNextFileW(search.Get(), &found));
    return NO_ERROR;
}

std::optional<DownloadOrigin> DownloadOriginOf(const std::string& path)
{
    const WholeFile stream = ReadWholeFile(path + ":Zone.Identifier", kZoneIdentifierLargest);
    if (stream.state == WholeFile::State::Failed) {
        // No such stream, or a volume (FAT, a share) that keeps none: the file carries no origin.
        // Any other failure (the stream locked or barred) is a stream that cannot be read.
        switch (stream.error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
        case ERROR_NOT_SUPPORTED:
        case ERROR_BAD_NETPATH:
            return std::nullopt;
        default:
            return DownloadOrigin{};
        }
    }
    if (stream.state == WholeFile::State::TooLarge)
        return DownloadOrigin{};
    return ReadDownloadOrigin(stream.bytes);
}

} // namespace korrimat
