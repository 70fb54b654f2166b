#include "controls/TextBox.h"
#include "controls/Colours.h"

#include "controls/Gdi.h"

namespace korrimat::controls {

bool TextBox::Create(WindowBase& container, const Bounds& bounds, TextBoxStyle style, std::string_view text)
{
    style_ = style;
    DWORD windowStyle = WS_VISIBLE | WS_TABSTOP | ES_LEFT;
    DWORD exStyle = 0;
    if (style == TextBoxStyle::Entry) {
        windowStyle |= ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
    } else {
        windowStyle |= ES_READONLY;
    }
    if (style == TextBoxStyle::MultiLine) {
        windowStyle |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
    }
    // No ES_AUTOHSCROLL on a display field: that keeps the start of a long text in view.
    return CreateChild(container, "EDIT", windowStyle, exStyle, bounds, text);
}

bool TextBox::HasSelection() const
{
    if (!Handle())
        return false;
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end > start;
}

void TextBox::CopySelection()
{
    if (Handle())
        ::SendMessageA(Handle(), WM_COPY, 0, 0);
}

bool TextBox::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        Raise(onChange);
        result = 0;
        return true;
    }
    // An entry box keeps the colours of a box to type into (its container gives them).
    if (style_ == TextBoxStyle::Entry)
        return false;
    // A read-only edit asks for static colours: give it the button face.
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLOREDIT)
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, SchemeColour(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, SchemeColour(COLOR_BTNFACE));
    result = reinterpret_cast<LRESULT>(SchemeBrush(COLOR_BTNFACE));
    return true;
}

void TextBox::UpdateTip()
{
    if (!tipStale_ || !Handle())
        return;
    tipStale_ = false;
    const std::string text = Text();
    RECT shown{};
    ::SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    const bool fits = text.empty() || TextWidth(Font(), text) <= shown.right - shown.left;
    tip_.Show(Handle(), fits ? std::string_view() : std::string_view(text));
}

std::string TextBox::ToolTipText()
{
    UpdateTip();
    return tip_.Text();
}

bool TextBox::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (style_ == TextBoxStyle::DisplayField) {
        if (message == WM_SETTEXT || message == WM_SETFONT || message == WM_SIZE) {
            tipStale_ = true;
        } else if (message == WM_MOUSEMOVE && tipStale_) {
            UpdateTip();
            // A tip just added has not seen this move: it watches the box from the next one.
            tip_.Relay(Handle(), message, wParam, lParam);
        } else if (message == WM_DESTROY) {
            tip_.Close();
        }
    }
    if (message == EM_SETSEL && style_ == TextBoxStyle::DisplayField && wParam == 0 && lParam == -1) {
        // Select all (Tab into the field) with the caret at the start, so that a long text
        // stays at its beginning rather than scrolling to its end.
        const auto length = static_cast<WPARAM>(CallDefault(WM_GETTEXTLENGTH, 0, 0));
        result = CallDefault(EM_SETSEL, length, 0);
        return true;
    }
    if (message == WM_CONTEXTMENU && style_ != TextBoxStyle::Entry) {
        // The window's context menu rather than the edit control's own (an entry box keeps its
        // own, with Paste): the container hands the request up to the window, naming this box.
        result = ::SendMessageA(::GetParent(Handle()), message, reinterpret_cast<WPARAM>(Handle()), lParam);
        return true;
    }
    if (message == WM_GETDLGCODE && style_ == TextBoxStyle::MultiLine) {
        // Read-only: Tab, Enter and Esc keep their dialog meaning instead of going into the text.
        result = CallDefault(message, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        return true;
    }
    return false;
}

bool Label::Create(WindowBase& container, const Bounds& bounds, std::string_view text)
{
    return CreateChild(container, "STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, bounds, text);
}

void Label::SetTextColour(std::optional<COLORREF> colour)
{
    colour_ = colour;
    Invalidate();
}

bool Label::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_CTLCOLORSTATIC || !colour_ || !Container())
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, *colour_);
    ::SetBkColor(dc, Container()->BackColor());
    result = reinterpret_cast<LRESULT>(Container()->BackBrush());
    return true;
}

void Label::FitWidthToText()
{
    if (!Handle())
        return;
    const Bounds bounds = GetBounds();
    const int width = TextWidth(Font(), Text());
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, bounds.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace korrimat::controls
