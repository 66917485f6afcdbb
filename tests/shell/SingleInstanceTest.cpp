// A second start against a first program that is hung, or ending between its message loop and the
// end of its frame. The first program is a thread of the test that holds the claim and a frame of
// the single-instance class and handles none of its messages; the waits are shortened.
#include "shell/CSingleInstance.h"
#include "support/TestThread.h"

#include "framework/ScopedHandles.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char kNoSheet[] = "Tarvolo - Einstellungen (none in this test)";

class FirstProgram {
public:
    // what the program does with its frame and its claim once both are there
    using Life = std::function<void(HWND hFrame, HANDLE hClaim)>;

    explicit FirstProgram(Life life) : m_life(std::move(life)), m_thread([this] { Run(); }) {
        WaitForSingleObject(m_ready.Get(), INFINITE);
    }
    HWND Frame() const { return m_hFrame; }

private:
    void Run() {
        const HANDLE hClaim = CreateMutexA(nullptr, TRUE, CSingleInstance::CLAIM_NAME);
        m_hFrame = CreateWindowA(CSingleInstance::WINDOW_CLASS, "", WS_OVERLAPPED, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetEvent(m_ready.Get());
        m_life(m_hFrame, hClaim);
        CloseHandle(hClaim); // a claim not released is abandoned when the thread ends
    }

    fw::ScopedHandle m_ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND m_hFrame = nullptr;
    Life m_life;
    TestThread m_thread;
};

// Ends its frame after a while without handling a message, then perhaps handles what is queued
// (the request then finds no window), and gives its claim up a while after.
FirstProgram::Life Ending(bool bPumps, DWORD nClaimKeptMs, bool bReleases) {
    return [=](HWND hFrame, HANDLE hClaim) {
        Sleep(200);
        DestroyWindow(hFrame);
        MSG msg;
        while (bPumps && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(nClaimKeptMs);
        if (bReleases)
            ReleaseMutex(hClaim);
    };
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_classOwner.RegisterWindowClass(GetModuleHandleA(nullptr), nullptr));
    }
    void TearDown() override { m_classOwner.UnregisterWindowClass(GetModuleHandleA(nullptr)); }

    CSingleInstance m_classOwner;
    CSingleInstance::PATIENCE m_patience{1000, 300, 300};
};

} // namespace

// A frame that does not answer in time is a hung program: the start gives up and starts nothing.
TEST_F(SingleInstance, AFrameThatDoesNotAnswerIsHungAndTheStartGivesUp) {
    const fw::ScopedHandle unhung(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    FirstProgram first([&](HWND hFrame, HANDLE) {
        WaitForSingleObject(unhung.Get(), 3000);
        DestroyWindow(hFrame);
    });
    CSingleInstance second(m_patience);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(second.ClaimOrPass(false, kNoSheet));
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_TRUE(IsWindow(first.Frame())) << "the start waited for more than the answer";
    SetEvent(unhung.Get());
}

// The frame went without taking the request: the start waits for the claim (given up or left by
// the program's end) and then starts as the running program, or gives up after its patience.
TEST_F(SingleInstance, AFrameThatGoesWithoutTheRequestIsAProgramEndingAndTheStartTakesOver) {
    const struct {
        bool bPumps;
        DWORD nClaimKeptMs;
        bool bReleases;
        bool bStarts;
    } cases[] = {
        {false, 200, false, true}, // the request fails with the thread, the claim is abandoned
        {true, 300, true, true},   // the request finds no window, the claim is released
        {true, 1700, true, false}, // longer than the start's patience
    };
    m_patience.nAnswerMs = 5000; // the frame goes long before
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nClaimKeptMs);
        FirstProgram first(Ending(c.bPumps, c.nClaimKeptMs, c.bReleases));
        CSingleInstance second(m_patience);
        EXPECT_EQ(c.bStarts, second.ClaimOrPass(false, kNoSheet));
    }
}
