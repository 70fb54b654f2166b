#include "console/ReportCommand.h"

#include "report/ReportWriters.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <algorithm>
#include <utility>

namespace korrimat {

const char kReportUsage[] =
    "Usage: korrimat-report [--text | --json | --csv] [--sha256] [--hash ALG[,ALG...]]\r\n"
    "                       [--recurse] PATH...\r\n"
    "       korrimat-report --check SUMSFILE...\r\n"
    "The properties of files, as Korrimat shows and copies them. A PATH is a file, a folder (its\r\n"
    "files) or a pattern with * and ? in its last part (C:\\build\\*.dll).\r\n"
    "  --text     each file's report as Korrimat copies it, a blank line between (the default)\r\n"
    "  --json     one JSON array of the reports, each written as its file is read\r\n"
    "  --csv      a header row, then one row per file: path, name, size, modified time (UTC),\r\n"
    "             attributes, machine, file and product version (the fixed numbers), company,\r\n"
    "             description, original filename, language\r\n"
    "  --sha256   each file's SHA-256 too (a column of the CSV)\r\n"
    "  --hash ALG[,ALG...]\r\n"
    "             each file's hashes of these kinds too, all in one read of the file: md5, sha1,\r\n"
    "             sha256, sha384, sha512, any case (a [Hashes] section, a \"hashes\" object, a\r\n"
    "             column each); a second --hash adds to the first\r\n"
    "  --recurse  the files of the folders below too (for a pattern, those matching it)\r\n"
    "  --check    checks the files that sums files list, as sha256sum -c does (the GNU and the BSD\r\n"
    "             form, of any of the five kinds; names from the sums file's folder): a line\r\n"
    "             NAME: OK, NAME: FAILED or NAME: not found per entry, then the count\r\n"
    "  --help     this text\r\n"
    "Exit code: 0 when every path was read, 1 when some were not, 2 for a usage error; with\r\n"
    "--check, 0 when every entry is OK, 1 when some are not, 2 when a sums file has none to check.\r\n";

namespace {

bool HasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

std::string Joined(const std::string& folder, std::string_view name)
{
    return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + std::string(name);
}

// The files a command names, in the order they are reported: each argument's in the order
// given, a folder's sorted by name without regard to case, then those of its folders below.
class FileWalk {
public:
    FileWalk(bool recurse, const std::function<void(std::string_view)>& error) : recurse_(recurse), error_(error)
    {
    }

    // Every file `argument` names, each handed to `visit`; false when some part could not be read.
    bool Walk(std::string argument, const std::function<void(const std::string&)>& visit)
    {
        std::replace(argument.begin(), argument.end(), '/', '\\');
        const std::size_t split = argument.find_last_of('\\');
        const std::string last = split == std::string::npos ? argument : argument.substr(split + 1);
        if (HasWildcard(last)) {
            // "C:*.dll" is the current folder of C:, "*.dll" the current folder.
            std::string folder = split == std::string::npos ? (argument.size() > 1 && argument[1] == ':' ? argument.substr(0, 2) : ".")
                                                            : argument.substr(0, split + 1);
            std::string pattern = last;
            if (split == std::string::npos && argument.size() > 1 && argument[1] == ':')
                pattern = argument.substr(2);
            if (HasWildcard(folder)) {
                Fail(argument, "only the last part of a path may hold * or ?");
                return false;
            }
            const UserPath resolved = ResolveUserPath(WideText(folder));
            if (!resolved.path) {
                Fail(resolved.absolute.empty() ? folder : resolved.absolute, "folder not found");
                return false;
            }
            std::size_t found = 0;
            const bool read = WalkFolder(*resolved.path, pattern, visit, found);
            if (found == 0 && read)
                Fail(argument, "no file matches");
            return read && found != 0;
        }
        const UserPath resolved = ResolveUserPath(WideText(argument));
        if (!resolved.path) {
            Fail(resolved.absolute.empty() ? argument : resolved.absolute,
                 resolved.error == ERROR_ACCESS_DENIED ? "cannot be read" : "not found");
            return false;
        }
        const DWORD attributes = FileAttributes(*resolved.path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::size_t found = 0;
            return WalkFolder(*resolved.path, "*", visit, found);
        }
        visit(*resolved.path);
        return true;
    }

private:
    using Names = std::vector<std::pair<std::string, std::string>>;  // sort key, name

    bool WalkFolder(const std::string& folder, const std::string& pattern,
                    const std::function<void(const std::string&)>& visit, std::size_t& found)
    {
        Names files;
        DWORD result = ForEachEntry(Joined(folder, pattern), [&](std::string_view name, const WIN32_FIND_DATAW& entry) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.emplace_back(UpperCase(std::string(name)), std::string(name));
        });
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
            Fail(folder, "the folder cannot be listed");
            return false;
        }
        Sort(files);
        for (const auto& [key, name] : files)
            visit(Joined(folder, name));
        found += files.size();
        if (!recurse_)
            return true;

        // Folders below, but not through links: a junction back up would never end.
        Names folders;
        result = ForEachEntry(Joined(folder, "*"), [&](std::string_view name, const WIN32_FIND_DATAW& entry) {
            const DWORD attributes = entry.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && name != "." && name != "..")
                folders.emplace_back(UpperCase(std::string(name)), std::string(name));
        });
        bool read = result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
        Sort(folders);
        for (const auto& [key, name] : folders)
            read = WalkFolder(Joined(folder, name), pattern, visit, found) && read;
        return read;
    }

    static void Sort(Names& names) { std::sort(names.begin(), names.end()); }

    void Fail(const std::string& path, const char* why) { error_("korrimat-report: " + path + ": " + why + "\r\n"); }

    bool recurse_;
    const std::function<void(std::string_view)>& error_;
};

// The algorithms a comma-separated list names ("md5,SHA1"), each added once; false, with `error`
// set, for a name no algorithm has.
bool AddHashNames(std::string_view list, std::vector<HashAlgorithm>& hashes, std::string& error)
{
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view name = list.substr(start, end - start);
        const std::optional<HashAlgorithm> algorithm = HashByName(name);
        if (!algorithm) {
            error = "unknown hash \"" + std::string(name) + "\" (md5, sha1, sha256, sha384 or sha512)";
            return false;
        }
        if (std::find(hashes.begin(), hashes.end(), *algorithm) == hashes.end())
            hashes.push_back(*algorithm);
        start = end + 1;
    }
    return true;
}

} // namespace

ParsedCommand ParseReportCommand(const std::vector<std::string>& arguments)
{
    ParsedCommand parsed;
    ReportCommand command;
    int formats = 0;
    bool check = false;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnd || argument.size() < 2 || (argument[0] != '-' && argument != "/?")) {
            command.paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--help" || argument == "-h" || argument == "/?") {
            parsed.help = true;
            return parsed;
        } else if (argument == "--text" || argument == "--json" || argument == "--csv") {
            command.format = argument == "--text" ? ReportCommand::Format::Text
                           : argument == "--json" ? ReportCommand::Format::Json
                                                  : ReportCommand::Format::Csv;
            ++formats;
        } else if (argument == "--sha256") {
            command.sha256 = true;
        } else if (argument == "--recurse") {
            command.recurse = true;
        } else if (argument == "--check") {
            check = true;
        } else if (argument == "--hash") {
            if (++i == arguments.size()) {
                parsed.error = "--hash needs ALG[,ALG...]";
                return parsed;
            }
            if (!AddHashNames(arguments[i], command.hashes, parsed.error))
                return parsed;
        } else {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
    }
    if (check) {
        // A check writes its own lines: no report option has a meaning there.
        if (formats != 0 || command.sha256 || command.recurse || !command.hashes.empty())
            parsed.error = "--check takes no --text, --json, --csv, --sha256, --hash or --recurse";
        else if (command.paths.empty())
            parsed.error = "no SUMSFILE";
        else
            parsed.check = CheckCommand{std::move(command.paths)};
    } else if (formats > 1) {
        parsed.error = "only one of --text, --json and --csv";
    } else if (command.paths.empty()) {
        parsed.error = "no PATH";
    } else {
        parsed.command = std::move(command);
    }
    return parsed;
}

ReportExit RunReportCommand(const Platform& platform, const ReportCommand& command,
                            const std::function<void(std::string_view)>& out,
                            const std::function<void(std::string_view)>& error)
{
    using Format = ReportCommand::Format;
    // A CSV row has no column for the page's texts or the signatures: they are not gathered.
    const bool whole = command.format != Format::Csv;
    const FactsWanted wanted{whole, whole, command.sha256, command.hashes};
    bool everyPathRead = true;
    std::size_t reported = 0;
    if (command.format == Format::Json)
        out("[");
    else if (command.format == Format::Csv)
        out(CsvHeader(command.sha256, command.hashes));

    FileWalk walk(command.recurse, error);
    auto report = [&](const std::string& path) {
        const FileFacts facts = GatherFileFacts(platform, path, wanted);
        if (!facts.found) {
            error("korrimat-report: " + path + ": not found\r\n");
            everyPathRead = false;
            return;
        }
        // What can be known without the contents is reported all the same.
        const bool hashed = (!command.sha256 || facts.sha256) && (command.hashes.empty() || !facts.hashes.empty());
        if (!facts.program.readable || !hashed) {
            error("korrimat-report: " + facts.path + ": cannot be read\r\n");
            everyPathRead = false;
        }
        switch (command.format) {
        case Format::Text:
            out((reported ? "\r\n" : "") + ReportAsText(ReportOf(facts)));
            break;
        case Format::Json:
            out((reported ? ",\r\n  " : "\r\n  ") + ReportAsJson(ReportOf(facts), 2));
            break;
        case Format::Csv:
            out(CsvRow(facts, command.sha256, command.hashes));
            break;
        }
        ++reported;
    };
    for (const std::string& path : command.paths)
        everyPathRead = walk.Walk(path, report) && everyPathRead;
    if (command.format == Format::Json)
        out(reported ? "\r\n]\r\n" : "]\r\n");
    return everyPathRead ? kEveryPathRead : kSomePathsNotRead;
}

} // namespace korrimat
