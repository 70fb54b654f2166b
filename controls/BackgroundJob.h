#pragma once
// Work off the window's thread, one way for every kind of it: a job runs on a worker, may tell the
// window of its progress (or, for a lasting job, of each thing it finds), and hands its result to
// the window's thread by a posted message. Starting a job again, or stopping it, drops the run
// before it: its result and what it tells are never delivered, and the window does not wait for
// it (a system call that reads a whole file cannot be cut short), so that the window answers at
// every moment. Dropped runs end on their own and are waited for when the job goes.

#include "controls/Form.h"
#include "platform/Threads.h"
#include "platform/Trace.h"
#include "platform/Worker.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace korrimat::controls {

// What a job's work is given while it runs.
class JobRun {
public:
    JobRun(HANDLE stop, PostedMessage told, std::uintptr_t serial, std::atomic<std::uintptr_t>& value) noexcept
        : stop_(stop), told_(told), serial_(serial), value_(value)
    {
    }
    // The event set when the run is dropped: the work's cue to return.
    HANDLE StopEvent() const noexcept { return stop_; }
    bool StopAsked() const noexcept { return ::WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }
    // Tells the window `value` (the job's onTold runs with the latest value told).
    void Tell(std::uintptr_t value) const noexcept
    {
        value_ = value;
        told_.Post(serial_);
    }
    // A follower of a read of `total` bytes that tells the window the percent done, only when it
    // changes and only for reads of at least `smallest` bytes (a small read ends before anyone
    // could see it).
    std::function<void(std::uint64_t done, std::uint64_t total)> PercentTeller(std::uint64_t smallest) const
    {
        return [this, smallest, told = std::uintptr_t{101}](std::uint64_t done, std::uint64_t total) mutable {
            if (total < smallest)
                return;
            const auto percent = static_cast<std::uintptr_t>(done >= total ? 100 : done * 100 / total);
            if (percent != told)
                Tell(percent);
            told = percent;
        };
    }

private:
    HANDLE stop_;
    PostedMessage told_;
    std::uintptr_t serial_;
    std::atomic<std::uintptr_t>& value_;
};

template <typename Result>
class BackgroundJob {
public:
    explicit BackgroundJob(const ThreadStarter& threads) : threads_(threads) {}
    // Waits for every run still going: no thread outlives the job.
    ~BackgroundJob() { Stop(); }
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Connects the job to the window its results go to; once, after the window is made.
    void Attach(Form& window)
    {
        finished_ = window.AddPostedMessage([this](std::uintptr_t serial) { Finished(serial); });
        told_ = window.AddPostedMessage([this](std::uintptr_t serial) { Told(serial); });
    }

    // Runs `work` on a worker of its own, dropping the run before. False when no thread could be
    // started: nothing runs then. An exception out of the work is traced and ends the run with a
    // result made by Result's default constructor.
    [[nodiscard]] bool Start(std::function<Result(const JobRun&)> work)
    {
        Stop();
        auto run = std::make_shared<Run>();
        run->serial = ++serial_;
        auto worker = std::make_unique<Worker>(threads_);
        const PostedMessage finished = finished_;
        const PostedMessage told = told_;
        const bool started = worker->Start([run, finished, told, work = std::move(work)](HANDLE stop) {
            const JobRun context(stop, told, run->serial, run->told);
            try {
                run->result = work(context);
            } catch (...) {
                TraceFailure("a background job ended with an exception");
                run->result.emplace();
            }
            finished.Post(run->serial);
        });
        if (!started)
            return false;
        run_ = std::move(run);
        worker_ = std::move(worker);
        return true;
    }

    // Drops the run going, if any, without waiting for it.
    void Stop() noexcept
    {
        if (worker_) {
            worker_->AskToStop();
            dropped_.emplace_back(run_->serial, std::move(worker_));
        }
        run_.reset();
        // Runs dropped before that have ended since go now.
        std::erase_if(dropped_, [](const Dropped& dropped) { return dropped.second->Ended(); });
    }

    bool Running() const noexcept { return run_ != nullptr; }

    // The run's result, on the window's thread.
    std::function<void(Result&&)> onFinished;
    // The latest value the run told, on the window's thread.
    std::function<void(std::uintptr_t)> onTold;

private:
    struct Run {
        std::uintptr_t serial = 0;
        std::optional<Result> result;  // written by the worker before it posts the end
        std::atomic<std::uintptr_t> told{0};
    };

    void Finished(std::uintptr_t serial)
    {
        if (!run_ || serial != run_->serial) {
            // A dropped run's last message: its thread is ending, and goes with its handles now.
            std::erase_if(dropped_, [serial](const Dropped& dropped) { return dropped.first == serial; });
            return;
        }
        // The thread has posted its last message: it ends in a moment.
        worker_->Stop();
        worker_.reset();
        const std::shared_ptr<Run> run = std::move(run_);
        if (onFinished)
            onFinished(std::move(*run->result));
    }

    void Told(std::uintptr_t serial)
    {
        if (run_ && serial == run_->serial && onTold)
            onTold(run_->told.load());
    }

    const ThreadStarter& threads_;
    PostedMessage finished_;
    PostedMessage told_;
    std::uintptr_t serial_ = 0;
    std::shared_ptr<Run> run_;
    std::unique_ptr<Worker> worker_;
    using Dropped = std::pair<std::uintptr_t, std::unique_ptr<Worker>>;
    std::vector<Dropped> dropped_;
};

} // namespace korrimat::controls
