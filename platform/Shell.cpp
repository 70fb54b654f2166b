#include "platform/Shell.h"

#include "platform/BoundShellFolder.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/ProgramFiles.h"
#include "platform/SystemScopes.h"
#include "platform/Text.h"

#include <shellapi.h>

#include <algorithm>

namespace korrimat {

namespace {

constexpr UINT kShellWanted = SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME;

// The view of the folder the file list read last: bound and asked on the window's thread.
BoundShellFolder& BoundFolder()
{
    static BoundShellFolder folder;
    return folder;
}

// A fixed field's text, up to its first NUL; a field the shell filled to the end without one,
// less the spaces at either end.
template <std::size_t Size>
std::string FieldText(const char (&field)[Size])
{
    const char* end = std::find(field, field + Size, '\0');
    return end != field + Size ? std::string(field, end) : TrimSpaces(std::string_view(field, Size));
}

// The record's texts, and its icon owned.
ShellDescription DescriptionOf(const SHFILEINFOA& info)
{
    return {FieldText(info.szDisplayName), FieldText(info.szTypeName), UniqueIcon(info.hIcon)};
}

std::optional<ShellDescription> AskShell(const std::string& path)
{
    SHFILEINFOA info{};
    // The shell and the version library load code while they work, which must come from the
    // process's own system folder: they see the native one only for a path that lies in it.
    const NativeSystemFolder native(IsRedirectedPath(path));
    if (!::SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), kShellWanted)) {
        if (info.hIcon)
            ::DestroyIcon(info.hIcon);
        return std::nullopt;
    }
    return DescriptionOf(info);
}

// The entry described by its name and attributes alone, with the icon of its kind: the shell
// reads nothing of the file.
std::optional<ShellDescription> DescribeByName(const std::string& path)
{
    const DWORD attributes = FileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    SHFILEINFOA info{};
    const DWORD_PTR described = ::SHGetFileInfoA(name.c_str(), attributes, &info, sizeof(info),
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
    ShellDescription description = DescriptionOf(info);
    if (!described)
        return std::nullopt;
    return description;
}

} // namespace

std::optional<ShellDescription> ShellDescriptions::Describe(const std::string& path) const
{
    // The shell reads a program's or an icon file's icon from the file, trusting every offset in
    // it: one that would send it past the file's end is described by its name instead.
    if (!IconSourceIsWholeAt(path))
        return DescribeByName(path);
    // A file of the folder just listed, of a type whose icon is its class's: the shell need not
    // find the folder again (in a large folder, the most of a show's time).
    if (!IsRedirectedPath(path)) {
        SHFILEINFOA info{};
        if (BoundFolder().Describe(path, info))
            return DescriptionOf(info);
    }
    std::optional<ShellDescription> described = AskShell(path);
    if (described || path.size() < MAX_PATH)
        return described;
    // The shell stops at the classic limit. The entry's 8.3 path names the same entry; where the
    // shell refuses that too, it still describes the entry by its name and attributes.
    if (const std::optional<std::string> shortPath = ShortFormOfLongPath(path)) {
        described = AskShell(*shortPath);
        if (described)
            return described;
    }
    return DescribeByName(path);
}

void BindShellFolder(const std::string& folder)
{
    // A drive without a medium is asked nothing of the user.
    const CriticalErrorsSilenced silenced;
    // The shell would see the 32-bit system folder in place of the native one listed.
    if (IsRedirectedPath(folder))
        BoundFolder() = BoundShellFolder{};
    else
        BoundFolder().Bind(folder);
}

int ShellImageIndex(const std::string& path, bool anyFolder, bool open)
{
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (anyFolder ? SHGFI_USEFILEATTRIBUTES : 0) |
                       (open ? SHGFI_OPENICON : 0);
    return ::SHGetFileInfoA(path.c_str(), anyFolder ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof(info), flags) ? info.iIcon : -1;
}

HIMAGELIST SystemImageList(bool large)
{
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                                                         SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX |
                                                             (large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
}

} // namespace korrimat
