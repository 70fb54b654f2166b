#include "platform/FileSystem.h"

#include "platform/IconSourceCheck.h"
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

// UTF-16 to the active code page; `exact`: nothing rather than a best-fit or lost character.
std::optional<std::string> ToNarrow(std::wstring_view text, bool exact)
{
    if (text.empty())
        return exact ? std::nullopt : std::optional<std::string>(std::string());
    // Only a code page other than UTF-8 can lose a character, and only it may be asked about it.
    const bool checked = exact && ::GetACP() != CP_UTF8;
    const DWORD flags = checked ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL lost = FALSE;
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, checked ? &lost : nullptr);
    if (length <= 0 || lost)
        return exact ? std::nullopt : std::optional<std::string>(std::string());
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

// An open file's bytes, read a block at a time: the walks over a program's headers ask for a
// few bytes at a time, mostly near each other, and each ReadFile is a trip into the system.
class OpenFileBytes : public ByteSource {
public:
    explicit OpenFileBytes(HANDLE file) : file_(file)
    {
        LARGE_INTEGER size{};
        size_ = ::GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

    std::uint64_t Size() const override { return size_; }

    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (count > kBlockSize)
            return ReadAt(offset, into, count);
        auto* out = static_cast<std::uint8_t*>(into);
        while (count > 0) {
            const std::uint64_t start = offset / kBlockSize * kBlockSize;
            if (!blockValid_ || start != blockStart_) {
                const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size_ - std::min(size_, start)));
                blockValid_ = wanted > 0 && ReadAt(start, block_.data(), wanted);
                blockStart_ = start;
                blockSize_ = blockValid_ ? wanted : 0;
            }
            const auto within = static_cast<std::size_t>(offset - start);
            if (within >= blockSize_)
                return false;
            const std::size_t piece = std::min(count, blockSize_ - within);
            std::memcpy(out, block_.data() + within, piece);
            out += piece;
            offset += piece;
            count -= piece;
        }
        return true;
    }

private:
    static constexpr std::size_t kBlockSize = 4096;

    bool ReadAt(std::uint64_t offset, void* into, std::size_t count) const
    {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return ::ReadFile(file_, into, static_cast<DWORD>(count), &read, &at) && read == count;
    }

    HANDLE file_;
    std::uint64_t size_ = 0;
    mutable std::array<std::uint8_t, kBlockSize> block_{};
    mutable std::uint64_t blockStart_ = 0;
    mutable std::size_t blockSize_ = 0;
    mutable bool blockValid_ = false;
};

// A 32-bit process on 64-bit Windows, where the system folder is redirected.
bool RunsUnderWow64()
{
    static const bool wow64 = [] {
        BOOL result = FALSE;
        return ::IsWow64Process(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

} // namespace

CriticalErrorsSilenced::CriticalErrorsSilenced() noexcept
{
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_);
}

CriticalErrorsSilenced::~CriticalErrorsSilenced()
{
    ::SetThreadErrorMode(previous_, nullptr);
}

NativeSystemFolder::NativeSystemFolder(bool wanted) noexcept
{
    if (wanted && RunsUnderWow64())
        turnedOff_ = ::Wow64DisableWow64FsRedirection(&previous_) != FALSE;
}

NativeSystemFolder::~NativeSystemFolder()
{
    if (turnedOff_)
        ::Wow64RevertWow64FsRedirection(previous_);
}

bool IsRedirectedPath(std::string_view path)
{
    if (!RunsUnderWow64())
        return false;
    // GetSystemDirectory names System32 in a 32-bit process too.
    static const std::wstring systemFolder = [] {
        return FillSizedText<wchar_t>([](wchar_t* buffer, std::size_t capacity) {
                   return ::GetSystemDirectoryW(buffer, static_cast<UINT>(capacity));
               })
            .value_or(std::wstring());
    }();
    const std::wstring wide = WideText(path);
    if (systemFolder.empty() || wide.size() < systemFolder.size())
        return false;
    const bool sameStart = ::CompareStringOrdinal(wide.data(), static_cast<int>(systemFolder.size()),
                                                  systemFolder.data(), static_cast<int>(systemFolder.size()),
                                                  TRUE) == CSTR_EQUAL;
    return sameStart && (wide.size() == systemFolder.size() || wide[systemFolder.size()] == L'\\');
}

std::wstring WideText(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowText(std::wstring_view text)
{
    return ToNarrow(text, false).value_or(std::string());
}

std::optional<std::string> ExactNarrowText(std::wstring_view text)
{
    return ToNarrow(text, true);
}

std::size_t NarrowCharacterLength(std::string_view text, std::size_t position)
{
    if (::GetACP() == CP_UTF8)
        return Utf8CharacterLength(text, position);
    const std::size_t length = ::IsDBCSLeadByte(static_cast<BYTE>(text[position])) ? 2 : 1;
    return std::min(length, text.size() - position);
}

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
    found.dwFileAttributes = wide.dwFileAttributes;
    found.ftCreationTime = wide.ftCreationTime;
    found.ftLastAccessTime = wide.ftLastAccessTime;
    found.ftLastWriteTime = wide.ftLastWriteTime;
    found.nFileSizeHigh = wide.nFileSizeHigh;
    found.nFileSizeLow = wide.nFileSizeLow;
    found.dwReserved0 = wide.dwReserved0;
    found.dwReserved1 = wide.dwReserved1;
    if (!CopyName(wide.cFileName, found.cFileName))
        return std::nullopt;
    CopyName(wide.cAlternateFileName, found.cAlternateFileName);
    return found;
}

DWORD FileAttributes(const std::string& path)
{
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

DWORD CompressedFileSize(const std::string& path, DWORD& high)
{
    const NativeSystemFolder native;
    high = 0;
    // A size of all ones is a real size when the call leaves no error behind.
    ::SetLastError(NO_ERROR);
    const DWORD low = ::GetCompressedFileSizeA(path.c_str(), &high);
    if (low != INVALID_FILE_SIZE || ::GetLastError() == NO_ERROR || !RefusedAsTooLong(path))
        return low;
    high = 0;
    return ::GetCompressedFileSizeW(WidePath(path).c_str(), &high);
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
    resolved.path = ToNarrow(WithoutLongPrefix(*stored), true);
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

bool IconSourceIsWholeAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return !file || IconSourceIsWhole(OpenFileBytes(file.Get()));
}

ProgramKind ProgramKindAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return file ? ProgramKindOf(OpenFileBytes(file.Get())) : ProgramKind{};
}

EmbeddedSignaturePlace EmbeddedSignatureIn(HANDLE file)
{
    return FindEmbeddedSignature(OpenFileBytes(file));
}

EmbeddedSignaturePlace EmbeddedSignatureAt(const std::string& path)
{
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    return file ? EmbeddedSignatureIn(file.Get()) : EmbeddedSignaturePlace{};
}

std::vector<std::uint8_t> ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (count > MAXDWORD || !::ReadFile(file, bytes.data(), static_cast<DWORD>(count), &read, &at) || read != count)
        return {};
    return bytes;
}

DWORD ForEachEntry(const std::string& pattern, const std::function<void(std::string_view, DWORD)>& visit)
{
    const NativeSystemFolder native;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(WidePath(pattern).c_str(), &found));
    if (!search)
        return ::GetLastError();
    std::string name;
    do {
        name = NarrowText(found.cFileName);
        visit(name, found.dwFileAttributes);
    } while (::FindNextFileW(search.Get(), &found));
    return NO_ERROR;
}

} // namespace korrimat
