#pragma once
// A folder read on a thread of its own: the entries found go in batches to the thread that puts
// them in order, which takes each batch as it comes while the reading goes on.

#include "platform/ScratchHeap.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace korrimat {

// What a listing keeps of an entry's record until it knows which entry sorts first.
struct EntryRecord {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime{}, ftLastAccessTime{}, ftLastWriteTime{};
    DWORD nFileSizeHigh = 0, nFileSizeLow = 0;
    wchar_t cAlternateFileName[14] = {};
};

// The record a search for the entry would give: the name in the active code page, the short name
// narrowed too; nothing when either does not fit.
std::optional<WIN32_FIND_DATAA> NarrowRecord(std::string_view name, const EntryRecord& record);

// A run of entries found, handed from the reading thread to the sorting one.
struct Batch {
    explicit Batch(const ScratchHeap& heap)
        : names(ScratchAllocator<char>(heap)), ends(ScratchAllocator<std::uint32_t>(heap)),
          records(ScratchAllocator<EntryRecord>(heap))
    {
    }
    ScratchText<char> names;
    ScratchVector<std::uint32_t> ends;  // each name runs from the previous one's end to its own
    ScratchVector<EntryRecord> records;
};

// The reading thread's side: it fills batches and passes each on when full, and at the end.
// Both threads meet only under the lock, and only to move a batch between them.
class FolderReader {
public:
    // Reads the entries of `pattern` that are folders (when `folders`) or files, with their
    // records when `records`; everything it keeps lives on `heap`.
    FolderReader(const ScratchHeap& heap, std::string pattern, bool folders, bool records);
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // The thread's entry point, given the reader.
    static unsigned __stdcall Run(void* self);

    // Reads the whole folder, passing the batches on as they fill.
    void Read() noexcept;

    // The next batch; false when the reading has ended and every batch was taken.
    bool Take(Batch& batch);

    // The listing's error once the reading has ended.
    DWORD Error() const noexcept { return lost_ ? ERROR_NOT_ENOUGH_MEMORY : error_; }

private:
    static constexpr std::size_t kBatchEntries = 2048;

    Batch NewBatch() const;
    void PassOn(bool ended, DWORD error);

    const ScratchHeap& heap_;
    const std::string pattern_;
    const bool folders_;
    const bool records_;
    Batch filling_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE ready_ = CONDITION_VARIABLE_INIT;
    // Taken from the front as they were passed on: a deque, so that taking one moves no other.
    std::deque<Batch, ScratchAllocator<Batch>> full_;
    bool ended_ = false;
    bool lost_ = false;
    DWORD error_ = NO_ERROR;
};

} // namespace korrimat
