#include "controls/PixelDensity.h"

#include "platform/Text.h"
#include "controls/Gdi.h"

#include <cmath>
#include <string>

namespace korrimat::controls {

namespace {

// Functions of later Windows versions than the program needs (Windows 10 1607 on), looked up
// where they exist.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

} // namespace

PixelDensity::PixelDensity(int dpiX, int dpiY) noexcept : dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96) {}

PixelDensity PixelDensity::System()
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return PixelDensity(96, 96);
    return PixelDensity(::GetDeviceCaps(screen.Dc(), LOGPIXELSX), ::GetDeviceCaps(screen.Dc(), LOGPIXELSY));
}

PixelDensity PixelDensity::OfWindow(HWND window)
{
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? PixelDensity(dpi, dpi) : System();
}

int PixelDensity::PixelsX(double twips) const noexcept
{
    return static_cast<int>(std::lround(twips * dpiX_ / 1440.0));
}

int PixelDensity::PixelsY(double twips) const noexcept
{
    return static_cast<int>(std::lround(twips * dpiY_ / 1440.0));
}

int PixelDensity::FontHeight(int centipoints) const noexcept
{
    return -::MulDiv(centipoints, dpiY_, 7200);
}

int PixelDensity::Scale(int pixelsAt96) const noexcept
{
    return ::MulDiv(pixelsAt96, dpiY_, 96);
}

int PixelDensity::Metric(int index) const
{
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpiY_));
    return ::MulDiv(::GetSystemMetrics(index), dpiY_, System().DpiY());
}

SIZE PixelDensity::OuterSize(SIZE client, DWORD style, DWORD exStyle) const
{
    static const auto forDpi = User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, client.cx, client.cy};
    if (!forDpi || !forDpi(&outer, style, FALSE, exStyle, static_cast<UINT>(dpiY_)))
        ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

} // namespace korrimat::controls
