#include "controls/Colours.h"

#include "controls/Gdi.h"
#include "platform/Appearance.h"
#include "platform/UniqueHandle.h"

#include <array>
#include <memory>
#include <type_traits>
#include <optional>

namespace korrimat::controls {

namespace {

constexpr int kRoles = COLOR_MENUBAR + 1;

ColourScheme g_scheme = ColourScheme::System;

// The dark colours of the roles the controls draw with; the others stay the system's.
std::optional<COLORREF> DarkColour(int role) noexcept
{
    switch (role) {
    case COLOR_BTNFACE:
        return RGB(32, 32, 32);
    case COLOR_WINDOW:
        return RGB(43, 43, 43);
    case COLOR_BTNTEXT:
    case COLOR_WINDOWTEXT:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
        return RGB(0, 95, 184);
    case COLOR_GRAYTEXT:
        return RGB(160, 160, 160);
    case COLOR_BTNSHADOW:
        return RGB(96, 96, 96);
    case COLOR_BTNHIGHLIGHT:
        return RGB(60, 60, 60);
    case COLOR_3DDKSHADOW:
        return RGB(20, 20, 20);
    case COLOR_3DLIGHT:
        return RGB(72, 72, 72);
    default:
        return std::nullopt;
    }
}

HBRUSH DarkBrush(int role, COLORREF colour) noexcept
{
    static std::array<UniqueBrush, kRoles> brushes;
    if (role < 0 || role >= kRoles)
        return ::GetSysColorBrush(role);
    if (!brushes[static_cast<std::size_t>(role)])
        brushes[static_cast<std::size_t>(role)].Reset(::CreateSolidBrush(colour));
    return brushes[static_cast<std::size_t>(role)].Get();
}

void StrokeLine(HDC dc, POINT from, POINT to, COLORREF colour)
{
    const UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    const HGDIOBJ old = ::SelectObject(dc, pen.Get());
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
    ::SelectObject(dc, old);
}

void FrameLines(HDC dc, RECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    StrokeLine(dc, {rect.left, rect.bottom - 1}, {rect.left, rect.top}, topLeft);
    StrokeLine(dc, {rect.left, rect.top}, {rect.right - 1, rect.top}, topLeft);
    StrokeLine(dc, {rect.right - 1, rect.top}, {rect.right - 1, rect.bottom - 1}, bottomRight);
    StrokeLine(dc, {rect.right - 1, rect.bottom - 1}, {rect.left - 1, rect.bottom - 1}, bottomRight);
}

} // namespace

// The scheme the user's settings ask for: dark in Windows' dark app mode, unless a high-contrast
// scheme is on, whose colours win.
ColourScheme WantedColourScheme()
{
    return AppsUseDarkMode() && !HighContrastOn() ? ColourScheme::Dark : ColourScheme::System;
}

// The title bar in the app mode's colours, where the system draws it so (Windows 10 20H1 on; 19
// was the attribute's number before it). dwmapi is loaded only for a dark window, from the
// system folder alone.
void UseDarkTitleBar(HWND window, bool dark)
{
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    struct LibraryRelease {
        void operator()(HMODULE library) const noexcept { ::FreeLibrary(library); }
    };
    static const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease> dwm(
        ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto set = dwm ? reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(::GetProcAddress(dwm.get(), "DwmSetWindowAttribute")))
                         : nullptr;
    if (!set)
        return;
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(set(window, 20, &value, sizeof(value))))
        set(window, 19, &value, sizeof(value));
}

bool NamesImmersiveColours(HWND window, LPARAM setting)
{
    if (!setting)
        return false;
    return ::IsWindowUnicode(window) ? ::lstrcmpW(reinterpret_cast<LPCWSTR>(setting), L"ImmersiveColorSet") == 0
                                     : ::lstrcmpA(reinterpret_cast<LPCSTR>(setting), "ImmersiveColorSet") == 0;
}

void UseColourScheme(ColourScheme scheme) noexcept
{
    g_scheme = scheme;
}

bool DarkScheme() noexcept
{
    return g_scheme == ColourScheme::Dark;
}

COLORREF SchemeColour(int role) noexcept
{
    if (DarkScheme()) {
        if (const std::optional<COLORREF> dark = DarkColour(role))
            return *dark;
    }
    return ::GetSysColor(role);
}

HBRUSH SchemeBrush(int role) noexcept
{
    if (DarkScheme()) {
        if (const std::optional<COLORREF> dark = DarkColour(role))
            return DarkBrush(role, *dark);
    }
    return ::GetSysColorBrush(role);
}

void DrawEtchedRect(HDC dc, RECT rect)
{
    if (!DarkScheme()) {
        ::DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);
        return;
    }
    // The shadow's rectangle, and the highlight's one pixel down and right, as the etched edge.
    const RECT shadow{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
    const RECT light{rect.left + 1, rect.top + 1, rect.right, rect.bottom};
    FrameLines(dc, light, SchemeColour(COLOR_BTNHIGHLIGHT), SchemeColour(COLOR_BTNHIGHLIGHT));
    FrameLines(dc, shadow, SchemeColour(COLOR_BTNSHADOW), SchemeColour(COLOR_BTNSHADOW));
}

void DrawSunkenEdge(HDC dc, RECT rect)
{
    if (!DarkScheme()) {
        ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
        return;
    }
    FrameLines(dc, rect, SchemeColour(COLOR_BTNSHADOW), SchemeColour(COLOR_BTNHIGHLIGHT));
    const RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    FrameLines(dc, inner, SchemeColour(COLOR_3DDKSHADOW), SchemeColour(COLOR_3DLIGHT));
}

} // namespace korrimat::controls
