#include "controls/CheckBox.h"
#include "controls/Colours.h"

#include "platform/Text.h"
#include "controls/Gdi.h"

namespace korrimat::controls {

bool CheckBox::Create(WindowBase& container, const Bounds& bounds, std::string_view caption)
{
    // Disabled, so that neither the mouse, nor Tab, nor the access letter reaches it; owner
    // drawn, so that being disabled does not grey it.
    return CreateChild(container, "BUTTON", WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW, 0, bounds, caption);
}

bool CheckBox::SetValue(int value)
{
    if (value != 0 && value != 1)
        return false;
    if (value != value_) {
        value_ = value;
        Invalidate();
    }
    return true;
}

bool CheckBox::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (message == WM_COMMAND) {
        result = 0;  // a click never changes the value
        return true;
    }
    return false;
}

void CheckBox::DrawBox(HDC dc, const RECT& box) const
{
    if (!DarkScheme()) {
        RECT frame = box;
        ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONCHECK | (value_ ? DFCS_CHECKED : 0));
        return;
    }
    // The system draws its box in light colours only: the same box and tick, in the scheme's.
    DrawSunkenEdge(dc, box);
    const RECT inside{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
    ::FillRect(dc, &inside, SchemeBrush(COLOR_WINDOW));
    if (!value_)
        return;
    const int unit = (inside.right - inside.left) / 9 > 0 ? (inside.right - inside.left) / 9 : 1;
    const UniquePen pen(::CreatePen(PS_SOLID, unit, SchemeColour(COLOR_WINDOWTEXT)));
    SelectedObject selected(dc, pen.Get());
    const POINT tick[3] = {{inside.left + 2 * unit, inside.top + 4 * unit},
                           {inside.left + 4 * unit, inside.top + 6 * unit},
                           {inside.left + 7 * unit, inside.top + 2 * unit}};
    ::Polyline(dc, tick, 3);
}

void CheckBox::Draw(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    HBRUSH background = Container() ? Container()->BackBrush() : SchemeBrush(COLOR_BTNFACE);
    ::FillRect(dc, &area, background);

    const PixelDensity density = Density();
    const int box = density.Scale(13);
    const int height = area.bottom - area.top;
    RECT boxRect{area.left, area.top + (height - box) / 2, area.left + box, area.top + (height - box) / 2 + box};
    DrawBox(dc, boxRect);

    const std::wstring caption = WideText(Text());
    SelectedObject font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, SchemeColour(COLOR_BTNTEXT));
    RECT textRect{boxRect.right + density.Scale(4), area.top, area.right, area.bottom};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (::SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL)
        format |= DT_HIDEPREFIX;
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, format);
}

} // namespace korrimat::controls
