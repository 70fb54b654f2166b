#include "platform/Platform.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/ProgramFiles.h"
#include "platform/SizedText.h"
#include "platform/SystemScopes.h"

#include <process.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace korrimat {

namespace {

// The 8.3 form of a path too long for a call that has no way past the classic limit (the shell's
// and the version resource's); nothing when the path is short enough already or has no such form.
std::optional<std::string> ShortFormOfLongPath(const std::string& path)
{
    if (path.size() < MAX_PATH)
        return std::nullopt;
    std::optional<std::string> shortPath = ShortPathName(path);
    if (!shortPath || shortPath->size() >= MAX_PATH)
        return std::nullopt;
    return shortPath;
}

constexpr UINT kShellWanted = SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME;

DWORD_PTR AskShell(const std::string& path, SHFILEINFOA& info)
{
    info = SHFILEINFOA{};
    // The shell and the version library load code while they work, which must come from the
    // process's own system folder: they see the native one only for a path that lies in it.
    const NativeSystemFolder native(IsRedirectedPath(path));
    return ::SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), kShellWanted);
}

// The entry described by its name and attributes alone, with the icon of its kind: the shell
// reads nothing of the file.
DWORD_PTR DescribeByName(const std::string& path, SHFILEINFOA& info)
{
    const DWORD attributes = FileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    info = SHFILEINFOA{};
    const DWORD_PTR result = ::SHGetFileInfoA(name.c_str(), attributes, &info, sizeof(info),
                                              (kShellWanted & ~SHGFI_ICON) | SHGFI_USEFILEATTRIBUTES);
    // Asked for an icon, the shell still looks for a file of that name to read it from; no file
    // can be named "?", so the stand-in gets the icon of the kind.
    const std::size_t dot = name.find_last_of('.');
    std::string standIn = "?";
    if (dot != std::string::npos)
        standIn.append(name, dot);
    SHFILEINFOA icon{};
    ::SHGetFileInfoA(standIn.c_str(), attributes, &icon, sizeof(icon), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    info.hIcon = icon.hIcon;
    return result;
}

// SHA-256 through the system's cryptography (BCrypt).
class SystemSha256 : public Digest {
public:
    static std::unique_ptr<Digest> Open()
    {
        auto digest = std::make_unique<SystemSha256>();
        BCRYPT_ALG_HANDLE algorithm = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            return nullptr;
        digest->algorithm_.Reset(algorithm);
        BCRYPT_HASH_HANDLE hash = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))
            return nullptr;
        digest->hash_.Reset(hash);
        return digest;
    }

    bool Add(std::span<const BYTE> bytes) override
    {
        return BCRYPT_SUCCESS(::BCryptHashData(hash_.Get(), const_cast<PUCHAR>(bytes.data()),
                                               static_cast<ULONG>(bytes.size()), 0));
    }

    std::optional<std::vector<BYTE>> Finish() override
    {
        std::vector<BYTE> digest(32);
        if (!BCRYPT_SUCCESS(::BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
            return std::nullopt;
        return digest;
    }

private:
    // The hash goes before the algorithm it was made from.
    UniqueCryptoAlgorithm algorithm_;
    UniqueCryptoHash hash_;
};

// The clipboard, open for one change and closed again at the end of the scope. Another program
// may hold it for a moment: a few tries.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner)
    {
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            open_ = ::OpenClipboard(owner) != FALSE;
            if (!open_)
                ::Sleep(20);
        }
    }
    ~ClipboardScope()
    {
        if (open_)
            ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool Open() const noexcept { return open_; }

private:
    bool open_ = false;
};

} // namespace

std::optional<std::string> WindowsPlatform::FullPathOf(const std::string& path) const
{
    return FullPathName(path);
}

std::optional<WIN32_FIND_DATAA> WindowsPlatform::FindFirst(const std::string& path) const
{
    return FindFirstEntry(path);
}

DWORD WindowsPlatform::ListEntries(const std::string& pattern, const EntryVisit& visit) const
{
    const CriticalErrorsSilenced silenced;
    return ForEachEntry(pattern, visit);
}

DWORD WindowsPlatform::Attributes(const std::string& path) const
{
    const CriticalErrorsSilenced silenced;
    return FileAttributes(path);
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
    return ShortPathName(path);
}

DWORD WindowsPlatform::CompressedSizeOf(const std::string& path, DWORD& high) const
{
    return CompressedFileSize(path, high);
}

DWORD_PTR WindowsPlatform::ShellInfoOf(const std::string& path, SHFILEINFOA& info) const
{
    info = SHFILEINFOA{};
    // The shell reads a program's or an icon file's icon from the file, trusting every offset in
    // it: one that would send it past the file's end is described by its name instead.
    if (!IconSourceIsWholeAt(path))
        return DescribeByName(path, info);
    // A file of the folder just listed, of a type whose icon is its class's: the shell need not
    // find the folder again (in a large folder, the most of a show's time).
    if (!IsRedirectedPath(path) && boundFolder_.Describe(path, info))
        return 1;
    DWORD_PTR result = AskShell(path, info);
    if (result != 0 || path.size() < MAX_PATH)
        return result;
    // The shell stops at the classic limit. The entry's 8.3 path names the same entry; where the
    // shell refuses that too, it still describes the entry by its name and attributes.
    if (const std::optional<std::string> shortPath = ShortFormOfLongPath(path)) {
        result = AskShell(*shortPath, info);
        if (result != 0)
            return result;
    }
    return DescribeByName(path, info);
}

DWORD WindowsPlatform::VersionInfoSize(const std::string& path) const
{
    DWORD ignored = 0;
    DWORD size = 0;
    {
        const NativeSystemFolder native(IsRedirectedPath(path));
        size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    }
    if (size != 0)
        return size;
    const std::optional<std::string> shortPath = ShortFormOfLongPath(path);
    if (!shortPath)
        return 0;
    const NativeSystemFolder native(IsRedirectedPath(*shortPath));
    return ::GetFileVersionInfoSizeA(shortPath->c_str(), &ignored);
}

bool WindowsPlatform::ReadVersionInfo(const std::string& path, std::span<BYTE> image) const
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
    // The wide call, converted here: the narrow one gives the name in the code page of the
    // user's locale, not the process's (a Russian user's names would arrive in CP1251).
    wchar_t buffer[256] = {};
    const DWORD count = ::VerLanguageNameW(languageId, buffer, static_cast<DWORD>(std::size(buffer)));
    // Some implementations count the terminating zero in their result: cut at the first NUL.
    const std::size_t written = std::min<std::size_t>(count, std::size(buffer));
    const auto end = std::find(buffer, buffer + written, L'\0');
    return NarrowText(std::wstring_view(buffer, static_cast<std::size_t>(end - buffer)));
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
    // The wide call, converted here: the narrow one converts with the locale's own ANSI code
    // page, not the process's, so that a date picture holding "年" would come back as "?".
    const int size = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return NarrowText(text);
}

std::string WindowsPlatform::UpperCase(const std::string& text) const
{
    // Through UTF-16 so that a multi-byte code page is upper-cased character by character,
    // never byte by byte.
    std::wstring wide = WideText(text);
    if (wide.empty())
        return text;
    ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    std::string upper = NarrowText(wide);
    return upper.empty() ? text : upper;
}

bool WindowsPlatform::DrawIconAt(HDC surface, int x, int y, HICON icon) const
{
    return ::DrawIcon(surface, x, y, icon) != FALSE;
}

bool WindowsPlatform::CopyToClipboard(HWND owner, const std::string& text) const
{
    const std::wstring wide = WideText(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* data = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (!data)
        return false;
    std::memcpy(data, wide.c_str(), bytes);
    ::GlobalUnlock(memory.Get());
    const ClipboardScope clipboard(owner);
    if (!clipboard.Open() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    // The clipboard owns the memory now.
    memory.Release();
    return true;
}

UniqueFile WindowsPlatform::OpenToRead(const std::string& path, DWORD& error) const
{
    return OpenForReading(path, error);
}

std::optional<std::uint64_t> WindowsPlatform::SizeOfOpenFile(HANDLE file) const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<std::size_t> WindowsPlatform::ReadOpenFile(HANDLE file, std::span<BYTE> buffer, DWORD& error) const
{
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    if (!::ReadFile(file, buffer.data(), wanted, &read, nullptr)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    return read;
}

std::unique_ptr<Digest> WindowsPlatform::NewSha256() const
{
    return SystemSha256::Open();
}

ProgramKind WindowsPlatform::ProgramKindOfFile(const std::string& path) const
{
    return ProgramKindAt(path);
}

EmbeddedSignaturePlace WindowsPlatform::EmbeddedSignatureOfFile(const std::string& path) const
{
    return EmbeddedSignatureAt(path);
}

SignatureCheck WindowsPlatform::CheckSignatures(const std::string& path) const
{
    return CheckEmbeddedSignatures(path);
}

UniqueEvent WindowsPlatform::NewEvent() const
{
    return UniqueEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

UniqueThread WindowsPlatform::StartThread(ThreadMain main, void* argument) const
{
    return UniqueThread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, main, argument, 0, nullptr)));
}

UniqueChangeNotification WindowsPlatform::WatchFolder(const std::string& folder) const
{
    constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                               FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;
    const NativeSystemFolder native;
    return UniqueChangeNotification(::FindFirstChangeNotificationW(WidePath(folder).c_str(), FALSE, kChanges));
}

bool WindowsPlatform::WatchAgain(HANDLE notification) const
{
    return ::FindNextChangeNotification(notification) != FALSE;
}

const Platform& SystemPlatform()
{
    static const WindowsPlatform platform;
    return platform;
}

std::vector<DriveFacts> WindowsPlatform::Drives() const
{
    const CriticalErrorsSilenced silenced;
    // Each root ends in a zero; the list ends in one more, left out of the count.
    const std::string roots = FillSizedText([](char* buffer, std::size_t capacity) {
                                  return ::GetLogicalDriveStringsA(static_cast<DWORD>(capacity), buffer);
                              }, 512).value_or(std::string());
    std::vector<DriveFacts> drives;
    for (std::size_t start = 0; start < roots.size();) {
        const std::string root(roots.c_str() + start);
        start += root.size() + 1;
        const std::optional<char> letter = DriveLetterOf(root);
        if (!letter)
            continue;
        std::string text{*letter, ':'};
        char name[MAX_PATH + 1] = {};
        DWORD size = sizeof(name);
        const bool named = ::GetDriveTypeA(root.c_str()) == DRIVE_REMOTE
                               ? ::WNetGetConnectionA(text.c_str(), name, &size) == NO_ERROR
                               : ::GetVolumeInformationA(root.c_str(), name, sizeof(name), nullptr, nullptr, nullptr, nullptr, 0);
        if (named && name[0])
            text += std::string(" [") + name + "]";
        drives.push_back({*letter, root, text});
    }
    return drives;
}

std::string WindowsPlatform::CurrentFolder() const
{
    return FillSizedText([](char* buffer, std::size_t capacity) {
               return ::GetCurrentDirectoryA(static_cast<DWORD>(capacity), buffer);
           }).value_or(std::string());
}

int WindowsPlatform::ShellImageIndex(const std::string& path, bool anyFolder, bool open) const
{
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (anyFolder ? SHGFI_USEFILEATTRIBUTES : 0) |
                       (open ? SHGFI_OPENICON : 0);
    return ::SHGetFileInfoA(path.c_str(), anyFolder ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof(info), flags) ? info.iIcon : -1;
}

void WindowsPlatform::BindShellFolder(const std::string& folder) const
{
    // A drive without a medium is asked nothing of the user.
    const CriticalErrorsSilenced silenced;
    // The shell would see the 32-bit system folder in place of the native one listed.
    if (IsRedirectedPath(folder))
        boundFolder_ = BoundShellFolder{};
    else
        boundFolder_.Bind(folder);
}

HIMAGELIST WindowsPlatform::SystemImageList(bool large) const
{
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                                                         SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX |
                                                             (large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
}

} // namespace korrimat
