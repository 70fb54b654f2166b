#pragma once
// The window FFileInfo: Korrimat's only window, created from its stored design (WindowDesign.h).
// Its controls are its members under their design names (WindowControls.h); by name and index
// they are also found through the design table.

#include "app/WindowControls.h"
#include "app/WindowDesign.h"
#include "controls/BackgroundJob.h"
#include "controls/Control.h"
#include "controls/Form.h"
#include "platform/FileDigest.h"
#include "platform/Platform.h"
#include "platform/UniqueHandle.h"
#include "report/FileFacts.h"
#include "report/SumsClaims.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

class FFileInfo : public controls::Form, public WindowControls {
public:
    // The window's commands: its keys (Ctrl+C, F5) and its context menu.
    enum Command : int {
        kCopySelection = 1,  // Ctrl+C: the focused text box's selection, as its own copy does; with
                             // no text selected, kCopyProperties
        kCopyProperties,     // the report of the shown entry, as text
        kCopyJson,           // the same report as JSON
        kCopySha256,         // the SHA-256 of the shown file, computed on a worker
        kRefresh,            // F5
        kNextPage,           // Ctrl+Tab, Ctrl+PageDown
        kPreviousPage,       // Ctrl+Shift+Tab, Ctrl+PageUp
        kCopyValue,          // the context menu's value, whole, as it shows
        kCopyNameAndValue,   // the same after its name: "File version: 1.2.3.4"
    };

    // Creates the window, hidden, with all its controls in their design state, at the density
    // of the monitor it opens on.
    explicit FFileInfo(const Platform& platform = SystemPlatform());
    ~FFileInfo() override;

    // False when the window could not be created.
    bool Created() const noexcept { return Handle() != nullptr; }

    // The window's load event: the opening steps, run once before the window is shown. With a
    // start path (the command line's), the lists move to it as for a dropped path, in place of the
    // Windows folder's drive; one that cannot be shown leaves the usual start and says why in the
    // title ("Korrimat - not found: C:\...") until the next entry is shown.
    void Load(std::wstring_view startPath = {});
    // The full path of the file or folder shown, in the case the lists gave it; empty at first.
    const std::string& CurrentPath() const noexcept { return currentPath_; }
    // Shows one file, or one folder, on both pages, as the file list's click does (which also
    // makes it the current path); public so that its cost can be measured on its own.
    void ShowFileInfo(const std::string& path, const WIN32_FIND_DATAA* listed = nullptr);
    // Makes the controls of every page now, as if each had come forward (each page is otherwise
    // made when it first does).
    void MakeEveryPage();
    // The window's unload: closes it, which ends the message loop and so the program.
    void Unload();
    // Opening steps 5 to 7: both pages onto the tab strip's client area, the pages in the
    // window's background colour, the Version page hidden (the General page shows).
    void ApplyOpeningLayout();
    // The pages and the verdicts in the colour scheme now drawn (the window's own follow by
    // themselves).
    void FollowColours();

    // Runs a command as its key or menu item does.
    void RunCommand(int command);
    // F5: the lists read again (the drives too when `drives`), and the shown entry shown again
    // with the Version page's item and the page in front kept; where it has gone, the chain's
    // rule (the folder's first file, or the folder). A change in the listed folder does the same
    // on its own, without the drives.
    void Refresh(bool drives = true);
    // A SHA-256 is being computed.
    bool Hashing() const noexcept { return hashJob_.Running(); }
    // The shown file's slow facts are being gathered: its signatures checked (the Digital
    // Signatures page fills after). A copy asked meanwhile is made when they are in.
    bool CheckingSignatures() const noexcept { return slowFacts_.Running(); }
    // The Hashes page's values are being computed, or a file is being compared with the shown one.
    bool ComputingHashes() const noexcept { return pageHashes_.Running() || fileComparison_.Running(); }

    // Any control that is a window, by design name and array index; null for lines and for
    // names the design does not have.
    controls::Control* ControlNamed(std::string_view name, int index = -1);
    // The font a design font stands for (null for none).
    HFONT FontOf(DesignFont font) const noexcept;

protected:
    // Unload: the window is going away, and with it the program. The workers end first.
    void OnDestroy() override;

private:
    // The design's fonts at the window's density.
    void MakeFonts();
    // Fonts, controls and lines placed again from the design at a new density.
    void LayOut();
    // The load steps that work in screen pixels, done again after every new layout.
    void FitLoadedLayout();
    void FitPagesToTabs();
    // A container's controls from the design, each in its font where the layout puts it.
    [[nodiscard]] bool CreateControls(controls::WindowBase& container, std::string_view containerName);
    // A page's controls, made when it first comes forward (as a property sheet makes its pages),
    // filled with what the page shows of the entry shown; false when they could not be made.
    bool MakePage(controls::Frame& page);
    // One control's font and place at the window's density, or a line's ends.
    void PlaceControl(const ControlDesign& design);

    // The navigation chain: drive, folder, file list path, file selection.
    void Drive1_Change();
    void Dir1_Change();
    void File1_PathChange();
    void File1_Click();
    // The version item browser and the page switch.
    void lstVerInfo_Click();
    void tabInfo_Click();
    // The page after (1) or before (-1) the one in front, wrapping round; a focus on the page that
    // goes moves to the tab strip, as a property sheet's does, and any other stays.
    void ShowNeighbourPage(int step);
    void ConnectEvents();
    // The first of the dropped files or folders, chosen in the lists as a user would choose it.
    void ShowDroppedPath(const std::vector<std::string>& paths);
    // The lists moved to a full path, a folder showing its first file or itself, a file itself.
    enum class Arrival { kShown, kOutOfReach, kUnreadable };
    Arrival GoTo(const std::string& path);
    // The start path taken as typed: empty when it is shown, else the title's note.
    std::string ArriveAtStartPath(std::wstring_view argument);

    void ShowIcon(HICON icon);
    // Both pages for an entry, from its facts gathered at once, the Version page's list on `item`
    // (its first where there is no such item); the page in front is left as it is. `listed`: the
    // entry's record as the file list has just read it, when it has one. The slow facts follow
    // from a worker.
    void Display(const std::string& path, int item, const WIN32_FIND_DATAA* listed = nullptr);
    void ShowGeneralPage();
    void ShowVersionPage(int item);
    // A page's tab, kept while the shown entry has the page (`wanted`), before the Hashes tab;
    // returns `wanted`.
    bool ShowTab(std::string_view key, std::string_view caption, bool wanted);
    void StartSlowFacts();
    void SlowFactsGathered(SlowFacts&& slow);

    // The Digital Signatures page (SignaturePage.cpp): its tab while the shown file carries an
    // embedded signature, filled when the system's check is in.
    void ShowSignaturePage();
    void FillSignaturePage();
    void lstSignatures_Click();
    std::string SignatureTimeText(const FILETIME& utc, bool dayOnly = false) const;

    // The Program page (ProgramPage.cpp): its tab for every PE image, what the image is, written
    // when the page is in front.
    void ShowProgramPage();
    void FillProgramPage();

    // The Hashes page (HashesPage.cpp): its tab for every file, its values computed on a worker
    // when it is first shown for a file, checked against a typed hash, the sums files beside the
    // file and another file.
    struct PageHashes {
        FileDigest digest;
        std::vector<SumsClaim> claims;
    };
    struct FileComparison {
        std::string otherName;
        bool sameSize = false;
        FileDigest shown;  // the shown file's SHA-256, when it was not known yet
        FileDigest other;
    };
    void ShowHashesPage(bool sameEntry, bool sameContents);
    // The page's values computed on a worker: all of them, or with `keepKnown` only those a sums
    // file now asks for beyond the ones known.
    void StartPageHashes(bool keepKnown = false);
    void StopPageHashes() noexcept;
    void PageHashesProgress(std::uintptr_t percent);
    void PageHashesFound(PageHashes&& found);
    void ShowTypedHashVerdict();
    // The verdicts' colours, in the colour scheme now drawn.
    void RecolourVerdicts();
    void ShowSumsVerdicts();
    void CompareWithFile();
    void FileCompared(FileComparison&& comparison);
    std::optional<std::string> PageHash(HashAlgorithm algorithm) const;
    // Files smaller than this are hashed before a progress note could be read.
    static constexpr std::uint64_t kHashProgressFrom = 8 << 20;
    // Why a file could not be opened, in words.
    static std::string WhyNotOpened(DWORD error);

    // Copying, hashing and refreshing (CopyAndRefresh.cpp).
    void ConnectCommands();
    void ShowContextMenu(controls::Control* source, POINT at, bool byKeyboard);
    // The value a context menu is opened over (CopyValue.cpp): a box of a page, or a list's row
    // (the one under the pointer, which it selects, or from the keyboard the selected one),
    // with its name; none for anything else.
    struct NamedText {
        std::string name;
        std::string text;
    };
    std::optional<NamedText> ValueAt(controls::Control* source, POINT at, bool byKeyboard);
    // The shown entry's report as text or JSON (kCopyProperties, kCopyJson), now or, while its
    // slow facts are being gathered, when they are in.
    void CopyReport(int command);
    void CopyText(const std::string& text);
    void StartSha256();
    void CancelSha256();
    void Sha256Progress(std::uintptr_t percent);
    void Sha256Finished(FileDigest&& digest);
    void WatchListedFolder();
    void FolderChanged();
    void ReturnToAFolderThatExists();
    // A note after the window's caption ("Korrimat - ..."), until the next entry is shown.
    void ShowNote(const std::string& note);
    void ClearNote();
    void StopWork() noexcept;

    const Platform& platform_;
    std::string currentPath_;
    // Where GoTo is taking the lists: the drive's list goes to the folder instead of the drive's
    // current folder, and the folder's file list selects the file (if any) instead of its first.
    struct Destination {
        std::string folder;
        std::string name;
        bool reached = false;
    };
    std::optional<Destination> destination_;
    // The facts of the entry shown: the pages show them, the copies write them.
    FileFacts shown_;
    // The version resource ShowFileInfo has just read, while it selects the first item.
    const VersionFacts* versionJustRead_ = nullptr;
    bool loaded_ = false;
    // The pages whose controls have been made, by design name.
    std::vector<std::string_view> madePages_;
    UniqueFont tahomaBold_;
    UniqueFont windowFont_;
    UniqueFont verdictFont_;

    // The Version page's item a refresh keeps, while it shows the entry again.
    std::optional<int> keptItem_;
    bool noted_ = false;
    // The work off the window's thread: the shown entry's slow facts, a SHA-256 asked for, and
    // the watch on the listed folder (which tells of each burst of changes).
    controls::BackgroundJob<SlowFacts> slowFacts_;
    controls::BackgroundJob<FileDigest> hashJob_;
    controls::BackgroundJob<bool> watchJob_;
    controls::BackgroundJob<PageHashes> pageHashes_;
    controls::BackgroundJob<FileComparison> fileComparison_;
    // The Hashes page: whether its values were asked for the entry shown, and the sums files'
    // claims and the values beyond the four that those need.
    bool pageHashesAsked_ = false;
    // The Program page holds the shown entry's facts.
    bool programPageFilled_ = false;
    // F5 is running: everything is read again, the contents too.
    bool readAgain_ = false;
    std::vector<SumsClaim> sumsClaims_;
    std::vector<HashValue> extraHashes_;
    // A copy asked for while the slow facts were being gathered: made when they are in.
    std::optional<int> pendingCopy_;
    std::string hashName_;
    std::string watchedFolder_;
};

} // namespace korrimat
