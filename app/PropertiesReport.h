#pragma once
// Everything about one file or folder, as one report: the General page's values as the page
// shows them and what it cannot hold (exact sizes, times in UTC, every attribute), the program's
// machine, and the whole version resource (every translation and every string, read by the
// resource walk of VersionResource.h). One set of facts, written out two ways: plain text, one
// "Name: value" line per fact, and one JSON object.

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korrimat {

class CFileInfo;

// The General page's texts for an entry, as ShowFileInfo writes them.
struct GeneralPageTexts {
    std::string name;
    std::string type;
    std::string location;
    std::string size;
    std::string compressedSize;
    std::string msDosPath;
    std::string msDosName;
    std::string created;
    std::string modified;
    std::string accessed;
    // The check boxes, in their order: read-only, archive, compressed, hidden, system, temporary.
    std::array<bool, 6> attributes{};
};

GeneralPageTexts GeneralTextsOf(const CFileInfo& file);

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

// The report of an entry, read afresh (the version resource too) through `platform`.
ReportObject ReportProperties(const Platform& platform, const std::string& path);

std::string ReportAsText(const ReportObject& report);
std::string ReportAsJson(const ReportObject& report);

} // namespace korrimat
