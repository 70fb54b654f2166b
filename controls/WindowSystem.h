#pragma once
// What a thread sets up before it makes Korrimat's window, for as long as this object lives: OLE
// (the shell's file information and icons want it) and the common controls.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace korrimat::controls {

class WindowSystem {
public:
    WindowSystem() noexcept : ole_(SUCCEEDED(::OleInitialize(nullptr)))
    {
        INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&commonControls);
    }
    ~WindowSystem()
    {
        if (ole_)
            ::OleUninitialize();
    }
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

private:
    bool ole_;
};

} // namespace korrimat::controls
