#pragma once
// The shell's names of the files of one folder, asked of the shell's view of that folder bound
// once, instead of the shell finding the folder (and reading its desktop.ini) for every file.
// The file list binds the folder it has just read, so that the view (and what the registry says
// of the types met in it) is as fresh as the listing.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace korrimat {

class BoundShellFolder {
public:
    // Binds the shell's view of `folder` afresh; on failure, or for the empty text, none stays bound.
    void Bind(const std::string& folder);
    // SHGetFileInfoA's record (icon, display name, type name) for a file of the bound folder, asked
    // on the thread that bound it, whose type its class describes (TypeIsDescribedByItsClass): the
    // display name from the bound view, the icon and type by the file's attributes
    // (SHGFI_USEFILEATTRIBUTES), so that the shell reads nothing of the folder. False, with the
    // record left empty, wherever that does not hold.
    [[nodiscard]] bool Describe(const std::string& path, SHFILEINFOA& info) const;

private:
    struct Release {
        void operator()(IShellFolder* folder) const noexcept { folder->Release(); }
    };

    // TypeIsDescribedByItsClass of each extension met, asked once a binding: the registry's
    // answers cost more than the rest of a description.
    bool DescribedByClass(const std::wstring& extension) const;

    std::string folder_;
    DWORD thread_ = 0;
    mutable std::map<std::wstring, bool> describedByClass_;
    std::unique_ptr<IShellFolder, Release> view_;
};

// Whether the shell describes a file type from its class alone: the extension is registered with
// a class that names the type, its DefaultIcon is not "%1" and no icon handler is registered for
// it (a program's, an icon file's or a shortcut's icon comes from the file itself). `extension`
// with its dot; false when the registry cannot tell.
bool TypeIsDescribedByItsClass(std::wstring_view extension);

} // namespace korrimat
