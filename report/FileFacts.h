#pragma once
// The facts of one file or folder, gathered once through the platform: the General page's values
// as the page shows them and what it cannot hold (exact sizes, times in UTC, every attribute),
// what a program is (machine, subsystem, protections, manifest, .NET, imports), where a download
// came from, the whole version resource (every translation and every string table, read once),
// the embedded signatures, and the hashes when asked for. Every front end writes
// from these: the window's copies and the console report alike. Nothing here knows a window.

#include "formats/DownloadOrigin.h"
#include "formats/PeHeaders.h"
#include "formats/ProgramImage.h"
#include "formats/SignatureBytes.h"
#include "platform/FileDigest.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "platform/Signatures.h"
#include "versioninfo/FileVersionInfo.h"
#include "formats/VersionResource.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
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

struct GeneralFacts {
    GeneralPageTexts page;
    UniqueIcon icon;  // the shell's, with the page texts
    std::uint64_t sizeBytes = 0;
    std::optional<std::uint64_t> sizeOnDiskBytes;  // none when the system cannot tell
    // ISO 8601 in UTC ("2024-06-03T08:00:00Z"); empty when the system cannot split the stamp.
    std::string createdUtc;
    std::string modifiedUtc;
    std::string accessedUtc;
    DWORD attributes = 0;
};

struct TranslationFacts {
    VersionTranslation translation;
    std::string languageName;          // empty: the system names no such language
    std::optional<std::size_t> table;  // the string table its key names, in `contents.tables`
};

struct VersionFacts {
    // The Version page's texts, in the order of the version item table (VersionItems.h).
    std::array<std::string, CFileVersionInfo::kItemCount> items;
    VersionResourceContents contents;
    std::vector<TranslationFacts> translations;
    std::vector<std::size_t> unnamedTables;  // tables no translation names
    std::string fileDateUtc;                 // the fixed part's date, when it has one the system can split
};

struct SignatureTimes {
    std::string validFromUtc;
    std::string validToUtc;
    std::string timeStampUtc;
};

struct SignatureFactsOfFile {
    enum class State { NotProgram, Unsigned, Signed, NotChecked };
    State state = State::NotChecked;
    // What the file's own bytes say, known at once (a program with a damaged table included).
    EmbeddedSignaturePlace::State embedded = EmbeddedSignaturePlace::State::None;
    SignatureCheck check;                // when Signed, once checked
    std::vector<SignatureTimes> times;   // one per signature of `check`
};

struct FileFacts {
    // As the pages show it: made absolute, and with the page texts rebuilt from the stored names.
    std::string path;
    bool found = false;
    GeneralFacts general;  // `page` empty without the page texts
    ProgramKind program;  // readable but not `pe` for a folder or a missing entry
    // For a file that is a PE image, when wanted (or added since: AddProgramFacts).
    std::optional<ProgramFacts> programImage;
    std::optional<DownloadOrigin> origin;      // for a file that carries a Zone.Identifier stream
    std::optional<VersionFacts> version;
    SignatureFactsOfFile signatures;
    std::optional<std::string> sha256;  // lower-case hexadecimal, when asked for and the file could be read
    // The hashes asked for, in the order asked, when the file could be read whole.
    std::vector<HashValue> hashes;
};

struct FactsWanted {
    // The General page's texts (the shell's name and type, the 8.3 names, the local times...);
    // without them the general facts are the entry's own: its size, times and attributes.
    bool pageTexts = true;
    bool signatures = true;  // checking them reads and hashes the whole program
    bool sha256 = false;
    std::vector<HashAlgorithm> hashes;  // computed in one read of the file, with the SHA-256
    // What a program is and what its manifest asks for: its directories walked and the manifest
    // parsed, more than the rest of a program's quick facts together. A window reads them when
    // a page or a copy first needs them.
    bool programImage = true;
};

// Every fact wanted of an entry, the slow ones included, gathered here and now.
FileFacts GatherFileFacts(const Platform& platform, const std::string& path, FactsWanted wanted = {});

// The facts read at once: all but the slow ones, which a window gathers on a worker. `listed`:
// the entry's record as a folder's listing has just read it, in place of a search for it.
FileFacts GatherQuickFacts(const Platform& platform, const std::string& path, const FactsWanted& wanted,
                           const WIN32_FIND_DATAA* listed = nullptr);

// What a program is, for facts gathered without it: nothing for a file that is not a PE image,
// or when they are there already.
void AddProgramFacts(FileFacts& facts);

// The facts that read the whole file: the system's check of its signatures and its SHA-256.
struct SlowFactsWanted {
    bool signatureCheck = false;
    bool sha256 = false;
    std::vector<HashAlgorithm> hashes;
    bool Any() const noexcept { return signatureCheck || sha256 || !hashes.empty(); }
};
struct SlowFacts {
    bool signaturesChecked = false;
    SignatureCheck check;
    std::vector<SignatureTimes> times;
    std::optional<std::string> sha256;
    std::vector<HashValue> hashes;
};
// The slow facts an entry's quick facts call for.
SlowFactsWanted SlowFactsFor(const FileFacts& quick, const FactsWanted& wanted);
// Gathers them; `stop`, when set, ends the hashing early (the signature check always runs
// whole), and `progress` follows the hashing's read.
SlowFacts GatherSlowFacts(const FileContents& contents, const std::string& path, const SlowFactsWanted& wanted,
                          HANDLE stop = nullptr, const DigestProgress& progress = {});
void AddSlowFacts(FileFacts& facts, SlowFacts&& slow);

// A UTC stamp in ISO 8601; empty when the system cannot split it.
std::string IsoTime(const FILETIME& stamp);

} // namespace korrimat
