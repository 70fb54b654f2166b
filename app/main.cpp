// Korrimat's entry point: the one window, its load steps, then its messages until it closes.

#include "app/FFileInfo.h"
#include "platform/controls/Control.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

// The shell's file information and icons want OLE on this thread.
class OleScope {
public:
    OleScope() noexcept : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleScope()
    {
        if (initialised_)
            ::OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool initialised_;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    OleScope ole;
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&commonControls);

    korrimat::FFileInfo window(instance);
    if (!window.Created())
        return 1;
    window.Load();
    window.Show(showCommand);
    return korrimat::controls::RunMessageLoop(window);
}
