#pragma once
// An owner-drawn list box that keeps no items of its own (LBS_NODATA): it only knows how many
// rows there are and asks its wrapper to draw each one, so a hundred thousand rows cost nothing
// beyond the wrapper's names. Base of the folder and file lists.

#include "platform/controls/Control.h"

namespace korrimat::controls {

class VirtualList : public Control {
public:
    // The selected row, -1 for none.
    int SelectedIndex() const;

protected:
    bool CreateList(WindowBase& container, const Bounds& bounds);
    // Sets the number of rows (the selection is cleared), then selects `selected` without an event.
    void ResetRows(int count, int selected);
    void SelectRow(int index);
    // Row height: the font's, and at least `minimum` pixels.
    void FitRowHeight(int minimum);

    virtual void DrawRow(const DRAWITEMSTRUCT& item) = 0;
    // The row to move to when the user types `initial` with the caret on `caret`; -1 for none.
    virtual int RowForInitial(char initial, int caret) const = 0;
    // A notification other than drawing and typing.
    virtual bool OnListCommand(WORD code) = 0;

    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace korrimat::controls
