#include "platform/controls/Screen.h"

#include "platform/controls/Gdi.h"

#include <windows.h>

#include <cmath>

namespace korrimat::controls {

Screen::Screen(int dpiX, int dpiY) noexcept : dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96) {}

Screen Screen::Current()
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return Screen(96, 96);
    return Screen(::GetDeviceCaps(screen.Dc(), LOGPIXELSX), ::GetDeviceCaps(screen.Dc(), LOGPIXELSY));
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

int Screen::ScaleX(int pixelsAt96) const noexcept
{
    return ::MulDiv(pixelsAt96, dpiX_, 96);
}

int Screen::ScaleY(int pixelsAt96) const noexcept
{
    return ::MulDiv(pixelsAt96, dpiY_, 96);
}

int TextWidth(HFONT font, std::string_view text)
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return 0;
    SelectedObject selected(screen.Dc(), font);
    SIZE size{};
    ::GetTextExtentPoint32A(screen.Dc(), text.data(), static_cast<int>(text.size()), &size);
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

} // namespace korrimat::controls
