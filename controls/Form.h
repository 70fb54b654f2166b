#pragma once
// A top-level window and its message loop, with the messages other threads may post to it.

#include "controls/Control.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat::controls {

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
    bool shift = false;
};

// A top-level window. It owns its window: destroying the object destroys the window. It keeps
// its own density, that of the monitor it is on, and follows it from monitor to monitor: its
// client area, its icons and, through onDensityChanged, whatever lies in it.
class Form : public WindowBase {
public:
    ~Form() override;

    // The client size the window wants at a density.
    using ClientSize = std::function<SIZE(const PixelDensity&)>;

    // A window with a fixed single border (caption, system menu, minimise box; it cannot be
    // resized) whose client area has `clientSize` at the density of the monitor it opens on, and
    // the program's icon resource `iconId` at that density's icon sizes (the system's application
    // icon when the program has none by that number).
    [[nodiscard]] bool Create(std::string_view caption, ClientSize clientSize, int iconId = 0);
    PixelDensity Density() const override { return density_; }
    void Show(int showCommand);
    // Asks the window to close, as its close box does.
    void Close();
    void Destroy();
    // Paints the whole window and its children again, backgrounds included.
    void Redraw();
    // Takes the colour scheme the user's settings now ask for (Colours.h), when it is not the
    // one drawn: every control hears of it, onColoursChanged follows and the window is drawn
    // again. The window does it on its own when the settings change.
    void FollowColourScheme();
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
    // The colour scheme changed; the window is drawn again after.
    Event onColoursChanged;
    // One of the keys of SetAccelerators was pressed.
    std::function<void(int command)> onCommand;
    // The dialog keys' cancel (Esc) outside any control that takes it itself.
    Event onCancel;
    // A context menu is asked for over `source` (a control of the window, null for the window
    // itself or a part of a control without a wrapper): by the right mouse button at `at`, or by
    // Shift+F10 or the menu key (`byKeyboard`), with `at` just inside the focused control's
    // top-left corner. Text boxes leave theirs to the window.
    std::function<void(Control* source, POINT at, bool byKeyboard)> onContextMenu;

protected:
    Form() = default;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The close box or Alt+F4: destroys the window unless overridden.
    virtual void OnClose();
    // The window is being destroyed; its children still exist.
    virtual void OnDestroy() {}

private:
    void RestoreFocus();
    void ChangeDensity(const PixelDensity& density, const RECT* suggested);
    // The client size `clientSize_` gives at the window's density; the top-left corner moved too
    // when one is given.
    void FitClientSize(const POINT* topLeft);
    bool OuterSizeAt(const PixelDensity& density, SIZE& size) const;
    void LoadIcons();
    void TakeDroppedFiles(HDROP drop);
    void AskForContextMenu(HWND source, LPARAM where);

    HWND lastFocus_ = nullptr;
    PixelDensity density_ = PixelDensity(96, 96);
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
