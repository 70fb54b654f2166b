#pragma once
// The folder list: the levels of the current path as open folders, each one step further in,
// then the current folder's subfolders (sorted) as closed folders. A double-click or Enter on
// an entry opens it.

#include "platform/NameList.h"
#include "controls/ListDrawing.h"
#include "controls/VirtualList.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat::controls {

class FolderList : public VirtualList {
public:
    struct Entry {
        std::string_view name;
        int level = 0;
        bool open = false;
    };

    // Starts on the process's current folder; lists folders through `platform`.
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, const Platform& platform = SystemPlatform());

    // The current folder's full path: a root ends in "\", no other path does.
    const std::string& Path() const noexcept { return path_; }
    // Moves to a folder; "x:" (or a drive list's "x: [label]") moves to that drive's current
    // folder. False when the folder cannot be listed (no such folder, a drive that is not
    // ready): nothing changes then and no event is raised. onChange follows when the path
    // changed, before this returns.
    bool SetPath(std::string_view path);
    // Lists the current folder's subfolders again.
    bool Refresh();

    int EntryCount() const noexcept;
    Entry EntryAt(int index) const;
    std::string EntryPath(int index) const;
    // The entry of the current folder (the last level).
    int CurrentIndex() const noexcept { return static_cast<int>(levels_.size()) - 1; }
    // Opens an entry as a double-click does: its folder becomes the path.
    bool Open(int index);

    Event onChange;

protected:
    std::string_view RowText(int row) const override;
    void DrawRow(const DRAWITEMSTRUCT& item) override;
    int RowForInitial(wchar_t initial, int caret) const override;
    bool OnListCommand(WORD code) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFontChanged() override;

private:
    bool Show(const std::string& path, bool raiseChange);

    const Platform* platform_ = &SystemPlatform();
    ListIcons icons_;
    std::array<ListImage, 2> folderImages_{};  // closed, open
    std::string path_;
    std::vector<std::string> levels_;
    NameList subfolders_;
};

} // namespace korrimat::controls
