#pragma once
// Small helpers for failures that are handled but must not pass unseen, and for work that must
// happen however a scope is left.

#include <string_view>
#include <utility>

namespace korrimat {

// Leaves a line for a developer (the debugger's output, or DebugView): for a failure the program
// gets over, such as an exception caught so that the window goes on.
void TraceFailure(std::string_view what);

// Runs `action` when the scope it lives in is left, by any way.
template <typename Action>
class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

} // namespace korrimat
