#include "controls/FileList.h"

#include "controls/ListDrawing.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Trace.h"

namespace korrimat::controls {

bool FileList::Create(WindowBase& container, const Bounds& bounds, const Platform& platform)
{
    platform_ = &platform;
    icons_ = SystemListIcons();
    if (!CreateList(container, bounds))
        return false;
    FitRowHeight(0);
    if (auto current = platform_->Entries().FullPathOf("."))
        Show(ListPathForm(*current), false);
    return true;
}

bool FileList::SetPath(std::string_view path)
{
    if (path.empty())
        return false;
    const auto full = platform_->Entries().FullPathOf(std::string(path));
    return full && Show(ListPathForm(*full), true);
}

bool FileList::Refresh()
{
    return !path_.empty() && Show(path_, false);
}

bool FileList::Show(const std::string& path, bool raiseChange)
{
    NameList names;
    std::optional<WIN32_FIND_DATAA> first;
    // The shell's view of the folder is made ready while the folder is read, for the names of
    // its files that the display asks of the shell next.
    auto bindShell = [&] { BindShellFolder(path); };
    // A folder that exists but cannot be listed shows empty; anything else is refused.
    if (!ReadFolderEntries(*platform_, path, false, names, &first, bindShell)) {
        const DWORD attributes = FileAttributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
    }
    const bool changed = path != path_;
    path_ = path;
    names_ = std::move(names);
    ResetRows(Count(), -1);
    if (changed && raiseChange) {
        // The record is as fresh as a search only while the listing's own event runs.
        firstRecord_ = std::move(first);
        const ScopeExit forget([this] { firstRecord_.reset(); });
        Raise(onPathChange);
    }
    return true;
}

std::optional<WIN32_FIND_DATAA> FileList::ListedRecord(int index) const
{
    return index == 0 ? firstRecord_ : std::nullopt;
}

std::string FileList::Item(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return std::string(names_[static_cast<std::size_t>(index)]);
}

int FileList::IndexOf(std::string_view name) const
{
    // The exact name first: comparing without case converts every name it passes.
    for (int index = 0; index < Count(); ++index) {
        if (names_[static_cast<std::size_t>(index)] == name)
            return index;
    }
    for (int index = 0; index < Count(); ++index) {
        if (SameNameIgnoringCase(names_[static_cast<std::size_t>(index)], name))
            return index;
    }
    return -1;
}

std::string FileList::FileName() const
{
    return Item(SelectedIndex());
}

void FileList::SetSelectedIndex(int index)
{
    if (index >= Count())
        return;
    SelectRow(index < 0 ? -1 : index);
    if (index >= 0)
        Raise(onClick);
}

std::string_view FileList::RowText(int row) const
{
    return row >= 0 && row < Count() ? names_[static_cast<std::size_t>(row)] : std::string_view();
}

void FileList::DrawRow(const DRAWITEMSTRUCT& item)
{
    DrawListEntry(icons_, item, Density(), Font(), RowText(static_cast<int>(item.itemID)), {}, 0);
}

int FileList::RowForInitial(wchar_t initial, int caret) const
{
    return names_.FindByInitial(initial, caret);
}

bool FileList::OnListCommand(WORD code)
{
    if (code == LBN_SELCHANGE) {
        Raise(onClick);
        return true;
    }
    return false;
}

void FileList::OnFontChanged()
{
    FitRowHeight(0);
}

} // namespace korrimat::controls
