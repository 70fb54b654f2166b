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
#include "platform/controls/Screen.h"

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
    bool Enabled() const;
    void SetEnabled(bool enabled);
    HFONT Font() const;
    void SetFont(HFONT font);
    std::string Text() const;
    void SetText(std::string_view text);
    void Invalidate();
    // The density the control is drawn at: that of the window it lies in.
    virtual Screen Density() const;

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
    // The standard control's own handling of a message (inside OnOwnMessage only).
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class WindowBase;
    static LRESULT CALLBACK SubclassProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data);

    HWND handle_ = nullptr;
    WindowBase* container_ = nullptr;
    bool subclassed_ = false;
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
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT DefaultColours(HDC dc);

    std::optional<COLORREF> backColor_;
    UniqueBrush backBrush_;
    HFONT font_ = nullptr;
    std::vector<Line*> lines_;
    int nextChildId_ = 100;
};

// A message that another thread may post to a form (posting is safe from any thread); the form
// runs the handler it was made with on its own thread, with the value posted. Cheap to copy;
// posting to a form that has gone does nothing.
class PostedMessage {
public:
    PostedMessage() = default;
    // False when it could not be posted.
    bool Post(std::uintptr_t value = 0) const noexcept;

private:
    friend class Form;
    PostedMessage(HWND window, UINT message) : window_(window), message_(message) {}

    HWND window_ = nullptr;
    UINT message_ = 0;
};

// A key that gives a command wherever the focus is in a form, before the focused control sees it.
struct Accelerator {
    WORD key = 0;  // a virtual key: 'C', VK_F5...
    bool control = false;
    int command = 0;
};

// A top-level window. It owns its window: destroying the object destroys the window. It keeps
// its own density, that of the monitor it is on, and follows it from monitor to monitor: its
// client area, its icons and, through onDensityChanged, whatever lies in it.
class Form : public WindowBase {
public:
    ~Form() override;

    // The client size the window wants at a density.
    using ClientSize = std::function<SIZE(const Screen&)>;

    // A window with a fixed single border (caption, system menu, minimise box; it cannot be
    // resized) whose client area has `clientSize` at the density of the monitor it opens on, and
    // the program's icon resource `iconId` at that density's icon sizes (the system's application
    // icon when the program has none by that number).
    [[nodiscard]] bool Create(std::string_view caption, ClientSize clientSize, int iconId = 0);
    Screen Density() const override { return density_; }
    void Show(int showCommand);
    // Asks the window to close, as its close box does.
    void Close();
    void Destroy();
    // Paints the whole window and its children again, backgrounds included.
    void Redraw();
    // Takes files dropped from the shell (also from one with fewer rights): onDropFiles gets them.
    void AcceptDroppedFiles();

    // The keys of the window's commands (onCommand), in place of those set before.
    void SetAccelerators(std::span<const Accelerator> keys);
    // A message of the window's own for work on other threads; `handler` runs on this thread.
    PostedMessage AddPostedMessage(std::function<void(std::uintptr_t)> handler);
    // The control of this window that has the keyboard focus; null when none of them has.
    Control* FocusedControl() const;

    // The window's keys, then the dialog keys, for a message about to be dispatched; true when
    // they took it.
    bool PreTranslate(MSG& message);

    // The full paths of the files and folders dropped, in their order; a name that has no form
    // in the narrow code page is left out.
    std::function<void(const std::vector<std::string>&)> onDropFiles;
    // The window's density changed (it moved to a monitor of another density, or the monitor's
    // changed): the window already has its client size at Density(); its content follows here.
    Event onDensityChanged;
    // One of the keys of SetAccelerators was pressed.
    std::function<void(int command)> onCommand;
    // The dialog keys' cancel (Esc) outside any control that takes it itself.
    Event onCancel;
    // A context menu is asked for over `source` (a control of the window, null for the window
    // itself or a part of a control without a wrapper): by the right mouse button at `at`, or by
    // Shift+F10 or the menu key, with `at` just inside the focused control's top-left corner.
    // Text boxes leave theirs to the window.
    std::function<void(Control* source, POINT at)> onContextMenu;

protected:
    Form() = default;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The close box or Alt+F4: destroys the window unless overridden.
    virtual void OnClose();
    // The window is being destroyed; its children still exist.
    virtual void OnDestroy() {}

private:
    void RestoreFocus();
    void ChangeDensity(const Screen& density, const RECT* suggested);
    // The client size `clientSize_` gives at the window's density; the top-left corner moved too
    // when one is given.
    void FitClientSize(const POINT* topLeft);
    bool OuterSizeAt(const Screen& density, SIZE& size) const;
    void LoadIcons();
    void TakeDroppedFiles(HDROP drop);
    void AskForContextMenu(HWND source, LPARAM where);

    HWND lastFocus_ = nullptr;
    Screen density_ = Screen(96, 96);
    ClientSize clientSize_;
    int iconId_ = 0;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueAccelerators accelerators_;
    std::vector<std::function<void(std::uintptr_t)>> posted_;
};

// Dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop(Form& form);
// Dispatches every message waiting now (for tests and for work that must see its own repaint).
void DispatchPendingMessages(Form* form);
// Makes RunMessageLoop return with this exit code once the messages before it are dispatched.
void EndMessageLoop(int exitCode = 0);

} // namespace korrimat::controls
