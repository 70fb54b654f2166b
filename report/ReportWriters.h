#pragma once
// A report written out: plain text, one "Name: value" line per fact under each section's name;
// JSON, one object (written by the JSON library); and CSV, one row per file with fixed columns
// (RFC 4180). Lines end in CR LF, as Windows text does.

#include "report/Report.h"

#include <span>
#include <string>

namespace korrimat {

std::string ReportAsText(const ReportObject& report);
// One field as the text report writes it, a section without its bracketed name.
std::string FieldAsText(const ReportField& field);

// The report as one JSON object; every line after the first starts with `indent` more spaces,
// so that it can stand inside an array.
std::string ReportAsJson(const ReportObject& report, int indent = 0);

// The header row and a file's row: the SHA-256 column only when asked for, then one column per
// hash of `hashes`, named by its key (empty in a row whose file could not be read).
std::string CsvHeader(bool withSha256, std::span<const HashAlgorithm> hashes = {});
std::string CsvRow(const FileFacts& facts, bool withSha256, std::span<const HashAlgorithm> hashes = {});

} // namespace korrimat
