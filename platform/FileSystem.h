#pragma once
// File-system calls on narrow paths that still work where the narrow ("A") functions give up.
// Narrow text is the active code page: UTF-8 under Korrimat's manifest, so names in any script
// pass through. Each call tries the narrow function first; where the system refuses the path as
// too long (past 260 characters), the wide function takes the same path, with the "\\?\" prefix
// that lifts the length limit on systems without long-path support.

#include "formats/DownloadOrigin.h"
#include "platform/SystemScopes.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// A path's wide form for the wide calls: the "\\?\" (or "\\?\UNC\") form when it is absolute
// and too long for the classic limit.
std::wstring WidePath(std::string_view path);

// GetFullPathNameA, else GetFullPathNameW.
std::optional<std::string> FullPathName(const std::string& path);
// FindFirstFileA (the search closed again at once), else FindFirstFileW with its names converted.
std::optional<WIN32_FIND_DATAA> FindFirstEntry(const std::string& path);
// GetFileAttributesA, else GetFileAttributesW; INVALID_FILE_ATTRIBUTES when the entry cannot be
// found. A drive without a medium is asked nothing of the user.
DWORD FileAttributes(const std::string& path);
// GetShortPathNameA, else GetShortPathNameW (without the "\\?\" it may have needed).
std::optional<std::string> ShortPathName(const std::string& path);
// GetCompressedFileSizeA, else GetCompressedFileSizeW; nothing on failure.
std::optional<std::uint64_t> CompressedFileSize(const std::string& path);
// The 8.3 form of a path too long for a call that has no way past the classic limit (the shell's
// and the version library's); nothing when the path is short enough already or has no such form.
std::optional<std::string> ShortFormOfLongPath(const std::string& path);

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

// A small file read whole, or why not: larger than the limit asked (nothing of it kept), or the
// system's error on opening or reading it.
struct WholeFile {
    enum class State { Read, TooLarge, Failed };
    State state = State::Failed;
    std::vector<std::uint8_t> bytes;  // when Read
    DWORD error = ERROR_SUCCESS;      // when Failed
};
// Opened as OpenForReading opens it (every kind of sharing, any length of path); never reads more
// than `largest` + 1 bytes, so a file that grows while it is read is still cut short.
WholeFile ReadWholeFile(const std::string& path, std::size_t largest);

// Where a downloaded file came from, from its Zone.Identifier stream (DownloadOrigin.h); nothing
// when it has none, or its volume keeps no such streams. The stream is only ever read.
std::optional<DownloadOrigin> DownloadOriginOf(const std::string& path);

// Calls `visit(name, found)` for every entry matching `pattern` ("folder\*"), the names in
// the narrow code page. The wide search is used throughout, so that neither a long path nor a
// name longer than the narrow record's 260 bytes is lost. A drive without a medium fails at once.
// Returns 0, or the error of a search that could not start (ERROR_FILE_NOT_FOUND when nothing
// matched). May be called from any thread.
DWORD ForEachEntry(const std::string& pattern,
                   const std::function<void(std::string_view name, const WIN32_FIND_DATAW& found)>& visit);

// An entry's attributes, its three times and its size, from one find record into another (narrow,
// wide, or a record of the same field names).
template <typename To, typename From>
void CopyEntryFacts(To& to, const From& from) noexcept
{
    to.dwFileAttributes = from.dwFileAttributes;
    to.ftCreationTime = from.ftCreationTime;
    to.ftLastAccessTime = from.ftLastAccessTime;
    to.ftLastWriteTime = from.ftLastWriteTime;
    to.nFileSizeHigh = from.nFileSizeHigh;
    to.nFileSizeLow = from.nFileSizeLow;
}

// True when a narrow call failed because the path is too long for it.
bool RefusedAsTooLong(const std::string& path);

} // namespace korrimat
