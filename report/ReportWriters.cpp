#include "report/ReportWriters.h"

#include "formats/PeHeaders.h"
#include "versioninfo/VersionItems.h"
#include "formats/VersionResource.h"

#include <nlohmann/json.hpp>

#include <iterator>

namespace korrimat {

namespace {

using Kind = ReportValue::Kind;
using Json = nlohmann::ordered_json;

// ---- Text ----

// One line per fact: line breaks inside a value are written as "\n".
std::string OneLine(const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += (text[i] == '\n' || text[i] == '\r') ? std::string("\\n") : std::string(1, text[i]);
    }
    return line;
}

std::string ShownValue(const ReportField& field)
{
    if (!field.shown.empty())
        return field.shown;
    const ReportValue& value = field.value;
    switch (value.kind) {
    case Kind::Null:
    case Kind::Text:
        return value.text;
    case Kind::Number:
        return std::to_string(value.number);
    case Kind::Boolean:
        return value.flag ? "Yes" : "No";
    case Kind::Texts: {
        std::string joined;
        for (const std::string& text : value.texts)
            joined += (joined.empty() ? "" : ", ") + text;
        return joined;
    }
    default:
        return {};
    }
}

void WriteText(const ReportObject& object, const std::string& indent, std::string& out);

void WriteTextField(const ReportField& field, const std::string& indent, std::string& out)
{
    if (field.label.empty())
        return;
    const ReportValue& value = field.value;
    if (value.kind == Kind::Pairs) {
        for (const auto& [key, text] : value.pairs)
            out += indent + OneLine(key) + ": " + OneLine(text) + "\r\n";
        if (value.pairs.empty())
            out += indent + "(no strings)\r\n";
    } else if (value.kind == Kind::Object && field.shown.empty()) {
        out += indent + field.label + ":\r\n";
        WriteText(value.objects.front(), indent + "  ", out);
    } else if (value.kind == Kind::Objects) {
        for (std::size_t i = 0; i < value.objects.size(); ++i) {
            out += indent + value.texts[i] + ":\r\n";
            WriteText(value.objects[i], indent + "  ", out);
        }
    } else {
        out += indent + field.label + ": " + OneLine(ShownValue(field)) + "\r\n";
    }
}

void WriteText(const ReportObject& object, const std::string& indent, std::string& out)
{
    for (const ReportField& field : object)
        WriteTextField(field, indent, out);
}

// ---- JSON ----

Json JsonOf(const ReportObject& object);

Json JsonOf(const ReportValue& value)
{
    switch (value.kind) {
    case Kind::Null:
        return nullptr;
    case Kind::Text:
        return value.text;
    case Kind::Number:
        return value.number;
    case Kind::Numbers:
        return value.numbers;
    case Kind::Boolean:
        return value.flag;
    case Kind::Texts:
        return value.texts;
    case Kind::Pairs: {
        Json pairs = Json::array();
        for (const auto& [key, text] : value.pairs)
            pairs.push_back(Json{{"key", key}, {"value", text}});
        return pairs;
    }
    case Kind::Object:
        return JsonOf(value.objects.front());
    case Kind::Objects: {
        Json objects = Json::array();
        for (const ReportObject& object : value.objects)
            objects.push_back(JsonOf(object));
        return objects;
    }
    }
    return nullptr;
}

Json JsonOf(const ReportObject& object)
{
    Json json = Json::object();
    for (const ReportField& field : object) {
        if (!field.key.empty())
            json[field.key] = JsonOf(field.value);
    }
    return json;
}

// ---- CSV ----

// RFC 4180: a value with a comma, a quote or a line break is quoted, its quotes doubled.
std::string CsvValue(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string VersionItemText(const FileFacts& facts, std::string_view key)
{
    if (!facts.version)
        return {};
    for (std::size_t row = 0; row < kVersionItems.size(); ++row) {
        if (kVersionItems[row].key == key)
            return facts.version->items[row];
    }
    return {};
}

// The fixed part's version ("10.0.19041.1"), the numbers Windows compares.
std::string FixedVersionText(const FileFacts& facts, bool product)
{
    if (!facts.version || !facts.version->contents.fixed)
        return {};
    const FixedFileFields& fixed = *facts.version->contents.fixed;
    std::string text;
    for (const std::uint16_t part : product ? VersionParts(fixed.productVersionMS, fixed.productVersionLS)
                                            : VersionParts(fixed.fileVersionMS, fixed.fileVersionLS)) {
        if (!text.empty())
            text += '.';
        text += std::to_string(part);
    }
    return text;
}

std::string Flag(bool flag)
{
    return flag ? "true" : "false";
}

std::string HashText(const FileFacts& facts, HashAlgorithm algorithm)
{
    for (const HashValue& value : facts.hashes) {
        if (value.algorithm == algorithm)
            return value.hex;
    }
    return {};
}

} // namespace

std::string ReportAsText(const ReportObject& report)
{
    std::string out;
    for (const ReportField& field : report) {
        // Each section under its name in brackets, after an empty line.
        if (field.value.kind == Kind::Object && field.shown.empty()) {
            out += "\r\n[" + field.label + "]\r\n";
            WriteText(field.value.objects.front(), "", out);
        } else {
            WriteTextField(field, "", out);
        }
    }
    return out;
}

std::string FieldAsText(const ReportField& field)
{
    std::string out;
    if (field.value.kind == Kind::Object && field.shown.empty())
        WriteText(field.value.objects.front(), "", out);
    else
        WriteTextField(field, "", out);
    return out;
}

std::string ReportAsJson(const ReportObject& report, int indent)
{
    // A text that is not UTF-8 (none should reach here) is written with U+FFFD, not thrown on.
    const std::string json = JsonOf(report).dump(2, ' ', false, Json::error_handler_t::replace);
    const std::string lineStart = "\r\n" + std::string(static_cast<std::size_t>(indent), ' ');
    std::string out;
    for (const char c : json)
        out += c == '\n' ? lineStart : std::string(1, c);
    return out;
}

std::string CsvHeader(bool withSha256, std::span<const HashAlgorithm> hashes)
{
    std::string header("path,name,size,modifiedUtc,attributes,machine,fileVersion,productVersion,company,description,"
                       "originalFilename,language,subsystem,aslr,dep,cfg,executionLevel,dotnet,zone");
    if (withSha256)
        header += ",sha256";
    for (const HashAlgorithm algorithm : hashes) {
        header += ',';
        header += KindOf(algorithm).key;
    }
    return header + "\r\n";
}

std::string CsvRow(const FileFacts& facts, bool withSha256, std::span<const HashAlgorithm> hashes)
{
    std::string attributes;
    for (const std::string& name : AttributeNames(facts.general.attributes)) {
        if (!attributes.empty())
            attributes += ", ";
        attributes += name;
    }
    const std::string& path = facts.path;
    const ProgramImage* image = facts.programImage ? &facts.programImage->image : nullptr;
    const ManifestFacts* manifest = facts.programImage && facts.programImage->manifest ? &*facts.programImage->manifest : nullptr;
    const std::string values[] = {
        path,
        path.substr(path.find_last_of('\\') + 1),
        facts.found ? std::to_string(facts.general.sizeBytes) : std::string(),
        facts.general.modifiedUtc,
        attributes,
        facts.program.pe ? MachineName(facts.program.machine) : std::string(),
        FixedVersionText(facts, false),
        FixedVersionText(facts, true),
        VersionItemText(facts, "CompanyName"),
        VersionItemText(facts, "FileDescription"),
        VersionItemText(facts, "OriginalFilename"),
        VersionItemText(facts, ""),
        image ? image->subsystemName : std::string(),
        image ? Flag(image->protections.aslr) : std::string(),
        image ? Flag(image->protections.dep) : std::string(),
        image ? Flag(image->protections.cfg) : std::string(),
        manifest && manifest->reading == ManifestReading::Read ? manifest->executionLevel.value_or("") : std::string(),
        image && image->clr ? image->clr->runtimeVersion : std::string(),
        facts.origin ? (facts.origin->readable ? facts.origin->zone : std::string("unreadable")) : std::string(),
    };
    std::string row;
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (i != 0)
            row += ',';
        row += CsvValue(values[i]);
    }
    if (withSha256) {
        row += ',';
        row += CsvValue(facts.sha256.value_or(""));
    }
    for (const HashAlgorithm algorithm : hashes) {
        row += ',';
        row += HashText(facts, algorithm);
    }
    return row + "\r\n";
}

} // namespace korrimat
