#pragma once
// A test program that makes windows sets up OLE and the common controls once, before its first
// test, as Korrimat does before its window.

#include "controls/WindowSystem.h"

#include <gtest/gtest.h>

#include <optional>

namespace korrimat::testing {

// OLE and the common controls, once for the whole test program, as the program itself does.
class WindowSystemEnvironment : public ::testing::Environment {
public:
    void SetUp() override { windowSystem_.emplace(); }
    void TearDown() override { windowSystem_.reset(); }

private:
    std::optional<controls::WindowSystem> windowSystem_;
};
inline ::testing::Environment* const kWindowSystem =
    ::testing::AddGlobalTestEnvironment(new WindowSystemEnvironment);

} // namespace korrimat::testing
