#pragma once
// File-system calls on narrow paths that still work where the narrow ("A") functions give up.
// Narrow text is the active code page: UTF-8 under Korrimat's manifest, so names in any script
// pass through. Each call tries the narrow function first; where the system refuses the path as
// too long (past 260 characters), the wide function takes the same path, with the "\\?\" prefix
// that lifts the length limit on systems without long-path support.

#include "platform/PeHeaders.h"
#include "platform/SignatureBytes.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// Conversions between the active code page and UTF-16, whole characters at a time.
std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);
// The narrow form of a name that must stay the same name: nothing when a character has no place
// in the code page (no best-fit letters, which could name another, existing file).
std::optional<std::string> ExactNarrowText(std::wstring_view text);

// The bytes of the character at a position in the active code page: a whole sequence under
// UTF-8, a lead byte with its trail byte under a double-byte code page, else one; never past the
// end of the text.
std::size_t NarrowCharacterLength(std::string_view text, std::size_t position);

// A path's wide form for the wide calls: the "\\?\" (or "\\?\UNC\") form when it is absolute
// and too long for the classic limit.
std::wstring WidePath(std::string_view path);

// GetFullPathNameA, else GetFullPathNameW.
std::optional<std::string> FullPathName(const std::string& path);
// FindFirstFileA (the search closed again at once), else FindFirstFileW with its names converted.
std::optional<WIN32_FIND_DATAA> FindFirstEntry(const std::string& path);
// GetFileAttributesA, else GetFileAttributesW.
DWORD FileAttributes(const std::string& path);
// GetShortPathNameA, else GetShortPathNameW (without the "\\?\" it may have needed).
std::optional<std::string> ShortPathName(const std::string& path);
// GetCompressedFileSizeA, else GetCompressedFileSizeW.
DWORD CompressedFileSize(const std::string& path, DWORD& high);

// A path a user typed or a program passed (a command line's argument), made what the lists and the
// objects take: absolute against the current folder, "/" read as "\", every level by its stored
// long name (an 8.3 path is lengthened), no trailing "\" but a root's, no "\\?\" prefix, in the
// active code page. Nothing, with the system's error, when the entry cannot be found or read.
struct UserPath {
    std::optional<std::string> path;
    // The absolute form, for saying what was not found (empty when even that could not be made).
    std::string absolute;
    DWORD error = ERROR_SUCCESS;
};
UserPath ResolveUserPath(std::wstring_view typed);

// CreateFileW for reading, with every kind of sharing: empty, with the system's error in `error`,
// when the file cannot be opened (one held open by another program that shares nothing).
UniqueFile OpenForReading(const std::string& path, DWORD& error);

// Whether the shell may read the file's icon from it without reading past its end (see
// IconSourceCheck.h); true for a file that cannot be opened, which the shell cannot read either.
bool IconSourceIsWholeAt(const std::string& path);
// The file's program headers (PeHeaders.h); not readable when it cannot be opened.
ProgramKind ProgramKindAt(const std::string& path);
// Where the file's embedded signature lies (SignatureBytes.h); None when it cannot be opened.
EmbeddedSignaturePlace EmbeddedSignatureAt(const std::string& path);
EmbeddedSignaturePlace EmbeddedSignatureIn(HANDLE file);
// `count` bytes of an open file from `offset`; empty unless all of them could be read.
std::vector<std::uint8_t> ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t count);

// Calls `visit(name, attributes)` for every entry matching `pattern` ("folder\*"), the names in
// the narrow code page. The wide search is used throughout, so that neither a long path nor a
// name longer than the narrow record's 260 bytes is lost. Returns 0, or the error of a search that
// could not start (ERROR_FILE_NOT_FOUND when nothing matched).
DWORD ForEachEntry(const std::string& pattern, const std::function<void(std::string_view, DWORD)>& visit);

// While it lives, a drive without a medium fails at once instead of asking the user.
class CriticalErrorsSilenced {
public:
    CriticalErrorsSilenced() noexcept;
    ~CriticalErrorsSilenced();
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    DWORD previous_ = 0;
};

// True when a narrow call failed because the path is too long for it.
bool RefusedAsTooLong(const std::string& path);

// A 32-bit program on 64-bit Windows is silently given the 32-bit system folder (SysWOW64) when
// it names System32, and would show another file's size, times and version under the name the
// user chose. While this lives, the calling thread sees the folder each path names, as a 64-bit
// program does; elsewhere it does nothing. The system loads code through the same paths, so it
// is kept to single calls: always around the kernel's file calls above, which load no code, and
// around the shell's and the version library's only for paths in the system folder.
class NativeSystemFolder {
public:
    // `wanted` false: a scope that changes nothing, for callers that decide per path.
    explicit NativeSystemFolder(bool wanted = true) noexcept;
    ~NativeSystemFolder();
    NativeSystemFolder(const NativeSystemFolder&) = delete;
    NativeSystemFolder& operator=(const NativeSystemFolder&) = delete;

private:
    void* previous_ = nullptr;
    bool turnedOff_ = false;
};

// True in a 32-bit process on 64-bit Windows, for the system folder and everything below it:
// the paths the system would send elsewhere.
bool IsRedirectedPath(std::string_view path);

} // namespace korrimat
