// The main frame with its parts replaced: the start-up checks and their messages, the options
// sheet's life, the delete question and closing.
#include "../AccountingFakes.h"

#include "framework/CFrameWnd.h"
#include "resource.h"
#include "shell/AppMessages.h"
#include "shell/CMainFrame.h"
#include "shell/COptionsSheetSlot.h"
#include "shell/ShellCallLog.h"
#include "support/MessageCapture.h"
#include "support/TempFolder.h"
#include "ui/COptionsPSheet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::string kRasMissing = "Diese Anwendung ben\xF6tigt mindestens Windows 95 OSR2 oder das "
                                "Microsoft DF\xDC-Update 1.3 !";
const std::string kRasFailed = "Der Zugriff auf das DF\xDC-Netzwerk ist fehlgeschlagen!";
const std::string kCounterFailed = "Die Volumenmessung konnte nicht initialisiert werden!";
const std::string kDeleteQuestion = "Sollen die Verbindungsdaten wirklich gel\xF6scht werden ?";
const std::string kResourceFailed = "A required resource was unavailable.";

// A counter whose opening and adding succeed or fail as the test says.
class OpeningCounter : public FakeCounter {
public:
    OpeningCounter(bool bOpens, bool bAdds) : m_bOpens(bOpens), m_bAdds(bAdds) {}
    BOOL Open() override { return m_bOpens; }
    BOOL AddCounter(DWORD) override { return m_bAdds; }

private:
    bool m_bOpens;
    bool m_bAdds;
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

class MainFrame : public ::testing::Test {
protected:
    void SetUp() override {
        m_settings.m_profile.bAutoStart = TRUE;
        m_parts.checkRasAvailable = [this] { return m_nRasResult; };
        m_parts.createCounter = [this] {
            return std::make_unique<OpeningCounter>(m_bCounterOpens, m_bCounterAdds);
        };
        m_parts.createWatcher = [this] {
            return m_bWatcherAvailable ? std::make_unique<CRasWatcher>() : nullptr;
        };
        m_parts.logFolder = m_folder.Path();
    }

    void TearDown() override {
        if (m_pFrame)
            m_pFrame->DestroyWindow(); // the frame deletes itself
        Pump();
    }

    // The frame as the application creates it; none when its creation failed.
    CMainFrame* Create() {
        auto* frame = new CMainFrame(m_settings, m_notRunningInstance, m_parts);
        if (frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
            m_pFrame = frame;
        m_settings.SetMainWindow(m_pFrame ? m_pFrame->m_hWnd : nullptr);
        return m_pFrame;
    }

    LRESULT Command(UINT nId) { return SendMessageA(m_pFrame->m_hWnd, WM_COMMAND, nId, 0); }

    // Whether the frame leaves the item enabled when a menu with it opens.
    bool MenuItemEnabled(UINT nId) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, nId, "item");
        SendMessageA(m_pFrame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        const bool enabled = !(GetMenuState(menu, nId, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(menu);
        return enabled;
    }

    TempFolder m_folder;
    CAppSettings m_settings;
    const CSingleInstance m_notRunningInstance; // a frame of the framework's class
    CMainFrame::PARTS m_parts;
    MessageCapture m_capture;
    int m_nRasResult = 1;
    bool m_bCounterOpens = true;
    bool m_bCounterAdds = true;
    bool m_bWatcherAvailable = true;
    CMainFrame* m_pFrame = nullptr;
};

struct RasCase {
    int nResult;
    const std::string* pMessage;
};

class MainFrameRasCheck : public MainFrame, public ::testing::WithParamInterface<RasCase> {};

TEST_P(MainFrameRasCheck, FailureShowsItsMessageWithTheStopIconAndEndsStartWithWindows) {
    m_nRasResult = GetParam().nResult;
    EXPECT_EQ(nullptr, Create());
    ASSERT_EQ(1u, m_capture.Messages().size());
    EXPECT_EQ(*GetParam().pMessage, m_capture.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_ICONHAND), m_capture.Messages()[0].style);
    EXPECT_FALSE(m_settings.m_profile.bAutoStart);
}

INSTANTIATE_TEST_SUITE_P(Results, MainFrameRasCheck,
                         ::testing::Values(RasCase{-1, &kRasMissing}, RasCase{-2, &kRasFailed},
                                           RasCase{-3, &kRasFailed}),
                         [](const ::testing::TestParamInfo<RasCase>& info) {
                             return "Minus" + std::to_string(-info.param.nResult);
                         });

TEST_F(MainFrame, NoDialUpDevicesIsNoFailure) {
    m_nRasResult = 0;
    ASSERT_NE(nullptr, Create());
    EXPECT_TRUE(m_capture.Messages().empty());
    EXPECT_TRUE(m_pFrame->GetTrayIcon().IsEnabled());
    EXPECT_TRUE(m_settings.m_profile.bAutoStart);
    // The log of the frame's folder has written its report pages.
    for (const char* page : {"frame.htm", "clog.htm", "mlog.htm"})
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_folder / page).c_str())) << page;
}

TEST_F(MainFrame, CounterThatCannotOpenOrAddShowsMessage136) {
    for (bool bOpens : {false, true}) {
        m_bCounterOpens = bOpens;
        m_bCounterAdds = false;
        m_settings.m_profile.bAutoStart = TRUE;
        EXPECT_EQ(nullptr, Create());
        ASSERT_EQ(bOpens ? 2u : 1u, m_capture.Messages().size());
        EXPECT_EQ(kCounterFailed, m_capture.Messages().back().text);
        EXPECT_EQ(unsigned(MB_ICONHAND), m_capture.Messages().back().style);
        EXPECT_FALSE(m_settings.m_profile.bAutoStart);
    }
}

TEST_F(MainFrame, WatcherThatCannotStartIsAMissingResourceAndKeepsStartWithWindows) {
    m_bWatcherAvailable = false;
    EXPECT_EQ(nullptr, Create());
    EXPECT_EQ(std::vector<std::string>{kResourceFailed}, m_capture.Texts());
    EXPECT_TRUE(m_settings.m_profile.bAutoStart);
}

TEST_F(MainFrame, SettingsOpenOneSheetGreyTheMenuItemAndCancelDeletesIt) {
    ASSERT_NE(nullptr, Create());
    EXPECT_TRUE(MenuItemEnabled(ID_SETTINGS));
    EXPECT_FALSE(m_pFrame->IsOptionsSheetOpen());

    Command(ID_SETTINGS);
    ASSERT_TRUE(m_pFrame->IsOptionsSheetOpen());
    COptionsPSheet* sheet = m_pFrame->GetOptionsSheet();
    const HWND window = sheet->GetSafeHwnd();
    EXPECT_FALSE(MenuItemEnabled(ID_SETTINGS));
    EXPECT_TRUE(MenuItemEnabled(ID_SHOW_LOG)); // left to their defaults

    Command(ID_SETTINGS);
    EXPECT_EQ(sheet, m_pFrame->GetOptionsSheet());
    EXPECT_EQ(window, sheet->GetSafeHwnd());

    // Apply keeps the sheet; Cancel (posted after the window went) deletes it.
    SendMessageA(m_pFrame->m_hWnd, WM_OPTIONS_NOTIFY, ID_APPLY_NOW, 0);
    EXPECT_EQ(sheet, m_pFrame->GetOptionsSheet());
    DestroyWindow(window);
    EXPECT_EQ(1, SendMessageA(m_pFrame->m_hWnd, WM_OPTIONS_NOTIFY, IDCANCEL, 0));
    EXPECT_EQ(nullptr, m_pFrame->GetOptionsSheet());
    EXPECT_TRUE(MenuItemEnabled(ID_SETTINGS));
}

TEST_F(MainFrame, SheetClosedByItsCaptionBoxIsKeptAndOpenedAgain) {
    ASSERT_NE(nullptr, Create());
    Command(ID_SETTINGS);
    COptionsPSheet* sheet = m_pFrame->GetOptionsSheet();
    SendMessageA(sheet->GetSafeHwnd(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(m_pFrame->IsOptionsSheetOpen());
    EXPECT_EQ(sheet, m_pFrame->GetOptionsSheet());

    Command(ID_SETTINGS);
    EXPECT_TRUE(m_pFrame->IsOptionsSheetOpen());
    EXPECT_EQ(sheet, m_pFrame->GetOptionsSheet());
}

// A second start can ask for the sheet while the one just closed by OK or Abbrechen is on its way
// out: the request waits until that one is gone, and then a sheet of its own opens.
TEST_F(MainFrame, SettingsWhileTheSheetIsClosingOpenANewOneOnceItIsGone) {
    ASSERT_NE(nullptr, Create());
    for (const int nButton : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(nButton);
        Command(ID_SETTINGS);
        const HWND closed = m_pFrame->GetOptionsSheet()->GetSafeHwnd();
        SendMessageA(closed, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
        Command(ID_SETTINGS); // before the frame has taken the closed sheet's notification
        EXPECT_FALSE(m_pFrame->IsOptionsSheetOpen());
        for (int i = 0; i < 300 && !m_pFrame->IsOptionsSheetOpen(); ++i) {
            Pump();
            Sleep(10);
        }
        ASSERT_TRUE(m_pFrame->IsOptionsSheetOpen());
        EXPECT_NE(closed, m_pFrame->GetOptionsSheet()->GetSafeHwnd());
        EXPECT_FALSE(KillTimer(m_pFrame->m_hWnd, COptionsSheetSlot::IDT_REOPEN))
            << "the put-off opening is done";
        SendMessageA(m_pFrame->GetOptionsSheet()->GetSafeHwnd(), WM_COMMAND,
                     MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Pump();
        EXPECT_EQ(nullptr, m_pFrame->GetOptionsSheet());
    }
}

TEST_F(MainFrame, ClosingWithTheSheetOpenTakesTheSheetAlong) {
    ASSERT_NE(nullptr, Create());
    Command(ID_SETTINGS);
    const HWND sheet = m_pFrame->GetOptionsSheet()->GetSafeHwnd();
    const HWND frame = m_pFrame->m_hWnd;
    SendMessageA(frame, WM_CLOSE, 0, 0);
    m_pFrame = nullptr; // gone with its window
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(sheet));
}

TEST_F(MainFrame, DeleteLogAsksWithYesNoAndTheQuestionIcon_NoKeepsTheLog) {
    ASSERT_NE(nullptr, Create());
    CConnectionLog& log = m_pFrame->GetLog();
    log.StartConnection(0, 0);
    log.UpdateConnection(3 * 1048576, 1048576);
    log.EndConnection();
    std::string volume;
    log.GetVolumeText(volume);
    ASSERT_NE(std::string::npos, volume.find('4')) << volume;

    m_capture.SetAnswer(IDNO);
    Command(ID_DELETE_LOG);
    ASSERT_EQ(1u, m_capture.Messages().size());
    EXPECT_EQ(kDeleteQuestion, m_capture.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), m_capture.Messages()[0].style);
    std::string after;
    log.GetVolumeText(after);
    EXPECT_EQ(volume, after);

    m_capture.SetAnswer(IDYES);
    Command(ID_DELETE_LOG);
    log.GetVolumeText(after);
    EXPECT_EQ(std::string::npos, after.find('4')) << after;
}

TEST_F(MainFrame, TrayCallbackOfAnotherIconDoesNothing) {
    ASSERT_NE(nullptr, Create());
    EXPECT_EQ(0, SendMessageA(m_pFrame->m_hWnd, WM_TRAY_NOTIFY, IDR_TRAYMENU + 1, WM_RBUTTONUP));
    EXPECT_EQ(1, SendMessageA(m_pFrame->m_hWnd, WM_TRAY_NOTIFY, IDR_TRAYMENU, WM_MOUSEMOVE));
}

// The new taskbar knows nothing of the icon: it is deleted and added again as it is. One that the
// shell refuses then is offered again, as at the start.
TEST_F(MainFrame, ANewTaskbarGetsTheIconAgainOrLaterOffers) {
    ASSERT_NE(0u, g_nTaskbarCreatedMsg);
    const ShellCallLog shell;
    ShellCallLog::SetRefusals(0);
    m_parts.shellNotify = &ShellCallLog::RefuseFirst;
    ASSERT_NE(nullptr, Create());
    for (const int nRefusals : {0, 2}) {
        SCOPED_TRACE(nRefusals);
        const size_t nBefore = shell.All().size();
        ShellCallLog::SetRefusals(nRefusals); // the delete and the add
        EXPECT_EQ(0, SendMessageA(m_pFrame->m_hWnd, g_nTaskbarCreatedMsg, 0, 0));
        ASSERT_EQ(nBefore + 2, shell.All().size());
        EXPECT_EQ(DWORD(NIM_DELETE), shell.All()[nBefore].message);
        EXPECT_EQ(DWORD(NIM_ADD), shell.Last().message);
        EXPECT_STREQ("Tarvolo: 0,00 MByte", shell.Last().data.szTip);
        EXPECT_EQ(nRefusals == 0, m_pFrame->GetTrayIcon().IsEnabled());
        for (int i = 0; i < 300 && !m_pFrame->GetTrayIcon().IsEnabled(); ++i) {
            Pump();
            Sleep(10);
        }
        EXPECT_TRUE(m_pFrame->GetTrayIcon().IsEnabled());
        EXPECT_STREQ("Tarvolo: 0,00 MByte", shell.Last().data.szTip);
    }
}

// Power events are sent, perhaps into a message box the log waits for: each is answered at once
// and handled from the message loop. A suspend stops the counting, each kind of resume brings it
// back.
TEST_F(MainFrame, PowerEventsAreAnsweredAtOnceAndHandledFromTheMessageLoop) {
    ASSERT_NE(nullptr, Create());
    const HWND hWnd = m_pFrame->m_hWnd;
    // The watcher's reports (its first count, and the count a resume asks for) end a suspend
    // too; they come at once, and are in before the next event.
    const auto settle = [] {
        for (int i = 0; i < 30; ++i) {
            Pump();
            Sleep(10);
        }
    };
    settle();
    EXPECT_EQ(TRUE, SendMessageA(hWnd, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0));
    for (const WPARAM resume :
         {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND, PBT_APMRESUMECRITICAL}) {
        SCOPED_TRACE(resume);
        EXPECT_EQ(TRUE, SendMessageA(hWnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
        EXPECT_FALSE(m_pFrame->GetAccounting().IsSuspended());
        Pump();
        EXPECT_TRUE(m_pFrame->GetAccounting().IsSuspended());
        EXPECT_EQ(TRUE, SendMessageA(hWnd, WM_POWERBROADCAST, resume, 0));
        Pump();
        EXPECT_FALSE(m_pFrame->GetAccounting().IsSuspended());
        settle();
    }
}

// At logon the taskbar may not be there yet: the program starts all the same, and its icon comes
// with the new taskbar, or else with a later try of its own.
TEST_F(MainFrame, AnIconTheShellRefusesAtStartComesWithTheTaskbarOrALaterTry) {
    for (const bool bTaskbarComes : {true, false}) {
        SCOPED_TRACE(bTaskbarComes ? "taskbar created" : "later try");
        const ShellCallLog shell;
        ShellCallLog::SetRefusals(1);
        m_parts.shellNotify = &ShellCallLog::RefuseFirst;
        ASSERT_NE(nullptr, Create());
        EXPECT_TRUE(m_capture.Messages().empty());
        EXPECT_FALSE(m_pFrame->GetTrayIcon().IsEnabled());
        if (bTaskbarComes) {
            SendMessageA(m_pFrame->m_hWnd, g_nTaskbarCreatedMsg, 0, 0);
            EXPECT_TRUE(m_pFrame->GetTrayIcon().IsEnabled()) << "not shown by the new taskbar";
        }
        for (int i = 0; i < 300 && !m_pFrame->GetTrayIcon().IsEnabled(); ++i) {
            Pump();
            Sleep(10);
        }
        EXPECT_TRUE(m_pFrame->GetTrayIcon().IsEnabled());
        EXPECT_EQ(DWORD(NIM_MODIFY), shell.Last().message);
        EXPECT_STREQ("Tarvolo: 0,00 MByte", shell.Last().data.szTip);
        m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        Pump();
    }
}

} // namespace

// A watcher of a chosen adapter that records its life and reports only what the test posts.
class RecordingLinkWatcher : public CLinkWatcher {
public:
    // The frame may outlive the test's body: the record is shared.
    using Events = std::shared_ptr<std::vector<std::string>>;
    explicit RecordingLinkWatcher(Events events) : m_events(std::move(events)) {}
    ~RecordingLinkWatcher() override { m_events->push_back("gone"); }
    bool Start(HWND, UINT) override {
        m_events->push_back("start");
        return true;
    }
    void Stop() override {}
    void CountNow() override {}
    bool CutsPeriodsAtMidnight() const override { return true; }

private:
    Events m_events;
};

// With an adapter chosen, the dial-up service and its counters are not needed: their start-up
// checks do not end the program.
TEST_F(MainFrame, WithAnAdapterChosenTheDialUpChecksDoNotEndTheProgram) {
    const auto events = std::make_shared<std::vector<std::string>>();
    m_parts.createAdapterWatcher = [events](const CONNECTIONSETTINGS&, DWORD) {
        return std::make_unique<RecordingLinkWatcher>(events);
    };
    m_settings.m_connection.adapterName = "Mobilfunk";
    m_nRasResult = -1;
    ASSERT_NE(nullptr, Create());
    EXPECT_TRUE(m_capture.Messages().empty());
    EXPECT_EQ(std::vector<std::string>{"start"}, *events);
    EXPECT_TRUE(m_settings.m_profile.bAutoStart);
}

// "Übernehmen" with another source while online books the running period as at a hang-up, and
// the measuring begins anew with the source chosen; a report the old watcher left is dropped.
TEST_F(MainFrame, ApplyingAnotherSourceBooksTheRunningPeriodAndMeasuresTheNewOne) {
    const auto events = std::make_shared<std::vector<std::string>>();
    m_parts.createAdapterWatcher = [events](const CONNECTIONSETTINGS& connection, DWORD dwMs) {
        events->push_back(connection.adapterName + " " + std::to_string(dwMs));
        return std::make_unique<RecordingLinkWatcher>(events);
    };
    m_parts.createAdapterCounter = [](const CONNECTIONSETTINGS&) {
        auto counter = std::make_unique<OpeningCounter>(true, true);
        counter->Sampled(7000, 700);
        return counter;
    };
    m_settings.m_nAdapterCheckSeconds = 2;
    ASSERT_NE(nullptr, Create());
    const HWND hWnd = m_pFrame->m_hWnd;
    SendMessageA(hWnd, WM_CONNECTIONS_CHANGED, 1, 1);
    ASSERT_TRUE(m_pFrame->GetLog().IsConnected());
    PostMessageA(hWnd, WM_CONNECTIONS_CHANGED, 1, 1); // news of the old source, not yet taken
    m_settings.m_connection.adapterName = "Mobilfunk";
    SendMessageA(hWnd, WM_OPTIONS_NOTIFY, ID_APPLY_NOW, 0);
    EXPECT_FALSE(m_pFrame->GetLog().IsConnected());
    EXPECT_EQ(std::vector<std::string>({"Mobilfunk 2000", "start"}), *events);
    Pump();
    EXPECT_FALSE(m_pFrame->GetLog().IsConnected());
    // The adapter's first report starts its period with its own counter.
    SendMessageA(hWnd, WM_CONNECTIONS_CHANGED, 1, 1);
    EXPECT_TRUE(m_pFrame->GetLog().IsConnected());
    EXPECT_EQ(7000, m_pFrame->GetLog().GetRunningConnection().m_nReceivedStart);

    m_settings.m_connection = CONNECTIONSETTINGS();
    SendMessageA(hWnd, WM_OPTIONS_NOTIFY, ID_APPLY_NOW, 0);
    EXPECT_FALSE(m_pFrame->GetLog().IsConnected());
    EXPECT_EQ("gone", events->back());
}
