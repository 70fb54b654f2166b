#pragma once
// The colours the controls draw with. In the system scheme they are the system's own, as the user
// set them (a high-contrast scheme included); in the dark scheme, which Windows' dark app mode
// asks for, a dark set of the same roles, every text at least 4.5:1 against its background.

#include <windows.h>

namespace korrimat::controls {

enum class ColourScheme { System, Dark };

// The scheme the user's settings ask for: dark in Windows' dark app mode, unless a high-contrast
// scheme is on, whose colours win.
ColourScheme WantedColourScheme();
// The title bar in the app mode's colours, where the system draws it so.
void UseDarkTitleBar(HWND window, bool dark);
// Whether a WM_SETTINGCHANGE's setting is the app mode's colours ("ImmersiveColorSet").
bool NamesImmersiveColours(HWND window, LPARAM setting);

// One scheme for the process: Korrimat has one window.
void UseColourScheme(ColourScheme scheme) noexcept;
bool DarkScheme() noexcept;

// A system colour's role (COLOR_BTNFACE, COLOR_WINDOWTEXT...) in the scheme.
COLORREF SchemeColour(int role) noexcept;
// A brush of it, kept by the scheme: the caller never deletes it.
HBRUSH SchemeBrush(int role) noexcept;

// A group's etched frame, as DrawEdge draws it in the system scheme.
void DrawEtchedRect(HDC dc, RECT rect);
// A sunken field's two-pixel edge inside `rect` (the non-client edge of a box or a list).
void DrawSunkenEdge(HDC dc, RECT rect);

} // namespace korrimat::controls
