#include "platform/controls/NameList.h"

#include "platform/FileSystem.h"
#include "platform/controls/PathText.h"

#include <windows.h>

#include <algorithm>
#include <numeric>

namespace korrimat::controls {

namespace {

// The locale's sort key for a name, letter case ignored; an upper-cased copy when the locale
// gives none. Keys compare byte by byte, which is much cheaper than comparing names each time.
void AppendSortKey(std::string_view name, std::string& keys, std::vector<char>& buffer)
{
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(name.size());
    int written = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, name.data(), length, buffer.data(),
                                 static_cast<int>(buffer.size()));
    if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, name.data(), length, nullptr, 0);
        if (needed > 0) {
            buffer.resize(static_cast<std::size_t>(needed));
            written = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, name.data(), length, buffer.data(), needed);
        }
    }
    if (written > 0) {
        // The key's own terminating zero is left out.
        keys.append(buffer.data(), static_cast<std::size_t>(written - 1));
        return;
    }
    std::string upper(name);
    ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    keys.append(upper);
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
    std::string keys;
    keys.reserve(pool_.size() * 2);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keySpans(count);
    std::vector<char> buffer(512);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = keys.size();
        AppendSortKey((*this)[i], keys, buffer);
        keySpans[i] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(keys.size() - start)};
    }
    const std::string_view keyText(keys);
    auto keyOf = [&](std::uint32_t i) { return keyText.substr(keySpans[i].first, keySpans[i].second); };

    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int byKey = keyOf(a).compare(keyOf(b));
        if (byKey != 0)
            return byKey < 0;
        // Names equal but for case (possible on some file systems): a fixed order all the same.
        return (*this)[a] < (*this)[b];
    });

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

int NameList::FindByInitial(char initial, int after) const
{
    const int count = static_cast<int>(Size());
    if (count == 0)
        return -1;
    char wanted[2] = {initial, '\0'};
    ::CharUpperBuffA(wanted, 1);
    for (int step = 1; step <= count; ++step) {
        const int index = ((after < 0 ? -1 : after) + step) % count;
        const std::string_view name = (*this)[static_cast<std::size_t>(index)];
        if (name.empty())
            continue;
        char first[2] = {name[0], '\0'};
        ::CharUpperBuffA(first, 1);
        if (first[0] == wanted[0])
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

} // namespace korrimat::controls
