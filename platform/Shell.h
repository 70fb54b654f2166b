#pragma once
// What the shell says of files: a file's description (its display name, type name and icon) as a
// seam a test can override, and the small pictures of the lists as plain calls.

#include "platform/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

namespace korrimat {

struct ShellDescription {
    std::string displayName;
    std::string typeName;
    UniqueIcon icon;  // the large icon; empty when the shell gave none
};

class ShellDescriptions {
public:
    virtual ~ShellDescriptions() = default;
    // SHGetFileInfoA with SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME, past the classic limit
    // through the entry's 8.3 path or its name and attributes; nothing when the shell describes
    // nothing. A program or icon file whose icon data would send the shell past its end is
    // described by name and attributes, without reading it.
    [[nodiscard]] virtual std::optional<ShellDescription> Describe(const std::string& path) const;
};

// The shell's view of the folder a list has just read, bound afresh, so that Describe can name
// that folder's files without the shell finding the folder again for each. The empty text lets
// the view go (at the end, while the system's objects are still set up).
void BindShellFolder(const std::string& folder);
// SHGetFileInfoA: the system image list's index of the small icon the shell shows for `path`
// (for a folder by its attributes alone when `anyFolder`, open or closed); -1 for none.
[[nodiscard]] int ShellImageIndex(const std::string& path, bool anyFolder, bool open);
// SHGetFileInfoA: the system image list of small or of large icons (the shell owns it).
[[nodiscard]] HIMAGELIST SystemImageList(bool large);

} // namespace korrimat
