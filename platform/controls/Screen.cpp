#include "platform/controls/Screen.h"

#include "platform/FileSystem.h"
#include "platform/controls/Gdi.h"

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

Screen::Screen(int dpiX, int dpiY) noexcept : dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96) {}

Screen Screen::System()
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return Screen(96, 96);
    return Screen(::GetDeviceCaps(screen.Dc(), LOGPIXELSX), ::GetDeviceCaps(screen.Dc(), LOGPIXELSY));
}

Screen Screen::OfWindow(HWND window)
{
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? Screen(dpi, dpi) : System();
}

int Screen::PixelsX(double twips) const noexcept
{
    return static_cast<int>(std::lround(twips * dpiX_ / 1440.0));
}

int Screen::PixelsY(double twips) const noexcept
{
    return static_cast<int>(std::lround(twips * dpiY_ / 1440.0));
}

int Screen::FontHeight(int centipoints) const noexcept
{
    return -::MulDiv(centipoints, dpiY_, 7200);
}

int Screen::Scale(int pixelsAt96) const noexcept
{
    return ::MulDiv(pixelsAt96, dpiY_, 96);
}

int Screen::Metric(int index) const
{
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpiY_));
    return ::MulDiv(::GetSystemMetrics(index), dpiY_, System().DpiY());
}

SIZE Screen::OuterSize(SIZE client, DWORD style, DWORD exStyle) const
{
    static const auto forDpi = User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, client.cx, client.cy};
    if (!forDpi || !forDpi(&outer, style, FALSE, exStyle, static_cast<UINT>(dpiY_)))
        ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

int TextWidth(HFONT font, std::string_view text)
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return 0;
    SelectedObject selected(screen.Dc(), font);
    SIZE size{};
    const std::wstring wide = WideText(text);
    ::GetTextExtentPoint32W(screen.Dc(), wide.data(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

TEXTMETRICA FontMetrics(HFONT font)
{
    TEXTMETRICA metrics{};
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return metrics;
    SelectedObject selected(screen.Dc(), font);
    ::GetTextMetricsA(screen.Dc(), &metrics);
    return metrics;
}

UniqueFont MakeFont(std::string_view face, int height, int weight)
{
    return UniqueFont(::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                    std::string(face).c_str()));
}

} // namespace korrimat::controls
