#pragma once
// The report's facts of what a program is and of where a download came from.

#include "report/FileFacts.h"
#include "report/Report.h"

namespace korrimat {

// "program": null for a file that is not a PE image (a folder, a missing entry, any other file).
ReportField ProgramImageField(const FileFacts& facts);
// "origin": null for a file without a Zone.Identifier stream.
ReportField OriginField(const FileFacts& facts);

// The origin in one line, as a user reads it: "Downloaded from the internet: HOSTURL", the zone's
// name when the stream names no address, "Download mark: unreadable" for a stream that is not what
// it should be.
std::string OriginSummary(const DownloadOrigin& origin);

} // namespace korrimat
