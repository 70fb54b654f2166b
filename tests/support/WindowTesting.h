#pragma once
// Helpers for programs that drive real windows under Xvfb (the tests, the soak, the benchmarks): a
// host window, message pumping, real mouse and keyboard input (SendInput), pixels and pictures,
// and a list's rows read as other programs read them.

#include "platform/UniqueHandle.h"
#include "controls/Control.h"
#include "controls/Form.h"
#include "controls/Gdi.h"
#include "controls/WindowSystem.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korrimat::testing {

// A plain top-level window to put controls on.
class HostForm : public controls::Form {
public:
    explicit HostForm(int width = 640, int height = 480)
    {
        if (!Create("Korrimat test", [=](const controls::PixelDensity&) { return SIZE{width, height}; }))
            std::fprintf(stderr, "the host window could not be created\n");
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

// Dispatches messages until `done` holds or `milliseconds` have passed; whether it held.
template <typename Condition>
bool PumpUntil(controls::Form& form, Condition done, DWORD milliseconds)
{
    const ULONGLONG start = ::GetTickCount64();
    while (!done()) {
        if (::GetTickCount64() - start > milliseconds)
            return false;
        Pump(&form, 1);
    }
    return true;
}

// Key strokes for the system's input queue: each key pressed in order, then released in reverse.
inline std::vector<INPUT> KeyStrokes(std::vector<WORD> keys)
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
    return inputs;
}

// Real input, all queued before any of it is dispatched (so that a menu it opens finds the keys
// that choose from it), then dispatched.
inline void SendInputs(controls::Form& form, std::vector<INPUT> inputs)
{
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(&form);
}

// Characters typed as a keyboard layout would give them (KEYEVENTF_UNICODE), any script.
inline void TypeCharacters(controls::Form& form, std::wstring_view characters)
{
    std::vector<INPUT> inputs;
    for (wchar_t character : characters) {
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = character;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(&form);
}

inline void PressKeys(controls::Form& form, std::vector<WORD> keys)
{
    SendInputs(form, KeyStrokes(std::move(keys)));
}

// The right mouse button pressed and released at a point of a window's client area.
inline std::vector<INPUT> RightClickAt(HWND window, POINT client)
{
    const POINT screen = ScreenPointOf(window, client);
    ::SetCursorPos(screen.x, screen.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return {inputs[0], inputs[1]};
}

// The clipboard's text (CF_UNICODETEXT); empty when it holds none.
inline std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = characters;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

inline bool SetClipboardText(const std::wstring& text)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory || !::OpenClipboard(nullptr)) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    const bool set = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    if (!set)
        ::GlobalFree(memory);
    return set;
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

// The entries of a list box or a combo box as a screen reader reads them: for each, its length,
// then its text into a buffer of that size, through the window's messages in the wide (Char
// wchar_t) or the narrow form. "?" stands for an entry the window refuses to give.
template <typename Char>
std::vector<std::basic_string<Char>> ListEntries(HWND list)
{
    auto send = [list](UINT message, WPARAM wParam, LPARAM lParam) {
        return std::is_same_v<Char, wchar_t> ? ::SendMessageW(list, message, wParam, lParam)
                                             : ::SendMessageA(list, message, wParam, lParam);
    };
    wchar_t className[16] = {};
    ::GetClassNameW(list, className, 16);
    const bool combo = ::lstrcmpiW(className, L"ComboBox") == 0;
    std::vector<std::basic_string<Char>> entries;
    const LRESULT count = send(combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT entry = 0; entry < count; ++entry) {
        const LRESULT length = send(combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(entry), 0);
        std::basic_string<Char> text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, Char{});
        const LRESULT copied =
            length < 0 ? -1 : send(combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
        entries.push_back(copied == length && length >= 0 ? text : std::basic_string<Char>(1, Char{'?'}));
    }
    return entries;
}

// The pixels of a surface of our own (to draw on) or of part of a window, 24-bit, last row first
// as a BMP file keeps them.
class Pixels {
public:
    Pixels(int width, int height) : width_(width), height_(height)
    {
        info_.biSize = sizeof(info_);
        info_.biWidth = width;
        info_.biHeight = height;
        info_.biPlanes = 1;
        info_.biBitCount = 24;
        info_.biCompression = BI_RGB;
        info_.biSizeImage = Stride() * static_cast<DWORD>(height);
        void* bits = nullptr;
        dc_.Reset(::CreateCompatibleDC(nullptr));
        bitmap_.Reset(::CreateDIBSection(dc_.Get(), reinterpret_cast<const BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits,
                                         nullptr, 0));
        bits_ = static_cast<const BYTE*>(bits);
        if (bitmap_)
            old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Pixels()
    {
        if (old_)
            ::SelectObject(dc_.Get(), old_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    // What the screen shows of `area` of a window's client area (all of it when none is given).
    static std::unique_ptr<Pixels> Of(HWND window, std::optional<RECT> area = std::nullopt)
    {
        if (!area) {
            area.emplace();
            ::GetClientRect(window, &*area);
        }
        auto pixels = std::make_unique<Pixels>(area->right - area->left, area->bottom - area->top);
        const controls::WindowDc source(window);
        pixels->CopyFrom(source.Dc(), area->left, area->top);
        return pixels;
    }

    HDC Dc() const noexcept { return dc_.Get(); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void CopyFrom(HDC source, int left, int top)
    {
        ::BitBlt(Dc(), 0, 0, width_, height_, source, left, top, SRCCOPY);
        Flush();
    }
    // Call after drawing on the surface and before reading it.
    void Flush() const { ::GdiFlush(); }
    COLORREF At(int x, int y) const
    {
        if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_)
            return CLR_INVALID;
        const BYTE* pixel = bits_ + Stride() * static_cast<DWORD>(height_ - 1 - y) + static_cast<DWORD>(x) * 3;
        return RGB(pixel[2], pixel[1], pixel[0]);
    }
    bool Save(const std::string& path) const
    {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + info_.biSizeImage;
        FILE* out = bits_ ? std::fopen(path.c_str(), "wb") : nullptr;
        if (!out)
            return false;
        const bool saved = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&info_, sizeof(info_), 1, out) == 1 &&
                           std::fwrite(bits_, info_.biSizeImage, 1, out) == 1;
        return std::fclose(out) == 0 && saved;
    }

private:
    DWORD Stride() const noexcept { return ((static_cast<DWORD>(width_) * 3 + 3) / 4) * 4; }

    int width_;
    int height_;
    BITMAPINFOHEADER info_{};
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    const BYTE* bits_ = nullptr;
};

// Whether a row of an owner-drawn list shows `text`: somewhere along the row lie exactly the
// pixels of the text drawn alone in the list's font, in the row's colours (the window's, or the
// highlight's for the selected row), with nothing else drawn after it nor just before it (an
// icon may stand further left). The row's outermost pixels, where a focus rectangle goes, are
// left out. For a text that fits the row.
inline bool RowShows(HWND list, int row, std::wstring_view text)
{
    RECT item{};
    if (::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return false;
    const bool selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0) == row;
    const COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const auto shown = Pixels::Of(list, item);
    Pixels alone(shown->Width(), shown->Height());
    {
        UniqueBrush brush(::CreateSolidBrush(background));
        RECT all{0, 0, alone.Width(), alone.Height()};
        ::FillRect(alone.Dc(), &all, brush.Get());
        const controls::SelectedObject font(alone.Dc(), reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
        ::SetBkMode(alone.Dc(), TRANSPARENT);
        ::SetTextColor(alone.Dc(), ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(alone.Dc(), text.data(), static_cast<int>(text.size()), &all, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        alone.Flush();
    }
    const int width = shown->Width();
    const int height = shown->Height();
    auto inked = [&](const Pixels& pixels, int x) {
        for (int y = 1; y + 1 < height; ++y)
            if (pixels.At(x, y) != background)
                return true;
        return false;
    };
    int end = width - 1;  // the text's ink ends before this column
    while (end > 0 && !inked(alone, end - 1))
        --end;
    if (end >= width - 1)
        return false;  // it does not fit
    constexpr int kClear = 3;  // columns of background before the text
    for (int origin = 0; origin + end < width - 1; ++origin) {
        bool same = true;
        for (int x = origin == 0 ? 1 : 0; same && x < width - 1 - origin; ++x)
            for (int y = 1; same && y + 1 < height; ++y)
                same = shown->At(origin + x, y) == alone.At(x, y);
        for (int x = std::max(origin - kClear, 1); same && x < origin; ++x)
            same = !inked(*shown, x);
        if (same)
            return true;
    }
    return false;
}

// Saves what the window shows, frame included, as a 24-bit BMP file.
inline bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    Pixels pixels(rect.right - rect.left, rect.bottom - rect.top);
    HDC windowDc = ::GetWindowDC(window);
    pixels.CopyFrom(windowDc, 0, 0);
    ::ReleaseDC(window, windowDc);
    return pixels.Save(path);
}

} // namespace korrimat::testing
