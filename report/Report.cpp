// The report's tree, built from a file's facts: every label, key and shown text.

#include "report/Report.h"

#include "platform/Text.h"
#include "report/ProgramReport.h"
#include "report/ReportFields.h"
#include "versioninfo/FixedVersionDecoding.h"
#include "versioninfo/VersionItems.h"

#include <algorithm>

namespace korrimat {

namespace {

using Kind = ReportValue::Kind;

// An ISO time, or "unknown" where the system could not split the stamp (`said` for none at all).
ReportField TimeField(const std::string& label, const std::string& key, const std::string& iso,
                      const std::string& said = "unknown")
{
    return iso.empty() ? NullField(label + " (UTC)", key + "Utc", said) : TextField(label + " (UTC)", key + "Utc", iso);
}

std::string Hex(std::uint64_t value, std::size_t digits)
{
    return "0x" + HexDigits(value, digits);
}

std::string Narrow(const std::u16string& text)
{
    return NarrowText(std::wstring(text.begin(), text.end()));
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

ReportObject GeneralSection(const FileFacts& facts)
{
    const GeneralFacts& general = facts.general;
    const GeneralPageTexts& page = general.page;
    ReportObject section{
        TextField("Name", "name", page.name),
        TextField("Type", "type", page.type),
        TextField("Location", "location", page.location),
        TextField("Size", "size", page.size),
        NumberField("Size in bytes", "sizeBytes", general.sizeBytes),
        TextField("Compressed size", "compressedSize", page.compressedSize),
        general.sizeOnDiskBytes ? NumberField("Size on disk in bytes", "sizeOnDiskBytes", *general.sizeOnDiskBytes)
                                : NullField("Size on disk in bytes", "sizeOnDiskBytes", "unknown"),
        TextField("MS-DOS path", "msDosPath", page.msDosPath),
        TextField("MS-DOS name", "msDosName", page.msDosName),
        TextField("Created", "created", page.created),
        TimeField("Created", "created", general.createdUtc),
        TextField("Modified", "modified", page.modified),
        TimeField("Modified", "modified", general.modifiedUtc),
        TextField("Accessed", "accessed", page.accessed),
        TimeField("Accessed", "accessed", general.accessedUtc),
    };
    static constexpr std::pair<const char*, const char*> kBoxes[] = {
        {"Read-only", "readOnly"}, {"Archive", "archive"}, {"Compressed", "compressed"},
        {"Hidden", "hidden"},      {"System", "system"},   {"Temporary", "temporary"},
    };
    for (std::size_t i = 0; i < page.attributes.size(); ++i)
        section.push_back(BooleanField(kBoxes[i].first, kBoxes[i].second, page.attributes[i]));
    ReportField attributes = TextsField("Attributes", "attributes", AttributeNames(general.attributes));
    if (attributes.value.texts.empty())
        attributes.shown = "none";
    section.push_back(std::move(attributes));
    section.push_back(ProgramField(facts.program));
    return section;
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

void AddFlags(ReportObject& version, const std::string& label, const std::string& key, std::uint32_t flags)
{
    const std::vector<std::string> names = FlagNames(flags);
    version.push_back(NumberField(label, key, flags, Hex(flags, 8) + (names.empty() ? "" : " (" + Joined(names, " ") + ")")));
    version.push_back(TextsField("", key + "Names", names));
}

ReportField VersionPartsField(const std::string& label, const std::string& key, std::uint32_t most, std::uint32_t least)
{
    ReportField field{label, key, {}, {}};
    field.value.kind = Kind::Numbers;
    for (const std::uint16_t part : VersionParts(most, least)) {
        field.value.numbers.push_back(part);
        if (!field.shown.empty())
            field.shown += '.';
        field.shown += std::to_string(part);
    }
    return field;
}

void AddFixedPart(ReportObject& version, const FixedFileFields& fields, const std::string& fileDateUtc)
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
        version.push_back(fileDateUtc.empty()
                              ? NumberField("File date", "fileDate", (std::uint64_t{fields.dateMS} << 32) | fields.dateLS)
                              : TextField("File date", "fileDate", fileDateUtc));
    }
}

ReportField StringsField(const VersionStringTable& table)
{
    ReportField strings{"Strings", "strings", {}, {}};
    strings.value.kind = Kind::Pairs;
    for (const VersionString& item : table.strings)
        strings.value.pairs.emplace_back(Narrow(item.key), Narrow(item.value));
    return strings;
}

void AddTranslations(ReportObject& version, const VersionFacts& facts)
{
    const VersionResourceContents& contents = facts.contents;
    ReportField translations{"Translations", "translations", {}, {}};
    translations.value.kind = Kind::Objects;
    for (const TranslationFacts& entry : facts.translations) {
        const VersionTranslation translation = entry.translation;
        const std::u16string key = TranslationKey(translation);
        const std::string& language = entry.languageName;
        const std::string codePage(CodePageName(translation.codePage));
        // A translation whose table is missing lists no strings under its own key.
        const VersionStringTable table = entry.table ? contents.tables[*entry.table] : VersionStringTable{key, {}};
        translations.value.texts.push_back("Translation " + Narrow(key.substr(0, 4)) + " " + Narrow(key.substr(4)));
        translations.value.objects.push_back({
            NumberField("Language", "language", translation.language,
                        (language.empty() ? std::string("unnamed") : language) + " (" + Hex(translation.language, 4) + ")"),
            language.empty() ? NullField("", "languageName", "") : TextField("", "languageName", language),
            NumberField("Code page", "codePage", translation.codePage,
                        (codePage.empty() ? std::string() : codePage + " ") + "(" + std::to_string(translation.codePage) + ")"),
            codePage.empty() ? NullField("", "codePageName", "") : TextField("", "codePageName", codePage),
            StringsField(table),
        });
    }
    version.push_back(std::move(translations));

    // Tables no translation names: every string the file carries is listed all the same.
    ReportField others{"Other string tables", "otherStringTables", {}, {}};
    others.value.kind = Kind::Objects;
    for (const std::size_t i : facts.unnamedTables) {
        others.value.texts.push_back("String table " + Narrow(contents.tables[i].key));
        others.value.objects.push_back({TextField("", "key", Narrow(contents.tables[i].key)), StringsField(contents.tables[i])});
    }
    if (!others.value.objects.empty())
        version.push_back(std::move(others));
}

ReportField VersionField(const std::optional<VersionFacts>& facts)
{
    if (!facts)
        return NullField("Version", "version", "none");
    ReportObject version;
    for (std::size_t row = 0; row < kVersionItems.size(); ++row) {
        const VersionItem& item = kVersionItems[row];
        // The resource's key with a small first letter: "CompanyName" is "companyName".
        std::string key = item.key.empty() ? std::string("language") : std::string(item.key);
        key[0] = AsciiLower(key[0]);
        version.push_back(TextField(item.caption.empty() ? "File version" : std::string(item.caption), key, facts->items[row]));
    }
    const bool whole = facts->contents.whole;
    version.push_back(BooleanField("Resource", "whole", whole, whole ? "whole" : "damaged: only the parts that fit are listed"));
    if (facts->contents.fixed)
        AddFixedPart(version, *facts->contents.fixed, facts->fileDateUtc);
    AddTranslations(version, *facts);
    return ObjectField("Version", "version", std::move(version));
}

// Every signature embedded in a program file, as the Digital Signatures page shows it.
ReportField SignaturesField(const SignatureFactsOfFile& facts)
{
    using State = SignatureFactsOfFile::State;
    if (facts.state == State::NotProgram)
        return NullField("Signatures", "signatures", "not a program file");
    if (facts.state == State::NotChecked)
        return NullField("Signatures", "signatures", "not checked");
    if (facts.state == State::Unsigned)
        return ObjectField("Signatures", "signatures", {BooleanField("Signed", "signed", false)}, "not signed");

    ReportField list{"Signatures", "items", {}, {}};
    list.value.kind = Kind::Objects;
    for (std::size_t i = 0; i < facts.check.signatures.size(); ++i) {
        const SignatureFacts& signature = facts.check.signatures[i];
        const SignatureTimes& times = facts.times[i];
        list.value.texts.push_back(signature.nested ? "Nested signature" : "Signature");
        list.value.objects.push_back({
            TextField("Signer", "signer", signature.signer),
            TextField("Issuer", "issuer", signature.issuer),
            TextField("Serial number", "serialNumber", signature.serialNumber),
            TextField("Digest algorithm", "digestAlgorithm", signature.digestAlgorithm),
            TimeField("Valid from", "validFrom", times.validFromUtc, signature.validFrom ? "unknown" : "none"),
            TimeField("Valid to", "validTo", times.validToUtc, signature.validTo ? "unknown" : "none"),
            TextField("Time stamp", "timeStampKind", TimeStampKindName(signature.timeStampKind)),
            TimeField("Time stamp", "timeStamp", times.timeStampUtc, signature.timeStamp ? "unknown" : "none"),
            TextsField("Chain", "chain", signature.chain),
            TextField("Verdict", "verdict", VerdictText(signature.verdict, signature.status)),
            NumberField("Status", "status", signature.status, Hex(signature.status, 8)),
        });
    }
    return ObjectField("Signatures", "signatures",
                       {BooleanField("Signed", "signed", true), TextField("Revocation", "revocation", "not checked (it needs the network)"),
                        std::move(list)});
}

// Every hash computed, under its kind's caption and key, in the order computed.
ReportField HashesField(const std::vector<HashValue>& hashes)
{
    ReportObject values;
    for (const HashValue& value : hashes) {
        const HashKind& kind = KindOf(value.algorithm);
        values.push_back(TextField(std::string(kind.caption), std::string(kind.key), value.hex));
    }
    return ObjectField("Hashes", "hashes", std::move(values));
}

} // namespace

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

ReportObject ReportOf(const FileFacts& facts)
{
    ReportObject report{
        TextField("Path", "path", facts.path),
        ObjectField("General", "general", GeneralSection(facts)),
        VersionField(facts.version),
        SignaturesField(facts.signatures),
        ProgramImageField(facts),
        OriginField(facts),
    };
    if (facts.sha256)
        report.insert(report.begin() + 1, TextField("SHA-256", "sha256", *facts.sha256));
    if (!facts.hashes.empty())
        report.push_back(HashesField(facts.hashes));
    return report;
}

ReportObject ReportProperties(const Platform& platform, const std::string& path)
{
    return ReportOf(GatherFileFacts(platform, path));
}

} // namespace korrimat
