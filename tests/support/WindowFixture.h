#pragma once
// The real window FFileInfo as the program opens it, for the window tests and the soak.

#include "app/FFileInfo.h"
#include "tests/support/WindowTesting.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace korrimat::testing {

// A window closing asks the message loop to end: that is not for the next window.
inline void DiscardQuitMessage()
{
    MSG quit{};
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Created, its load steps run (with a start path, as the command line gives it), shown, its
// first messages dispatched.
inline std::unique_ptr<FFileInfo> OpenWindow(const Platform& platform = SystemPlatform(),
                                             std::wstring_view startPath = {})
{
    DiscardQuitMessage();
    auto window = std::make_unique<FFileInfo>(platform);
    if (!window->Created())
        return window;
    window->Load(startPath);
    window->Show(SW_SHOWNORMAL);
    Pump(window.get());
    return window;
}

// Chooses a file of the file list by name, as a click does; false when the list lacks it.
inline bool Choose(FFileInfo& window, const std::string& name)
{
    const int index = window.File1.IndexOf(name);
    if (index >= 0)
        window.File1.SetSelectedIndex(index);
    return index >= 0;
}

// Brings a page forward by its tab's key, as a click on the tab does (a page's controls are made
// when it first comes forward); false when the entry shown has no such tab.
inline bool ShowPage(FFileInfo& window, std::string_view key)
{
    if (window.tabInfo.IndexOfKey(key) < 0)
        return false;
    window.tabInfo.Select(key);
    return true;
}

// Moves the lists to a folder (and its drive), as a user's choices there do.
inline bool OpenFolder(FFileInfo& window, const std::string& folder)
{
    window.Drive1.SetDrive(folder);
    return window.Dir1.SetPath(folder);
}

// Drops files on the window as the shell does (a DROPFILES block of wide names, posted) and lets
// it run; true when the window released the block, as the receiver must.
inline bool DropOn(FFileInfo& window, const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths)
        names += WideText(path) + L'\0';
    names += L'\0';
    UniqueGlobal drop(::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t)));
    auto* header = drop ? static_cast<DROPFILES*>(::GlobalLock(drop.Get())) : nullptr;
    if (!header)
        return false;
    header->pFiles = sizeof(DROPFILES);
    header->pt = {60, 60};
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(drop.Get());
    HGLOBAL block = drop.Get();
    if (!::PostMessageW(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
        return false;
    drop.Release();
    Pump(&window);
    if (::GlobalFlags(block) == GMEM_INVALID_HANDLE)
        return true;
    ::GlobalFree(block);
    return false;
}

} // namespace korrimat::testing
