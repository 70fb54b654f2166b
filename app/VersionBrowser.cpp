// FFileInfo's version item browser and page switch.

#include "app/FFileInfo.h"
#include "app/VersionItems.h"

namespace korrimat {

void FFileInfo::lstVerInfo_Click()
{
    // Read afresh on the user's selection, so that a file changed on disk shows its new values;
    // while a file is being shown, the resource it has just read serves.
    CFileVersionInfo fresh(platform_);
    if (!versionJustRead_)
        fresh.SetFullPathName(currentPath_);
    const CFileVersionInfo& versionInfo = versionJustRead_ ? *versionJustRead_ : fresh;
    const std::string selected = lstVerInfo_.Item(lstVerInfo_.SelectedIndex());
    for (const VersionItem& item : kVersionItems) {
        if (item.name == selected) {
            txtVerInfo_.SetText((versionInfo.*item.property)());
            return;
        }
    }
}

void FFileInfo::tabInfo_Click()
{
    // Only the General tab decides: any other selected tab is the Version page.
    const int general = tabInfo_.IndexOfKey("General");
    if (general >= 0 && tabInfo_.SelectedIndex() == general) {
        frmVersion_.SetVisible(false);
        frmGeneral_.SetVisible(true);
    } else {
        frmVersion_.SetVisible(true);
        frmGeneral_.SetVisible(false);
    }
}

} // namespace korrimat
