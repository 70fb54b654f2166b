#pragma once
// The process's environment variables, as a seam a test overrides to start elsewhere.

#include <string>

namespace korrimat {

class EnvironmentVariables {
public:
    virtual ~EnvironmentVariables() = default;
    // GetEnvironmentVariableA: the value, or empty text when the variable is not set.
    [[nodiscard]] virtual std::string Get(const std::string& name) const;
};

} // namespace korrimat
