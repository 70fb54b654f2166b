#include "console/CheckCommand.h"

#include "formats/SumsFile.h"
#include "platform/FileDigest.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

namespace korrimat {

namespace {

// An entry to check: what its sums file says, and the file it names.
struct CheckEntry {
    SumsEntry sum;
    std::string path;  // absolute; empty when no path can be made of the name
    std::string key;   // the path in upper case: a file named twice is still read once
};

enum class Verdict { Ok, Failed, NotFound };

// The folder part of a sums file's path, as it was given ("C:\sums\", "C:", or none).
std::string FolderOf(const std::string& path)
{
    const std::size_t split = path.find_last_of("\\/:");
    return split == std::string::npos ? std::string() : path.substr(0, split + 1);
}

// A listed name that stands on its own: a drive's path ("C:\x"), a share's or the drive's root.
bool IsRooted(std::string_view name)
{
    return (!name.empty() && (name[0] == '\\' || name[0] == '/')) || (name.size() > 1 && name[1] == ':');
}

// The file a listed name means: against the sums file's folder, as sha256sum -c run there reads it.
std::string PathOfEntry(const std::string& folder, std::string name)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    return FullPathName(IsRooted(name) ? name : folder + name).value_or(std::string());
}

// An error that says no such file is there: a name Windows cannot hold (a Linux name with ":" or
// "?") names none either.
bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

void Complain(const std::function<void(std::string_view)>& error, const std::string& path, const std::string& why)
{
    error("korrimat-report: " + path + ": " + why + "\r\n");
}

// A sums file's lines, read; nothing, with why on `error`, when it holds none to check.
std::optional<SumsFile> LoadSumsFile(const std::string& path, const std::function<void(std::string_view)>& error)
{
    const WholeFile whole = ReadWholeFile(path, kSumsFileLargest);
    if (whole.state == WholeFile::State::Failed) {
        Complain(error, path, IsMissing(whole.error) ? "not found" : "cannot be read");
        return std::nullopt;
    }
    SumsFile sums = whole.state == WholeFile::State::Read ? ReadSumsFile(whole.bytes, path)
                                                          : SumsFile{SumsFile::State::TooLarge, {}, 0};
    if (sums.state == SumsFile::State::TooLarge) {
        Complain(error, path, "too large to read as a sums file (over 1 MiB, or a line over 4096 characters)");
        return std::nullopt;
    }
    if (sums.entries.empty()) {
        Complain(error, path, "no line that can be read as a sum");
        return std::nullopt;
    }
    // As sha256sum -c does: the lines that can be read are checked, the others only told of.
    if (sums.unreadableLines != 0) {
        const std::size_t count = sums.unreadableLines;
        Complain(error, path, std::to_string(count) + (count == 1 ? " line" : " lines") + " not read as a sum, left out");
    }
    return sums;
}

std::vector<CheckEntry> EntriesOf(const std::string& sumsPath, const SumsFile& sums)
{
    const std::string folder = FolderOf(sumsPath);
    std::vector<CheckEntry> entries;
    for (const SumsEntry& sum : sums.entries) {
        std::string path = PathOfEntry(folder, sum.name);
        std::string key = UpperCase(path);
        entries.push_back({sum, std::move(path), std::move(key)});
    }
    return entries;
}

Verdict Judge(const CheckEntry& entry, const FileDigest& digest)
{
    if (digest.outcome == FileDigest::Outcome::CannotOpen && IsMissing(digest.error))
        return Verdict::NotFound;
    for (const HashValue& value : digest.values) {
        if (value.algorithm == entry.sum.algorithm)
            return value.hex == entry.sum.digits ? Verdict::Ok : Verdict::Failed;  // both in lower case
    }
    return Verdict::Failed;
}

// The listed files' digests: each file read once, on its first entry, with every hash its entries
// need, and let go after its last.
class ListedFiles {
public:
    explicit ListedFiles(const std::vector<CheckEntry>& entries)
    {
        for (const CheckEntry& entry : entries) {
            if (entry.path.empty())
                continue;
            File& file = files_[entry.key];
            if (std::find(file.algorithms.begin(), file.algorithms.end(), entry.sum.algorithm) == file.algorithms.end())
                file.algorithms.push_back(entry.sum.algorithm);
            ++file.entriesLeft;
        }
    }

    Verdict Check(const FileContents& contents, const CheckEntry& entry, const std::function<void(std::string_view)>& error)
    {
        if (entry.path.empty())
            return Verdict::NotFound;
        File& file = files_[entry.key];
        if (!file.digest) {
            file.digest = HashesOfFile(contents, entry.path, file.algorithms, nullptr, {});
            if (Judge(entry, *file.digest) != Verdict::NotFound && file.digest->outcome != FileDigest::Outcome::Done)
                Complain(error, entry.path, "cannot be read");
        }
        const Verdict verdict = Judge(entry, *file.digest);
        if (--file.entriesLeft == 0)
            files_.erase(entry.key);
        return verdict;
    }

private:
    struct File {
        std::vector<HashAlgorithm> algorithms;
        std::size_t entriesLeft = 0;
        std::optional<FileDigest> digest;
    };
    std::map<std::string, File> files_;
};

// The name as the line gives it, on one line whatever it holds.
std::string OneLine(const std::string& name)
{
    std::string line;
    for (const char c : name)
        line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return line;
}

struct Tally {
    std::size_t ok = 0;
    std::size_t failed = 0;
    std::size_t notFound = 0;

    void Add(Verdict verdict) { ++(verdict == Verdict::Ok ? ok : verdict == Verdict::Failed ? failed : notFound); }
    bool AllOk() const { return failed == 0 && notFound == 0; }
    std::string Line() const
    {
        const std::size_t all = ok + failed + notFound;
        return std::to_string(all) + (all == 1 ? " file" : " files") + " checked: " + std::to_string(ok) + " OK, " +
               std::to_string(failed) + " FAILED, " + std::to_string(notFound) + " not found\r\n";
    }
};

const char* VerdictText(Verdict verdict)
{
    return verdict == Verdict::Ok ? ": OK\r\n" : verdict == Verdict::Failed ? ": FAILED\r\n" : ": not found\r\n";
}

} // namespace

CheckExit RunCheckCommand(const Platform& platform, const CheckCommand& command,
                          const std::function<void(std::string_view)>& out,
                          const std::function<void(std::string_view)>& error)
{
    // Every sums file first, so that a file listed in two is still read once.
    std::vector<CheckEntry> entries;
    bool everySumsFileUsable = true;
    for (const std::string& sumsFile : command.sumsFiles) {
        const std::optional<SumsFile> sums = LoadSumsFile(sumsFile, error);
        if (!sums) {
            everySumsFileUsable = false;
            continue;
        }
        std::vector<CheckEntry> more = EntriesOf(sumsFile, *sums);
        entries.insert(entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    ListedFiles files(entries);
    Tally tally;
    for (const CheckEntry& entry : entries) {
        const Verdict verdict = files.Check(platform.Contents(), entry, error);
        out(OneLine(entry.sum.name) + VerdictText(verdict));
        tally.Add(verdict);
    }
    if (!entries.empty())
        out(tally.Line());
    if (!everySumsFileUsable)
        return kSumsFileUnusable;
    return tally.AllOk() ? kEveryFileOk : kSomeFilesNotOk;
}

} // namespace korrimat
