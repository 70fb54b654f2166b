#pragma once
// A frame: a container for other controls. With a border it draws an etched rectangle with its
// caption set into the top edge; without one it is an invisible panel in its background colour.
// Dialog keyboard navigation reaches its children; disabling it takes input from all of them.

#include "controls/Control.h"

namespace korrimat::controls {

class Frame : public WindowBase {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, std::string_view caption, bool border);
    bool HasBorder() const noexcept { return border_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;

private:
    void PaintBorder(HDC dc);

    bool border_ = false;
};

} // namespace korrimat::controls
