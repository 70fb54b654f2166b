#include "controls/Button.h"

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

bool ProgressBar::Create(WindowBase& container, const Bounds& bounds)
{
    if (!CreateChild(container, PROGRESS_CLASSA, WS_VISIBLE, 0, bounds, {}))
        return false;
    ::SendMessageA(Handle(), PBM_SETRANGE32, 0, 100);
    return true;
}

void ProgressBar::SetPercent(int percent)
{
    if (Handle())
        ::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(percent < 0 ? 0 : percent > 100 ? 100 : percent), 0);
}

int ProgressBar::Percent() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), PBM_GETPOS, 0, 0)) : 0;
}

} // namespace korrimat::controls
