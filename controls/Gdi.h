#pragma once
// Scope objects for the drawing calls that come in pairs, fonts, and text measuring in a font.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <string_view>

namespace korrimat::controls {

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window_, &paint_); }
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const noexcept { return dc_; }
    const RECT& Dirty() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// GetDC (or GetWindowDC, frame and all) / ReleaseDC; a null window gives the screen's.
class WindowDc {
public:
    enum Area { ClientArea, WholeWindow };
    explicit WindowDc(HWND window, Area area = ClientArea) noexcept
        : window_(window), dc_(area == WholeWindow ? ::GetWindowDC(window) : ::GetDC(window))
    {
    }
    ~WindowDc()
    {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Dc() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// SelectObject, undone when the scope ends.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (old_)
            ::SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// WM_PAINT (between BeginPaint and EndPaint) or WM_PRINTCLIENT (into the DC it gives) drawn by
// `paint(HDC)`; false, drawing nothing, for any other message.
template <typename Paint>
bool PaintFor(HWND window, UINT message, WPARAM wParam, Paint paint)
{
    if (message == WM_PAINT) {
        PaintScope scope(window);
        paint(scope.Dc());
        return true;
    }
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return true;
    }
    return false;
}

// Width in pixels of one line of text drawn in `font` (the system font when null).
int TextWidth(HFONT font, std::string_view text);
// The font's metrics on the screen.
TEXTMETRICA FontMetrics(HFONT font);
// A font of a face, logical height (negative: the character height) and weight, character set 0.
UniqueFont MakeFont(std::string_view face, int height, int weight);
// Whether the user's high-contrast scheme is on: then text keeps the scheme's colours.
bool HighContrastOn();

} // namespace korrimat::controls
