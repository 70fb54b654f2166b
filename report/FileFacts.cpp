#include "report/FileFacts.h"

#include "fileinfo/FileInfo.h"
#include "platform/FileDigest.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/ProgramFiles.h"
#include "platform/Signatures.h"
#include "platform/Text.h"
#include "versioninfo/VersionItems.h"

#include <algorithm>
#include <utility>

namespace korrimat {

namespace {

GeneralFacts GeneralFactsOf(CFileInfo& file)
{
    GeneralFacts general;
    general.page = GeneralTextsOf(file);
    general.sizeBytes = static_cast<std::uint64_t>(file.FileSize64());
    // The system reports a failure as a low half of all ones.
    const auto onDisk = static_cast<std::uint64_t>(file.CompressedFileSize64());
    if (onDisk != 0xFFFFFFFFu)
        general.sizeOnDiskBytes = onDisk;
    general.createdUtc = IsoTime(file.CreationStamp());
    general.modifiedUtc = IsoTime(file.ModifyStamp());
    general.accessedUtc = IsoTime(file.LastAccessStamp());
    general.attributes = static_cast<DWORD>(file.Attributes());
    general.icon = file.TakeIcon();
    return general;
}

// The resource is read once: the system's queries give the page's texts, the block walk the rest.
std::optional<VersionFacts> VersionFactsOf(const Platform& platform, const std::string& path)
{
    std::vector<BYTE> image = ReadVersionImage(platform, path);
    if (image.empty())
        return std::nullopt;
    VersionFacts version;
    version.contents = ReadVersionResource(std::span<const std::uint8_t>(image.data(), image.size() - 1));
    CFileVersionInfo texts(platform);
    texts.SetImage(path, std::move(image));
    for (std::size_t row = 0; row < kVersionItems.size(); ++row)
        version.items[row] = (texts.*kVersionItems[row].property)();

    const TranslationTables matched = MatchTranslations(version.contents);
    for (std::size_t i = 0; i < version.contents.translations.size(); ++i) {
        const VersionTranslation translation = version.contents.translations[i];
        version.translations.push_back({translation, platform.Versions().LanguageName(translation.language), matched.tableOfTranslation[i]});
    }
    version.unnamedTables = matched.unnamedTables;
    if (const auto& fixed = version.contents.fixed; fixed && (fixed->dateMS != 0 || fixed->dateLS != 0))
        version.fileDateUtc = IsoTime(FILETIME{fixed->dateLS, fixed->dateMS});
    return version;
}

SignatureFactsOfFile SignatureStateOf(const ProgramHeaders& headers)
{
    SignatureFactsOfFile facts;
    facts.embedded = headers.signature.state;
    if (!headers.kind.pe)
        facts.state = SignatureFactsOfFile::State::NotProgram;
    else if (headers.signature.state == EmbeddedSignaturePlace::State::None)
        facts.state = SignatureFactsOfFile::State::Unsigned;
    else
        facts.state = SignatureFactsOfFile::State::Signed;
    return facts;
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

std::string IsoTime(const FILETIME& stamp)
{
    const std::optional<SYSTEMTIME> split = SystemTimeOf(stamp);
    if (!split)
        return {};
    const SYSTEMTIME& parts = *split;
    return Digits(parts.wYear, 4) + "-" + Digits(parts.wMonth, 2) + "-" + Digits(parts.wDay, 2) + "T" +
           Digits(parts.wHour, 2) + ":" + Digits(parts.wMinute, 2) + ":" + Digits(parts.wSecond, 2) + "Z";
}

FileFacts GatherQuickFacts(const Platform& platform, const std::string& path, const FactsWanted& wanted,
                           const WIN32_FIND_DATAA* listed)
{
    FileFacts facts;
    if (wanted.pageTexts) {
        // As the pages show it: the file object is given the path in upper case, and the version
        // reading the path the file object rebuilt.
        CFileInfo file(platform);
        if (listed)
            file.SetFullPathName(UpperCase(path), *listed);
        else
            file.SetFullPathName(UpperCase(path));
        facts.path = file.FullPathName();
        facts.found = file.FileExists();
        facts.general = GeneralFactsOf(file);
    } else if (const std::optional<std::string> full = platform.Entries().FullPathOf(path)) {
        facts.path = *full;
        if (const std::optional<WIN32_FIND_DATAA> entry = platform.Entries().FindFirst(facts.path)) {
            facts.found = true;
            facts.general.sizeBytes = (std::uint64_t{entry->nFileSizeHigh} << 32) | entry->nFileSizeLow;
            facts.general.createdUtc = IsoTime(entry->ftCreationTime);
            facts.general.modifiedUtc = IsoTime(entry->ftLastWriteTime);
            facts.general.accessedUtc = IsoTime(entry->ftLastAccessTime);
            facts.general.attributes = entry->dwFileAttributes;
        }
    }
    const bool isFile = facts.found && !(facts.general.attributes & FILE_ATTRIBUTE_DIRECTORY);
    // The program headers are read once, for the machine, the signatures and what the program is.
    ProgramHeaders headers;
    if (isFile)
        headers = ProgramHeadersAt(facts.path, wanted.programImage);
    else
        headers.kind = {true, false, 0, 0};
    facts.program = headers.kind;
    facts.programImage = std::move(headers.program);
    if (isFile)
        facts.origin = DownloadOriginOf(facts.path);
    facts.version = VersionFactsOf(platform, facts.path);
    if (wanted.signatures)
        facts.signatures = SignatureStateOf(headers);
    return facts;
}

void AddProgramFacts(FileFacts& facts)
{
    if (facts.program.pe && !facts.programImage)
        facts.programImage = ProgramFactsAt(facts.path);
}

SlowFactsWanted SlowFactsFor(const FileFacts& quick, const FactsWanted& wanted)
{
    const bool isFile = quick.found && !(quick.general.attributes & FILE_ATTRIBUTE_DIRECTORY);
    return {wanted.signatures && quick.signatures.embedded != EmbeddedSignaturePlace::State::None,
            wanted.sha256 && isFile, isFile ? wanted.hashes : std::vector<HashAlgorithm>()};
}

SlowFacts GatherSlowFacts(const FileContents& contents, const std::string& path, const SlowFactsWanted& wanted, HANDLE stop,
                          const DigestProgress& progress)
{
    SlowFacts slow;
    if (wanted.signatureCheck) {
        slow.signaturesChecked = true;
        slow.check = CheckEmbeddedSignatures(path);
        auto iso = [](const std::optional<FILETIME>& stamp) { return stamp ? IsoTime(*stamp) : std::string(); };
        for (const SignatureFacts& signature : slow.check.signatures)
            slow.times.push_back({iso(signature.validFrom), iso(signature.validTo), iso(signature.timeStamp)});
    }
    // Every hash in one read of the file, the SHA-256 asked for alone among them.
    std::vector<HashAlgorithm> algorithms = wanted.hashes;
    if (wanted.sha256 && std::find(algorithms.begin(), algorithms.end(), HashAlgorithm::Sha256) == algorithms.end())
        algorithms.push_back(HashAlgorithm::Sha256);
    if (algorithms.empty())
        return slow;
    const FileDigest digest = HashesOfFile(contents, path, algorithms, stop, progress);
    if (digest.outcome != FileDigest::Outcome::Done)
        return slow;
    for (const HashValue& value : digest.values) {
        if (wanted.sha256 && value.algorithm == HashAlgorithm::Sha256)
            slow.sha256 = value.hex;
        if (std::find(wanted.hashes.begin(), wanted.hashes.end(), value.algorithm) != wanted.hashes.end())
            slow.hashes.push_back(value);
    }
    return slow;
}

void AddSlowFacts(FileFacts& facts, SlowFacts&& slow)
{
    if (slow.signaturesChecked) {
        facts.signatures.check = std::move(slow.check);
        facts.signatures.times = std::move(slow.times);
    }
    if (slow.sha256)
        facts.sha256 = std::move(slow.sha256);
    if (!slow.hashes.empty())
        facts.hashes = std::move(slow.hashes);
}

FileFacts GatherFileFacts(const Platform& platform, const std::string& path, FactsWanted wanted)
{
    FileFacts facts = GatherQuickFacts(platform, path, wanted);
    AddSlowFacts(facts, GatherSlowFacts(platform.Contents(), facts.path, SlowFactsFor(facts, wanted)));
    return facts;
}

} // namespace korrimat
