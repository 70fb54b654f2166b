#pragma once
// A drawing surface. What is drawn on it goes to a memory bitmap of the box's size that the
// window copies to the screen whenever it repaints, so a drawing survives the box being covered.

#include "platform/UniqueHandle.h"
#include "controls/Control.h"

namespace korrimat::controls {

class PictureBox : public WindowBase {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds);

    // The client size in pixels; the drawing keeps its top-left part when the box changes size.
    void SetSize(int width, int height);
    // The whole surface back to the background colour.
    void Clear();
    // An icon at the surface's top-left corner (DrawIcon); false when it could not be drawn.
    [[nodiscard]] bool DrawIcon(HICON icon);
    // The surface to draw on; call Invalidate() afterwards to show the drawing.
    HDC Surface() const noexcept { return surface_.dc.Get(); }
    int SurfaceWidth() const noexcept { return width_; }
    int SurfaceHeight() const noexcept { return height_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnEraseBackground(HDC dc) override;
    void OnPaint(HDC dc) override;

private:
    struct Drawing {
        UniqueBitmap bitmap;
        UniqueMemoryDc dc;  // after the bitmap: deleted first
    };
    void ResizeSurface(int width, int height);

    Drawing surface_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace korrimat::controls
