// Shared helpers of the windowing tests: a fixture on a fresh headless backend and a window
// class that records the messages it receives.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/headless_backend.h"
#include "platform/ui/ui.h"

namespace farvane::ui::testing {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message that reached a window of the recording class, in order.
std::vector<Received>& Log();
// The messages of the log as names ("WM_CREATE", ...), unnamed ones as numbers.
std::vector<std::string> LoggedNames(HWND window = nullptr);
std::string MessageName(UINT message);
inline constexpr const char* kRecorderClass = "TestRecorder";

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    HWND CreateRecorder(const char* title = "Recorder",
                        DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = nullptr,
                        UINT id = 0);

    HeadlessBackend* backend = nullptr;
};

}  // namespace farvane::ui::testing
