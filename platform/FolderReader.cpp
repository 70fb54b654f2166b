#include "platform/FolderReader.h"

#include "platform/FileSystem.h"
#include "platform/Trace.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace korrimat {

namespace {

// Holds a slim lock exclusively for its scope. Neither taking the lock nor waiting on a condition
// with it can fail, so the reading thread always gets its last batch across, even out of memory.
class ExclusiveHold {
public:
    explicit ExclusiveHold(SRWLOCK& lock) noexcept : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveHold() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;

    // Lets the lock go until `condition` is woken, then holds it again.
    void Wait(CONDITION_VARIABLE& condition) noexcept { ::SleepConditionVariableSRW(&condition, &lock_, INFINITE, 0); }

private:
    SRWLOCK& lock_;
};

} // namespace

std::optional<WIN32_FIND_DATAA> NarrowRecord(std::string_view name, const EntryRecord& record)
{
    WIN32_FIND_DATAA found{};
    if (name.size() >= sizeof(found.cFileName))
        return std::nullopt;
    std::copy(name.begin(), name.end(), found.cFileName);
    if (record.cAlternateFileName[0] != L'\0' &&
        ::WideCharToMultiByte(CP_ACP, 0, record.cAlternateFileName, -1, found.cAlternateFileName,
                              sizeof(found.cAlternateFileName), nullptr, nullptr) == 0)
        return std::nullopt;
    CopyEntryFacts(found, record);
    return found;
}

FolderReader::FolderReader(const ScratchHeap& heap, std::string pattern, bool folders, bool records)
    : heap_(heap), pattern_(std::move(pattern)), folders_(folders), records_(records),
      filling_(NewBatch()), full_(ScratchAllocator<Batch>(heap))
{
}

unsigned __stdcall FolderReader::Run(void* self)
{
    static_cast<FolderReader*>(self)->Read();
    return 0;
}

void FolderReader::Read() noexcept
{
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    try {
        error = ForEachEntry(pattern_, [&](std::string_view name, const WIN32_FIND_DATAW& found) {
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder != folders_ || (isFolder && (name == "." || name == "..")))
                return;
            filling_.names.append(name);
            filling_.ends.push_back(static_cast<std::uint32_t>(filling_.names.size()));
            if (records_) {
                EntryRecord& record = filling_.records.emplace_back();
                CopyEntryFacts(record, found);
                std::copy(std::begin(found.cAlternateFileName), std::end(found.cAlternateFileName),
                          record.cAlternateFileName);
            }
            if (filling_.ends.size() == kBatchEntries)
                PassOn(false, NO_ERROR);
        });
    } catch (...) {
        TraceFailure("a folder's reading failed");
    }
    PassOn(true, error);
}

bool FolderReader::Take(Batch& batch)
{
    ExclusiveHold hold(lock_);
    while (full_.empty() && !ended_)
        hold.Wait(ready_);
    if (full_.empty())
        return false;
    batch = std::move(full_.front());
    full_.pop_front();
    return true;
}

// A batch with room for a whole one, so that every batch's blocks are alike and reused.
Batch FolderReader::NewBatch() const
{
    Batch batch(heap_);
    batch.names.reserve(kBatchEntries * 32);
    batch.ends.reserve(kBatchEntries);
    if (records_)
        batch.records.reserve(kBatchEntries);
    return batch;
}

void FolderReader::PassOn(bool ended, DWORD error)
{
    {
        ExclusiveHold hold(lock_);
        try {
            if (!filling_.ends.empty())
                full_.push_back(std::move(filling_));
        } catch (...) {
            // The listing fails whole rather than come out short of these entries.
            TraceFailure("a folder's entries could not be passed on");
            lost_ = true;
        }
        try {
            filling_ = NewBatch();
        } catch (...) {
            filling_ = Batch(heap_);
        }
        if (ended) {
            ended_ = true;
            error_ = error;
        }
    }
    ::WakeConditionVariable(&ready_);
}

} // namespace korrimat
