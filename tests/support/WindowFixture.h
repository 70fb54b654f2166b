#pragma once
// The real window FFileInfo as the program opens it, for the window tests and the soak.

#include "app/FFileInfo.h"
#include "tests/support/WindowTesting.h"

#include <memory>
#include <string>

namespace korrimat::testing {

// A window closing asks the message loop to end: that is not for the next window.
inline void DiscardQuitMessage()
{
    MSG quit{};
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Created, its load steps run, shown, its first messages dispatched.
inline std::unique_ptr<FFileInfo> OpenWindow(const Platform& platform = SystemPlatform())
{
    DiscardQuitMessage();
    auto window = std::make_unique<FFileInfo>(platform);
    if (!window->Created())
        return window;
    window->Load();
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

// Moves the lists to a folder (and its drive), as a user's choices there do.
inline bool OpenFolder(FFileInfo& window, const std::string& folder)
{
    window.Drive1.SetDrive(folder);
    return window.Dir1.SetPath(folder);
}

} // namespace korrimat::testing
