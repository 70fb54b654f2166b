#pragma once
// The tab strip: the common controls' tab control, with a key for every tab. Positions are
// indexes from 0 (the first tab is index 0). Tabs that do not fit in one row take two or more, as
// a property sheet's do, and the pages' area shrinks by the rows added.
//
// Pages are sibling windows lying over the strip's client area. Lying behind the strip in the
// z-order (so that keyboard focus visits the strip before its pages), they would be painted over
// by it; so the strip gives up its client area (a window region with a hole there), and the
// pages show through wherever the strip is not.

#include "controls/Control.h"

#include <string>
#include <string_view>
#include <vector>

namespace korrimat::controls {

class TabStrip : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds);

    int Count() const noexcept { return static_cast<int>(keys_.size()); }
    // The index of the tab with this key; -1 when there is none.
    int IndexOfKey(std::string_view key) const;
    std::string Key(int index) const;
    std::string Caption(int index) const;

    // -1 when no tab is selected.
    int SelectedIndex() const;
    bool IsSelected(std::string_view key) const;
    // Selects a tab; onClick follows when the selection changed, before this returns.
    void Select(int index);
    bool Select(std::string_view key);

    // Inserts a tab at 0..Count(); false for a key already used or a position out of range.
    // The first tab of an empty strip becomes the selected one (with onClick).
    bool Add(int index, std::string_view key, std::string_view caption);
    // Removes the tab at an index. When it was the selected one, the tab before it (or the
    // new first one) is selected, with onClick.
    bool Remove(int index);

    // The area below the row of tabs, inside the strip, in the container's client pixels.
    Bounds ClientArea() const;

    Event onClick;
    // ClientArea changed: the rows of tabs, the strip's size or its font did.
    Event onAreaChange;

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFontChanged() override;

private:
    void LeaveClientAreaToPages();
    void PaintDark(HDC dc);

    std::vector<std::string> keys_;
    Bounds area_;
};

} // namespace korrimat::controls
