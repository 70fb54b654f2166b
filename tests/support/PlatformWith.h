#pragma once
// A platform whose parts `Seams...` are answered by this object's own overrides (`Calls`, derived
// from those seams) and the rest by the system: a test's way to give a failure the real system
// cannot be made to give, or to watch the calls made.

#include "platform/Platform.h"

#include <utility>

namespace korrimat::testing {

template <typename Calls, typename... Seams>
class PlatformWith : public Calls, public Platform {
public:
    template <typename... Arguments>
    explicit PlatformWith(Arguments&&... arguments)
        : Calls(std::forward<Arguments>(arguments)...), Platform(Joined(*this))
    {
    }

private:
    static Platform Joined(const Calls& calls)
    {
        Platform platform = SystemPlatform();
        ((platform = platform.With(static_cast<const Seams&>(calls))), ...);
        return platform;
    }
};

} // namespace korrimat::testing
