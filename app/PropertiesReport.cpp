// The properties report: its facts gathered through the platform and the file and version
// objects, and written out as text and as JSON.

#include "app/PropertiesReport.h"

#include "fileinfo/FileInfo.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "versioninfo/FileVersionInfo.h"
#include "versioninfo/FixedVersionDecoding.h"
#include "versioninfo/VersionItems.h"
#include "versioninfo/VersionResource.h"

#include <algorithm>

namespace korrimat {

namespace {

using Kind = ReportValue::Kind;

ReportField TextField(std::string label, std::string key, std::string text)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.kind = Kind::Text;
    field.value.text = std::move(text);
    return field;
}

ReportField NumberField(std::string label, std::string key, std::uint64_t number, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = Kind::Number;
    field.value.number = number;
    return field;
}

ReportField NullField(std::string label, std::string key, std::string said)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.text = std::move(said);
    return field;
}

ReportField BooleanField(std::string label, std::string key, bool flag, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = Kind::Boolean;
    field.value.flag = flag;
    return field;
}

ReportField TextsField(std::string label, std::string key, std::vector<std::string> texts)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.kind = Kind::Texts;
    field.value.texts = std::move(texts);
    return field;
}

ReportField ObjectField(std::string label, std::string key, ReportObject object, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = Kind::Object;
    field.value.objects.push_back(std::move(object));
    return field;
}

std::string Hex(std::uint64_t value, std::size_t digits)
{
    return "0x" + HexDigits(value, digits);
}

std::string Narrow(const std::u16string& text)
{
    return NarrowText(std::wstring(text.begin(), text.end()));
}

// A UTC stamp in ISO 8601 ("2024-06-03T08:00:00Z"); empty when the system cannot split it.
std::string IsoTime(const Platform& platform, const FILETIME& stamp)
{
    SYSTEMTIME parts{};
    if (!platform.ToSystemTime(stamp, parts))
        return {};
    return Digits(parts.wYear, 4) + "-" + Digits(parts.wMonth, 2) + "-" + Digits(parts.wDay, 2) + "T" +
           Digits(parts.wHour, 2) + ":" + Digits(parts.wMinute, 2) + ":" + Digits(parts.wSecond, 2) + "Z";
}

ReportField TimeField(const Platform& platform, const std::string& label, const std::string& key, const FILETIME& stamp)
{
    const std::string iso = IsoTime(platform, stamp);
    return iso.empty() ? NullField(label + " (UTC)", key + "Utc", "unknown")
                       : TextField(label + " (UTC)", key + "Utc", iso);
}

std::vector<std::string> AttributeNames(DWORD attributes)
{
    static constexpr std::pair<DWORD, const char*> kNames[] = {
        {FILE_ATTRIBUTE_READONLY, "Read-only"},
        {FILE_ATTRIBUTE_HIDDEN, "Hidden"},
        {FILE_ATTRIBUTE_SYSTEM, "System"},
        {FILE_ATTRIBUTE_DIRECTORY, "Directory"},
        {FILE_ATTRIBUTE_ARCHIVE, "Archive"},
        {FILE_ATTRIBUTE_DEVICE, "Device"},
        {FILE_ATTRIBUTE_NORMAL, "Normal"},
        {FILE_ATTRIBUTE_TEMPORARY, "Temporary"},
        {FILE_ATTRIBUTE_SPARSE_FILE, "Sparse file"},
        {FILE_ATTRIBUTE_REPARSE_POINT, "Reparse point"},
        {FILE_ATTRIBUTE_COMPRESSED, "Compressed"},
        {FILE_ATTRIBUTE_OFFLINE, "Offline"},
        {FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, "Not content indexed"},
        {FILE_ATTRIBUTE_ENCRYPTED, "Encrypted"},
        {0x8000, "Integrity stream"},
        {0x10000, "Virtual"},
        {0x20000, "No scrub data"},
        {0x40000, "Recall on open"},
        {0x80000, "Pinned"},
        {0x100000, "Unpinned"},
        {0x400000, "Recall on data access"},
    };
    std::vector<std::string> names;
    DWORD known = 0;
    for (const auto& [bit, name] : kNames) {
        known |= bit;
        if (attributes & bit)
            names.emplace_back(name);
    }
    for (DWORD bit = 1; bit != 0; bit <<= 1) {
        if ((attributes & bit) && !(known & bit))
            names.push_back(Hex(bit, 8));
    }
    return names;
}

// The entry's program headers, read once for the General section and the Signatures section.
ProgramKind ProgramKindOfEntry(const Platform& platform, const CFileInfo& file)
{
    return file.FileExists() && !(file.Attributes() & FILE_ATTRIBUTE_DIRECTORY)
               ? platform.ProgramKindOfFile(file.FullPathName())
               : ProgramKind{true, false, 0, 0};
}

ReportField ProgramField(const ProgramKind& kind)
{
    if (!kind.readable)
        return NullField("Program", "program", "unknown: the file cannot be read");
    if (!kind.pe)
        return NullField("Program", "program", "not a program file");
    const std::string machine = MachineName(kind.machine);
    ReportObject program{TextField("Machine", "machine", machine), NumberField("Machine number", "machineNumber", kind.machine)};
    program.push_back(kind.bits ? NumberField("Bits", "bits", static_cast<std::uint64_t>(kind.bits))
                                : NullField("Bits", "bits", "neither 32- nor 64-bit"));
    return ObjectField("Program", "program", std::move(program),
                       machine + ", " + (kind.bits ? std::to_string(kind.bits) + "-bit" : "neither 32- nor 64-bit"));
}

ReportObject GeneralSection(const Platform& platform, const CFileInfo& file, const ProgramKind& kind)
{
    const GeneralPageTexts page = GeneralTextsOf(file);
    ReportObject general{
        TextField("Name", "name", page.name),
        TextField("Type", "type", page.type),
        TextField("Location", "location", page.location),
        TextField("Size", "size", page.size),
        NumberField("Size in bytes", "sizeBytes", static_cast<std::uint64_t>(file.FileSize64())),
        TextField("Compressed size", "compressedSize", page.compressedSize),
    };
    // The system reports a failure as a low half of all ones.
    const auto onDisk = static_cast<std::uint64_t>(file.CompressedFileSize64());
    general.push_back(onDisk == 0xFFFFFFFFu ? NullField("Size on disk in bytes", "sizeOnDiskBytes", "unknown")
                                            : NumberField("Size on disk in bytes", "sizeOnDiskBytes", onDisk));
    general.push_back(TextField("MS-DOS path", "msDosPath", page.msDosPath));
    general.push_back(TextField("MS-DOS name", "msDosName", page.msDosName));
    general.push_back(TextField("Created", "created", page.created));
    general.push_back(TimeField(platform, "Created", "created", file.CreationStamp()));
    general.push_back(TextField("Modified", "modified", page.modified));
    general.push_back(TimeField(platform, "Modified", "modified", file.ModifyStamp()));
    general.push_back(TextField("Accessed", "accessed", page.accessed));
    general.push_back(TimeField(platform, "Accessed", "accessed", file.LastAccessStamp()));
    static constexpr std::pair<const char*, const char*> kBoxes[] = {
        {"Read-only", "readOnly"}, {"Archive", "archive"}, {"Compressed", "compressed"},
        {"Hidden", "hidden"},      {"System", "system"},   {"Temporary", "temporary"},
    };
    for (std::size_t i = 0; i < page.attributes.size(); ++i)
        general.push_back(BooleanField(kBoxes[i].first, kBoxes[i].second, page.attributes[i]));
    std::vector<std::string> names = AttributeNames(static_cast<DWORD>(file.Attributes()));
    ReportField attributes = TextsField("Attributes", "attributes", std::move(names));
    if (attributes.value.texts.empty())
        attributes.shown = "none";
    general.push_back(std::move(attributes));
    general.push_back(ProgramField(kind));
    return general;
}

// The words of a flags value, as the version page's decoding names them.
std::vector<std::string> FlagNames(std::uint32_t flags)
{
    FixedFileFields fixed;
    fixed.flags = flags;
    std::vector<std::string> names;
    const std::string words = DecodeFixedVersion(fixed).FileFlags;
    for (std::size_t start = 0; start < words.size();) {
        const std::size_t end = std::min(words.find(' ', start), words.size());
        if (end > start)
            names.push_back(words.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string Joined(const std::vector<std::string>& texts, const char* separator)
{
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty())
            joined += separator;
        joined += text;
    }
    return joined;
}

void AddFlags(ReportObject& version, const std::string& label, const std::string& key, std::uint32_t flags)
{
    const std::vector<std::string> names = FlagNames(flags);
    version.push_back(NumberField(label, key, flags, Hex(flags, 8) + (names.empty() ? "" : " (" + Joined(names, " ") + ")")));
    version.push_back(TextsField("", key + "Names", names));
}

ReportField VersionPartsField(const std::string& label, const std::string& key, std::uint32_t most, std::uint32_t least)
{
    const std::array<std::uint16_t, 4> parts = VersionParts(most, least);
    ReportField field{label, key, {}, {}};
    field.value.kind = Kind::Numbers;
    for (const std::uint16_t part : parts) {
        field.value.numbers.push_back(part);
        if (!field.shown.empty())
            field.shown += '.';
        field.shown += std::to_string(part);
    }
    return field;
}

void AddFixedPart(const Platform& platform, ReportObject& version, const FixedFileFields& fields)
{
    const FixedVersionTexts texts = DecodeFixedVersion(fields);
    version.push_back(VersionPartsField("File version (fixed)", "fixedFileVersion", fields.fileVersionMS, fields.fileVersionLS));
    version.push_back(VersionPartsField("Product version (fixed)", "fixedProductVersion", fields.productVersionMS,
                                        fields.productVersionLS));
    version.push_back(NumberField("Structure version", "structureVersion", fields.structVersion, texts.VerStructure));
    AddFlags(version, "File flags mask", "fileFlagsMask", fields.flagsMask);
    AddFlags(version, "File flags", "fileFlags", fields.flags);
    version.push_back(NumberField("File OS", "fileOs", fields.os, Hex(fields.os, 8) + " (" + texts.FileOS + ")"));
    version.push_back(TextField("", "fileOsName", texts.FileOS));
    version.push_back(NumberField("File type", "fileType", fields.type, std::to_string(fields.type) + " (" + texts.FileType + ")"));
    version.push_back(TextField("", "fileTypeName", texts.FileType));
    const std::string subtype = std::to_string(fields.subtype);
    version.push_back(NumberField("File subtype", "fileSubtype", fields.subtype,
                                  texts.FileSubType ? subtype + " (" + *texts.FileSubType + ")" : subtype));
    version.push_back(texts.FileSubType ? TextField("", "fileSubtypeName", *texts.FileSubType)
                                        : NullField("", "fileSubtypeName", ""));
    if (fields.dateMS != 0 || fields.dateLS != 0) {
        const std::string date = IsoTime(platform, FILETIME{fields.dateLS, fields.dateMS});
        version.push_back(date.empty() ? NumberField("File date", "fileDate",
                                                     (std::uint64_t{fields.dateMS} << 32) | fields.dateLS)
                                       : TextField("File date", "fileDate", date));
    }
}

ReportObject StringTableObject(const VersionStringTable& table)
{
    ReportField strings{"Strings", "strings", {}, {}};
    strings.value.kind = Kind::Pairs;
    for (const VersionString& item : table.strings)
        strings.value.pairs.emplace_back(Narrow(item.key), Narrow(item.value));
    return {TextField("", "key", Narrow(table.key)), std::move(strings)};
}

bool SameKey(const std::u16string& a, const std::u16string& b)
{
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) {
               return upper(x) == upper(y);
           });
}

void AddTranslations(const Platform& platform, ReportObject& version, const VersionResourceContents& contents)
{
    ReportField translations{"Translations", "translations", {}, {}};
    translations.value.kind = Kind::Objects;
    std::vector<bool> named(contents.tables.size(), false);
    for (const VersionTranslation& translation : contents.translations) {
        const std::u16string key = TranslationKey(translation);
        const std::string language = platform.LanguageName(translation.language);
        const std::string codePage(CodePageName(translation.codePage));
        ReportObject entry{
            NumberField("Language", "language", translation.language,
                        (language.empty() ? std::string("unnamed") : language) + " (" + Hex(translation.language, 4) + ")"),
            language.empty() ? NullField("", "languageName", "") : TextField("", "languageName", language),
            NumberField("Code page", "codePage", translation.codePage,
                        (codePage.empty() ? std::string() : codePage + " ") + "(" + std::to_string(translation.codePage) + ")"),
            codePage.empty() ? NullField("", "codePageName", "") : TextField("", "codePageName", codePage),
        };
        // Its strings: the first table under its key.
        VersionStringTable table{key, {}};
        for (std::size_t i = 0; i < contents.tables.size(); ++i) {
            if (SameKey(contents.tables[i].key, key)) {
                named[i] = true;
                table = contents.tables[i];
                break;
            }
        }
        ReportObject strings = StringTableObject(table);
        entry.push_back(std::move(strings.back()));
        translations.value.texts.push_back("Translation " + Narrow(key.substr(0, 4)) + " " + Narrow(key.substr(4)));
        translations.value.objects.push_back(std::move(entry));
    }
    version.push_back(std::move(translations));

    // Tables no translation names: every string the file carries is listed all the same.
    ReportField others{"Other string tables", "otherStringTables", {}, {}};
    others.value.kind = Kind::Objects;
    for (std::size_t i = 0; i < contents.tables.size(); ++i) {
        if (named[i])
            continue;
        others.value.texts.push_back("String table " + Narrow(contents.tables[i].key));
        others.value.objects.push_back(StringTableObject(contents.tables[i]));
    }
    if (!others.value.objects.empty())
        version.push_back(std::move(others));
}

ReportField VersionField(const Platform& platform, const std::string& path)
{
    CFileVersionInfo versionInfo(platform);
    versionInfo.SetFullPathName(path);
    if (!versionInfo.Available())
        return NullField("Version", "version", "none");

    ReportObject version;
    for (const VersionItem& item : kVersionItems) {
        // The resource's key with a small first letter: "CompanyName" is "companyName".
        std::string key = item.key.empty() ? std::string("language") : std::string(item.key);
        if (key[0] >= 'A' && key[0] <= 'Z')
            key[0] = static_cast<char>(key[0] - 'A' + 'a');
        version.push_back(TextField(item.caption.empty() ? "File version" : std::string(item.caption), key,
                                    (versionInfo.*item.property)()));
    }
    const std::vector<BYTE> image = ReadVersionImage(platform, path);
    const VersionResourceContents contents =
        ReadVersionResource(std::span<const std::uint8_t>(image.data(), image.empty() ? 0 : image.size() - 1));
    version.push_back(BooleanField("Resource", "whole", contents.whole,
                                   contents.whole ? "whole" : "damaged: only the parts that fit are listed"));
    if (contents.fixed)
        AddFixedPart(platform, version, *contents.fixed);
    AddTranslations(platform, version, contents);
    return ObjectField("Version", "version", std::move(version));
}

// ---- Writing out ----

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
    case Kind::Texts:
        return Joined(value.texts, ", ");
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

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                json += "\\u00" + HexDigits(static_cast<unsigned char>(c), 2);
            else
                json += c;
        }
    }
    return json + "\"";
}

void WriteJson(const ReportObject& object, const std::string& indent, std::string& out);

void WriteJsonValue(const ReportValue& value, const std::string& indent, std::string& out)
{
    const std::string inner = indent + "  ";
    switch (value.kind) {
    case Kind::Null:
        out += "null";
        break;
    case Kind::Text:
        out += JsonString(value.text);
        break;
    case Kind::Number:
        out += std::to_string(value.number);
        break;
    case Kind::Boolean:
        out += value.flag ? "true" : "false";
        break;
    case Kind::Numbers:
    case Kind::Texts: {
        out += "[";
        const std::size_t count = value.kind == Kind::Numbers ? value.numbers.size() : value.texts.size();
        for (std::size_t i = 0; i < count; ++i) {
            out += i ? ", " : "";
            out += value.kind == Kind::Numbers ? std::to_string(value.numbers[i]) : JsonString(value.texts[i]);
        }
        out += "]";
        break;
    }
    case Kind::Pairs:
        out += value.pairs.empty() ? "[" : "[\n";
        for (std::size_t i = 0; i < value.pairs.size(); ++i) {
            out += inner + "{\"key\": " + JsonString(value.pairs[i].first) + ", \"value\": " +
                   JsonString(value.pairs[i].second) + "}" + (i + 1 < value.pairs.size() ? ",\n" : "\n");
        }
        out += (value.pairs.empty() ? "" : indent) + "]";
        break;
    case Kind::Object:
        WriteJson(value.objects.front(), indent, out);
        break;
    case Kind::Objects:
        out += value.objects.empty() ? "[" : "[\n";
        for (std::size_t i = 0; i < value.objects.size(); ++i) {
            out += inner;
            WriteJson(value.objects[i], inner, out);
            out += i + 1 < value.objects.size() ? ",\n" : "\n";
        }
        out += (value.objects.empty() ? "" : indent) + "]";
        break;
    }
}

void WriteJson(const ReportObject& object, const std::string& indent, std::string& out)
{
    const std::string inner = indent + "  ";
    out += "{";
    bool first = true;
    for (const ReportField& field : object) {
        if (field.key.empty())
            continue;
        out += (first ? "\n" : ",\n") + inner + JsonString(field.key) + ": ";
        WriteJsonValue(field.value, inner, out);
        first = false;
    }
    out += (first ? "" : "\n" + indent) + "}";
}

// Every signature embedded in a program file, as the Digital Signatures page shows it, checked
// afresh; "not signed" for a program without one.
ReportField SignaturesField(const Platform& platform, const CFileInfo& file, const ProgramKind& kind)
{
    if (!kind.pe)
        return NullField("Signatures", "signatures", "not a program file");
    if (platform.EmbeddedSignatureOfFile(file.FullPathName()).state == EmbeddedSignaturePlace::State::None)
        return ObjectField("Signatures", "signatures", {BooleanField("Signed", "signed", false)}, "not signed");

    const SignatureCheck check = platform.CheckSignatures(file.FullPathName());
    ReportField list{"Signatures", "items", {}, {}};
    list.value.kind = Kind::Objects;
    for (const SignatureFacts& facts : check.signatures) {
        auto time = [&](const char* label, const char* key, const std::optional<FILETIME>& stamp) {
            return stamp ? TimeField(platform, label, key, *stamp) : NullField(std::string(label) + " (UTC)", std::string(key) + "Utc", "none");
        };
        ReportObject signature{
            TextField("Signer", "signer", facts.signer),
            TextField("Issuer", "issuer", facts.issuer),
            TextField("Serial number", "serialNumber", facts.serialNumber),
            TextField("Digest algorithm", "digestAlgorithm", facts.digestAlgorithm),
            time("Valid from", "validFrom", facts.validFrom),
            time("Valid to", "validTo", facts.validTo),
            TextField("Time stamp", "timeStampKind", TimeStampKindName(facts.timeStampKind)),
            time("Time stamp", "timeStamp", facts.timeStamp),
            TextsField("Chain", "chain", facts.chain),
            TextField("Verdict", "verdict", VerdictText(facts.verdict, facts.status)),
            NumberField("Status", "status", facts.status, Hex(facts.status, 8)),
        };
        list.value.texts.push_back(facts.nested ? "Nested signature" : "Signature");
        list.value.objects.push_back(std::move(signature));
    }
    return ObjectField("Signatures", "signatures",
                       {BooleanField("Signed", "signed", true), TextField("Revocation", "revocation", "not checked (it needs the network)"),
                        std::move(list)});
}

} // namespace

GeneralPageTexts GeneralTextsOf(const CFileInfo& file)
{
    GeneralPageTexts page;
    page.name = file.DisplayName();
    page.type = file.TypeName();
    page.location = file.FilePath();
    // Whole 64-bit sizes, so that files of 2 GiB and more read right.
    page.size = file.FormatFileSize(file.FileSize64());
    page.compressedSize = file.attrCompressed() ? file.FormatFileSize(file.CompressedFileSize64())
                                                : std::string("File is not compressed");
    page.msDosPath = file.ShortPath();
    page.msDosName = file.ShortName();
    page.created = file.FormatFileDate(file.CreationTime());
    page.modified = file.FormatFileDate(file.ModifyTime());
    page.accessed = file.FormatFileDate(file.LastAccessTime());
    page.attributes = {file.attrReadOnly(), file.attrArchive(), file.attrCompressed(),
                       file.attrHidden(),   file.attrSystem(),  file.attrTemporary()};
    return page;
}

ReportObject ReportProperties(const Platform& platform, const std::string& path)
{
    // As the pages show it: the file object is given the path in upper case, and the version
    // object the path the file object rebuilt.
    CFileInfo file(platform);
    file.SetFullPathName(platform.UpperCase(path));
    const std::string fullPath = file.FullPathName();
    const ProgramKind kind = ProgramKindOfEntry(platform, file);
    return {
        TextField("Path", "path", fullPath),
        ObjectField("General", "general", GeneralSection(platform, file, kind)),
        VersionField(platform, fullPath),
        SignaturesField(platform, file, kind),
    };
}

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

std::string ReportAsJson(const ReportObject& report)
{
    std::string json;
    WriteJson(report, "", json);
    // Lines end as the text report's do, as Windows text does.
    std::string out;
    for (const char c : json)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out + "\r\n";
}

} // namespace korrimat
