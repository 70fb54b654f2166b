// FFileInfo's commands beyond the design: the shown entry's properties copied as text or JSON,
// its SHA-256 computed on a worker and copied, F5, and the display kept current by a watch on the
// listed folder. Reached by keys and a context menu only: the window's design is unchanged.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "report/ReportWriters.h"
#include "platform/FileSystem.h"
#include "platform/FolderChanges.h"
#include "platform/PathText.h"
#include "controls/PopupMenu.h"

#include <array>

namespace korrimat {

namespace {


// Ctrl+C and F5; and the pages in turn, wrapping round, as every tabbed window's keys go.
const std::array<controls::Accelerator, 6> kKeys{{
    {'C', true, FFileInfo::kCopySelection},
    {VK_F5, false, FFileInfo::kRefresh},
    {VK_TAB, true, FFileInfo::kNextPage},
    {VK_NEXT, true, FFileInfo::kNextPage},
    {VK_TAB, true, FFileInfo::kPreviousPage, true},
    {VK_PRIOR, true, FFileInfo::kPreviousPage},
}};

} // namespace

std::string FFileInfo::WhyNotOpened(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "the file is open in another program that lets no other program read it";
    case ERROR_ACCESS_DENIED:
        return "reading the file is not allowed";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "the file is gone";
    default:
        return "the file cannot be opened (error " + std::to_string(error) + ")";
    }
}

void FFileInfo::ConnectCommands()
{
    SetAccelerators(kKeys);
    onCommand = [this](int command) { RunCommand(command); };
    // Esc stops what the user waits for: a SHA-256 to copy, the Hashes page's values.
    onCancel = [this] {
        CancelSha256();
        StopPageHashes();
    };
    onContextMenu = [this](controls::Control* source, POINT at, bool byKeyboard) { ShowContextMenu(source, at, byKeyboard); };
    slowFacts_.Attach(*this);
    slowFacts_.onFinished = [this](SlowFacts&& slow) { SlowFactsGathered(std::move(slow)); };
    hashJob_.Attach(*this);
    hashJob_.onTold = [this](std::uintptr_t percent) { Sha256Progress(percent); };
    hashJob_.onFinished = [this](FileDigest&& digest) { Sha256Finished(std::move(digest)); };
    watchJob_.Attach(*this);
    watchJob_.onTold = [this](std::uintptr_t) { FolderChanged(); };
    // A watch that ends on its own (the folder went, say) is started again by the next listing.
    watchJob_.onFinished = [this](bool) { watchedFolder_.clear(); };
    pageHashes_.Attach(*this);
    pageHashes_.onTold = [this](std::uintptr_t percent) { PageHashesProgress(percent); };
    pageHashes_.onFinished = [this](PageHashes&& found) { PageHashesFound(std::move(found)); };
    fileComparison_.Attach(*this);
    fileComparison_.onFinished = [this](FileComparison&& comparison) { FileCompared(std::move(comparison)); };
    txtCompare.onChange = [this] { ShowTypedHashVerdict(); };
    cmdCompareFile.onClick = [this] { CompareWithFile(); };
}

void FFileInfo::RunCommand(int command)
{
    switch (command) {
    case kCopySelection: {
        // Ctrl+C: a text box with a selection copies it, as it would without the window's key.
        auto* box = dynamic_cast<controls::TextBox*>(FocusedControl());
        if (box && box->HasSelection())
            box->CopySelection();
        else
            RunCommand(kCopyProperties);
        break;
    }
    case kCopyProperties:
    case kCopyJson:
        CopyReport(command);
        break;
    case kCopySha256:
        StartSha256();
        break;
    case kRefresh:
        Refresh(true);
        break;
    case kNextPage:
        ShowNeighbourPage(1);
        break;
    case kPreviousPage:
        ShowNeighbourPage(-1);
        break;
    default:
        break;
    }
}

void FFileInfo::ShowContextMenu(controls::Control* source, POINT at, bool byKeyboard)
{
    controls::PopupMenu menu;
    const std::optional<NamedText> value = ValueAt(source, at, byKeyboard);
    if (value) {
        menu.Add(kCopyValue, "&Copy value", !value->text.empty());
        menu.Add(kCopyNameAndValue, "Copy &name and value", !value->text.empty());
        menu.AddSeparator();
    }
    auto* box = dynamic_cast<controls::TextBox*>(source);
    if (box && box->HasSelection()) {
        // "&Copy" when no value item above takes the letter.
        menu.Add(kCopySelection, value ? "Copy &selection" : "&Copy");
        menu.AddSeparator();
    }
    const bool shown = !currentPath_.empty();
    const DWORD attributes = shown ? FileAttributes(currentPath_) : INVALID_FILE_ATTRIBUTES;
    const bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    menu.Add(kCopyProperties, "Copy all &properties\tCtrl+C", shown);
    menu.Add(kCopyJson, "Copy as &JSON", shown);
    menu.Add(kCopySha256, "Copy &SHA-256", file);
    menu.AddSeparator();
    menu.Add(kRefresh, "&Refresh\tF5");
    const int command = menu.Show(*this, at);
    if (command == kCopySelection && box)
        box->CopySelection();
    else if (command == kCopyValue && value)
        CopyText(value->text);
    else if (command == kCopyNameAndValue && value)
        CopyText(value->name + ": " + value->text);
    else
        RunCommand(command);
}

void FFileInfo::CopyReport(int command)
{
    // The report is the facts the pages hold; while the slow ones are being gathered (a large
    // program's signature check, say) the copy waits for them, and the window goes on answering.
    if (slowFacts_.Running()) {
        pendingCopy_ = command;
        ShowNote("the copy is made when the signature check ends");
        return;
    }
    AddProgramFacts(shown_);
    const ReportObject report = ReportOf(shown_);
    CopyText(command == kCopyJson ? ReportAsJson(report) : ReportAsText(report));
}

void FFileInfo::CopyText(const std::string& text)
{
    if (!platform_.Clipboard().CopyText(Handle(), text))
        ShowNote("the clipboard could not be opened; nothing was copied");
}

// ---- SHA-256 ----

void FFileInfo::StartSha256()
{
    CancelSha256();
    if (currentPath_.empty())
        return;
    hashName_ = currentPath_.substr(currentPath_.find_last_of('\\') + 1);
    const FileContents& contents = platform_.Contents();
    const bool started = hashJob_.Start([&contents, path = currentPath_](const controls::JobRun& run) {
        try {
            return Sha256OfFile(contents, path, run.StopEvent(), run.PercentTeller(kHashProgressFrom));
        } catch (...) {
            // Out of memory for the read buffer, say: the window must still hear that the job ended.
            TraceFailure("the SHA-256 failed with an exception");
            return FileDigest{FileDigest::Outcome::CannotRead, ERROR_NOT_ENOUGH_MEMORY, {}, {}};
        }
    });
    if (!started)
        ShowNote("SHA-256: no worker thread could be started");
}

void FFileInfo::CancelSha256()
{
    if (!hashJob_.Running())
        return;
    hashJob_.Stop();
    ClearNote();
}

void FFileInfo::Sha256Progress(std::uintptr_t percent)
{
    ShowNote("SHA-256 of " + hashName_ + ": " + std::to_string(percent) + "% (Esc cancels)");
}

void FFileInfo::Sha256Finished(FileDigest&& result)
{
    ClearNote();
    switch (result.outcome) {
    case FileDigest::Outcome::Done:
        CopyText(result.hex);
        break;
    case FileDigest::Outcome::Stopped:
        break;
    case FileDigest::Outcome::CannotOpen:
        ShowNote("SHA-256: " + WhyNotOpened(result.error));
        break;
    case FileDigest::Outcome::CannotRead:
        ShowNote("SHA-256: reading the file failed (error " + std::to_string(result.error) + ")");
        break;
    case FileDigest::Outcome::NoCryptography:
        ShowNote("SHA-256: the system's cryptography is not available");
        break;
    }
}

void FFileInfo::ShowNote(const std::string& note)
{
    SetText(std::string(kWindowSettings.caption) + " - " + note);
    noted_ = true;
}

void FFileInfo::ClearNote()
{
    // A hash's progress, and a copy's wait, stay until they end.
    if (noted_ && !hashJob_.Running() && !pendingCopy_) {
        SetText(kWindowSettings.caption);
        noted_ = false;
    }
}

void FFileInfo::StopWork() noexcept
{
    watchJob_.Stop();
    watchedFolder_.clear();
    hashJob_.Stop();
    slowFacts_.Stop();
    pageHashes_.Stop();
    fileComparison_.Stop();
    pendingCopy_.reset();
}

// ---- Refreshing ----

void FFileInfo::WatchListedFolder()
{
    const std::string& folder = File1.Path();
    if (folder.empty() || folder == watchedFolder_)
        return;
    watchJob_.Stop();
    watchedFolder_.clear();
    // A folder that cannot be watched is still shown; F5 reads it again.
    auto changes = std::make_shared<const FolderChanges>(folder);
    if (!changes->Watching())
        return;
    const bool started = watchJob_.Start([changes](const controls::JobRun& run) {
        while (changes->WaitForBurst(run.StopEvent()))
            run.Tell(0);
        return true;
    });
    if (started)
        watchedFolder_ = folder;
}

void FFileInfo::FolderChanged()
{
    // News of a folder no longer listed is old news.
    if (watchedFolder_ == File1.Path())
        Refresh(false);
}

void FFileInfo::Refresh(bool drives)
{
    if (!loaded_)
        return;
    const std::string shownName = File1.FileName();
    const ScopeExit readNoMore([this] { readAgain_ = false; });
    readAgain_ = drives;
    if (drives)
        Drive1.Refresh();
    if (!Dir1.Refresh() || !File1.Refresh()) {
        ReturnToAFolderThatExists();
        return;
    }
    const int index = shownName.empty() ? -1 : File1.IndexOf(shownName);
    if (index < 0) {
        // The shown file has gone (or a folder was shown): the chain's rule.
        File1_PathChange();
        return;
    }
    const ScopeExit forget([this] { keptItem_.reset(); });
    keptItem_ = lstVerInfo.SelectedIndex();
    File1.SetSelectedIndex(index);
}

void FFileInfo::ReturnToAFolderThatExists()
{
    // The nearest level above that can still be listed, chosen as a user would choose it.
    std::string folder = Dir1.Path();
    for (std::string parent = korrimat::ParentFolder(folder); parent != folder; parent = korrimat::ParentFolder(folder)) {
        folder = parent;
        if (Dir1.SetPath(folder))
            return;
    }
}

} // namespace korrimat
