// Korrimat's entry point: the one window, its load steps, then its messages until it closes.
//
//   korrimat.exe [PATH]
//
// With a path (a file or a folder; relative, 8.3, past 260 characters, on a share), the window
// opens showing it; of several arguments the first counts, as of several dropped files.

#include "app/FFileInfo.h"
#include "platform/LibrarySearch.h"
#include "platform/Trace.h"
#include "platform/UniqueHandle.h"
#include "platform/Worker.h"
#include "controls/Control.h"
#include "controls/Form.h"
#include "controls/WindowSystem.h"

#include <DelayLoaded.h>
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

// The first argument of the process's command line, read in UTF-16 so that a name in any script
// arrives whole; empty when there is none.
std::wstring FirstArgument()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const korrimat::UniqueLocal owned(reinterpret_cast<HLOCAL>(arguments));
    return arguments && count > 1 ? std::wstring(arguments[1]) : std::wstring();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    // Before anything that needs a library: every one but kernel32's and the C runtime's is bound
    // here, from the system folder. Without them the program cannot run.
    if (!korrimat::LoadLibrariesFromSystemFolderOnly(kDelayLoadedLibraries))
        return 1;
    const std::wstring startPath = FirstArgument();

    const korrimat::controls::WindowSystem windowSystem;
    // The shell's view of the last folder listed goes before OLE is shut down, whatever the way out.
    const korrimat::ScopeExit forgetShellView([] { korrimat::BindShellFolder({}); });
    // The shell fills its image lists the first time a program asks for them (tens of
    // milliseconds under Wine): asked on another thread while the window is being made, so that
    // the lists find them ready. The thread is waited for before the program ends.
    korrimat::Worker shellImages;
    static_cast<void>(shellImages.Start([](HANDLE) {
        static_cast<void>(korrimat::SystemImageList(false));
        static_cast<void>(korrimat::SystemImageList(true));
    }));

    korrimat::FFileInfo window;
    if (!window.Created())
        return 1;
    window.Load(startPath);
    window.Show(showCommand);
    return korrimat::controls::RunMessageLoop(window);
}
