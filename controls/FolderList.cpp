#include "controls/FolderList.h"

#include "controls/ListDrawing.h"
#include "platform/PathText.h"

namespace korrimat::controls {

bool FolderList::Create(WindowBase& container, const Bounds& bounds, const Platform& platform)
{
    platform_ = &platform;
    icons_ = SystemListIcons();
    folderImages_ = {FolderImage(false), FolderImage(true)};
    if (!CreateList(container, bounds))
        return false;
    FitRowHeight(Density().SmallIconSize());
    if (auto current = platform_->Entries().FullPathOf("."))
        Show(ListPathForm(*current), false);
    return true;
}

bool FolderList::SetPath(std::string_view path)
{
    std::string wanted(path);
    if (IsDriveOnly(wanted))
        wanted = {*DriveLetterOf(wanted), ':'};  // the drive's current folder
    if (wanted.empty())
        return false;
    const auto full = platform_->Entries().FullPathOf(wanted);
    if (!full)
        return false;
    return Show(ListPathForm(*full), true);
}

bool FolderList::Refresh()
{
    return !path_.empty() && Show(path_, false);
}

bool FolderList::Show(const std::string& path, bool raiseChange)
{
    NameList subfolders;
    if (!ReadFolderEntries(*platform_, path, true, subfolders))
        return false;
    const bool changed = path != path_;
    path_ = path;
    levels_ = PathLevels(path_);
    subfolders_ = std::move(subfolders);
    ResetRows(EntryCount(), CurrentIndex());
    if (changed && raiseChange)
        Raise(onChange);
    return true;
}

int FolderList::EntryCount() const noexcept
{
    return static_cast<int>(levels_.size() + subfolders_.Size());
}

FolderList::Entry FolderList::EntryAt(int index) const
{
    const int levels = static_cast<int>(levels_.size());
    if (index < 0 || index >= EntryCount())
        return {};
    if (index < levels)
        return {levels_[static_cast<std::size_t>(index)], index, true};
    return {subfolders_[static_cast<std::size_t>(index - levels)], levels, false};
}

std::string FolderList::EntryPath(int index) const
{
    const int levels = static_cast<int>(levels_.size());
    if (index < 0 || index >= EntryCount())
        return {};
    if (index >= levels)
        return JoinPath(path_, subfolders_[static_cast<std::size_t>(index - levels)]);
    std::string path = levels_[0];
    for (int level = 1; level <= index; ++level)
        path = JoinPath(path, levels_[static_cast<std::size_t>(level)]);
    return path;
}

bool FolderList::Open(int index)
{
    if (index < 0 || index >= EntryCount())
        return false;
    const std::string path = EntryPath(index);
    if (path == path_)
        return true;
    if (SetPath(path))
        return true;
    // The folder went away: show the current one again.
    SelectRow(CurrentIndex());
    return false;
}

std::string_view FolderList::RowText(int row) const
{
    return EntryAt(row).name;
}

void FolderList::DrawRow(const DRAWITEMSTRUCT& item)
{
    const int row = static_cast<int>(item.itemID);
    const Entry entry = EntryAt(row);
    const PixelDensity density = Density();
    DrawListEntry(icons_, item, density, Font(), RowText(row), folderImages_[entry.open ? 1 : 0], entry.level * density.SmallIconSize() / 2);
}

int FolderList::RowForInitial(wchar_t initial, int caret) const
{
    const int levels = static_cast<int>(levels_.size());
    const int found = subfolders_.FindByInitial(initial, caret - levels);
    return found < 0 ? -1 : found + levels;
}

bool FolderList::OnListCommand(WORD code)
{
    if (code == LBN_DBLCLK) {
        Open(SelectedIndex());
        return true;
    }
    return false;
}

bool FolderList::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter belongs to the list (it opens the entry), not to the dialog keys.
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        if (keyMessage && keyMessage->message == WM_KEYDOWN && keyMessage->wParam == VK_RETURN) {
            result = CallDefault(message, wParam, lParam) | DLGC_WANTMESSAGE;
            return true;
        }
        return false;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Open(SelectedIndex());
            result = 0;
            return true;
        }
        return false;
    case WM_CHAR:
        if (wParam == '\r') {
            result = 0;
            return true;
        }
        return VirtualList::OnOwnMessage(message, wParam, lParam, result);
    default:
        return VirtualList::OnOwnMessage(message, wParam, lParam, result);
    }
}

void FolderList::OnFontChanged()
{
    FitRowHeight(Density().SmallIconSize());
}

} // namespace korrimat::controls
