#pragma once
// Helpers for programs that drive real windows under Xvfb (the tests, the soak, the benchmarks): a
// host window, message pumping, real mouse and keyboard input (SendInput), pixels and pictures.

#include "platform/controls/Control.h"
#include "platform/controls/WindowSystem.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace korrimat::testing {

// A plain top-level window to put controls on.
class HostForm : public controls::Form {
public:
    explicit HostForm(int width = 640, int height = 480)
    {
        Create("Korrimat test", [=](const controls::Screen&) { return SIZE{width, height}; });
    }
    ~HostForm() override { Destroy(); }
};

// Dispatches what is waiting, a few times over with short pauses, through the dialog keys.
inline void Pump(controls::Form* form, int rounds = 4)
{
    for (int round = 0; round < rounds; ++round) {
        controls::DispatchPendingMessages(form);
        ::Sleep(15);
    }
    controls::DispatchPendingMessages(form);
}

inline void BringToFront(controls::Form& form)
{
    ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(form.Handle());
    ::SetActiveWindow(form.Handle());
    ::UpdateWindow(form.Handle());
    Pump(&form);
}

inline std::string ClassOf(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

inline POINT ScreenPointOf(HWND window, POINT client)
{
    ::ClientToScreen(window, &client);
    return client;
}

// A real left click (through the system's input queue) at a point of a window's client area.
inline void ClickAt(controls::Form& form, HWND window, POINT client, bool twice = false)
{
    const POINT screen = ScreenPointOf(window, client);
    ::SetCursorPos(screen.x, screen.y);
    Pump(&form, 1);
    for (int click = 0; click < (twice ? 2 : 1); ++click) {
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, inputs, sizeof(INPUT));
    }
    Pump(&form);
}

// Real key strokes: each key pressed in order, then released in reverse order.
inline void PressKeys(controls::Form& form, std::vector<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(&form);
}

// The font a window was given, as its description.
inline LOGFONTA FontOfWindow(HWND window)
{
    LOGFONTA font{};
    HFONT handle = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    if (handle)
        ::GetObjectA(handle, sizeof(font), &font);
    return font;
}

inline COLORREF PixelOf(HWND window, POINT client)
{
    HDC dc = ::GetDC(window);
    const COLORREF colour = ::GetPixel(dc, client.x, client.y);
    ::ReleaseDC(window, dc);
    return colour;
}

// Saves what the window shows, frame included, as a 24-bit BMP file.
inline bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC windowDc = ::GetWindowDC(window);
    HDC memory = ::CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    bool saved = false;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                std::fwrite(bits, imageSize, 1, out) == 1;
        std::fclose(out);
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, windowDc);
    return saved;
}

} // namespace korrimat::testing
