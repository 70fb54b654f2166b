// FFileInfo's Hashes page: a tab for every file, its MD5, SHA-1, SHA-256 and SHA-512 computed in
// one read on a worker when the page is first shown for the file (again on F5 or a live refresh
// while it is in front), with the verdicts on a hash the user types or pastes, on what the sums
// files beside the file say, and on another file the user chooses.

#include "app/FFileInfo.h"
#include "controls/Colours.h"

#include "controls/Gdi.h"
#include "platform/Clipboard.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <algorithm>

namespace korrimat {

namespace {

constexpr std::string_view kHashesTab = "Hashes";
// A contrast of at least 4.5 to 1 on the page's background, light or dark; the words say the
// same, so the colour is never the only sign.
constexpr COLORREF kMatchColour = RGB(0, 100, 0);
constexpr COLORREF kMismatchColour = RGB(170, 0, 0);
constexpr COLORREF kDarkMatchColour = RGB(120, 220, 120);
constexpr COLORREF kDarkMismatchColour = RGB(255, 130, 130);

std::optional<COLORREF> VerdictColour(std::optional<bool> good)
{
    if (!good || controls::HighContrastOn())
        return std::nullopt;
    if (controls::DarkScheme())
        return *good ? kDarkMatchColour : kDarkMismatchColour;
    return *good ? kMatchColour : kMismatchColour;
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

void ShowVerdict(controls::Label& label, const std::string& text, std::optional<bool> good)
{
    label.SetText(text);
    label.SetTextColour(VerdictColour(good));
}

bool IsFile(const FileFacts& facts)
{
    return facts.found && !(facts.general.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void FFileInfo::RecolourVerdicts()
{
    for (controls::Label* label : {&lblHashVerdict, &lblSums, &lblFileVerdict}) {
        if (const std::optional<COLORREF> colour = label->TextColour())
            label->SetTextColour(VerdictColour(*colour == kMatchColour || *colour == kDarkMatchColour));
    }
}

void FFileInfo::ShowHashesPage(bool sameEntry, bool sameContents)
{
    const int tab = tabInfo.IndexOfKey(kHashesTab);
    if (!IsFile(shown_)) {
        if (tab >= 0)
            tabInfo.Remove(tab);
    } else if (tab < 0) {
        tabInfo.Add(tabInfo.Count(), kHashesTab, "Hashes");
    }
    // A live refresh for a change elsewhere in the folder keeps the values (and the work on them):
    // only the sums files, which may be what changed, are read again. Another file, a change of
    // this one or F5 computes them afresh.
    if (sameContents) {
        if (pageHashesAsked_ && !pageHashes_.Running())
            StartPageHashes(true);
        return;
    }
    pageHashes_.Stop();
    pageHashesAsked_ = false;
    sumsClaims_.clear();
    extraHashes_.clear();
    for (controls::TextBox* box : {&txtMd5, &txtSha1, &txtSha256, &txtSha512})
        box->SetText("");
    lblHashState.SetText("");
    prgHashes.SetVisible(false);
    ShowSumsVerdicts();
    ShowTypedHashVerdict();
    if (!sameEntry) {
        fileComparison_.Stop();
        ShowVerdict(lblFileVerdict, "", std::nullopt);
    }
    if (IsFile(shown_) && tabInfo.IsSelected(kHashesTab))
        StartPageHashes();
}

void FFileInfo::StartPageHashes(bool keepKnown)
{
    if ((pageHashesAsked_ && !keepKnown) || !IsFile(shown_))
        return;
    std::vector<HashValue> known;
    if (keepKnown) {
        known = shown_.hashes;
        known.insert(known.end(), extraHashes_.begin(), extraHashes_.end());
    } else {
        pageHashesAsked_ = true;
        // A hash on the clipboard is most likely the one the user means to check this file against.
        const std::optional<std::string> clipboard = ClipboardText(Handle());
        if (const std::optional<std::string> hash = clipboard ? HashShapedText(*clipboard) : std::nullopt;
            hash && txtCompare.Text() != *hash)
            txtCompare.SetText(*hash);
        lblHashState.SetText("Computing the hashes... (Esc stops)");
    }
    const FileContents& contents = platform_.Contents();
    const bool started = pageHashes_.Start([&contents, path = shown_.path, known](const controls::JobRun& run) {
        PageHashes found;
        found.claims = SumsClaimsFor(path);
        // The four, and whatever else a sums file beside the file gives, in one read; none that
        // is known already.
        std::vector<HashAlgorithm> algorithms(kPageHashes.begin(), kPageHashes.end());
        for (const SumsClaim& claim : found.claims) {
            if (claim.kind != SumsClaim::Kind::TooLarge &&
                std::find(algorithms.begin(), algorithms.end(), claim.algorithm) == algorithms.end())
                algorithms.push_back(claim.algorithm);
        }
        std::erase_if(algorithms, [&](HashAlgorithm algorithm) {
            return std::any_of(known.begin(), known.end(), [&](const HashValue& value) { return value.algorithm == algorithm; });
        });
        if (algorithms.empty()) {
            found.digest.outcome = FileDigest::Outcome::Done;
            found.digest.values = known;
            return found;
        }
        found.digest = HashesOfFile(contents, path, algorithms, run.StopEvent(), run.PercentTeller(kHashProgressFrom));
        if (found.digest.outcome == FileDigest::Outcome::Done)
            found.digest.values.insert(found.digest.values.end(), known.begin(), known.end());
        return found;
    });
    if (!started)
        lblHashState.SetText("The hashes cannot be computed: no worker thread could be started.");
}

void FFileInfo::StopPageHashes() noexcept
{
    if (!pageHashes_.Running())
        return;
    pageHashes_.Stop();
    prgHashes.SetVisible(false);
    lblHashState.SetText("Stopped: F5 computes them again.");
    ShowTypedHashVerdict();
}

void FFileInfo::PageHashesProgress(std::uintptr_t percent)
{
    prgHashes.SetVisible(true);
    prgHashes.SetPercent(static_cast<int>(percent));
    lblHashState.SetText("Computing the hashes: " + std::to_string(percent) + "% (Esc stops)");
}

void FFileInfo::PageHashesFound(PageHashes&& found)
{
    prgHashes.SetVisible(false);
    const FileDigest& digest = found.digest;
    switch (digest.outcome) {
    case FileDigest::Outcome::Done:
        lblHashState.SetText("");
        break;
    case FileDigest::Outcome::Stopped:
        lblHashState.SetText("Stopped: F5 computes them again.");
        break;
    case FileDigest::Outcome::CannotOpen:
        lblHashState.SetText("The hashes cannot be computed: " + WhyNotOpened(digest.error) + ".");
        break;
    case FileDigest::Outcome::CannotRead:
        lblHashState.SetText("The hashes cannot be computed: reading the file failed (error " + std::to_string(digest.error) + ").");
        break;
    case FileDigest::Outcome::NoCryptography:
        lblHashState.SetText("The hashes cannot be computed: the system's cryptography is not available.");
        break;
    }
    // The page's four go into the shown file's facts, for its report; the rest serve the sums files.
    shown_.hashes.clear();
    extraHashes_.clear();
    for (const HashValue& value : digest.values) {
        const bool onPage = std::find(kPageHashes.begin(), kPageHashes.end(), value.algorithm) != kPageHashes.end();
        (onPage ? shown_.hashes : extraHashes_).push_back(value);
    }
    // In the page's order, for the report.
    auto pageOrder = [](const HashValue& value) {
        return std::find(kPageHashes.begin(), kPageHashes.end(), value.algorithm) - kPageHashes.begin();
    };
    std::sort(shown_.hashes.begin(), shown_.hashes.end(),
              [&](const HashValue& a, const HashValue& b) { return pageOrder(a) < pageOrder(b); });
    txtMd5.SetText(PageHash(HashAlgorithm::Md5).value_or(""));
    txtSha1.SetText(PageHash(HashAlgorithm::Sha1).value_or(""));
    txtSha256.SetText(PageHash(HashAlgorithm::Sha256).value_or(""));
    txtSha512.SetText(PageHash(HashAlgorithm::Sha512).value_or(""));
    sumsClaims_ = std::move(found.claims);
    ShowSumsVerdicts();
    ShowTypedHashVerdict();
}

std::optional<std::string> FFileInfo::PageHash(HashAlgorithm algorithm) const
{
    for (const std::vector<HashValue>* values : {&shown_.hashes, &extraHashes_}) {
        for (const HashValue& value : *values) {
            if (value.algorithm == algorithm)
                return value.hex;
        }
    }
    return std::nullopt;
}

void FFileInfo::ShowTypedHashVerdict()
{
    const std::string text = TrimSpaces(txtCompare.Text());
    if (text.empty() || shown_.hashes.empty()) {
        ShowVerdict(lblHashVerdict, !text.empty() && pageHashes_.Running() ? "Compared when the hashes are in." : "", std::nullopt);
        return;
    }
    // Matched by its digits, which say its length, against the page's four; a name before it
    // must be the one it matches.
    const std::optional<TypedHash> typed = ReadTypedHash(text);
    for (const HashValue& value : shown_.hashes) {
        if (typed && typed->digits == value.hex && (!typed->named || *typed->named == value.algorithm)) {
            ShowVerdict(lblHashVerdict, "Matches this file's " + std::string(KindOf(value.algorithm).caption) + ".", true);
            return;
        }
    }
    ShowVerdict(lblHashVerdict, "Matches none of this file's hashes.", false);
}

void FFileInfo::ShowSumsVerdicts()
{
    std::string said;
    std::optional<bool> allGood;
    for (const SumsClaim& claim : sumsClaims_) {
        std::string line;
        switch (claim.kind) {
        case SumsClaim::Kind::TooLarge:
            line = claim.sumsFile + ": too large to read.";
            break;
        case SumsClaim::Kind::DifferentHashes:
            line = claim.sumsFile + " names this file twice, with different hashes.";
            allGood = false;
            break;
        case SumsClaim::Kind::Hash: {
            const std::optional<std::string> computed = PageHash(claim.algorithm);
            if (!computed)
                continue;
            const bool matches = *computed == claim.digits;
            line = claim.sumsFile + (matches ? " says: matches." : " says: does not match.");
            allGood = allGood.value_or(true) && matches;
            break;
        }
        }
        said += (said.empty() ? "" : "\r\n") + line;
    }
    ShowVerdict(lblSums, said, allGood);
}

void FFileInfo::CompareWithFile()
{
    if (!IsFile(shown_))
        return;
    const std::string folder = shown_.path.substr(0, shown_.path.find_last_of('\\') + 1);
    const std::optional<std::string> other = ChooseFileToOpen(Handle(), folder, "Compare with a file");
    if (!other)
        return;
    fileComparison_.Stop();
    const std::string name = NameOf(*other);
    // The sizes first: files of different sizes differ, and neither need be read.
    const std::optional<WIN32_FIND_DATAA> entry = FindFirstEntry(*other);
    const std::uint64_t otherSize = entry ? (std::uint64_t{entry->nFileSizeHigh} << 32) | entry->nFileSizeLow : 0;
    if (entry && otherSize != shown_.general.sizeBytes) {
        ShowVerdict(lblFileVerdict, "Different contents from " + name + ".", false);
        return;
    }
    ShowVerdict(lblFileVerdict, "Comparing with " + name + "...", std::nullopt);
    const FileContents& contents = platform_.Contents();
    const bool shownKnown = PageHash(HashAlgorithm::Sha256).has_value();
    const bool started = fileComparison_.Start(
        [&contents, shownPath = shown_.path, otherPath = *other, name, shownKnown](const controls::JobRun& run) {
            FileComparison comparison;
            comparison.otherName = name;
            comparison.other = Sha256OfFile(contents, otherPath, run.StopEvent(), {});
            if (!shownKnown && comparison.other.outcome == FileDigest::Outcome::Done)
                comparison.shown = Sha256OfFile(contents, shownPath, run.StopEvent(), {});
            return comparison;
        });
    if (!started)
        ShowVerdict(lblFileVerdict, "No worker thread could be started.", std::nullopt);
}

void FFileInfo::FileCompared(FileComparison&& comparison)
{
    const std::string& name = comparison.otherName;
    if (comparison.other.outcome != FileDigest::Outcome::Done) {
        ShowVerdict(lblFileVerdict, name + " cannot be read.", std::nullopt);
        return;
    }
    const std::optional<std::string> shown =
        comparison.shown.outcome == FileDigest::Outcome::Done ? std::optional(comparison.shown.hex) : PageHash(HashAlgorithm::Sha256);
    if (!shown) {
        ShowVerdict(lblFileVerdict, "This file cannot be read.", std::nullopt);
        return;
    }
    if (*shown == comparison.other.hex)
        ShowVerdict(lblFileVerdict, "Same contents as " + name + ".", true);
    else
        ShowVerdict(lblFileVerdict, "Different contents from " + name + ".", false);
}

} // namespace korrimat
