#include "report/SumsClaims.h"

#include "formats/SumsFile.h"
#include "platform/FileSystem.h"
#include "platform/NameList.h"
#include "platform/PathText.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace korrimat {

namespace {

// The sums files among a folder's files, in the order its list shows them.
NameList SumsFilesIn(const std::string& folder)
{
    NameList names;
    ForEachEntry(JoinPath(folder, "*"), [&](std::string_view name, const WIN32_FIND_DATAW& found) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsSumsFileName(name))
            names.Add(name);
    });
    names.Sort();
    return names;
}

// Whether a sums file's entry names the file beside it, a leading "./" aside. A name with a folder
// part never does: no file name holds a "/" or a "\".
bool NamesFile(std::string_view entryName, std::string_view fileName)
{
    if (entryName.starts_with("./"))
        entryName.remove_prefix(2);
    return SameNameIgnoringCase(entryName, fileName);
}

// One claim per algorithm the sums file gives the file's hash by.
std::vector<SumsClaim> ClaimsIn(const SumsFile& sums, std::string_view sumsFile, std::string_view fileName)
{
    std::vector<SumsClaim> claims;
    for (const SumsEntry& entry : sums.entries) {
        if (!NamesFile(entry.name, fileName))
            continue;
        const auto same = std::find_if(claims.begin(), claims.end(),
                                       [&](const SumsClaim& claim) { return claim.algorithm == entry.algorithm; });
        if (same == claims.end()) {
            claims.push_back({std::string(sumsFile), SumsClaim::Kind::Hash, entry.algorithm, entry.digits});
        } else if (same->digits != entry.digits && same->kind == SumsClaim::Kind::Hash) {
            same->kind = SumsClaim::Kind::DifferentHashes;
            same->digits.clear();
        }
    }
    return claims;
}

std::vector<SumsClaim> ClaimsOfSumsFile(const std::string& folder, std::string_view sumsFile, std::string_view fileName)
{
    const WholeFile whole = ReadWholeFile(JoinPath(folder, sumsFile), kSumsFileLargest);
    if (whole.state == WholeFile::State::Failed)
        return {};
    const SumsFile sums = whole.state == WholeFile::State::Read ? ReadSumsFile(whole.bytes, sumsFile)
                                                                : SumsFile{SumsFile::State::TooLarge, {}, 0};
    if (sums.state == SumsFile::State::TooLarge)
        return {SumsClaim{std::string(sumsFile), SumsClaim::Kind::TooLarge, HashAlgorithm::Sha256, {}}};
    return ClaimsIn(sums, sumsFile, fileName);
}

} // namespace

std::vector<SumsClaim> SumsClaimsFor(const std::string& path)
{
    const std::size_t separator = path.find_last_of('\\');
    if (separator == std::string::npos || separator + 1 == path.size())
        return {};
    const std::string folder = ParentFolder(path);
    const std::string_view fileName = std::string_view(path).substr(separator + 1);
    const NameList sumsFiles = SumsFilesIn(folder);
    std::vector<SumsClaim> claims;
    for (std::size_t i = 0; i < sumsFiles.Size(); ++i) {
        std::vector<SumsClaim> more = ClaimsOfSumsFile(folder, sumsFiles[i], fileName);
        claims.insert(claims.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return claims;
}

} // namespace korrimat
