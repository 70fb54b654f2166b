// korrimat-report's entry point: the libraries from the system folder, then the command.
//
//   korrimat-report [--text | --json | --csv] [--sha256] [--hash ALG[,ALG...]] [--recurse] PATH...
//   korrimat-report --check SUMSFILE...

#include "console/ReportCommand.h"
#include "platform/Console.h"
#include "platform/LibrarySearch.h"

#include <DelayLoaded.h>

int main()
{
    // Before anything that needs a library: every one but kernel32's and the C runtime's is bound
    // here, from the system folder.
    if (!korrimat::LoadLibrariesFromSystemFolderOnly(kDelayLoadedLibraries))
        return korrimat::kSomePathsNotRead;
    korrimat::ConsoleStream out(STD_OUTPUT_HANDLE);
    korrimat::ConsoleStream error(STD_ERROR_HANDLE);
    auto writeOut = [&](std::string_view text) { out.Write(text); };
    auto writeError = [&](std::string_view text) { error.Write(text); };

    const korrimat::ParsedCommand parsed = korrimat::ParseReportCommand(korrimat::CommandLineArguments());
    if (parsed.help) {
        writeOut(korrimat::kReportUsage);
        return korrimat::kEveryPathRead;
    }
    if (parsed.check)
        return korrimat::RunCheckCommand(korrimat::SystemPlatform(), *parsed.check, writeOut, writeError);
    if (!parsed.command) {
        writeError("korrimat-report: " + parsed.error + "\r\n");
        writeError(korrimat::kReportUsage);
        return korrimat::kUsageError;
    }
    return korrimat::RunReportCommand(korrimat::SystemPlatform(), *parsed.command, writeOut, writeError);
}
