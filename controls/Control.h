#pragma once
// The control layer's base classes.
//
// A Control merely points at a child window: the window belongs to its parent and dies with it;
// the wrapper only adds typed operations and events. Events are plain callbacks, raised
// synchronously and in the same way whether the user or the program made the change: a setter
// returns only after the handlers it set off have run. An exception from a handler reaches the
// code that made the change; one that reaches a window procedure stops there.
//
// WindowBase is a window of our own class that holds children: its procedure calls named
// handlers, reflects the notifications a child sends to its parent (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_CTLCOLOR*...) back to the child's wrapper, paints the lines lying on it, and
// lets no C++ exception out. Standard controls are subclassed so that their wrapper can see
// their own messages too (input to swallow, keys to take) and forget the window when it dies.

#include "platform/UniqueHandle.h"
#include "controls/PixelDensity.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat::controls {

// A rectangle in pixels: left and top in the container's client coordinates, outer size.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

using Event = std::function<void()>;

// Runs an event's handler when one is set.
void Raise(const Event& event);

class WindowBase;
class Line;

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // The window of our own class that holds this control (null for a top-level window).
    WindowBase* Container() const noexcept { return container_; }
    int Id() const;

    Bounds GetBounds() const;
    virtual void Move(const Bounds& bounds);
    // The control's own visibility and enabled state (not its container's).
    bool Visible() const;
    void SetVisible(bool visible);
    // Visible, and so is every window that holds it: what the user can see.
    bool OnScreen() const;
    // Gives it the keyboard's focus.
    void Focus();
    bool Enabled() const;
    void SetEnabled(bool enabled);
    HFONT Font() const;
    void SetFont(HFONT font);
    std::string Text() const;
    void SetText(std::string_view text);
    void Invalidate();
    // The density the control is drawn at: that of the window it lies in.
    virtual PixelDensity Density() const;

    // The wrapper attached to a window, if any.
    static Control* FromHandle(HWND handle);

protected:
    // Creates a standard control as a child of `container` and attaches this wrapper to it.
    [[nodiscard]] bool CreateChild(WindowBase& container, const char* className, DWORD style, DWORD exStyle,
                     const Bounds& bounds, std::string_view text);
    void Attach(HWND handle, WindowBase* container);
    void Detach() noexcept;

    // A notification the child sent its container, handed back to the child's wrapper.
    // Return true when handled; `result` is then the container's answer.
    virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A message to a subclassed standard control, before its own procedure sees it.
    virtual bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnFontChanged() {}
    // The colour scheme changed (Colours.h); the window is drawn again after.
    virtual void OnColoursChanged() {}
    // The standard control's own handling of a message (inside OnOwnMessage only).
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class WindowBase;
    static LRESULT CALLBACK SubclassProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WindowBase* container_ = nullptr;
    WNDPROC original_ = nullptr;  // a subclassed standard control's own procedure
    // The text SetText gave the window, while nothing else has set another.
    std::optional<std::string> knownText_;
};

class WindowBase : public Control {
public:
    // The background: the system's button-face colour until a colour is set.
    COLORREF BackColor() const;
    void SetBackColor(COLORREF colour);
    HBRUSH BackBrush() const;

    int NextChildId() noexcept { return nextChildId_++; }
    void AddLine(Line& line);
    // Every control inside this window hears that the colour scheme changed.
    void TellColoursChanged();
    void RemoveLine(Line& line) noexcept;

protected:
    WindowBase() = default;
    ~WindowBase() override;

    static bool RegisterWindowClass(const char* className, UINT classStyle, HBRUSH background);
    [[nodiscard]] bool CreateOwnWindow(const char* className, WindowBase* container, DWORD style, DWORD exStyle,
                         const Bounds& bounds, std::string_view text);

    // The window procedure's dispatch: a thin switch that calls the named handlers below.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnPaint(HDC dc);
    virtual void OnEraseBackground(HDC dc);
    virtual void OnNcDestroy() {}
    void PaintLines(HDC dc) const;

private:
    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK TellChildColoursChanged(HWND child, LPARAM);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT DefaultColours(HDC dc);

    std::optional<COLORREF> backColor_;
    UniqueBrush backBrush_;
    HFONT font_ = nullptr;
    std::vector<Line*> lines_;
    int nextChildId_ = 100;
};

} // namespace korrimat::controls
