#pragma once
// Whether a window keeps answering while it works: another thread sends it a message every 20 ms.

#include "tests/support/WindowTesting.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace korrimat::testing {

// Another thread that sends the window a message every 20 ms, as a user's clicks and the system's
// checks would, and keeps the longest wait for an answer.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window)
        : thread_([this, window] {
              LARGE_INTEGER frequency{};
              ::QueryPerformanceFrequency(&frequency);
              while (!stop_) {
                  LARGE_INTEGER sent{};
                  LARGE_INTEGER answered{};
                  DWORD_PTR result = 0;
                  ::QueryPerformanceCounter(&sent);
                  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
                  ::QueryPerformanceCounter(&answered);
                  slowest_ = std::max(slowest_.load(), (answered.QuadPart - sent.QuadPart) * 1000 / frequency.QuadPart);
                  ::Sleep(20);
              }
              ended_ = true;
          })
    {
    }
    ~AnswerWatch()
    {
        stop_ = true;
        thread_.join();
    }

    // The slowest answer, in milliseconds, once the watch has ended; the window answers its last
    // message meanwhile.
    long long Stop(controls::Form& window)
    {
        stop_ = true;
        PumpUntil(window, [this] { return ended_.load(); }, 60000);
        return slowest_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::atomic<long long> slowest_{0};
    std::thread thread_;
};

} // namespace korrimat::testing
