#pragma once
// korrimat-report: the properties report of files for scripts, as text, JSON or CSV. The
// arguments are read here and the paths walked; the reports come from the same layer as the
// window's copies (report/).

#include "console/CheckCommand.h"
#include "formats/Hashes.h"
#include "platform/Platform.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

struct ReportCommand {
    enum class Format { Text, Json, Csv };
    Format format = Format::Text;
    bool sha256 = false;
    bool recurse = false;
    std::vector<std::string> paths;
    // --hash: each once, in the order named. Its "{}" lets the shorter braced initialisations of
    // the members before it leave it empty without a missing-initializer warning.
    std::vector<HashAlgorithm> hashes{};
};

struct ParsedCommand {
    // Neither: help was asked for, or `error` says what is wrong.
    std::optional<ReportCommand> command;
    std::optional<CheckCommand> check;  // --check
    bool help = false;
    std::string error;
};

ParsedCommand ParseReportCommand(const std::vector<std::string>& arguments);

extern const char kReportUsage[];

// Exit codes: every path read, some not, or a usage error.
enum ReportExit : int { kEveryPathRead = 0, kSomePathsNotRead = 1, kUsageError = 2 };

// Writes the reports to `out` as each file is read, and what could not be read to `error`.
ReportExit RunReportCommand(const Platform& platform, const ReportCommand& command,
                            const std::function<void(std::string_view)>& out,
                            const std::function<void(std::string_view)>& error);

} // namespace korrimat
