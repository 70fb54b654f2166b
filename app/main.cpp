// Korrimat's entry point: the one window, its load steps, then its messages until it closes.

#include "app/FFileInfo.h"
#include "platform/controls/Control.h"
#include "platform/controls/WindowSystem.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    const korrimat::controls::WindowSystem windowSystem;

    korrimat::FFileInfo window;
    if (!window.Created())
        return 1;
    window.Load();
    window.Show(showCommand);
    return korrimat::controls::RunMessageLoop(window);
}
