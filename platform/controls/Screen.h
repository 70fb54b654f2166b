#pragma once
// The screen's density: twips (1/1440 inch) per pixel and the conversions between the two units.

namespace korrimat::controls {

class Screen {
public:
    Screen(int dpiX, int dpiY) noexcept;
    // The screen's real pixels per inch, read now.
    static Screen Current();

    int DpiX() const noexcept { return dpiX_; }
    int DpiY() const noexcept { return dpiY_; }

    // 15 at 96 dots per inch, 12 at 120, 10 at 144, 7.5 at 192.
    double TwipsPerPixelX() const noexcept { return 1440.0 / dpiX_; }
    double TwipsPerPixelY() const noexcept { return 1440.0 / dpiY_; }

    // Twips to whole pixels, rounded half away from zero.
    int PixelsX(double twips) const noexcept;
    int PixelsY(double twips) const noexcept;
    double TwipsX(int pixels) const noexcept { return pixels * TwipsPerPixelX(); }
    double TwipsY(int pixels) const noexcept { return pixels * TwipsPerPixelY(); }

    // A logical font height (negative: the character height) for a size in hundredths of a point.
    int FontHeight(int centipoints) const noexcept;
    // A length designed at 96 dots per inch, at this screen's density.
    int ScaleX(int pixelsAt96) const noexcept;
    int ScaleY(int pixelsAt96) const noexcept;

private:
    int dpiX_;
    int dpiY_;
};

} // namespace korrimat::controls
