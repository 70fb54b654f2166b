#pragma once
// The names of one folder's entries, kept in one buffer (no allocation per name, so a folder of a
// hundred thousand files costs a few large blocks) and sorted as users expect: by the user's
// locale, letter case ignored.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korrimat::controls {

class NameList {
public:
    void Clear() noexcept;
    void Add(std::string_view name);
    void Sort();

    std::size_t Size() const noexcept { return spans_.size(); }
    bool Empty() const noexcept { return spans_.empty(); }
    std::string_view operator[](std::size_t index) const noexcept;

    // The first entry after `after` (going round to the start) whose first character is `initial`
    // regardless of case; -1 when there is none.
    int FindByInitial(char initial, int after) const;

private:
    std::string pool_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans_;  // offset and length in pool_
};

// Reads the entries of a folder into `names` (sorted): its subfolders when `folders` is true
// ("." and ".." left out), otherwise its files, hidden and system files included. False when the
// folder cannot be listed (no such folder, a drive that is not ready, no access).
bool ReadFolderEntries(const std::string& folder, bool folders, NameList& names);

// While it lives, a drive without a medium fails at once instead of asking the user.
class CriticalErrorsSilenced {
public:
    CriticalErrorsSilenced() noexcept;
    ~CriticalErrorsSilenced();
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    unsigned long previous_ = 0;
};

} // namespace korrimat::controls
