#pragma once
// What the user chose for how applications look.

namespace korrimat {

// Windows' app mode is dark: AppsUseLightTheme is 0 under HKCU's Themes\Personalize key. Light
// when the value is missing (Windows before the setting, or never changed).
bool AppsUseDarkMode();

} // namespace korrimat
