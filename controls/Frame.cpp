#include "controls/Frame.h"
#include "controls/Colours.h"

#include "platform/Text.h"
#include "controls/Gdi.h"

namespace korrimat::controls {

bool Frame::Create(WindowBase& container, const Bounds& bounds, std::string_view caption, bool border)
{
    constexpr char kClassName[] = "KorrimatFrame";
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr))
        return false;
    border_ = border;
    return CreateOwnWindow(kClassName, &container, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds,
                           caption);
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT: {
        const LRESULT result = DefaultHandling(message, wParam, lParam);
        Invalidate();
        return result;
    }
    case WM_ENABLE:
        Invalidate();
        return 0;
    default:
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

void Frame::OnPaint(HDC dc)
{
    if (border_)
        PaintBorder(dc);
    PaintLines(dc);
}

void Frame::PaintBorder(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    SelectedObject font(dc, Font());
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    DrawEtchedRect(dc, edge);

    // Drawn in UTF-16: the narrow drawing calls read text in the font's code page, not the process's.
    const std::wstring caption = WideText(Text());
    if (caption.empty())
        return;
    // The caption interrupts the top edge a little way in from the left, like a group box's.
    const PixelDensity density = Density();
    const int indent = density.Scale(8);
    const int gap = density.Scale(2);
    RECT text{0, 0, 0, 0};
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_CALCRECT);
    RECT behind{indent, 0, indent + (text.right - text.left) + 2 * gap, metrics.tmHeight};
    ::FillRect(dc, &behind, BackBrush());
    RECT place{indent + gap, 0, behind.right - gap, metrics.tmHeight};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, SchemeColour(::IsWindowEnabled(Handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &place, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

} // namespace korrimat::controls
