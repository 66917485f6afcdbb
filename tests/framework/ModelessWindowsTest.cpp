// Modeless dialogs and sheets get their messages before the loop dispatches them, and only
// the messages meant for them.
#include "framework/ModelessWindows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Windows {
    HWND top = nullptr;
    HWND child = nullptr;
    HWND other = nullptr;

    Windows() {
        top = CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                              nullptr, nullptr);
        child = CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr,
                                nullptr);
        other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
    }
    ~Windows() {
        fw::RemoveModelessWindow(top);
        DestroyWindow(top);
        DestroyWindow(other);
    }
};

MSG MessageFor(HWND hWnd, UINT message = WM_KEYDOWN, WPARAM wParam = VK_TAB) {
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = message;
    msg.wParam = wParam;
    return msg;
}

} // namespace

TEST(ModelessWindows, FilterGetsTheMessagesOfItsWindowAndItsChildrenOnly) {
    Windows w;
    std::vector<HWND> offered;
    fw::AddModelessWindow(w.top, [&](HWND window, MSG& msg) {
        EXPECT_EQ(w.top, window);
        offered.push_back(msg.hwnd);
        return true;
    });
    MSG toChild = MessageFor(w.child);
    MSG toTop = MessageFor(w.top);
    MSG toOther = MessageFor(w.other);
    MSG toNobody = MessageFor(nullptr, WM_TIMER);
    EXPECT_TRUE(fw::FilterModelessMessage(toChild));
    EXPECT_TRUE(fw::FilterModelessMessage(toTop));
    EXPECT_FALSE(fw::FilterModelessMessage(toOther));
    EXPECT_FALSE(fw::FilterModelessMessage(toNobody));
    EXPECT_EQ((std::vector<HWND>{w.child, w.top}), offered);
}

TEST(ModelessWindows, RemovedAndDestroyedWindowsAreNoLongerAsked) {
    Windows w;
    int calls = 0;
    auto count = [&](HWND, MSG&) { return ++calls, true; };
    fw::AddModelessWindow(w.top, count);
    fw::RemoveModelessWindow(w.top);
    MSG msg = MessageFor(w.child);
    EXPECT_FALSE(fw::FilterModelessMessage(msg));

    fw::AddModelessWindow(w.other, count);
    DestroyWindow(w.other);
    w.other = nullptr;
    MSG stale = MessageFor(w.top);
    EXPECT_FALSE(fw::FilterModelessMessage(stale));
    EXPECT_EQ(0, calls);
}

TEST(ModelessWindows, AFilterMayRemoveItselfWhileItRuns) {
    Windows w;
    int calls = 0;
    fw::AddModelessWindow(w.top, [&](HWND window, MSG&) {
        ++calls;
        fw::RemoveModelessWindow(window);
        return false;
    });
    MSG msg = MessageFor(w.top);
    EXPECT_FALSE(fw::FilterModelessMessage(msg));
    EXPECT_FALSE(fw::FilterModelessMessage(msg));
    EXPECT_EQ(1, calls);
}

TEST(ModelessWindows, SecondRegistrationReplacesTheFilter) {
    Windows w;
    fw::AddModelessWindow(w.top, [](HWND, MSG&) { return false; });
    fw::AddModelessWindow(w.top, [](HWND, MSG&) { return true; });
    MSG msg = MessageFor(w.top);
    EXPECT_TRUE(fw::FilterModelessMessage(msg));
}
