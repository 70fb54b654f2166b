#pragma once
// A check box that shows a value the program sets (0 unchecked, 1 checked). The user cannot
// change it: it takes no mouse or keyboard input and is skipped by the dialog keys, access
// letter included, yet it is drawn as an enabled box.

#include "controls/Control.h"

namespace korrimat::controls {

class CheckBox : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, std::string_view caption);

    int Value() const noexcept { return value_; }
    // 0 or 1; any other value is refused and changes nothing.
    bool SetValue(int value);

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    void DrawBox(HDC dc, const RECT& box) const;

    int value_ = 0;
};

} // namespace korrimat::controls
