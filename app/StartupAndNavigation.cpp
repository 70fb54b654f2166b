// FFileInfo's opening steps and the chain from drive to folder to file.

#include "app/FFileInfo.h"
#include "app/VersionItems.h"

namespace korrimat {

namespace {

constexpr std::string_view kGeneralTab = "General";
constexpr std::string_view kVersionTab = "Version";

} // namespace

void FFileInfo::ConnectEvents()
{
    Drive1_.onChange = [this] { Drive1_Change(); };
    Dir1_.onChange = [this] { Dir1_Change(); };
    File1_.onPathChange = [this] { File1_PathChange(); };
    File1_.onClick = [this] { File1_Click(); };
    lstVerInfo_.onClick = [this] { lstVerInfo_Click(); };
    tabInfo_.onClick = [this] { tabInfo_Click(); };
}

void FFileInfo::Load()
{
    // The Windows folder's drive. Choosing another drive than the list shows runs the whole
    // chain here, before the version items exist.
    Drive1_.SetDrive(platform_.Environment("windir"));

    // The separators and the icon box in exact screen pixels, kept so at every later layout.
    loaded_ = true;
    FitLoadedLayout();

    for (const VersionItem& item : kVersionItems)
        lstVerInfo_.Add(item.name);
    // A file with a version resource shown by the chain above found the list empty: now that it
    // is filled, its first item shows.
    if (tabInfo_.IndexOfKey(kVersionTab) >= 0 && !currentPath_.empty())
        lstVerInfo_.SetSelectedIndex(0);

    ApplyOpeningLayout();

    // The list already stood on the start drive, so nothing was shown: show the current
    // folder's first file (or the folder itself), as a choice of that folder would.
    if (currentPath_.empty())
        File1_PathChange();
}

void FFileInfo::Drive1_Change()
{
    // A drive that cannot be read changes nothing but the drive list; no message.
    Dir1_.SetPath(Drive1_.Drive());
}

void FFileInfo::Dir1_Change()
{
    File1_.SetPath(Dir1_.Path());
}

void FFileInfo::File1_PathChange()
{
    if (File1_.Count() > 0) {
        File1_.SetSelectedIndex(0);
        return;
    }
    currentPath_ = Dir1_.Path();
    ShowFileInfo(currentPath_);
}

void FFileInfo::File1_Click()
{
    const std::string& folder = File1_.Path();
    // A drive's root already ends in a backslash.
    currentPath_ = (!folder.empty() && folder.back() == '\\') ? folder + File1_.FileName()
                                                              : folder + "\\" + File1_.FileName();
    ShowFileInfo(currentPath_);
}

} // namespace korrimat
