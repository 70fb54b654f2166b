#include "platform/BoundShellFolder.h"

#include "platform/Text.h"

#include <shlwapi.h>

namespace korrimat {

namespace {

struct FreeIdList {
    void operator()(ITEMIDLIST* list) const noexcept { ::CoTaskMemFree(list); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, FreeIdList>;

struct CloseKey {
    void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, CloseKey>;

bool HasSubkey(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

} // namespace

void BoundShellFolder::Bind(const std::string& folder)
{
    view_.reset();
    folder_.clear();
    ITEMIDLIST* parsed = nullptr;
    if (FAILED(::SHParseDisplayName(WideText(folder).c_str(), nullptr, &parsed, 0, nullptr)))
        return;
    const UniqueIdList list(parsed);
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)))
        return;
    const std::unique_ptr<IShellFolder, Release> ownedDesktop(desktop);
    IShellFolder* view = nullptr;
    if (FAILED(desktop->BindToObject(list.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&view))))
        return;
    view_.reset(view);
    folder_ = folder;
    thread_ = ::GetCurrentThreadId();
}

bool BoundShellFolder::Describe(const std::string& path, SHFILEINFOA& info) const
{
    info = SHFILEINFOA{};
    const std::size_t separator = path.find_last_of('\\');
    if (!view_ || thread_ != ::GetCurrentThreadId() || separator == std::string::npos)
        return false;
    // The listed folder's path; a root keeps its backslash.
    const std::string folder = path.substr(0, separator == 2 && path[1] == ':' ? separator + 1 : separator);
    if (folder != folder_)
        return false;
    const std::wstring name = WideText(std::string_view(path).substr(separator + 1));
    const DWORD attributes = ::GetFileAttributesW(WideText(path).c_str());
    if (name.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::size_t dot = name.find_last_of(L'.');
    if (TypeIconComesFromFile(dot == std::wstring::npos ? std::wstring_view() : std::wstring_view(name).substr(dot)))
        return false;

    ITEMIDLIST* parsed = nullptr;
    std::wstring parseable = name;  // the view may write into the name it parses
    if (FAILED(view_->ParseDisplayName(nullptr, nullptr, parseable.data(), nullptr, &parsed, nullptr)))
        return false;
    const UniqueIdList child(parsed);
    STRRET shown{};
    wchar_t displayName[MAX_PATH] = {};
    if (FAILED(view_->GetDisplayNameOf(child.get(), SHGDN_INFOLDER, &shown)) ||
        FAILED(::StrRetToBufW(&shown, child.get(), displayName, MAX_PATH)))
        return false;

    SHFILEINFOA described{};
    if (!::SHGetFileInfoA(path.c_str(), attributes, &described, sizeof(described),
                          SHGFI_ICON | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
        return false;
    // Narrowed as the shell's narrow call narrows its own record.
    if (::WideCharToMultiByte(CP_ACP, 0, displayName, -1, described.szDisplayName, sizeof(described.szDisplayName),
                              nullptr, nullptr) == 0) {
        if (described.hIcon)
            ::DestroyIcon(described.hIcon);
        return false;
    }
    info = described;
    return true;
}

bool TypeIconComesFromFile(std::wstring_view extension)
{
    // A file without a registered type gets the shell's icon for unknown files.
    if (extension.size() < 2)
        return false;
    const std::wstring dotted(extension);
    wchar_t icon[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const HRESULT found = ::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_DEFAULTICON, dotted.c_str(), nullptr, icon, &length);
    if (SUCCEEDED(found) && std::wstring_view(icon).find(L"%1") != std::wstring_view::npos)
        return true;
    if (FAILED(found) && found != HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION) &&
        found != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return true;
    // An icon handler, wherever the shell looks for one: the type's class, the extension, the
    // system's associations of the extension, and every file.
    const std::wstring handler = L"\\ShellEx\\IconHandler";
    HKEY classKey = nullptr;
    if (SUCCEEDED(::AssocQueryKeyW(ASSOCF_NONE, ASSOCKEY_CLASS, dotted.c_str(), nullptr, &classKey))) {
        const UniqueKey owned(classKey);
        if (HasSubkey(classKey, handler.substr(1)))
            return true;
    }
    return HasSubkey(HKEY_CLASSES_ROOT, dotted + handler) ||
           HasSubkey(HKEY_CLASSES_ROOT, L"SystemFileAssociations\\" + dotted + handler) ||
           HasSubkey(HKEY_CLASSES_ROOT, L"*" + handler);
}

} // namespace korrimat
