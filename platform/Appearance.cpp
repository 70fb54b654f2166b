#include "platform/Appearance.h"

#include <windows.h>

namespace korrimat {

bool AppsUseDarkMode()
{
    DWORD light = 1;
    DWORD size = sizeof(light);
    const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                                          L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    return status == ERROR_SUCCESS && light == 0;
}

} // namespace korrimat
