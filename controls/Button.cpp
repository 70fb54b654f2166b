#include "controls/Button.h"

#include "controls/Colours.h"
#include "controls/Gdi.h"
#include "platform/Text.h"

#include <commctrl.h>

namespace korrimat::controls {

bool Button::Create(WindowBase& container, const Bounds& bounds, std::string_view caption)
{
    return CreateChild(container, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, bounds, caption);
}

void Button::Click()
{
    Raise(onClick);
}

bool Button::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return false;
    Click();
    result = 0;
    return true;
}

bool Button::OnOwnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (!DarkScheme() || !PaintFor(Handle(), message, wParam, [this](HDC dc) { PaintDark(dc); }))
        return false;
    result = 0;
    return true;
}

// The system draws a push button in light colours only: in the dark scheme, its face, edge,
// caption and focus are drawn here.
void Button::PaintDark(HDC dc)
{
    RECT area{};
    ::GetClientRect(Handle(), &area);
    const auto state = static_cast<UINT>(::SendMessageA(Handle(), BM_GETSTATE, 0, 0));
    const bool pushed = (state & BST_PUSHED) != 0;
    ::FillRect(dc, &area, SchemeBrush(pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    DrawSunkenEdge(dc, area);
    SelectedObject font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, SchemeColour(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const std::wstring caption = WideText(Text());
    UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    const auto cues = static_cast<UINT>(::SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0));
    if (cues & UISF_HIDEACCEL)
        format |= DT_HIDEPREFIX;
    RECT text = area;
    if (pushed)
        ::OffsetRect(&text, 1, 1);
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if (::GetFocus() == Handle() && !(cues & UISF_HIDEFOCUS)) {
        const int inset = Density().Scale(4);
        ::InflateRect(&area, -inset, -inset);
        ::DrawFocusRect(dc, &area);
    }
}

bool ProgressBar::Create(WindowBase& container, const Bounds& bounds)
{
    if (!CreateChild(container, PROGRESS_CLASSA, WS_VISIBLE, 0, bounds, {}))
        return false;
    ::SendMessageA(Handle(), PBM_SETRANGE32, 0, 100);
    if (DarkScheme())
        OnColoursChanged();
    return true;
}

void ProgressBar::SetPercent(int percent)
{
    if (Handle())
        ::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(percent < 0 ? 0 : percent > 100 ? 100 : percent), 0);
}

void ProgressBar::OnColoursChanged()
{
    if (!Handle())
        return;
    // The system's bar in the system scheme; in the dark one, its colours.
    ::SendMessageA(Handle(), PBM_SETBKCOLOR, 0, static_cast<LPARAM>(DarkScheme() ? SchemeColour(COLOR_WINDOW) : CLR_DEFAULT));
    ::SendMessageA(Handle(), PBM_SETBARCOLOR, 0, static_cast<LPARAM>(DarkScheme() ? SchemeColour(COLOR_HIGHLIGHT) : CLR_DEFAULT));
}

int ProgressBar::Percent() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), PBM_GETPOS, 0, 0)) : 0;
}

} // namespace korrimat::controls
