#pragma once
// Path texts as the drive, folder and file lists use them. Pure text work: no file system.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

// Length of a full path's root: 3 for "C:\...", the share's "\\server\share\" for a UNC path
// (its whole length when nothing follows the share); 0 when the path has no root.
std::size_t RootLength(std::string_view path);
// True when the path is only its root ("C:\", "\\server\share\").
bool IsRootPath(std::string_view path);
// The lists' form of a full path: a root ends in "\" (one is added), no other path does.
std::string ListPathForm(std::string_view fullPath);
// A folder and a name inside it, with exactly one "\" between them.
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder a full path lies in, in the lists' form; a root is its own folder.
std::string ParentFolder(std::string_view fullPath);
// The drive letter, in lower case, that a text begins with: "c", "C:", "c:\Windows" and
// "c: [System]" all give 'c'. Nothing when the text does not begin with a drive.
std::optional<char> DriveLetterOf(std::string_view text);
// True when the text names a drive and no folder: "c:", "C:" or a drive list's entry "c: [System]".
bool IsDriveOnly(std::string_view text);
// The levels of a full path, root first: "C:\Windows\System32" gives "C:\", "Windows", "System32".
std::vector<std::string> PathLevels(std::string_view fullPath);

} // namespace korrimat
