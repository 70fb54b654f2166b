// FFileInfo's display of one file, or one folder, on its pages: the facts gathered at once shown
// at once, the slow ones gathered on a worker and shown when they are in.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "report/ProgramReport.h"
#include "versioninfo/VersionItems.h"

namespace korrimat {

namespace {

// What a program is waits for the Program page or a copy to ask (AddProgramFacts).
const FactsWanted kShownFacts = [] {
    FactsWanted wanted;
    wanted.programImage = false;
    return wanted;
}();

} // namespace

void FFileInfo::ShowFileInfo(const std::string& path, const WIN32_FIND_DATAA* listed)
{
    tabInfo.Select(std::string_view("General"));
    ClearNote();
    Display(path, 0, listed);
}

void FFileInfo::Display(const std::string& path, int item, const WIN32_FIND_DATAA* listed)
{
    FileFacts before = std::exchange(shown_, GatherQuickFacts(platform_, path, kShownFacts, listed));
    // A copy waiting for the slow facts of this entry takes those of its new showing; another
    // entry's is dropped with them.
    const bool sameEntry = shown_.path == before.path;
    // The same file, neither written since nor asked to be read again (F5): its contents are
    // the same, and so are the hashes already computed, or being computed, of them.
    const bool sameContents = sameEntry && !readAgain_ && shown_.general.sizeBytes == before.general.sizeBytes &&
                              shown_.general.modifiedUtc == before.general.modifiedUtc;
    if (sameContents)
        shown_.hashes = std::move(before.hashes);
    if (pendingCopy_ && !sameEntry) {
        pendingCopy_.reset();
        ClearNote();
    }
    ShowGeneralPage();
    ShowVersionPage(item);
    ShowSignaturePage();
    ShowProgramPage();
    ShowHashesPage(sameEntry, sameContents);
    StartSlowFacts();
}

bool FFileInfo::ShowTab(std::string_view key, std::string_view caption, bool wanted)
{
    const int tab = tabInfo.IndexOfKey(key);
    if (!wanted) {
        if (tab >= 0)
            tabInfo.Remove(tab);
        return false;
    }
    // Before the Hashes tab, which comes last.
    if (tab < 0) {
        const int hashes = tabInfo.IndexOfKey("Hashes");
        tabInfo.Add(hashes >= 0 ? hashes : tabInfo.Count(), key, caption);
    }
    return true;
}

void FFileInfo::ShowGeneralPage()
{
    const GeneralPageTexts& page = shown_.general.page;
    txtFilename.SetText(page.name);
    txtType.SetText(page.type);
    txtLocation.SetText(page.location);
    txtSize.SetText(page.size);
    txtCompSize.SetText(page.compressedSize);
    txtDosPath.SetText(page.msDosPath);
    txtDosName.SetText(page.msDosName);
    txtCreated.SetText(page.created);
    txtModified.SetText(page.modified);
    txtAccessed.SetText(page.accessed);
    for (std::size_t i = 0; i < chkAttr.size(); ++i)
        chkAttr[i].SetValue(page.attributes[i] ? 1 : 0);
    // The mark a browser leaves on a download, where the page has room under the icon.
    txtOrigin.SetText(shown_.origin ? OriginSummary(*shown_.origin) : std::string());
    ShowIcon(shown_.general.icon.Get());
}

void FFileInfo::ShowVersionPage(int item)
{
    const int versionTab = 1;
    if (!shown_.version) {
        if (tabInfo.IndexOfKey("Version") == versionTab)
            tabInfo.Remove(versionTab);
        return;
    }
    if (tabInfo.IndexOfKey("Version") < 0)
        tabInfo.Add(versionTab, "Version", "Version");
    const VersionFacts& version = *shown_.version;
    txtFileVer.SetText(version.items[ItemRow(&CFileVersionInfo::FileVersion)]);
    txtDescription.SetText(version.items[ItemRow(&CFileVersionInfo::FileDescription)]);
    txtCopyright.SetText(version.items[ItemRow(&CFileVersionInfo::LegalCopyright)]);
    // The item shown next comes from the resource just read rather than a second reading.
    const ScopeExit forget([this] { versionJustRead_ = nullptr; });
    versionJustRead_ = &version;
    // Selecting the item raises its click, which shows the item. While the window is still
    // opening the list may be empty: nothing to select yet.
    if (lstVerInfo.Count() > 0)
        lstVerInfo.SetSelectedIndex(item >= 0 && item < lstVerInfo.Count() ? item : 0);
    else
        lstVerInfo_Click();
}

void FFileInfo::StartSlowFacts()
{
    const SlowFactsWanted wanted = SlowFactsFor(shown_, FactsWanted{});
    if (!wanted.Any()) {
        slowFacts_.Stop();
        return;
    }
    const FileContents& contents = platform_.Contents();
    const bool started = slowFacts_.Start([&contents, path = shown_.path, wanted](const controls::JobRun& run) {
        return GatherSlowFacts(contents, path, wanted, run.StopEvent());
    });
    if (!started) {
        lstSignatures.Clear();
        lstSignatures.Add("The signature could not be checked: no worker thread could be started.");
    }
}

void FFileInfo::SlowFactsGathered(SlowFacts&& slow)
{
    AddSlowFacts(shown_, std::move(slow));
    FillSignaturePage();
    if (pendingCopy_) {
        const int command = *std::exchange(pendingCopy_, std::nullopt);
        ClearNote();
        CopyReport(command);
    }
}

void FFileInfo::ShowIcon(HICON icon)
{
    picIcon.Clear();
    if (icon && !picIcon.DrawIcon(icon))
        TraceFailure("the shell's icon could not be drawn");
    picIcon.Invalidate();
}

} // namespace korrimat
