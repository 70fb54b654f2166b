// FFileInfo's version item browser and page switch.

#include "app/FFileInfo.h"
#include "app/VersionItems.h"

namespace korrimat {

void FFileInfo::lstVerInfo_Click()
{
    // Read afresh on every selection: a file changed on disk shows its new values.
    CFileVersionInfo versionInfo(platform_);
    versionInfo.SetFullPathName(currentPath_);
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
