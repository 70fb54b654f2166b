#pragma once
// An owner-drawn list box that keeps no items of its own (LBS_NODATA): it only knows how many
// rows there are and asks its wrapper to draw each one, so a hundred thousand rows cost nothing
// beyond the wrapper's names. Base of the folder and file lists.
//
// It reads like a list box that holds strings: LB_GETTEXT and LB_GETTEXTLEN answer each row's
// visible text, narrow callers in the window's code page and wide ones in UTF-16, so that screen
// readers and other programs can read it.

#include "controls/Control.h"

#include <string_view>

namespace korrimat::controls {

class VirtualList : public Control {
public:
    // The selected row, -1 for none.
    int SelectedIndex() const;

protected:
    [[nodiscard]] bool CreateList(WindowBase& container, const Bounds& bounds);
    // Sets the number of rows (the selection is cleared), then selects `selected` without an event.
    void ResetRows(int count, int selected);
    void SelectRow(int index);
    // Row height: the font's, and at least `minimum` pixels.
    void FitRowHeight(int minimum);

    // The text a row shows (valid until the rows change); what LB_GETTEXT answers.
    virtual std::string_view RowText(int row) const = 0;
    virtual void DrawRow(const DRAWITEMSTRUCT& item) = 0;
    // The row to move to when the user types `initial` with the caret on `caret`; -1 for none.
    virtual int RowForInitial(wchar_t initial, int caret) const = 0;
    // A notification other than drawing and typing.
    virtual bool OnListCommand(WORD code) = 0;

    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT AnswerText(UINT message, WPARAM row, LPARAM buffer) const;

    // The character the list was last typed, whole: its owner hears of it in the narrow form,
    // where a character of more than one byte does not fit.
    wchar_t typed_ = 0;
};

} // namespace korrimat::controls
