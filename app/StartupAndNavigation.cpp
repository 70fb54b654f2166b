// FFileInfo's opening steps and the chain from drive to folder to file.

#include "app/FFileInfo.h"

namespace korrimat {

void FFileInfo::ConnectEvents()
{
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    File1.onPathChange = [this] { File1_PathChange(); };
    File1.onClick = [this] { File1_Click(); };
    lstVerInfo.onClick = [this] { lstVerInfo_Click(); };
    lstSignatures.onClick = [this] { lstSignatures_Click(); };
    tabInfo.onClick = [this] { tabInfo_Click(); };
    // A second row of tabs takes its room from the pages (before loading they keep their design places).
    tabInfo.onAreaChange = [this] {
        if (loaded_)
            FitPagesToTabs();
    };
    onDropFiles = [this](const std::vector<std::string>& paths) { ShowDroppedPath(paths); };
    onDensityChanged = [this] { LayOut(); };
    onColoursChanged = [this] { FollowColours(); };
}

void FFileInfo::Load(std::wstring_view startPath)
{
    // The start path, or else the Windows folder's drive. Choosing another drive than the list
    // shows runs the whole chain here, before the version items exist.
    const std::string note = startPath.empty() ? std::string() : ArriveAtStartPath(startPath);
    if (startPath.empty() || !note.empty())
        Drive1.SetDrive(platform_.Environment().Get("windir"));

    // The separators and the icon box in exact screen pixels, kept so at every later layout.
    loaded_ = true;
    FitLoadedLayout();

    ApplyOpeningLayout();

    // The list already stood on the start drive, so nothing was shown: show the current
    // folder's first file (or the folder itself), as a choice of that folder would.
    if (currentPath_.empty())
        File1_PathChange();
    if (!note.empty())
        ShowNote(note);
}

void FFileInfo::Drive1_Change()
{
    // A drive that cannot be read changes nothing but the drive list; no message.
    if (!destination_ || !Dir1.SetPath(destination_->folder))
        Dir1.SetPath(Drive1.Drive());
}

void FFileInfo::Dir1_Change()
{
    File1.SetPath(Dir1.Path());
}

void FFileInfo::File1_PathChange()
{
    if (destination_ && !destination_->name.empty()) {
        const int index = File1.IndexOf(destination_->name);
        if (index >= 0) {
            destination_->reached = true;
            File1.SetSelectedIndex(index);
            return;
        }
    }
    if (File1.Count() > 0) {
        File1.SetSelectedIndex(0);
        return;
    }
    currentPath_ = Dir1.Path();
    ShowFileInfo(currentPath_);
    WatchListedFolder();
}

void FFileInfo::File1_Click()
{
    const std::string& folder = File1.Path();
    // A drive's root already ends in a backslash.
    currentPath_ = (!folder.empty() && folder.back() == '\\') ? folder + File1.FileName()
                                                              : folder + "\\" + File1.FileName();
    // The first file of a folder just listed comes with the record the listing read of it.
    const std::optional<WIN32_FIND_DATAA> listed = File1.ListedRecord(File1.SelectedIndex());
    const WIN32_FIND_DATAA* record = listed ? &*listed : nullptr;
    // A refresh shows the same file again with the page in front and the item kept.
    if (keptItem_)
        Display(currentPath_, *keptItem_, record);
    else
        ShowFileInfo(currentPath_, record);
    WatchListedFolder();
}

} // namespace korrimat
