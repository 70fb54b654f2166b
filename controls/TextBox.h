#pragma once
// Text boxes: read-only ones, whose text the user can select and copy but not change, and an
// entry box the user types or pastes into.

#include "controls/Control.h"
#include "controls/ToolTip.h"

namespace korrimat::controls {

enum class TextBoxStyle {
    // One line, no border, the button-face background: it looks like a label. A text longer
    // than the box is not scrolled into view by the box itself: the box shows its start, and the
    // whole text in a tip while the pointer rests on it.
    DisplayField,
    // Several lines with word wrap, a vertical scroll bar and a sunken border.
    MultiLine,
    // One line the user edits, with a sunken border, scrolled as the text grows.
    Entry,
};

class TextBox : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, TextBoxStyle style, std::string_view text);
    TextBoxStyle Style() const noexcept { return style_; }
    // Whether some of the text is selected.
    bool HasSelection() const;
    // The selected text to the clipboard: the box's own copy.
    void CopySelection();
    // What the tip over a display field says: its text when the box cannot hold it, else nothing.
    std::string ToolTipText() const { return tip_.Text(); }

    // An entry box's text changed, by the user or the program.
    Event onChange;

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void MeasureRoom();
    void TipWhatDoesNotFit(std::string_view text);

    TextBoxStyle style_ = TextBoxStyle::DisplayField;
    ToolTip tip_;
    int room_ = -1;            // the width the text is shown in, in pixels; -1 until measured
    int widestCharacter_ = 0;  // in the box's font: a text that short fits without measuring
};

// Static text shown character for character ("&" included).
class Label : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, std::string_view text);
    // Makes the width that of the text in the label's font.
    void FitWidthToText();
    // The text in this colour, or in the system's when none is given.
    void SetTextColour(std::optional<COLORREF> colour);
    std::optional<COLORREF> TextColour() const noexcept { return colour_; }

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::optional<COLORREF> colour_;
};

} // namespace korrimat::controls
