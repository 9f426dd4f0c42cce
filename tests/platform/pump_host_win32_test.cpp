// The Windows host delivers posted messages at a yield, once due.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/pump_host.h"

namespace hs {
namespace {

int delivered = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++delivered;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PumpHostTest, YieldDispatchesPendingMessages) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HivesweepPumpTest";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND window = CreateWindowA("HivesweepPumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);

    PumpHost host([](const std::string& question) { return question == "CANCEL SCANNING" ? "YES" : "NO"; });
    PostMessageA(window, WM_APP, 0, 0);
    host.Yield();
    EXPECT_EQ(1, delivered);
    // Within the interval a yield leaves messages waiting.
    PostMessageA(window, WM_APP, 0, 0);
    host.Yield();
    EXPECT_EQ(1, delivered);
    Sleep(2 * kPumpIntervalMs);
    host.Yield();
    EXPECT_EQ(2, delivered);
    EXPECT_EQ("YES", host.AskMessageBox("CANCEL SCANNING"));

    DestroyWindow(window);
    UnregisterClassA("HivesweepPumpTest", windowClass.hInstance);
}

} // namespace
} // namespace hs
