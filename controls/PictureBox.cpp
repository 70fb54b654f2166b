#include "controls/PictureBox.h"

#include "controls/Gdi.h"

#include <algorithm>

namespace korrimat::controls {

bool PictureBox::Create(WindowBase& container, const Bounds& bounds)
{
    constexpr char kClassName[] = "KorrimatPicture";
    if (!RegisterWindowClass(kClassName, 0, nullptr))
        return false;
    if (!CreateOwnWindow(kClassName, &container, WS_VISIBLE, 0, bounds, {}))
        return false;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ResizeSurface(client.right, client.bottom);
    return true;
}

void PictureBox::SetSize(int width, int height)
{
    if (!Handle())
        return;
    RECT outer{0, 0, std::max(width, 0), std::max(height, 0)};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_EXSTYLE)));
    ::SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PictureBox::Clear()
{
    if (!surface_.dc)
        return;
    RECT all{0, 0, width_, height_};
    ::FillRect(surface_.dc.Get(), &all, BackBrush());
    Invalidate();
}

bool PictureBox::DrawIcon(HICON icon)
{
    return surface_.dc && ::DrawIcon(surface_.dc.Get(), 0, 0, icon);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        ResizeSurface(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

void PictureBox::OnEraseBackground(HDC)
{
    // The surface covers the whole client area.
}

void PictureBox::OnPaint(HDC dc)
{
    if (surface_.dc)
        ::BitBlt(dc, 0, 0, width_, height_, surface_.dc.Get(), 0, 0, SRCCOPY);
}

void PictureBox::ResizeSurface(int width, int height)
{
    if (surface_.dc && width == width_ && height == height_)
        return;
    WindowDc screen(Handle());
    Drawing next;
    next.dc.Reset(::CreateCompatibleDC(screen.Dc()));
    next.bitmap.Reset(::CreateCompatibleBitmap(screen.Dc(), std::max(width, 1), std::max(height, 1)));
    if (!next.dc || !next.bitmap)
        return;
    ::SelectObject(next.dc.Get(), next.bitmap.Get());
    RECT all{0, 0, std::max(width, 1), std::max(height, 1)};
    ::FillRect(next.dc.Get(), &all, BackBrush());
    if (surface_.dc)
        ::BitBlt(next.dc.Get(), 0, 0, std::min(width, width_), std::min(height, height_), surface_.dc.Get(), 0, 0,
                 SRCCOPY);
    surface_.dc = std::move(next.dc);
    surface_.bitmap = std::move(next.bitmap);
    width_ = width;
    height_ = height;
    Invalidate();
}

} // namespace korrimat::controls
