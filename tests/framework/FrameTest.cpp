// The frame's life within the application: closing, ending the loop, deleting itself, routing
// commands and deciding about menu items.
#include "framework/AppMessageBox.h"
#include "framework/CFrameWnd.h"
#include "framework/CWinApp.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr UINT ID_FRAME_COMMAND = 100;
constexpr UINT ID_OTHER_COMMAND = 200;
constexpr UINT ID_DISABLED_ITEM = 101;
constexpr UINT ID_ENABLED_ITEM = 102;
constexpr UINT ID_UNDECIDED_ITEM = 103;

struct FrameEvents {
    bool destroyed = false;
    bool quitPendingAtDestruction = false;
    std::vector<UINT> commands;
};

class TestFrame : public CFrameWnd {
public:
    explicit TestFrame(FrameEvents& events) : m_events(events) {}
    ~TestFrame() override {
        MSG msg;
        m_events.quitPendingAtDestruction =
            PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
        m_events.destroyed = true;
    }

protected:
    BOOL OnCmdMsg(UINT nID) override {
        if (nID != ID_FRAME_COMMAND)
            return FALSE;
        m_events.commands.push_back(nID);
        return TRUE;
    }
    BOOL OnUpdateCmdUI(CCmdUI& cmdUI) override {
        if (cmdUI.m_nID != ID_DISABLED_ITEM && cmdUI.m_nID != ID_ENABLED_ITEM)
            return FALSE;
        cmdUI.Enable(cmdUI.m_nID == ID_ENABLED_ITEM);
        return TRUE;
    }

private:
    FrameEvents& m_events;
};

class TestApp : public CWinApp {
public:
    using CWinApp::CWinApp;
    std::function<BOOL(TestApp&)> init = [](TestApp&) { return FALSE; };
    int exitCalls = 0;
    int exitResult = -100; // -100: the base's result
    std::vector<UINT> commands;
    std::vector<UINT> undecidedItems;

    BOOL InitInstance() override { return init(*this); }
    int ExitInstance() override {
        ++exitCalls;
        return exitResult == -100 ? CWinApp::ExitInstance() : exitResult;
    }
    BOOL OnCmdMsg(UINT nID) override {
        commands.push_back(nID);
        return CWinApp::OnCmdMsg(nID);
    }
    BOOL OnUpdateCmdUI(CCmdUI& cmdUI) override {
        undecidedItems.push_back(cmdUI.m_nID);
        return FALSE;
    }
    int QuitCode() const { return m_nQuitCode; }
};

// Restores the message-box caption that a started application sets.
class TitleGuard {
public:
    TitleGuard() : m_title(fw::AppTitle()) {}
    ~TitleGuard() { fw::SetAppTitle(m_title); }

private:
    std::string m_title;
};

void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TestFrame* CreateFrame(FrameEvents& events) {
    auto* frame = new TestFrame(events);
    return frame->LoadFrame(IDS_PROGRAM_NAME) ? frame : nullptr;
}

} // namespace

TEST(Frame, CloseDestroysTheWindowAndTheFrameDeletesItself) {
    FrameEvents events;
    TestFrame* frame = CreateFrame(events);
    ASSERT_NE(nullptr, frame);
    HWND hWnd = frame->m_hWnd;
    char title[64] = {};
    GetWindowTextA(hWnd, title, sizeof title);
    EXPECT_STREQ("Tarvolo", title);
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(events.destroyed);
    EXPECT_FALSE(events.quitPendingAtDestruction);
    DrainMessages();
}

TEST(Frame, TitleIsTheFirstLineOfItsStringInCp1252) {
    FrameEvents events;
    auto* frame = new TestFrame(events);
    ASSERT_TRUE(frame->LoadFrame(IDS_RAS_FAILED));
    char title[128] = {};
    GetWindowTextA(frame->m_hWnd, title, sizeof title);
    EXPECT_STREQ("Der Zugriff auf das DF\xDC-Netzwerk ist fehlgeschlagen!", title);
    frame->DestroyWindow();
    EXPECT_TRUE(events.destroyed);
}

TEST(Frame, MainFrameEndsTheLoopOnlyAfterItsObjectIsGone) {
    TitleGuard title;
    FrameEvents events;
    TestApp app;
    app.exitResult = 7;
    HWND frameWindow = nullptr;
    app.init = [&](TestApp& self) {
        TestFrame* frame = CreateFrame(events);
        if (!frame)
            return FALSE;
        self.m_pMainWnd = frame;
        frameWindow = frame->m_hWnd;
        PostMessageA(frameWindow, WM_COMMAND, AFX_ID_APP_EXIT, 0);
        return TRUE;
    };
    EXPECT_EQ(7, app.Main(GetModuleHandleA(nullptr), "", SW_HIDE));
    EXPECT_TRUE(events.destroyed);
    EXPECT_FALSE(events.quitPendingAtDestruction);
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(1, app.exitCalls);
    EXPECT_EQ(std::vector<UINT>{AFX_ID_APP_EXIT}, app.commands);
}

TEST(Frame, PostedQuitEndsTheLoopWithTheFrameAlive) {
    TitleGuard title;
    FrameEvents events;
    TestApp app;
    app.init = [&](TestApp& self) {
        self.m_pMainWnd = CreateFrame(events);
        PostQuitMessage(3);
        return self.m_pMainWnd != nullptr;
    };
    EXPECT_EQ(3, app.Main(GetModuleHandleA(nullptr), "", SW_HIDE));
    EXPECT_EQ(3, app.QuitCode());
    ASSERT_NE(nullptr, app.m_pMainWnd);
    EXPECT_FALSE(events.destroyed);
    app.m_pMainWnd->DestroyWindow();
    EXPECT_TRUE(events.destroyed);
    DrainMessages();
}

TEST(Frame, FailedStartRunsExitInstanceWithoutALoop) {
    TitleGuard title;
    FrameEvents events;
    TestApp app;
    app.init = [&](TestApp& self) {
        self.m_pMainWnd = CreateFrame(events);
        PostMessageA(nullptr, WM_APP, 0, 0);
        return FALSE;
    };
    EXPECT_EQ(0, app.Main(GetModuleHandleA(nullptr), "", SW_HIDE));
    EXPECT_EQ(1, app.exitCalls);
    EXPECT_TRUE(events.destroyed); // a main window left by the failed start is destroyed
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)); // never dispatched
    DrainMessages();
}

TEST(Frame, ApplicationTakesInstanceCommandLineAndTitle) {
    TitleGuard title;
    fw::SetAppTitle("before");
    TestApp app;
    app.Main(GetModuleHandleA(nullptr), "/QUIT extra", SW_SHOWMINIMIZED);
    EXPECT_EQ(GetModuleHandleA(nullptr), app.m_hInstance);
    EXPECT_EQ("/QUIT extra", app.m_strCmdLine);
    EXPECT_EQ(SW_SHOWMINIMIZED, app.m_nCmdShow);
    EXPECT_EQ("Tarvolo", app.m_strAppName); // string 57344
    EXPECT_EQ("Tarvolo", fw::AppTitle());

    TestApp named("Named");
    named.Main(GetModuleHandleA(nullptr), nullptr, SW_HIDE);
    EXPECT_EQ("", named.m_strCmdLine);
    EXPECT_EQ("Named", fw::AppTitle());
}

TEST(Frame, TheLatestApplicationObjectIsTheCurrentOne) {
    EXPECT_EQ(nullptr, fw::GetApp());
    EXPECT_EQ(-1, fw::AppWinMain(GetModuleHandleA(nullptr), "", SW_HIDE));
    {
        TestApp outer;
        EXPECT_EQ(&outer, fw::GetApp());
        {
            TestApp inner;
            EXPECT_EQ(&inner, fw::GetApp());
        }
        EXPECT_EQ(&outer, fw::GetApp());
    }
    EXPECT_EQ(nullptr, fw::GetApp());
}

TEST(Frame, CommandsGoToTheFrameFirstThenToTheApplication) {
    TestApp app;
    FrameEvents events;
    TestFrame* frame = CreateFrame(events);
    ASSERT_NE(nullptr, frame);
    HWND hWnd = frame->m_hWnd;
    SendMessageA(hWnd, WM_COMMAND, ID_FRAME_COMMAND, 0);
    SendMessageA(hWnd, WM_COMMAND, ID_OTHER_COMMAND, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(ID_OTHER_COMMAND, EN_CHANGE), 1);
    EXPECT_EQ(std::vector<UINT>{ID_FRAME_COMMAND}, events.commands);
    EXPECT_EQ(std::vector<UINT>{ID_OTHER_COMMAND}, app.commands);
    frame->DestroyWindow();
    DrainMessages();
}

TEST(Frame, ApplicationExitClosesOnlyItsMainWindow) {
    TestApp app;
    FrameEvents mainEvents;
    FrameEvents otherEvents;
    TestFrame* mainFrame = CreateFrame(mainEvents);
    TestFrame* otherFrame = CreateFrame(otherEvents);
    ASSERT_TRUE(mainFrame && otherFrame);
    app.m_pMainWnd = mainFrame;
    SendMessageA(otherFrame->m_hWnd, WM_COMMAND, AFX_ID_APP_EXIT, 0);
    EXPECT_TRUE(mainEvents.destroyed);
    EXPECT_FALSE(otherEvents.destroyed);
    otherFrame->DestroyWindow();
    DrainMessages(); // the quit of the main frame is pending, but no loop waits for it
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(Frame, PopupMenuItemsAreEnabledAsTheFrameDecides) {
    TestApp app;
    FrameEvents events;
    TestFrame* frame = CreateFrame(events);
    ASSERT_NE(nullptr, frame);
    HMENU popup = CreatePopupMenu();
    HMENU submenu = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, ID_DISABLED_ITEM, "one");
    AppendMenuA(popup, MF_STRING | MF_GRAYED, ID_ENABLED_ITEM, "two");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING | MF_GRAYED, ID_UNDECIDED_ITEM, "three");
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "more");

    SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(0, FALSE));
    EXPECT_TRUE(GetMenuState(popup, ID_DISABLED_ITEM, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(popup, ID_ENABLED_ITEM, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(popup, ID_UNDECIDED_ITEM, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(std::vector<UINT>{ID_UNDECIDED_ITEM}, app.undecidedItems);

    // The system menu holds no commands of the program.
    EnableMenuItem(popup, ID_DISABLED_ITEM, MF_BYCOMMAND | MF_ENABLED);
    SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(0, TRUE));
    EXPECT_FALSE(GetMenuState(popup, ID_DISABLED_ITEM, MF_BYCOMMAND) & MF_GRAYED);

    DestroyMenu(popup);
    frame->DestroyWindow();
}

TEST(Frame, AFrameHeldElsewhereDoesNotDeleteItself) {
    FrameEvents events;
    {
        TestFrame frame(events);
        frame.m_bAutoDelete = FALSE;
        ASSERT_TRUE(frame.LoadFrame(IDS_PROGRAM_NAME));
        SendMessageA(frame.m_hWnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(nullptr, frame.m_hWnd);
        EXPECT_FALSE(events.destroyed);
    }
    EXPECT_TRUE(events.destroyed);
}
