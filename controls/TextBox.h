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
    std::string ToolTipText();

    // An entry box's text changed, by the user or the program.
    Event onChange;

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Whether the text fits is asked only when the pointer comes (or a caller asks): a show sets
    // a dozen values, and the window's opening sizes every box, none of them for a tip.
    void UpdateTip();

    TextBoxStyle style_ = TextBoxStyle::DisplayField;
    ToolTip tip_;
    bool tipStale_ = true;  // the text, the font or the size changed since the tip was decided
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
