#include "platform/NameList.h"

#include "platform/Text.h"
#include "platform/PathText.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <numeric>
#include <span>

namespace korrimat {

namespace {

using Span = std::pair<std::uint32_t, std::uint32_t>;  // offset and length in a buffer

// The names in UTF-16, each ended by a zero, in one buffer.
class WideNames {
public:
    explicit WideNames(const NameList& names) : spans_(names.Size())
    {
        text_.reserve(names.Size() * 24);
        for (std::size_t i = 0; i < names.Size(); ++i) {
            const std::string_view name = names[i];
            // No code page gives more UTF-16 units than it has bytes.
            const std::size_t start = text_.size();
            text_.resize(start + name.size() + 1);
            const int converted = name.empty() ? 0
                                               : ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                                                       text_.data() + start, static_cast<int>(name.size()));
            const std::size_t length = static_cast<std::size_t>(std::max(converted, 0));
            text_.resize(start + length + 1);
            text_[start + length] = L'\0';
            spans_[i] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)};
        }
    }

    const wchar_t* Text(std::size_t index) const noexcept { return text_.data() + spans_[index].first; }
    std::wstring_view operator[](std::size_t index) const noexcept
    {
        return {Text(index), spans_[index].second};
    }

private:
    std::wstring text_;
    std::vector<Span> spans_;
};

// The user's locale's sort key of every name (case ignored, runs of digits as numbers where the
// system knows the flag), in one buffer: keys compare byte by byte, far cheaper than a call to
// compare two names.
class SortKeys {
public:
    explicit SortKeys(const WideNames& names, std::size_t count) : spans_(count)
    {
        keys_.reserve(count * 32);
        std::vector<BYTE> buffer(512);
        DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE | SORT_DIGITSASNUMBERS;
        for (std::size_t i = 0; i < count; ++i) {
            const std::wstring_view name = names[i];
            int written = Map(flags, name, buffer);
            if (written == 0 && ::GetLastError() == ERROR_INVALID_FLAGS && (flags & SORT_DIGITSASNUMBERS)) {
                // A system before Windows 7: digits as text here; the exact order comes after.
                flags &= ~static_cast<DWORD>(SORT_DIGITSASNUMBERS);
                written = Map(flags, name, buffer);
            }
            if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
                buffer.resize(static_cast<std::size_t>(std::max(Map(flags, name, {}), 1)));
                written = Map(flags, name, buffer);
            }
            const std::size_t start = keys_.size();
            // The key's own terminating zero is left out; a name without a key sorts first.
            if (written > 1)
                keys_.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(written - 1));
            spans_[i] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(keys_.size() - start)};
        }
    }

    std::string_view operator[](std::size_t index) const noexcept
    {
        return std::string_view(keys_).substr(spans_[index].first, spans_[index].second);
    }

private:
    static int Map(DWORD flags, std::wstring_view name, std::span<BYTE> buffer)
    {
        // For a sort key the destination is counted in bytes.
        return ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.data(), static_cast<int>(name.size()),
                               reinterpret_cast<LPWSTR>(buffer.data()), static_cast<int>(buffer.size()), nullptr,
                               nullptr, 0);
    }

    std::string keys_;
    std::vector<Span> spans_;
};

// Sorts `order` by `less`, in a time that grows with how far from sorted it is: its ascending
// runs are found and merged in pairs, so a sequence already in order costs one comparison per
// entry.
template <typename Less>
void MergeRuns(std::vector<std::uint32_t>& order, Less less)
{
    std::vector<std::size_t> bounds{0};
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (less(order[i], order[i - 1]))
            bounds.push_back(i);
    }
    bounds.push_back(order.size());
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged{0};
        for (std::size_t run = 0; run + 2 < bounds.size(); run += 2) {
            std::inplace_merge(order.begin() + static_cast<std::ptrdiff_t>(bounds[run]),
                               order.begin() + static_cast<std::ptrdiff_t>(bounds[run + 1]),
                               order.begin() + static_cast<std::ptrdiff_t>(bounds[run + 2]), less);
            merged.push_back(bounds[run + 2]);
        }
        if (bounds.size() % 2 == 0)  // an odd number of runs: the last waits for the next round
            merged.push_back(bounds.back());
        bounds = std::move(merged);
    }
}

} // namespace

void NameList::Clear() noexcept
{
    pool_.clear();
    spans_.clear();
}

void NameList::Add(std::string_view name)
{
    spans_.emplace_back(static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(name.size()));
    pool_.append(name);
}

std::string_view NameList::operator[](std::size_t index) const noexcept
{
    const auto& [offset, length] = spans_[index];
    return std::string_view(pool_).substr(offset, length);
}

void NameList::Sort()
{
    const std::size_t count = spans_.size();
    const WideNames wide(*this);
    // The order is the system's comparison, StrCmpLogicalW; names it finds equal (they differ in
    // case, or in zeros before a number) go by their code units, so that the order is fixed.
    auto inOrder = [&](std::uint32_t a, std::uint32_t b) {
        const int logical = ::StrCmpLogicalW(wide.Text(a), wide.Text(b));
        return logical != 0 ? logical < 0 : wide[a] < wide[b];
    };
    // A call per pair is too slow for a hundred thousand names: the locale's sort keys put them
    // in nearly that order first (in the same order wherever the system's comparison follows
    // its own collation), and the comparison itself then only checks neighbours and merges what
    // the keys placed otherwise.
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    {
        const SortKeys keys(wide, count);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const int byKey = keys[a].compare(keys[b]);
            return byKey != 0 ? byKey < 0 : wide[a] < wide[b];
        });
    }
    MergeRuns(order, inOrder);

    std::string pool;
    pool.reserve(pool_.size());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
    spans.reserve(count);
    for (std::uint32_t i : order) {
        spans.emplace_back(static_cast<std::uint32_t>(pool.size()), spans_[i].second);
        pool.append((*this)[i]);
    }
    pool_ = std::move(pool);
    spans_ = std::move(spans);
}

int NameList::FindByInitial(wchar_t initial, int after) const
{
    const int count = static_cast<int>(Size());
    if (count == 0)
        return -1;
    for (int step = 1; step <= count; ++step) {
        const int index = ((after < 0 ? -1 : after) + step) % count;
        const std::string_view name = (*this)[static_cast<std::size_t>(index)];
        // A character takes at most four bytes: enough for the first one whole.
        const std::wstring first = WideText(name.substr(0, 4));
        if (!first.empty() && ::CompareStringOrdinal(first.data(), 1, &initial, 1, TRUE) == CSTR_EQUAL)
            return index;
    }
    return -1;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    const std::wstring wideA = WideText(a);
    const std::wstring wideB = WideText(b);
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool ReadFolderEntries(const Platform& platform, const std::string& folder, bool folders, NameList& names)
{
    names.Clear();
    const DWORD error = platform.ListEntries(JoinPath(folder, "*"), [&](std::string_view name, DWORD attributes) {
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != folders || (isFolder && (name == "." || name == "..")))
            return;
        names.Add(name);
    });
    if (error != NO_ERROR) {
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            return false;
        // Nothing matched: an empty root, or a folder without even "." in it.
        const DWORD attributes = platform.Attributes(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    names.Sort();
    return true;
}

} // namespace korrimat
