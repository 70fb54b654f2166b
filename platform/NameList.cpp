#include "platform/NameList.h"

#include "platform/FileSystem.h"
#include "platform/FolderReader.h"
#include "platform/Text.h"
#include "platform/PathText.h"
#include "platform/ScratchHeap.h"
#include "platform/Trace.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <numeric>
#include <span>

namespace korrimat {

namespace {

using Span = std::pair<std::uint32_t, std::uint32_t>;  // offset and length in a buffer

// The names in UTF-16, each ended by a zero, in one buffer, added one by one.
class WideNames {
public:
    explicit WideNames(const ScratchHeap& heap) : text_(ScratchAllocator<wchar_t>(heap)), spans_(ScratchAllocator<Span>(heap)) {}

    void Add(std::string_view name)
    {
        // No code page gives more UTF-16 units than it has bytes.
        const std::size_t start = text_.size();
        text_.resize(start + name.size() + 1);
        const int converted = name.empty() ? 0
                                           : ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                                                   text_.data() + start, static_cast<int>(name.size()));
        const std::size_t length = static_cast<std::size_t>(std::max(converted, 0));
        text_.resize(start + length + 1);
        text_[start + length] = L'\0';
        spans_.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length));
    }

    std::size_t Size() const noexcept { return spans_.size(); }
    const wchar_t* Text(std::size_t index) const noexcept { return text_.data() + spans_[index].first; }
    std::wstring_view operator[](std::size_t index) const noexcept
    {
        return {Text(index), spans_[index].second};
    }

private:
    ScratchText<wchar_t> text_;
    ScratchVector<Span> spans_;
};

// The user's locale's sort key of every name (case ignored, runs of digits as numbers where the
// system knows the flag), in one buffer, added one by one: keys compare byte by byte, far cheaper
// than a call to compare two names.
class SortKeys {
public:
    explicit SortKeys(const ScratchHeap& heap) : keys_(ScratchAllocator<char>(heap)), spans_(ScratchAllocator<Span>(heap)) {}

    void Add(std::wstring_view name)
    {
        int written = Map(name, buffer_);
        if (written == 0 && ::GetLastError() == ERROR_INVALID_FLAGS && (flags_ & SORT_DIGITSASNUMBERS)) {
            // A system before Windows 7: digits as text here; the exact order comes after.
            flags_ &= ~static_cast<DWORD>(SORT_DIGITSASNUMBERS);
            written = Map(name, buffer_);
        }
        if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            buffer_.resize(static_cast<std::size_t>(std::max(Map(name, {}), 1)));
            written = Map(name, buffer_);
        }
        const std::size_t start = keys_.size();
        // The key's own terminating zero is left out; a name without a key sorts first.
        if (written > 1)
            keys_.append(reinterpret_cast<const char*>(buffer_.data()), static_cast<std::size_t>(written - 1));
        spans_.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(keys_.size() - start));
    }

    std::string_view operator[](std::size_t index) const noexcept
    {
        return std::string_view(keys_.data() + spans_[index].first, spans_[index].second);
    }

private:
    int Map(std::wstring_view name, std::span<BYTE> buffer) const
    {
        // For a sort key the destination is counted in bytes.
        return ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags_, name.data(), static_cast<int>(name.size()),
                               reinterpret_cast<LPWSTR>(buffer.data()), static_cast<int>(buffer.size()), nullptr,
                               nullptr, 0);
    }

    DWORD flags_ = LCMAP_SORTKEY | NORM_IGNORECASE | SORT_DIGITSASNUMBERS;
    std::vector<BYTE> buffer_ = std::vector<BYTE>(512);
    ScratchText<char> keys_;
    ScratchVector<Span> spans_;
};

// Merges the ascending runs of `order` that start at `bounds` (the first 0, the last the size)
// in pairs until one is left.
template <typename Order, typename Less>
void MergeRuns(Order& order, std::vector<std::size_t> bounds, Less less)
{
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

// Names, their UTF-16 forms and their sort keys, built together as the entries arrive, and the
// order they make: the system's comparison, StrCmpLogicalW; names it finds equal (they differ in
// case, or in zeros before a number) by their code units, so that the order is fixed.
//
// A call of the comparison per pair is too slow for a hundred thousand names: the locale's sort
// keys put them in nearly that order first (in the same order wherever the system's comparison
// follows its own collation), and the comparison itself then only checks neighbours and merges
// what the keys placed otherwise. Both happen while the names arrive: every few thousand names
// are merged by key into those before, and only the pairs of neighbours the merge made new are
// checked, so that little is left when the last name has come.
class SortedListing {
public:
    // The names go to `names` only with their order, in buffers of their exact size; until then
    // everything lives on `heap`.
    SortedListing(NameList& names, const ScratchHeap& heap)
        : names_(names), heap_(heap), narrow_(ScratchAllocator<char>(heap)), starts_(ScratchAllocator<std::uint32_t>(heap)),
          wide_(heap), keys_(heap), arrived_(ScratchAllocator<std::uint32_t>(heap)),
          sorted_(ScratchAllocator<std::uint32_t>(heap)), neighbour_(ScratchAllocator<Neighbour>(heap))
    {
        names_.Clear();
    }

    // Adds a name; its index among those added.
    std::uint32_t Add(std::string_view name)
    {
        const auto index = static_cast<std::uint32_t>(starts_.size());
        starts_.push_back(static_cast<std::uint32_t>(narrow_.size()));
        narrow_.append(name);
        wide_.Add(name);
        keys_.Add(wide_[index]);
        arrived_.push_back(index);
        if (arrived_.size() == kMergeEvery)
            MergeArrived();
        return index;
    }

    // Whether one name comes before another by their keys (the order before the check).
    bool ByKey(std::uint32_t a, std::uint32_t b) const
    {
        const int byKey = keys_[a].compare(keys_[b]);
        return byKey != 0 ? byKey < 0 : wide_[a] < wide_[b];
    }

    ScratchVector<std::uint32_t> Order()
    {
        MergeArrived();
        std::vector<std::size_t> bounds{0};
        for (std::size_t i = 1; i < sorted_.size(); ++i) {
            if (neighbour_[i] == Neighbour::Before)
                bounds.push_back(i);
        }
        bounds.push_back(sorted_.size());
        ScratchVector<std::uint32_t> order = sorted_;
        MergeRuns(order, std::move(bounds), [this](std::uint32_t a, std::uint32_t b) { return InOrder(a, b); });
        return order;
    }

    // Gives the names to the list in `order`.
    void Apply(const ScratchVector<std::uint32_t>& order)
    {
        std::string pool;
        pool.reserve(narrow_.size());
        std::vector<std::uint32_t> starts;
        starts.reserve(order.size());
        for (const std::uint32_t index : order) {
            starts.push_back(static_cast<std::uint32_t>(pool.size()));
            const std::uint32_t end = index + 1 < starts_.size() ? starts_[index + 1] : static_cast<std::uint32_t>(narrow_.size());
            pool.append(narrow_.data() + starts_[index], end - starts_[index]);
        }
        names_.pool_ = std::move(pool);
        names_.starts_ = std::move(starts);
    }

private:
    static constexpr std::size_t kMergeEvery = 4096;

    // What the comparison said of a name and the one before it in key order.
    enum class Neighbour : std::uint8_t { Unchecked, After, Before };

    bool InOrder(std::uint32_t a, std::uint32_t b) const
    {
        const int logical = ::StrCmpLogicalW(wide_.Text(a), wide_.Text(b));
        return logical != 0 ? logical < 0 : wide_[a] < wide_[b];
    }

    // Merges the names arrived since the last merge into the key order, keeping what is known of
    // every pair that stays together, and checks the pairs that are new.
    void MergeArrived()
    {
        if (arrived_.empty())
            return;
        auto byKey = [this](std::uint32_t a, std::uint32_t b) { return ByKey(a, b); };
        std::sort(arrived_.begin(), arrived_.end(), byKey);
        ScratchVector<std::uint32_t> merged{ScratchAllocator<std::uint32_t>(heap_)};
        ScratchVector<Neighbour> neighbour{ScratchAllocator<Neighbour>(heap_)};
        merged.reserve(sorted_.size() + arrived_.size());
        neighbour.reserve(merged.capacity());
        std::size_t old = 0, fresh = 0;
        bool lastWasOld = false;
        while (old < sorted_.size() || fresh < arrived_.size()) {
            if (fresh == arrived_.size() || (old < sorted_.size() && !byKey(arrived_[fresh], sorted_[old]))) {
                // Still after the name it followed before: what was known of the pair holds.
                neighbour.push_back(lastWasOld ? neighbour_[old] : Neighbour::Unchecked);
                merged.push_back(sorted_[old++]);
                lastWasOld = true;
            } else {
                neighbour.push_back(Neighbour::Unchecked);
                merged.push_back(arrived_[fresh++]);
                lastWasOld = false;
            }
        }
        for (std::size_t i = 1; i < merged.size(); ++i) {
            if (neighbour[i] == Neighbour::Unchecked)
                neighbour[i] = InOrder(merged[i], merged[i - 1]) ? Neighbour::Before : Neighbour::After;
        }
        if (!neighbour.empty())
            neighbour[0] = Neighbour::After;
        sorted_ = std::move(merged);
        neighbour_ = std::move(neighbour);
        arrived_.clear();
    }

    NameList& names_;
    const ScratchHeap& heap_;
    ScratchText<char> narrow_;               // the names as added, each running to the next start
    ScratchVector<std::uint32_t> starts_;
    WideNames wide_;
    SortKeys keys_;
    ScratchVector<std::uint32_t> arrived_;   // not merged yet
    ScratchVector<std::uint32_t> sorted_;    // by key
    ScratchVector<Neighbour> neighbour_;     // of each entry of sorted_ and the one before it
};

void NameList::Clear() noexcept
{
    pool_.clear();
    starts_.clear();
}

void NameList::Add(std::string_view name)
{
    starts_.push_back(static_cast<std::uint32_t>(pool_.size()));
    pool_.append(name);
}

std::string_view NameList::operator[](std::size_t index) const noexcept
{
    const std::size_t start = starts_[index];
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : pool_.size();
    return std::string_view(pool_).substr(start, end - start);
}

void NameList::Sort()
{
    const NameList unsorted = std::move(*this);
    const ScratchHeap heap;
    SortedListing listing(*this, heap);
    for (std::size_t i = 0; i < unsorted.Size(); ++i)
        listing.Add(unsorted[i]);
    listing.Apply(listing.Order());
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

bool ReadFolderEntries(const Platform& platform, const std::string& folder, bool folders, NameList& names,
                       std::optional<WIN32_FIND_DATAA>* first, const std::function<void()>& meanwhile)
{
    if (first)
        first->reset();
    const ScratchHeap heap;
    FolderReader reader(heap, JoinPath(folder, "*"), folders, first != nullptr);
    // Without a second thread the reading runs here first: the same result, one after the other.
    const UniqueThread thread = platform.Threads().Start(&FolderReader::Run, &reader);
    if (meanwhile) {
        try {
            meanwhile();
        } catch (...) {
            TraceFailure("the work beside a folder's reading failed");
        }
    }
    if (!thread)
        reader.Read();

    SortedListing listing(names, heap);
    // The record of the entry first by key: almost always the one first in the end.
    std::optional<std::pair<std::uint32_t, EntryRecord>> candidate;
    Batch batch(heap);
    bool complete = true;
    while (reader.Take(batch)) {
        try {
            std::uint32_t start = 0;
            for (std::size_t i = 0; i < batch.ends.size(); ++i) {
                const std::uint32_t end = batch.ends[i];
                const std::uint32_t index = listing.Add(std::string_view(batch.names).substr(start, end - start));
                start = end;
                if (i < batch.records.size() && (!candidate || listing.ByKey(index, candidate->first)))
                    candidate.emplace(index, batch.records[i]);
            }
        } catch (...) {
            // Out of memory: the reader is still drained so that it can end.
            complete = false;
        }
    }
    if (thread)
        ::WaitForSingleObject(thread.Get(), INFINITE);
    if (!complete) {
        names.Clear();
        return false;
    }

    if (const DWORD error = reader.Error(); error != NO_ERROR) {
        names.Clear();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            return false;
        // Nothing matched: an empty root, or a folder without even "." in it.
        const DWORD attributes = FileAttributes(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    const ScratchVector<std::uint32_t> order = listing.Order();
    listing.Apply(order);
    if (first && candidate && !order.empty() && order.front() == candidate->first)
        *first = NarrowRecord(names[0], candidate->second);
    return true;
}

} // namespace korrimat
