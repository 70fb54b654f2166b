// Any bytes as a sums file, read under names that give each kind of algorithm and under one that
// gives none. Beyond what the sanitizers watch:
// - every entry is a usable name with the lower-case digits of its algorithm, on a line that exists,
//   in the file's order; a file too large to read has no entries;
// - a name only narrows which lines are read: under any name the same lines are read or unreadable,
//   and the entries are those read under no name, less some;
// - a line ending added at the end changes nothing.

#include "formats/SumsFile.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace korrimat;

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void CheckEntries(const SumsFile& file, std::string_view text)
{
    if (file.state == SumsFile::State::TooLarge) {
        Check(file.entries.empty() && file.unreadableLines == 0);
        return;
    }
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    Check(file.entries.size() + file.unreadableLines <= lines);
    std::size_t lastLine = 0;
    for (const SumsEntry& entry : file.entries) {
        Check(entry.line > lastLine && entry.line <= lines);
        lastLine = entry.line;
        Check(!entry.name.empty() && entry.name.find('\0') == std::string::npos);
        Check(entry.digits.size() == KindOf(entry.algorithm).digits);
        Check(entry.digits.find_first_not_of("0123456789abcdef") == std::string::npos);
    }
}

// Whether every entry of `part` is among those of `whole`, in the same order.
bool IsPartOf(const std::vector<SumsEntry>& part, const std::vector<SumsEntry>& whole)
{
    auto next = whole.begin();
    for (const SumsEntry& entry : part) {
        next = std::find(next, whole.end(), entry);
        if (next == whole.end())
            return false;
        ++next;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SumsFile unnamed = ReadSumsFile(bytes, "CHECKSUMS");
    CheckEntries(unnamed, text);
    Check(size <= kSumsFileLargest || unnamed.state == SumsFile::State::TooLarge);

    for (const std::string_view name : {"MD5SUMS", "x.sha1", "SHA256SUMS", "x.SHA512"}) {
        const SumsFile named = ReadSumsFile(bytes, name);
        CheckEntries(named, text);
        Check(named.state == unnamed.state);
        Check(named.entries.size() + named.unreadableLines == unnamed.entries.size() + unnamed.unreadableLines);
        Check(IsPartOf(named.entries, unnamed.entries));
    }

    if (size < kSumsFileLargest) {
        std::vector<std::uint8_t> ended(data, data + size);
        ended.push_back('\n');
        Check(ReadSumsFile(ended, "CHECKSUMS") == unnamed);
    }
    return 0;
}
