#pragma once
// The operating-system services that the file and version objects, the folder and file lists
// and the window rely on, behind one small interface. WindowsPlatform calls the real narrow
// ("A") Win32 functions, and where they refuse a path past 260 characters, the wide ones or the
// entry's 8.3 path. The locale's texts come from the wide functions: the narrow ones give them in
// the locale's own code page, not the process's. A test derives from it and overrides a single
// operation only where it needs a failure that the real system cannot be made to give.
//
// One rule for system calls: what the window, the controls and the report ask of the system goes
// through Platform, so that a test can give any answer; what only the platform layer needs (the
// long-path calls, the scopes, the readers of program files) stays a free function there.

#include "platform/BoundShellFolder.h"
#include "formats/PeHeaders.h"
#include "formats/SignatureBytes.h"
#include "platform/Signatures.h"
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// A message digest being computed: bytes added in order, then the digest.
class Digest {
public:
    virtual ~Digest() = default;
    [[nodiscard]] virtual bool Add(std::span<const BYTE> bytes) = 0;
    // The digest of everything added; nothing when the system failed.
    [[nodiscard]] virtual std::optional<std::vector<BYTE>> Finish() = 0;
};

// A thread's start function, as the runtime's thread start takes it.
using ThreadMain = unsigned(__stdcall*)(void* argument);

// A folder entry as a listing finds it: its name in the active code page, and the wide record.
using EntryVisit = std::function<void(std::string_view name, const WIN32_FIND_DATAW& found)>;

// A drive as the drive list shows it.
struct DriveFacts {
    char letter = 0;   // lower case
    std::string root;  // "C:\"
    std::string text;  // "c:", then " [label]" or, for a network drive, " [\\server\share]"
};

class Platform {
public:
    virtual ~Platform() = default;

    // GetFullPathNameA: the absolute form of a path, or nothing when none can be formed.
    [[nodiscard]] virtual std::optional<std::string> FullPathOf(const std::string& path) const = 0;
    // FindFirstFileA (the search closed again at once): the first matching entry, or nothing.
    [[nodiscard]] virtual std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const = 0;
    // The entries matching a pattern ("folder\*"), each as `visit(name, found)`, listed by the
    // wide search so that no name or path is lost to the narrow record's limits. A drive without
    // a medium fails at once. 0, or the error of a search that could not start
    // (ERROR_FILE_NOT_FOUND when nothing matched). May be called from any thread.
    [[nodiscard]] virtual DWORD ListEntries(const std::string& pattern, const EntryVisit& visit) const = 0;
    // GetFileAttributesA: INVALID_FILE_ATTRIBUTES when the entry cannot be found.
    [[nodiscard]] virtual DWORD Attributes(const std::string& path) const = 0;
    // FileTimeToLocalFileTime, with the offset in force now; false on failure.
    [[nodiscard]] virtual bool ToLocalFileTime(const FILETIME& utc, FILETIME& local) const = 0;
    // FileTimeToSystemTime; false on failure.
    [[nodiscard]] virtual bool ToSystemTime(const FILETIME& time, SYSTEMTIME& parts) const = 0;
    // GetShortPathNameA: the 8.3 form of a path, or nothing.
    [[nodiscard]] virtual std::optional<std::string> ShortPathOf(const std::string& path) const = 0;
    // GetCompressedFileSizeA: the low 32 bits (all bits set on failure), the high ones in `high`.
    [[nodiscard]] virtual DWORD CompressedSizeOf(const std::string& path, DWORD& high) const = 0;
    // SHGetFileInfoA with SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME into a zero-filled record.
    // The caller owns the icon handle in `info.hIcon`.
    [[nodiscard]] virtual DWORD_PTR ShellInfoOf(const std::string& path, SHFILEINFOA& info) const = 0;
    // GetFileVersionInfoSizeA: the size of the version resource, 0 when there is none.
    [[nodiscard]] virtual DWORD VersionInfoSize(const std::string& path) const = 0;
    // GetFileVersionInfoA into `image` (handle 0, the whole span's size).
    [[nodiscard]] virtual bool ReadVersionInfo(const std::string& path, std::span<BYTE> image) const = 0;
    // VerQueryValueA on a resource image; `address` points into `image` when it succeeds.
    [[nodiscard]] virtual bool QueryVersionValue(std::span<const BYTE> image, const std::string& subBlock,
                                   const void*& address, UINT& length) const = 0;
    // VerLanguageNameW: the language's name, never holding a NUL; empty when it has none.
    [[nodiscard]] virtual std::string LanguageName(DWORD languageId) const = 0;
    // GetEnvironmentVariableA: the value, or empty text when the variable is not set.
    [[nodiscard]] virtual std::string Environment(const std::string& name) const = 0;
    // GetLocaleInfoW for the user's default locale (regional settings read at each call).
    [[nodiscard]] virtual std::string LocaleText(LCTYPE type) const = 0;
    // Upper case by the system's locale rules, whole characters of the active code page at a time.
    [[nodiscard]] virtual std::string UpperCase(const std::string& text) const = 0;
    // DrawIcon at (x, y) on a device context.
    [[nodiscard]] virtual bool DrawIconAt(HDC surface, int x, int y, HICON icon) const = 0;

    // What the user asks for alone: the clipboard, a file's contents, its program headers. These
    // may be called from a worker thread (all but the clipboard are).
    //
    // The text on the clipboard in UTF-16 (CF_UNICODETEXT), with `owner` as its owner; false when
    // the clipboard could not be opened or did not take it.
    [[nodiscard]] virtual bool CopyToClipboard(HWND owner, const std::string& text) const = 0;
    // CreateFileW for reading the contents, with every kind of sharing (a file another program has
    // open for writing can still be read); empty, with the system's error in `error`, on failure.
    [[nodiscard]] virtual UniqueFile OpenToRead(const std::string& path, DWORD& error) const = 0;
    // GetFileSizeEx of an open file.
    [[nodiscard]] virtual std::optional<std::uint64_t> SizeOfOpenFile(HANDLE file) const = 0;
    // ReadFile of up to `buffer`'s size at the file's position: the count read (0 at the end), or
    // nothing with the system's error in `error`.
    [[nodiscard]] virtual std::optional<std::size_t> ReadOpenFile(HANDLE file, std::span<BYTE> buffer, DWORD& error) const = 0;
    // The system's SHA-256 (BCrypt); null when it cannot be had.
    [[nodiscard]] virtual std::unique_ptr<Digest> NewSha256() const = 0;
    // The file's program headers (PeHeaders.h), read from the file; not readable when it cannot
    // be opened.
    [[nodiscard]] virtual ProgramKind ProgramKindOfFile(const std::string& path) const = 0;
    // Where the file's embedded signature lies (SignatureBytes.h), read from the file: cheap.
    [[nodiscard]] virtual EmbeddedSignaturePlace EmbeddedSignatureOfFile(const std::string& path) const = 0;
    // The system's check of the file's embedded signatures (Signatures.h): slow, for a worker.
    [[nodiscard]] virtual SignatureCheck CheckSignatures(const std::string& path) const = 0;

    // The machine's drives and the shell's small pictures, for the lists.
    //
    // GetLogicalDriveStringsA, each with its label (GetVolumeInformationA) or, for a network
    // drive, its share (WNetGetConnectionA); a drive without a medium is asked nothing of the user.
    [[nodiscard]] virtual std::vector<DriveFacts> Drives() const = 0;
    // GetCurrentDirectoryA; empty when the system cannot give it.
    [[nodiscard]] virtual std::string CurrentFolder() const = 0;
    // SHGetFileInfoA: the system image list's index of the small icon the shell shows for `path`
    // (for a folder by its attributes alone when `anyFolder`, open or closed); -1 for none.
    [[nodiscard]] virtual int ShellImageIndex(const std::string& path, bool anyFolder, bool open) const = 0;
    // The shell's view of the folder a list has just read, bound afresh, so that ShellInfoOf can
    // describe that folder's files without the shell finding the folder again for each. The empty
    // text lets the view go (at the end, while the system's objects are still set up).
    virtual void BindShellFolder(const std::string& folder) const = 0;
    // SHGetFileInfoA: the system image list of small or of large icons (the shell owns it).
    [[nodiscard]] virtual HIMAGELIST SystemImageList(bool large) const = 0;

    // Work on other threads, and what they wait for.
    //
    // CreateEventW: a manual-reset event, not set; empty on failure.
    [[nodiscard]] virtual UniqueEvent NewEvent() const = 0;
    // _beginthreadex: a running thread; empty on failure (nothing runs then).
    [[nodiscard]] virtual UniqueThread StartThread(ThreadMain main, void* argument) const = 0;
    // FindFirstChangeNotificationW on a folder alone (not its subfolders), for names added,
    // removed or renamed, sizes, write times and attributes; empty on failure.
    [[nodiscard]] virtual UniqueChangeNotification WatchFolder(const std::string& folder) const = 0;
    // FindNextChangeNotification: waits for the next change; false on failure.
    [[nodiscard]] virtual bool WatchAgain(HANDLE notification) const = 0;
};

class WindowsPlatform : public Platform {
public:
    std::optional<std::string> FullPathOf(const std::string& path) const override;
    std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const override;
    DWORD ListEntries(const std::string& pattern, const EntryVisit& visit) const override;
    DWORD Attributes(const std::string& path) const override;
    bool ToLocalFileTime(const FILETIME& utc, FILETIME& local) const override;
    bool ToSystemTime(const FILETIME& time, SYSTEMTIME& parts) const override;
    std::optional<std::string> ShortPathOf(const std::string& path) const override;
    DWORD CompressedSizeOf(const std::string& path, DWORD& high) const override;
    DWORD_PTR ShellInfoOf(const std::string& path, SHFILEINFOA& info) const override;
    DWORD VersionInfoSize(const std::string& path) const override;
    bool ReadVersionInfo(const std::string& path, std::span<BYTE> image) const override;
    bool QueryVersionValue(std::span<const BYTE> image, const std::string& subBlock,
                           const void*& address, UINT& length) const override;
    std::string LanguageName(DWORD languageId) const override;
    std::string Environment(const std::string& name) const override;
    std::string LocaleText(LCTYPE type) const override;
    std::string UpperCase(const std::string& text) const override;
    bool DrawIconAt(HDC surface, int x, int y, HICON icon) const override;
    bool CopyToClipboard(HWND owner, const std::string& text) const override;
    UniqueFile OpenToRead(const std::string& path, DWORD& error) const override;
    std::optional<std::uint64_t> SizeOfOpenFile(HANDLE file) const override;
    std::optional<std::size_t> ReadOpenFile(HANDLE file, std::span<BYTE> buffer, DWORD& error) const override;
    std::unique_ptr<Digest> NewSha256() const override;
    ProgramKind ProgramKindOfFile(const std::string& path) const override;
    EmbeddedSignaturePlace EmbeddedSignatureOfFile(const std::string& path) const override;
    SignatureCheck CheckSignatures(const std::string& path) const override;
    std::vector<DriveFacts> Drives() const override;
    std::string CurrentFolder() const override;
    int ShellImageIndex(const std::string& path, bool anyFolder, bool open) const override;
    void BindShellFolder(const std::string& folder) const override;
    HIMAGELIST SystemImageList(bool large) const override;
    UniqueEvent NewEvent() const override;
    UniqueThread StartThread(ThreadMain main, void* argument) const override;
    UniqueChangeNotification WatchFolder(const std::string& folder) const override;
    bool WatchAgain(HANDLE notification) const override;

private:
    mutable BoundShellFolder boundFolder_;
};

// The one real platform of the process.
const Platform& SystemPlatform();

} // namespace korrimat
