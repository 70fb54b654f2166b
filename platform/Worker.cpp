#include "platform/Worker.h"
#include "platform/Trace.h"


namespace korrimat {

bool Worker::Start(std::function<void(HANDLE stop)> work)
{
    Stop();
    stop_ = NewEvent();
    if (!stop_)
        return false;
    work_ = std::move(work);
    thread_ = threads_.Start(&Worker::Run, this);
    if (!thread_) {
        work_ = nullptr;
        stop_.Reset();
        return false;
    }
    return true;
}

void Worker::Stop() noexcept
{
    if (thread_) {
        AskToStop();
        ::WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    stop_.Reset();
    work_ = nullptr;
}

void Worker::AskToStop() noexcept
{
    if (!thread_)
        return;
    ::SetEvent(stop_.Get());
    // A read from a slow or lost network share would otherwise hold the thread until it ends:
    // cancelled, it fails, and the work sees the stop event.
    ::CancelSynchronousIo(thread_.Get());
}

bool Worker::Ended() const noexcept
{
    return !thread_ || ::WaitForSingleObject(thread_.Get(), 0) == WAIT_OBJECT_0;
}

unsigned __stdcall Worker::Run(void* self)
{
    auto* worker = static_cast<Worker*>(self);
    try {
        worker->work_(worker->stop_.Get());
    } catch (...) {
        // The work ends; nothing may leave the thread.
        TraceFailure("a worker's work ended with an exception");
    }
    return 0;
}

} // namespace korrimat
