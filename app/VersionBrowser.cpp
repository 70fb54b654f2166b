// FFileInfo's version item browser and page switch.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "versioninfo/VersionItems.h"

namespace korrimat {

void FFileInfo::lstVerInfo_Click()
{
    // The selected entry names the row of the item table it was made from; an entry that names
    // none leaves the value as it is.
    const std::intptr_t row = lstVerInfo.Data(lstVerInfo.SelectedIndex());
    if (row < 0 || row >= static_cast<std::intptr_t>(kVersionItems.size()))
        return;
    // Read afresh on the user's selection, so that a file changed on disk shows its new values;
    // while a file is being shown, the resource it has just read serves.
    if (versionJustRead_) {
        txtVerInfo.SetText(versionJustRead_->items[static_cast<std::size_t>(row)]);
        return;
    }
    CFileVersionInfo fresh(platform_);
    fresh.SetFullPathName(currentPath_);
    txtVerInfo.SetText((fresh.*kVersionItems[static_cast<std::size_t>(row)].property)());
}

void FFileInfo::tabInfo_Click()
{
    // The selected tab's page shows; a tab of no page of its own (the Version tab) is the
    // Version page.
    const bool general = tabInfo.IsSelected("General");
    const bool signatures = tabInfo.IsSelected("Signatures");
    const bool hashes = tabInfo.IsSelected("Hashes");
    const bool program = tabInfo.IsSelected("Program");
    controls::Frame& front = general ? frmGeneral : signatures ? frmSignatures : hashes ? frmHashes : program ? frmProgram : frmVersion;
    if (!MakePage(front))
        TraceFailure("FFileInfo: a page's controls could not all be made");
    frmGeneral.SetVisible(general);
    frmSignatures.SetVisible(signatures);
    frmHashes.SetVisible(hashes);
    frmProgram.SetVisible(program);
    frmVersion.SetVisible(!general && !signatures && !hashes && !program);
    // The hashes are computed when their page is first shown for a file, and the program's
    // facts written when theirs is.
    if (hashes)
        StartPageHashes();
    if (program)
        FillProgramPage();
}

void FFileInfo::ShowNeighbourPage(int step)
{
    const int count = tabInfo.Count();
    const int selected = tabInfo.SelectedIndex();
    if (count < 2 || selected < 0)
        return;
    tabInfo.Select((selected + step + count) % count);
    // A hidden control keeps the keyboard's focus unless it is moved.
    controls::Control* focus = FocusedControl();
    if (focus && !focus->OnScreen())
        tabInfo.Focus();
}

} // namespace korrimat
