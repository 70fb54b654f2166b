#pragma once
// Read-only text boxes: the user can select and copy their text but not change it.

#include "controls/Control.h"

namespace korrimat::controls {

enum class TextBoxStyle {
    // One line, no border, the button-face background: it looks like a label. A text longer
    // than the box is not scrolled into view by the box itself.
    DisplayField,
    // Several lines with word wrap, a vertical scroll bar and a sunken border.
    MultiLine,
};

class TextBox : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, TextBoxStyle style, std::string_view text);
    TextBoxStyle Style() const noexcept { return style_; }
    // Whether some of the text is selected.
    bool HasSelection() const;
    // The selected text to the clipboard: the box's own copy.
    void CopySelection();

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    TextBoxStyle style_ = TextBoxStyle::DisplayField;
};

// Static text shown character for character ("&" included).
class Label : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, std::string_view text);
    // Makes the width that of the text in the label's font.
    void FitWidthToText();
};

} // namespace korrimat::controls
