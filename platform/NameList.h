#pragma once
// The names of one folder's entries, kept in one buffer with one offset each (no allocation per
// name, so a folder of a hundred thousand files costs two blocks) and sorted as the system sorts names for the
// user: by StrCmpLogicalW (the user's collation, compared in UTF-16, letter case ignored, runs of
// digits as numbers), names it finds equal in the order of their UTF-16 code units.

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korrimat {

class NameList {
public:
    void Clear() noexcept;
    void Add(std::string_view name);
    void Sort();

    std::size_t Size() const noexcept { return starts_.size(); }
    bool Empty() const noexcept { return starts_.empty(); }
    std::string_view operator[](std::size_t index) const noexcept;

    // The first entry after `after` (going round to the start) whose first character (in UTF-16)
    // is `initial` regardless of case; -1 when there is none.
    int FindByInitial(wchar_t initial, int after) const;

private:
    friend class SortedListing;

    std::string pool_;
    std::vector<std::uint32_t> starts_;  // each name runs to the next one's start (the last to the end)
};

// Whether two names are the same with letter case ignored, by the system's rule for file names.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// Reads the entries of a folder into `names` (sorted): its subfolders when `folders` is true
// ("." and ".." left out), otherwise its files, hidden and system files included. False when the
// folder cannot be listed (no such folder, a drive that is not ready, no access).
//
// The folder is read on a thread of its own while the calling thread puts the names in order as
// they come, and first runs `meanwhile`. `first`, when given, receives the record the listing
// read of the entry that sorts first (nothing when the folder has none, or when its name does
// not fit the narrow record): that entry as a search would find it at this moment.
bool ReadFolderEntries(const Platform& platform, const std::string& folder, bool folders, NameList& names,
                       std::optional<WIN32_FIND_DATAA>* first = nullptr, const std::function<void()>& meanwhile = {});

} // namespace korrimat
