// CTrayIcon against Wine's notification area (under Xvfb), with the shell calls recorded.
#include "ShellCallLog.h"
#include "TrayOwnerWindow.h"

#include "framework/ScopedHandles.h"
#include "resource.h"
#include "shell/AppMessages.h"
#include "shell/CTrayIcon.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kTrayId = IDR_TRAYMENU;

// The tray's picture as the frame loads it.
HICON LoadTrayImage(int id) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

// Asks Wine's notification area itself whether it holds the icon: changing an icon it does not
// know fails.
bool ShellKnows(HWND hWnd, UINT id) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hWnd;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, m_owner.Handle());
        ASSERT_NE(nullptr, m_idle.Get());
        ASSERT_NE(nullptr, m_online.Get());
        m_owner.Attach(&m_tray);
    }

    bool CreateTray(UINT id = kTrayId) {
        return m_tray.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), id);
    }

    LRESULT Callback(UINT mouseMessage, UINT id = kTrayId) {
        const LRESULT result = SendMessageA(m_owner.Handle(), WM_TRAY_NOTIFY, id, mouseMessage);
        m_owner.Pump();
        return result;
    }

    ShellCallLog m_shell;
    fw::ScopedIcon m_idle{LoadTrayImage(IDI_TRAY_IDLE)};
    fw::ScopedIcon m_online{LoadTrayImage(IDI_TRAY_ONLINE)};
    TrayOwnerWindow m_owner;
    CTrayIcon m_tray{&ShellCallLog::PassOn};
};

} // namespace

TEST_F(TrayIconTest, CreateAddsTheIconWithTheFirstRecordForm) {
    ASSERT_TRUE(CreateTray());
    ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, m_shell.Messages());
    const NOTIFYICONDATAA& added = m_shell.Last().data;
    EXPECT_EQ(sizeof(void*) == 4 ? 88u : 104u, added.cbSize); // the first layout
    EXPECT_EQ(m_owner.Handle(), added.hWnd);
    EXPECT_EQ(kTrayId, added.uID);
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), added.uFlags);
    EXPECT_EQ(UINT(WM_TRAY_NOTIFY), added.uCallbackMessage);
    EXPECT_EQ(m_idle.Get(), added.hIcon);
    EXPECT_STREQ("Tarvolo", added.szTip);
    EXPECT_EQ(m_idle.Get(), m_tray.GetIcon());
    EXPECT_TRUE(ShellKnows(m_owner.Handle(), kTrayId));
}

TEST_F(TrayIconTest, IconAndTooltipChangesReachTheShell) {
    ASSERT_TRUE(CreateTray());
    m_shell.Clear();
    EXPECT_TRUE(m_tray.SetIcon(m_online.Get()));
    EXPECT_TRUE(m_tray.SetTooltipText("Tarvolo: 12,34 MByte"));
    ASSERT_EQ((std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}), m_shell.Messages());
    EXPECT_EQ(UINT(NIF_ICON), m_shell.All()[0].data.uFlags);
    EXPECT_EQ(m_online.Get(), m_shell.All()[0].data.hIcon);
    EXPECT_EQ(UINT(NIF_TIP), m_shell.All()[1].data.uFlags);
    EXPECT_STREQ("Tarvolo: 12,34 MByte", m_shell.All()[1].data.szTip);
    EXPECT_EQ(m_online.Get(), m_tray.GetIcon());
}

TEST_F(TrayIconTest, TooltipIsCutToWhatTheRecordHolds) {
    ASSERT_TRUE(CreateTray());
    const std::string longTip(100, 'x');
    EXPECT_TRUE(m_tray.SetTooltipText(longTip.c_str()));
    EXPECT_EQ(std::string(63, 'x'), m_shell.Last().data.szTip);
}

TEST_F(TrayIconTest, HideTwiceThenShowTwiceIsOneDeleteAndOneAdd) {
    ASSERT_TRUE(CreateTray());
    m_tray.SetIcon(m_online.Get());
    m_tray.SetTooltipText("Tarvolo: 1,00 MByte");
    m_shell.Clear();

    m_tray.HideIcon();
    EXPECT_FALSE(ShellKnows(m_owner.Handle(), kTrayId));
    EXPECT_FALSE(m_tray.HideIcon());
    m_tray.ShowIcon();
    EXPECT_FALSE(m_tray.ShowIcon());

    ASSERT_EQ((std::vector<DWORD>{NIM_DELETE, NIM_ADD}), m_shell.Messages());
    // The icon comes back as it was last set, with the same id and callback.
    const NOTIFYICONDATAA& added = m_shell.Last().data;
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), added.uFlags);
    EXPECT_EQ(m_online.Get(), added.hIcon);
    EXPECT_STREQ("Tarvolo: 1,00 MByte", added.szTip);
    EXPECT_EQ(kTrayId, added.uID);
    EXPECT_EQ(UINT(WM_TRAY_NOTIFY), added.uCallbackMessage);
    EXPECT_TRUE(ShellKnows(m_owner.Handle(), kTrayId));
}

TEST_F(TrayIconTest, RemoveDeletesOnceAndEndsEveryOperation) {
    ASSERT_TRUE(CreateTray());
    m_tray.RemoveIcon();
    m_tray.RemoveIcon();
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), m_shell.Messages());
    EXPECT_FALSE(ShellKnows(m_owner.Handle(), kTrayId));
    EXPECT_EQ(nullptr, m_tray.GetIcon());
    EXPECT_FALSE(m_tray.SetIcon(m_online.Get()));
    EXPECT_FALSE(m_tray.SetTooltipText("x"));
    EXPECT_FALSE(m_tray.HideIcon());
    EXPECT_FALSE(m_tray.ShowIcon());
    EXPECT_EQ(2u, m_shell.All().size());
}

TEST_F(TrayIconTest, DestructionRemovesTheIcon) {
    {
        CTrayIcon tray(&ShellCallLog::PassOn);
        ASSERT_TRUE(tray.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), 131));
        EXPECT_TRUE(ShellKnows(m_owner.Handle(), 131));
    }
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), m_shell.Messages());
    EXPECT_FALSE(ShellKnows(m_owner.Handle(), 131));
}

void ExpectEveryLaterCallFalse(CTrayIcon& tray, HICON icon, const ShellCallLog& shell) {
    const size_t callsBefore = shell.All().size();
    EXPECT_FALSE(tray.SetIcon(icon));
    EXPECT_FALSE(tray.SetTooltipText("Tarvolo: 0,00 MByte"));
    EXPECT_FALSE(tray.HideIcon());
    EXPECT_FALSE(tray.ShowIcon());
    EXPECT_EQ(nullptr, tray.GetIcon());
    tray.RemoveIcon();
    EXPECT_EQ(callsBefore, shell.All().size()) << "no call may reach the shell";
}

TEST_F(TrayIconTest, CreateWithoutALiveWindowFailsWithoutAskingTheShell) {
    EXPECT_FALSE(m_tray.Create(nullptr, WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(m_tray.Create(gone, WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    EXPECT_TRUE(m_shell.All().empty());
    ExpectEveryLaterCallFalse(m_tray, m_online.Get(), m_shell);
}

TEST_F(TrayIconTest, IconTheShellRefusesLeavesEveryLaterCallFalse) {
    CTrayIcon refused(&ShellCallLog::Refuse);
    EXPECT_FALSE(
        refused.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    EXPECT_EQ(std::vector<DWORD>{NIM_ADD}, m_shell.Messages());
    ExpectEveryLaterCallFalse(refused, m_online.Get(), m_shell);
}

// The notification area is not there yet at logon, or the add timed out under load: a later
// try, a modification first and then an add, shows the icon as it is by then.
TEST_F(TrayIconTest, AnAddTheShellRefusedIsRetriedWithTheIconAsItIsThen) {
    ShellCallLog::SetRefusals(3);
    CTrayIcon late(&ShellCallLog::RefuseFirst);
    EXPECT_FALSE(late.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    EXPECT_TRUE(late.IsSetUp());
    EXPECT_FALSE(late.SetIcon(m_online.Get()));
    EXPECT_FALSE(late.SetTooltipText("Tarvolo: 1,00 MByte"));
    EXPECT_FALSE(late.RetryAdd());
    EXPECT_TRUE(late.RetryAdd());
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_MODIFY}), m_shell.Messages());
    EXPECT_EQ(m_online.Get(), m_shell.Last().data.hIcon);
    EXPECT_STREQ("Tarvolo: 1,00 MByte", m_shell.Last().data.szTip);
    EXPECT_EQ(unsigned(NIF_MESSAGE | NIF_ICON | NIF_TIP), m_shell.Last().data.uFlags);
    EXPECT_TRUE(late.IsEnabled());
    EXPECT_TRUE(late.RetryAdd()); // shown: nothing more reaches the shell
    EXPECT_EQ(4u, m_shell.Messages().size());
}

// Whether the owner still has the timer of the offers; asking ends it.
bool RetryTimerWasSet(HWND hWnd) {
    return KillTimer(hWnd, CTrayIcon::IDT_RETRY) != FALSE;
}

// Each offer is a modification and an add, once a second for two minutes: the offers end when
// the shell takes the icon, at a tick or at a new taskbar, or after the 120th tick; a new taskbar
// that does not take it begins them anew.
TEST_F(TrayIconTest, TheOffersEndWhenTheShellTakesTheIconOrAfterTwoMinutes) {
    const struct {
        int nRefusals; // of the add at the creation and the two calls of each offer
        int nTicks;
        bool bNewTaskbar; // after the ticks
        bool bShown;
        bool bTimerLeft;
        size_t nCalls;
    } cases[] = {
        {1000, 0, false, false, true, 1},
        {5, 4, false, true, false, 6}, // taken at the third tick; the fourth asks nothing
        {3, 1, true, true, false, 4},
        {1000, 119, false, false, true, 1 + 2 * 119},
        {1000, 120, false, false, false, 1 + 2 * 120},
        {1000, 120, true, false, true, 1 + 2 * 121},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nTicks) + " ticks, " + std::to_string(c.nRefusals));
        m_shell.Clear();
        ShellCallLog::SetRefusals(c.nRefusals);
        CTrayIcon late(&ShellCallLog::RefuseFirst);
        EXPECT_FALSE(
            late.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
        for (int i = 0; i < c.nTicks; ++i)
            EXPECT_TRUE(late.OnTimer(CTrayIcon::IDT_RETRY));
        if (c.bNewTaskbar)
            late.AddToNewTaskbar();
        EXPECT_EQ(c.bShown, late.IsEnabled());
        EXPECT_EQ(c.nCalls, m_shell.All().size());
        EXPECT_EQ(c.bTimerLeft, RetryTimerWasSet(m_owner.Handle()));
    }
}

TEST_F(TrayIconTest, OtherTimersAreNotTheIcons) {
    ShellCallLog::SetRefusals(1);
    CTrayIcon late(&ShellCallLog::RefuseFirst);
    EXPECT_FALSE(late.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    EXPECT_FALSE(late.OnTimer(CTrayIcon::IDT_RETRY + 1));
    EXPECT_FALSE(late.IsEnabled());
    EXPECT_EQ(1u, m_shell.All().size());
}

TEST_F(TrayIconTest, WinesShellRefusesASecondIconWithTheSameId) {
    ASSERT_TRUE(CreateTray());
    CTrayIcon twin(&ShellCallLog::PassOn);
    EXPECT_FALSE(twin.Create(m_owner.Handle(), WM_TRAY_NOTIFY, "Tarvolo", m_idle.Get(), kTrayId));
    ExpectEveryLaterCallFalse(twin, m_online.Get(), m_shell);
    EXPECT_TRUE(ShellKnows(m_owner.Handle(), kTrayId))
        << "the twin must not take the first icon away";
}

TEST_F(TrayIconTest, DoubleClickSendsExactlyOneShowLogCommand) {
    ASSERT_TRUE(CreateTray());
    EXPECT_EQ(1, Callback(WM_LBUTTONDBLCLK));
    EXPECT_EQ(std::vector<UINT>{ID_SHOW_LOG}, m_owner.commands);
    EXPECT_EQ(0, m_owner.menusShown);
}

TEST_F(TrayIconTest, CallbackForAnotherIconReturnsZeroAndDoesNothing) {
    ASSERT_TRUE(CreateTray());
    EXPECT_EQ(0, Callback(WM_LBUTTONDBLCLK, kTrayId + 1));
    EXPECT_EQ(0, Callback(WM_RBUTTONUP, kTrayId + 1));
    EXPECT_TRUE(m_owner.commands.empty());
    EXPECT_EQ(0, m_owner.menusShown);
}

TEST_F(TrayIconTest, OtherMouseMessagesAreAcceptedWithoutAction) {
    ASSERT_TRUE(CreateTray());
    for (UINT message :
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDBLCLK})
        EXPECT_EQ(1, Callback(message)) << message;
    EXPECT_TRUE(m_owner.commands.empty());
    EXPECT_EQ(0, m_owner.menusShown);
    EXPECT_TRUE(m_owner.userMessages.empty());
}

TEST_F(TrayIconTest, RightClickShowsTheMenuWithItsFirstItemAsDefault) {
    ASSERT_TRUE(CreateTray());
    m_owner.GreyWhenPrepared(ID_SETTINGS);
    EXPECT_EQ(1, Callback(WM_RBUTTONUP));
    ASSERT_EQ(1, m_owner.menusShown);
    EXPECT_EQ(0, m_owner.defaultItemShown);
    ASSERT_EQ(6u, m_owner.menuShown.size());
    const UINT ids[] = {ID_SHOW_LOG, ID_DELETE_LOG, ID_SETTINGS, ID_APP_ABOUT, 0, ID_APP_EXIT};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(ids[i], m_owner.menuShown[i].id) << i;
    EXPECT_TRUE(m_owner.menuShown[2].state & MF_GRAYED)
        << "the owner may grey items before they show";
    EXPECT_TRUE(m_owner.commands.empty()) << "closing the menu chooses nothing";
    EXPECT_EQ(std::vector<UINT>{WM_USER}, m_owner.userMessages);
}

TEST_F(TrayIconTest, ItemChosenInTheMenuReachesTheOwner) {
    ASSERT_TRUE(CreateTray());
    m_owner.PlanMenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}); // the second item
    EXPECT_EQ(1, Callback(WM_RBUTTONUP));
    EXPECT_EQ(std::vector<UINT>{ID_DELETE_LOG}, m_owner.commands);
    EXPECT_EQ(std::vector<UINT>{WM_USER}, m_owner.userMessages);
}

TEST_F(TrayIconTest, WithoutItsMenuResourceTheGesturesDoNothing) {
    constexpr UINT kIdWithoutMenu = 4711;
    ASSERT_TRUE(CreateTray(kIdWithoutMenu));
    EXPECT_EQ(0, Callback(WM_RBUTTONUP, kIdWithoutMenu));
    EXPECT_EQ(0, Callback(WM_LBUTTONDBLCLK, kIdWithoutMenu));
    EXPECT_TRUE(m_owner.commands.empty());
    EXPECT_EQ(0, m_owner.menusShown);
}
