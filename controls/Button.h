#pragma once
// A push button that raises onClick when the user presses it (click, Space, Enter on it, its
// access letter) or the program does.

#include "controls/Control.h"

namespace korrimat::controls {

class Button : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, std::string_view caption);
    // As the user's press does.
    void Click();

    Event onClick;

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void PaintDark(HDC dc);
};

// A bar that fills as work goes on, from 0 to 100 percent.
class ProgressBar : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds);
    void SetPercent(int percent);
    int Percent() const;

protected:
    void OnColoursChanged() override;
};

} // namespace korrimat::controls
