#pragma once
// The drive list: a drop-down of the machine's drives, each with its shell icon and the label
// users know: lower-case letter and colon, then the volume label in brackets when it has one,
// or for a network drive its remote name ("c: [System]", "n: [\\server\share]").
// Only the chosen drive is asked its label and icon when the list is made or another is chosen;
// the others are asked when the list is opened, so that a slow drive never holds the window's
// opening.

#include "controls/Control.h"
#include "controls/ListDrawing.h"
#include "platform/Drives.h"

#include <string>
#include <string_view>
#include <vector>

namespace korrimat::controls {

class DriveList : public Control {
public:
    // Starts on the process's current drive. The height is that of the closed box.
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds);
    void Move(const Bounds& bounds) override;

    // The chosen drive as shown ("c: [System]"); empty when none.
    std::string Drive() const;
    // The chosen drive's letter in lower case; 0 when none.
    char DriveLetter() const noexcept { return current_; }
    // Chooses the drive a path begins with ("c:", "C:\Windows", "c: [System]"). False when the
    // text names no drive of the machine: nothing changes then. onChange follows when the drive
    // changed, before this returns; whether the drive can be read is not checked here.
    bool SetDrive(std::string_view path);
    // Reads the machine's drives again, each with its label and icon, keeping the chosen one.
    void Refresh();

    int Count() const noexcept { return static_cast<int>(drives_.size()); }
    std::string Item(int index) const;
    int SelectedIndex() const;

    Event onChange;

protected:
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFontChanged() override { FitHeights(); }

private:
    struct DriveEntry {
        DriveFacts facts;
        ListImage image;
        bool described = false;  // its label and icon read
    };

    // The drives, by their letters alone or each with its label and icon, into the box.
    void Fill(std::vector<DriveFacts> drives, bool described);
    // One drive's label and icon, read when it is first chosen.
    void Describe(int index);
    int IndexOf(char letter) const;
    void Commit(int index);
    void FitHeights();
    void Draw(const DRAWITEMSTRUCT& item);

    ListIcons icons_;
    std::vector<DriveEntry> drives_;
    char current_ = 0;
    std::string currentText_;
    int closedHeight_ = 0;
};

} // namespace korrimat::controls
