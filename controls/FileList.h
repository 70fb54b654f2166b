#pragma once
// The file list: every file of one folder, hidden and system files included, no folders, sorted
// by name as users expect; one file selectable at a time.

#include "platform/NameList.h"
#include "controls/ListDrawing.h"
#include "controls/VirtualList.h"

#include <optional>
#include <string>
#include <string_view>

namespace korrimat::controls {

class FileList : public VirtualList {
public:
    // Starts on the process's current folder; lists files through `platform`.
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds, const Platform& platform = SystemPlatform());

    // The folder's full path: a root ends in "\", no other path does.
    const std::string& Path() const noexcept { return path_; }
    // Lists another folder (nothing selected). False when it is no folder: nothing changes then.
    // onPathChange follows when the path changed, before this returns.
    bool SetPath(std::string_view path);
    // Lists the folder again (nothing selected, no event).
    bool Refresh();

    int Count() const noexcept { return static_cast<int>(names_.Size()); }
    std::string Item(int index) const;
    // The entry of a name, in its stored case first, else with case ignored; -1 when none.
    int IndexOf(std::string_view name) const;
    // The selected file's name; empty when none is selected.
    std::string FileName() const;
    // Selects a file and raises onClick, as a click does; -1 clears the selection (no event).
    void SetSelectedIndex(int index);
    // While onPathChange runs: the record the listing has just read of the entry at `index` (only
    // the first entry's is kept), so that its display needs no search of the folder. Nothing at
    // any other time.
    std::optional<WIN32_FIND_DATAA> ListedRecord(int index) const;

    Event onPathChange;
    Event onClick;

protected:
    std::string_view RowText(int row) const override;
    void DrawRow(const DRAWITEMSTRUCT& item) override;
    int RowForInitial(wchar_t initial, int caret) const override;
    bool OnListCommand(WORD code) override;
    void OnFontChanged() override;

private:
    bool Show(const std::string& path, bool raiseChange);

    const Platform* platform_ = &SystemPlatform();
    ListIcons icons_;
    std::string path_;
    NameList names_;
    std::optional<WIN32_FIND_DATAA> firstRecord_;
};

} // namespace korrimat::controls
