#include "RecordingWindow.h"
#include "SheetDriver.h"
#include "SheetSettings.h"
#include "support/MessageCapture.h"

#include "framework/LoadStringResource.h"
#include "framework/ModelessWindows.h"
#include "resource.h"
#include "ui/OptionsNotify.h"
#include "ui/OptionsPSheet.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <memory>

namespace {

using Notifications = std::vector<WPARAM>;

std::string ShortcutQuestion() {
    return fw::LoadStringResource(IDS_SHORTCUT_QUESTION);
}

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(main.Get());
        RemoveDesktopShortcut();
    }
    void TearDown() override {
        sheetObject.reset();
        PumpMessages();
        RemoveDesktopShortcut();
    }

    static void RemoveDesktopShortcut() {
        char desktop[MAX_PATH];
        SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
        DeleteFileA((std::string(desktop) + "\\Tarvolo.lnk").c_str());
    }

    HWND Open() {
        if (!sheetObject)
            sheetObject = std::make_unique<COptionsPSheet>(host);
        EXPECT_TRUE(sheetObject->Create(main.Get(), OPTIONS_SHEET_STYLE, 0));
        HWND hSheet = sheetObject->GetSafeHwnd();
        main.WatchSheet(hSheet);
        PumpMessages();
        return hSheet;
    }

    HWND Button(int nID) const { return sheet::OwnButton(sheetObject->GetSafeHwnd(), nID); }
    HWND Control(int nID) const { return sheet::PageControl(sheetObject->GetSafeHwnd(), nID); }

    MessageCapture questions{IDNO};
    RecordingWindow main;
    SheetSettings host{main.Get()};
    std::unique_ptr<COptionsPSheet> sheetObject;
};

TEST_F(OptionsSheetTest, ApplyIsEnabledExactlyWhileAPageIsModified) {
    HWND hSheet = Open();
    ASSERT_TRUE(IsWindow(hSheet));
    HWND hApply = Button(ID_APPLY_NOW);
    EXPECT_FALSE(IsWindowEnabled(hApply));
    sheet::Click(Control(IDC_SORT_ASCENDING));
    EXPECT_TRUE(IsWindowEnabled(hApply));
    sheet::Click(hApply);
    EXPECT_FALSE(IsWindowEnabled(hApply));
    EXPECT_TRUE(IsWindow(hSheet));
}

TEST_F(OptionsSheetTest, ApplyStoresTheValuesAndNotifiesBeforeItReturns) {
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    EXPECT_FALSE(host.m_profile.bSortAscending);
    SendMessageA(Button(ID_APPLY_NOW), BM_CLICK, 0, 0);
    // Sent, not posted: the frame has saved by the time the click returns.
    EXPECT_EQ(Notifications{ID_APPLY_NOW}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_TRUE(host.m_profile.bSortAscending);
    PumpMessages();
    EXPECT_TRUE(IsWindow(hSheet));
    EXPECT_EQ(Notifications{ID_APPLY_NOW}, main.Received(WM_OPTIONS_NOTIFY));
}

TEST_F(OptionsSheetTest, OkStoresTheValuesPostsIdOkAndClosesTheSheet) {
    host.m_profile.bAutoStart = FALSE;
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    SendMessageA(Button(IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_TRUE(main.Received(WM_OPTIONS_NOTIFY).empty()) << "posted, not sent";
    PumpMessages();
    ASSERT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_FALSE(main.Messages().back().bSheetOpen);
    EXPECT_EQ(0, main.Messages().back().lParam);
    EXPECT_TRUE(host.m_profile.bSortAscending);
    EXPECT_EQ(IDOK, sheetObject->GetResult());
}

TEST_F(OptionsSheetTest, OkWithoutChangesStillAppliesAndCloses) {
    host.m_profile.bAutoStart = TRUE;
    HWND hSheet = Open();
    sheet::Click(Button(IDOK));
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_TRUE(questions.Messages().empty());
}

TEST_F(OptionsSheetTest, CancelWritesNothingAndPostsIdCancel) {
    host.m_profile = {16, TRUE, 0, FALSE};
    HWND hSheet = Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Control(IDC_SORT_ASCENDING));
    SendMessageA(Button(IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(hSheet));
    PumpMessages();
    EXPECT_EQ(Notifications{IDCANCEL}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_TRUE(host.m_profile.bAutoStart);
    EXPECT_FALSE(host.m_profile.bSortAscending);
    EXPECT_TRUE(questions.Messages().empty());
    EXPECT_EQ(IDCANCEL, sheetObject->GetResult());
}

TEST_F(OptionsSheetTest, EscapeAndEnterActLikeCancelAndOk) {
    HWND hSheet = Open();
    SetFocus(Control(IDC_SORT_ASCENDING));
    MSG enter = {Control(IDC_SORT_ASCENDING), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
    EXPECT_TRUE(fw::FilterModelessMessage(enter));
    PumpMessages();
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));

    main.Clear();
    hSheet = Open();
    MSG escape = {Control(IDC_SORT_ASCENDING), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    EXPECT_TRUE(fw::FilterModelessMessage(escape));
    PumpMessages();
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_EQ(Notifications{IDCANCEL}, main.Received(WM_OPTIONS_NOTIFY));
}

TEST_F(OptionsSheetTest, UntickingAutostartAsksForAShortcutBeforeTheSheetCloses) {
    host.m_profile.bAutoStart = TRUE;
    bool sheetOpenAtQuestion = false;
    bool notifiedAtQuestion = true;
    fw::SetMessageBoxHandler([&](const std::string& text, unsigned style) {
        sheetOpenAtQuestion = IsWindow(sheetObject->GetSafeHwnd());
        notifiedAtQuestion = !main.Received(WM_OPTIONS_NOTIFY).empty();
        EXPECT_EQ(ShortcutQuestion(), text);
        EXPECT_EQ(unsigned(MB_YESNO), style);
        return IDNO;
    });
    Open();
    EXPECT_TRUE(sheet::IsChecked(sheetObject->GetSafeHwnd(), IDC_AUTOSTART));
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Button(IDOK));
    EXPECT_TRUE(sheetOpenAtQuestion);
    EXPECT_FALSE(notifiedAtQuestion);
    EXPECT_FALSE(host.m_profile.bAutoStart);
    EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
}

TEST_F(OptionsSheetTest, TickingAutostartNeverAsks) {
    host.m_profile.bAutoStart = FALSE;
    Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Button(IDOK));
    EXPECT_TRUE(questions.Messages().empty());
    EXPECT_TRUE(host.m_profile.bAutoStart);
}

TEST_F(OptionsSheetTest, UntickThenTickAsksNothingButKeepsApplyEnabled) {
    host.m_profile.bAutoStart = TRUE;
    Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Control(IDC_AUTOSTART));
    EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    sheet::Click(Button(ID_APPLY_NOW));
    EXPECT_TRUE(questions.Messages().empty());
    EXPECT_TRUE(host.m_profile.bAutoStart);
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));
}

TEST_F(OptionsSheetTest, EveryApplyClearsTheAutostartClick) {
    host.m_profile.bAutoStart = TRUE;
    Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Button(ID_APPLY_NOW));
    EXPECT_EQ(1u, questions.Messages().size());
    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::Click(Button(ID_APPLY_NOW));
    EXPECT_EQ(1u, questions.Messages().size()) << "the box was not clicked again";
    sheet::Click(Control(IDC_AUTOSTART)); // ticked
    sheet::Click(Control(IDC_AUTOSTART)); // cleared again
    sheet::Click(Button(ID_APPLY_NOW));
    EXPECT_EQ(2u, questions.Messages().size());
}

TEST_F(OptionsSheetTest, LogButtonsPostTheirCommandsWithoutTouchingApply) {
    Open();
    sheet::Click(Control(IDC_SHOW_LOG));
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    sheet::Click(Control(IDC_DELETE_LOG));
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    EXPECT_EQ((Notifications{ID_SHOW_LOG, ID_DELETE_LOG}), main.Received(WM_COMMAND));
    for (const auto& m : main.Messages())
        EXPECT_EQ(0, m.lParam);
    EXPECT_TRUE(main.Received(WM_OPTIONS_NOTIFY).empty());

    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::Click(Control(IDC_SHOW_LOG));
    EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
}

TEST_F(OptionsSheetTest, ActivePageFromTheSettings) {
    const struct {
        int nActivePage;
        int expected;
    } cases[] = {{1, 1}, {0, 0}, {-1, 0}, {2, 0}};
    for (const auto& c : cases) {
        host.m_profile.nActivePage = c.nActivePage;
        sheetObject.reset();
        HWND hSheet = Open();
        EXPECT_EQ(c.expected, sheet::ActivePage(hSheet)) << c.nActivePage;
        bool showsInfo = sheet::PageControl(hSheet, IDC_PROGRAM_NAME) != nullptr;
        EXPECT_EQ(c.expected == 1, showsInfo) << c.nActivePage;
        EXPECT_EQ(c.nActivePage, host.m_profile.nActivePage) << "opening changes nothing";
    }
}

TEST_F(OptionsSheetTest, SwitchingTabsRemembersThePage) {
    HWND hSheet = Open();
    sheet::ClickTab(hSheet, 1);
    EXPECT_EQ(1, sheet::ActivePage(hSheet));
    EXPECT_EQ(1, host.m_profile.nActivePage);
    sheet::ClickTab(hSheet, 0);
    EXPECT_EQ(0, host.m_profile.nActivePage);
}

TEST_F(OptionsSheetTest, OkOnTheInfoPageAppliesTheGeneralPage) {
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::ClickTab(hSheet, 1);
    EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    sheet::Click(Button(IDOK));
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_TRUE(host.m_profile.bSortAscending);
    EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
}

TEST_F(OptionsSheetTest, InfoPageShowsTheProgramName) {
    host.m_profile.nActivePage = 1;
    HWND hSheet = Open();
    EXPECT_EQ(fw::LoadStringResource(IDS_PROGRAM_NAME),
              sheet::Text(sheet::PageControl(hSheet, IDC_PROGRAM_NAME)));
    EXPECT_EQ("Version 1.1", sheet::Text(sheet::PageControl(hSheet, IDC_VERSION)));
    EXPECT_EQ("", sheet::Text(sheet::PageControl(hSheet, IDC_INFO_HEADER)));
}

TEST_F(OptionsSheetTest, ClosedByTheCaptionBoxKeepsTheValuesLastExchanged) {
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::ClickTab(hSheet, 1); // leaving the page takes the values from the controls
    SendMessageA(hSheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_TRUE(main.Received(WM_OPTIONS_NOTIFY).empty());
    EXPECT_FALSE(host.m_profile.bSortAscending);

    host.m_profile.nActivePage = 0;
    hSheet = Open();
    ASSERT_TRUE(IsWindow(hSheet));
    EXPECT_TRUE(sheet::IsChecked(hSheet, IDC_SORT_ASCENDING));
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    // The closed window's modified page does not hold up the new window's OK.
    sheet::Click(Button(IDOK));
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_TRUE(host.m_profile.bSortAscending);
}

TEST_F(OptionsSheetTest, ChangeNotExchangedIsLostWithTheCaptionBox) {
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    SendMessageA(hSheet, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hSheet));
    EXPECT_EQ(IDCANCEL, sheetObject->GetResult());
    EXPECT_TRUE(main.Received(WM_OPTIONS_NOTIFY).empty());
    hSheet = Open();
    EXPECT_FALSE(sheet::IsChecked(hSheet, IDC_SORT_ASCENDING));
}

TEST_F(OptionsSheetTest, AutostartClickSurvivesTheCaptionBoxUntilTheNextApply) {
    host.m_profile.bAutoStart = TRUE;
    HWND hSheet = Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::ClickTab(hSheet, 1);
    SendMessageA(hSheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    Open();
    sheet::Click(Button(IDOK));
    EXPECT_EQ(1u, questions.Messages().size());
    EXPECT_FALSE(host.m_profile.bAutoStart);
}

} // namespace
