#pragma once
// A density: pixels per inch, with the conversions from the design's twips (1/1440 inch) and from
// lengths designed at 96 dots per inch; and where a density comes from. Every size drawn in a
// window is taken from that window's density (Control::Density), never from the system's alone:
// under per-monitor awareness the two differ once the window is on another monitor.

#include <windows.h>

namespace korrimat::controls {

class PixelDensity {
public:
    PixelDensity(int dpiX, int dpiY) noexcept;
    // The system's density (the primary monitor's when the program started).
    static PixelDensity System();
    // The density of the monitor a window is on; the system's where Windows cannot tell.
    static PixelDensity OfWindow(HWND window);

    int DpiX() const noexcept { return dpiX_; }
    int DpiY() const noexcept { return dpiY_; }

    // 15 at 96 dots per inch, 12 at 120, 10 at 144, 7.5 at 192.
    double TwipsPerPixelX() const noexcept { return 1440.0 / dpiX_; }
    double TwipsPerPixelY() const noexcept { return 1440.0 / dpiY_; }

    // Twips to whole pixels, rounded half away from zero.
    int PixelsX(double twips) const noexcept;
    int PixelsY(double twips) const noexcept;

    // A logical font height (negative: the character height) for a size in hundredths of a point.
    int FontHeight(int centipoints) const noexcept;
    // A length designed at 96 dots per inch (a margin, a check square), at this density.
    int Scale(int pixelsAt96) const noexcept;
    // A system metric (SM_CXICON...) at this density.
    int Metric(int index) const;
    int LargeIconSize() const { return Metric(SM_CXICON); }
    int SmallIconSize() const { return Metric(SM_CYSMICON); }
    // The outer size of a window with these styles around a client area, at this density.
    SIZE OuterSize(SIZE client, DWORD style, DWORD exStyle) const;

    friend bool operator==(const PixelDensity&, const PixelDensity&) = default;

private:
    int dpiX_;
    int dpiY_;
};

} // namespace korrimat::controls
