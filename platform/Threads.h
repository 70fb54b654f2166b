#pragma once
// Threads, as a seam a test overrides to make a thread's start fail, and the events they wait on.

#include "platform/UniqueHandle.h"

#include <windows.h>

namespace korrimat {

// A thread's start function, as the runtime's thread start takes it.
using ThreadMain = unsigned(__stdcall*)(void* argument);

class ThreadStarter {
public:
    virtual ~ThreadStarter() = default;
    // _beginthreadex: a running thread; empty on failure (nothing runs then).
    [[nodiscard]] virtual UniqueThread Start(ThreadMain main, void* argument) const;
};

// CreateEventW: a manual-reset event, not set; empty on failure.
[[nodiscard]] UniqueEvent NewEvent();

} // namespace korrimat
