#pragma once
// A straight line one pixel wide in a system colour, drawn by the window it lies on.
// It is no window: it is a shape its container paints.

#include <windows.h>

namespace korrimat::controls {

class WindowBase;

class Line {
public:
    Line() = default;
    ~Line();
    // A line is one place on one container: it is not copied.
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    // From (x1, y1) to (x2, y2), both ends drawn, in the container's client pixels;
    // `systemColour` is a COLOR_* index (button shadow, button highlight...).
    void Create(WindowBase& container, POINT from, POINT to, int systemColour);

    WindowBase* Container() const noexcept { return container_; }
    int X1() const noexcept { return from_.x; }
    int Y1() const noexcept { return from_.y; }
    int X2() const noexcept { return to_.x; }
    int Y2() const noexcept { return to_.y; }
    void SetY1(int y);
    void SetY2(int y);
    int SystemColour() const noexcept { return colour_; }

    void Paint(HDC dc) const;

private:
    friend class WindowBase;
    void Invalidate() const;
    void Forget() noexcept { container_ = nullptr; }

    WindowBase* container_ = nullptr;
    POINT from_{};
    POINT to_{};
    int colour_ = COLOR_BTNSHADOW;
};

} // namespace korrimat::controls
