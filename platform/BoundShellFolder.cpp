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
    describedByClass_.clear();
    if (folder.empty())
        return;
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

bool BoundShellFolder::DescribedByClass(const std::wstring& extension) const
{
    const auto known = describedByClass_.find(extension);
    if (known != describedByClass_.end())
        return known->second;
    const bool described = TypeIsDescribedByItsClass(extension);
    describedByClass_.emplace(extension, described);
    return described;
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
    const std::size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || !DescribedByClass(name.substr(dot)))
        return false;
    const DWORD attributes = ::GetFileAttributesW(WideText(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
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

bool TypeIsDescribedByItsClass(std::wstring_view extension)
{
    if (extension.size() < 2)
        return false;
    const std::wstring dotted(extension);
    // A type without a class of its own is named by the shell after the file's extension, which
    // it spells differently when it reads nothing of the file.
    wchar_t text[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (FAILED(::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_FRIENDLYDOCNAME, dotted.c_str(), nullptr, text, &length)))
        return false;
    // The icon drawn from each file.
    length = MAX_PATH;
    const HRESULT icon = ::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_DEFAULTICON, dotted.c_str(), nullptr, text, &length);
    if (SUCCEEDED(icon) && std::wstring_view(text).find(L"%1") != std::wstring_view::npos)
        return false;
    if (FAILED(icon) && icon != HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION) && icon != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return false;
    // An icon handler, wherever the shell looks for one: the type's class, the extension, the
    // system's associations of the extension, and every file.
    const std::wstring handler = L"ShellEx\\IconHandler";
    HKEY classKey = nullptr;
    if (SUCCEEDED(::AssocQueryKeyW(ASSOCF_NONE, ASSOCKEY_CLASS, dotted.c_str(), nullptr, &classKey))) {
        const UniqueKey owned(classKey);
        if (HasSubkey(classKey, handler))
            return false;
    }
    return !HasSubkey(HKEY_CLASSES_ROOT, dotted + L"\\" + handler) &&
           !HasSubkey(HKEY_CLASSES_ROOT, L"SystemFileAssociations\\" + dotted + L"\\" + handler) &&
           !HasSubkey(HKEY_CLASSES_ROOT, L"*\\" + handler);
}

} // namespace korrimat
