#pragma once
// A file's facts (FileFacts.h) as one report: a tree of named facts, each with the text report's
// label and the JSON member's key, in the order both write them. The writers are
// ReportWriters.h.

#include "report/FileFacts.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korrimat {

struct ReportField;
using ReportObject = std::vector<ReportField>;

struct ReportValue {
    enum class Kind {
        Null,     // JSON null; the text report says `text`
        Text,
        Number,
        Numbers,  // a JSON array of numbers
        Boolean,  // "Yes" or "No" in the text report
        Texts,    // a JSON array of texts; joined by commas in the text report
        Pairs,    // a JSON array of {"key", "value"} objects; one "key: value" line each
        Object,   // objects[0]: a section of the text report
        Objects,  // a JSON array of objects; in the text report each under its title (texts)
    };
    Kind kind = Kind::Null;
    std::string text;
    std::uint64_t number = 0;
    std::vector<std::uint64_t> numbers;
    bool flag = false;
    std::vector<std::string> texts;
    std::vector<std::pair<std::string, std::string>> pairs;
    std::vector<ReportObject> objects;
};

struct ReportField {
    std::string label;  // the text report's name; empty: the fact is for the JSON alone
    std::string key;    // the JSON member's name; empty: the fact is for the text alone
    ReportValue value;
    std::string shown;  // the text report's value, where it says more than the value alone
};

ReportObject ReportOf(const FileFacts& facts);

// The report of an entry, read afresh (the version resource and the signatures too).
ReportObject ReportProperties(const Platform& platform, const std::string& path);

// The names of the attributes set, as the report lists them ("Read-only", "Archive"...; a bit no
// name is known for as its hexadecimal value).
std::vector<std::string> AttributeNames(DWORD attributes);

} // namespace korrimat
