#pragma once
// Helpers shared by the tests of both trees (native and Win32).

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace pomocnicy {

// An application on the headless backend, for tests of forms and controls.
struct NaHeadless : ::testing::Test {
    ui::headless::HeadlessBackend backend;
    ui::Application app{backend};
};

}  // namespace pomocnicy
