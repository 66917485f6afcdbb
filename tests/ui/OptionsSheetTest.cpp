#include "RecordingWindow.h"
#include "SheetDriver.h"
#include "SheetSettings.h"
#include "support/MessageCapture.h"

#include "framework/LoadStringResource.h"
#include "framework/ModelessWindows.h"
#include "resource.h"
#include "ui/OptionsNotify.h"
#include "ui/COptionsPSheet.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>

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

    // A new sheet on the page "Volumen".
    HWND OpenVolumePage() {
        host.m_profile.nActivePage = 2;
        sheetObject.reset();
        return Open();
    }
    // A new sheet on the page "Verbindung".
    HWND OpenConnectionPage() {
        host.m_profile.nActivePage = 4;
        sheetObject.reset();
        return Open();
    }
    // A click on a line of the adapter list.
    void SelectAdapter(int nLine) {
        SendMessageA(Control(IDC_ADAPTER_LIST), LB_SETCURSEL, static_cast<WPARAM>(nLine), 0);
        SendMessageA(PropSheet_GetCurrentPageHwnd(sheetObject->GetSafeHwnd()), WM_COMMAND,
                     MAKEWPARAM(IDC_ADAPTER_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(IDC_ADAPTER_LIST)));
        PumpMessages();
    }
    int SelectedAdapter() const {
        return static_cast<int>(SendMessageA(Control(IDC_ADAPTER_LIST), LB_GETCURSEL, 0, 0));
    }
    std::vector<std::string> AdapterLines() const {
        std::vector<std::string> lines;
        const HWND hList = Control(IDC_ADAPTER_LIST);
        for (LRESULT i = 0; i < SendMessageA(hList, LB_GETCOUNT, 0, 0); ++i) {
            char text[256] = {};
            SendMessageA(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    // What typing or pasting into a field leaves there; ES_NUMBER does not stop a paste.
    void Type(int nID, const char* text) {
        SetWindowTextA(Control(nID), text);
        PumpMessages();
    }
    // Every control of the page but the box is enabled exactly while a limit is ticked.
    void ExpectLimitControlsEnabled(bool bEnabled) {
        for (HWND hControl : sheet::PageControls(sheetObject->GetSafeHwnd())) {
            if (GetDlgCtrlID(hControl) != IDC_VOLUME_LIMIT_ON) {
                EXPECT_EQ(bEnabled, IsWindowEnabled(hControl) != FALSE)
                    << GetDlgCtrlID(hControl) << " " << sheet::Text(hControl);
            }
        }
    }

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
    const VOLUMESETTINGS volume = {700, true, 3, 60};
    host.m_volume = volume;
    HWND hSheet = Open();
    sheet::Click(Control(IDC_AUTOSTART));
    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::ClickTab(hSheet, 2);
    Type(IDC_BILLING_DAY, "20");
    sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
    SendMessageA(Button(IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(hSheet));
    PumpMessages();
    EXPECT_EQ(Notifications{IDCANCEL}, main.Received(WM_OPTIONS_NOTIFY));
    EXPECT_TRUE(host.m_profile.bAutoStart);
    EXPECT_FALSE(host.m_profile.bSortAscending);
    EXPECT_TRUE(host.m_volume == volume);
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

// The pages by the number the settings store for them (older versions stored 0 and 1), each
// with a control no other page has.
const struct StoredPage {
    int nStored;
    int nOwnControl;
    const char* title;
} STORED_PAGES[] = {{0, IDC_AUTOSTART, "Allgemein"},
                    {1, IDC_PROGRAM_NAME, "Info"},
                    {2, IDC_VOLUME_LIMIT_ON, "Volumen"},
                    {3, IDC_HISTORY_CHART, "Verlauf"},
                    {4, IDC_SOURCE_DIALUP, "Verbindung"}};

std::string StoredPageTitle(int nStored) {
    for (const StoredPage& page : STORED_PAGES)
        if (page.nStored == nStored)
            return page.title;
    return {};
}

// The stored number of the page shown; -1 when no page's own control is there.
int StoredPageShown(HWND hSheet) {
    for (const StoredPage& page : STORED_PAGES)
        if (sheet::PageControl(hSheet, page.nOwnControl))
            return page.nStored;
    return -1;
}

std::string TabTitle(HWND hSheet, int nTab) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(hSheet), TCM_GETITEMA, nTab,
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_F(OptionsSheetTest, OpensOnTheStoredPageWhereverTheSheetShowsIt) {
    const struct {
        int nActivePage;
        int nShown; // the stored number of the page shown
        int nTab;   // Allgemein, Verbindung, Volumen, Verlauf, Info from left to right
    } cases[] = {{0, 0, 0}, {1, 1, 4}, {2, 2, 2}, {3, 3, 3}, {4, 4, 1}, {-1, 0, 0}, {5, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nActivePage);
        host.m_profile.nActivePage = c.nActivePage;
        sheetObject.reset();
        HWND hSheet = Open();
        EXPECT_EQ(c.nShown, StoredPageShown(hSheet));
        EXPECT_EQ(c.nTab, sheet::ActivePage(hSheet));
        EXPECT_EQ(StoredPageTitle(c.nShown), TabTitle(hSheet, c.nTab));
        EXPECT_EQ(c.nActivePage, host.m_profile.nActivePage) << "opening changes nothing";
    }
}

TEST_F(OptionsSheetTest, SwitchingTabsRemembersThePageByItsStoredNumber) {
    HWND hSheet = Open();
    for (int nTab : {1, 4, 2, 3, 0, 3, 1}) {
        SCOPED_TRACE(nTab);
        sheet::ClickTab(hSheet, nTab);
        ASSERT_EQ(nTab, sheet::ActivePage(hSheet));
        const int nShown = StoredPageShown(hSheet);
        EXPECT_EQ(nShown, host.m_profile.nActivePage);
    }
    // The next window opens where this one was left.
    SendMessageA(Button(IDCANCEL), BM_CLICK, 0, 0);
    PumpMessages();
    hSheet = Open();
    EXPECT_EQ(1, sheet::ActivePage(hSheet));
    EXPECT_EQ(host.m_profile.nActivePage, StoredPageShown(hSheet));
}

TEST_F(OptionsSheetTest, OkOnTheInfoPageAppliesTheGeneralPage) {
    HWND hSheet = Open();
    sheet::Click(Control(IDC_SORT_ASCENDING));
    sheet::ClickTab(hSheet, 3);
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

TEST_F(OptionsSheetTest, VolumePageShowsTheSettingsAndItsBoxSwitchesTheRest) {
    const struct {
        VOLUMESETTINGS volume;
        const char* limit;
        const char* day;
        const char* percent;
    } cases[] = {{{1500, true, 15, 90}, "1500", "15", "90"},
                 {{4000000, false, 31, 99}, "4000000", "31", "99"},
                 {{}, "", "1", "80"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        host.m_volume = c.volume;
        HWND hSheet = OpenVolumePage();
        const bool bOn = c.volume.IsOn();
        EXPECT_EQ(bOn, sheet::IsChecked(hSheet, IDC_VOLUME_LIMIT_ON));
        EXPECT_EQ(c.limit, sheet::Text(Control(IDC_VOLUME_LIMIT_MB)));
        EXPECT_EQ(c.volume.bReceivedOnly, sheet::IsChecked(hSheet, IDC_COUNT_RECEIVED));
        EXPECT_EQ(!c.volume.bReceivedOnly, sheet::IsChecked(hSheet, IDC_COUNT_BOTH));
        EXPECT_EQ(c.day, sheet::Text(Control(IDC_BILLING_DAY)));
        EXPECT_EQ(c.percent, sheet::Text(Control(IDC_WARN_PERCENT)));
        ExpectLimitControlsEnabled(bOn);
        EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW))) << "filling the fields is no change";

        sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        ExpectLimitControlsEnabled(!bOn);
        EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
        sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        ExpectLimitControlsEnabled(bOn);
        EXPECT_TRUE(host.m_volume == c.volume) << "nothing applied yet";
    }
}

TEST_F(OptionsSheetTest, VolumeApplyAndOkStoreTheFieldsMovedIntoTheirRanges) {
    const struct {
        const char* limit;
        const char* day;
        const char* percent;
        bool bClickReceivedOnly;
        bool bClearBoxAgain;
        VOLUMESETTINGS expected;
        const char* shownLimit; // the limit's field after the apply
    } cases[] = {
        {"2500", "15", "90", true, false, {2500, true, 15, 90}, "2500"},
        {"1", "0", "5", false, false, {1, false, 1, 50}, "1"},
        {"01", "", "", false, false, {1, false, 1, 50}, "1"},
        {"4000000", "32", "99", false, false, {4000000, false, 31, 99}, "4000000"},
        {"1.000", "31", "50", false, false, {1000, false, 31, 50}, "1000"},
        {"4.000.000", "01", "49", false, false, {4000000, false, 1, 50}, "4000000"},
        // A cleared box switches the limit off and keeps its field for the next time.
        {"2500", "40", "120", true, true, {0, true, 31, 99}, "2500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.limit) + " " + c.day + " " + c.percent);
        host.m_volume = {};
        main.Clear();
        HWND hSheet = OpenVolumePage();
        sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        Type(IDC_VOLUME_LIMIT_MB, c.limit);
        Type(IDC_BILLING_DAY, c.day);
        Type(IDC_WARN_PERCENT, c.percent);
        if (c.bClickReceivedOnly)
            sheet::Click(Control(IDC_COUNT_RECEIVED));
        if (c.bClearBoxAgain)
            sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        ASSERT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));

        sheet::Click(Button(ID_APPLY_NOW));
        EXPECT_EQ(c.expected.nLimitMB, host.m_volume.nLimitMB);
        EXPECT_EQ(c.expected.bReceivedOnly, host.m_volume.bReceivedOnly);
        EXPECT_EQ(c.expected.nBillingDay, host.m_volume.nBillingDay);
        EXPECT_EQ(c.expected.nWarnPercent, host.m_volume.nWarnPercent);
        // The page shows what was stored, and showing it is no new change.
        EXPECT_EQ(c.shownLimit, sheet::Text(Control(IDC_VOLUME_LIMIT_MB)));
        EXPECT_EQ(std::to_string(c.expected.nBillingDay), sheet::Text(Control(IDC_BILLING_DAY)));
        EXPECT_EQ(std::to_string(c.expected.nWarnPercent), sheet::Text(Control(IDC_WARN_PERCENT)));
        EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));

        host.m_volume = {};
        sheet::Click(Button(IDOK));
        EXPECT_FALSE(IsWindow(hSheet));
        EXPECT_TRUE(host.m_volume == c.expected) << "OK stores the page again";
        EXPECT_EQ((Notifications{ID_APPLY_NOW, IDOK}), main.Received(WM_OPTIONS_NOTIFY));
    }
}

// A ticked limit outside 1 to 4.000.000 MB is refused with the range named, as a dialog of
// Windows refuses a number out of range: Apply, OK and another page leave everything as it was.
TEST_F(OptionsSheetTest, VolumeLimitOutsideItsRangeIsRefused) {
    const std::string refusal = "Geben Sie eine Zahl zwischen 1 und 4.000.000 ein.";
    for (const char* limit : {"", "0", "4000001", "9999999", "99999999999"}) {
        SCOPED_TRACE(limit);
        host.m_volume = {};
        main.Clear();
        HWND hSheet = OpenVolumePage();
        sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        Type(IDC_VOLUME_LIMIT_MB, limit);
        const size_t nBefore = questions.Messages().size();
        sheet::Click(Button(ID_APPLY_NOW));
        sheet::Click(Button(IDOK));
        sheet::ClickTab(hSheet, 0);
        ASSERT_EQ(nBefore + 3, questions.Messages().size());
        for (size_t i = nBefore; i < nBefore + 3; ++i) {
            EXPECT_EQ(refusal, questions.Messages()[i].text);
            EXPECT_EQ(unsigned(MB_ICONEXCLAMATION), questions.Messages()[i].style);
        }
        EXPECT_TRUE(IsWindow(hSheet));
        EXPECT_EQ(2, sheet::ActivePage(hSheet));
        EXPECT_TRUE(host.m_volume == VOLUMESETTINGS{});
        EXPECT_TRUE(main.Received(WM_OPTIONS_NOTIFY).empty());
        EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
        // With the box cleared the field is no limit, and OK goes through.
        sheet::Click(Control(IDC_VOLUME_LIMIT_ON));
        sheet::Click(Button(IDOK));
        PumpMessages();
        EXPECT_FALSE(IsWindow(hSheet));
        EXPECT_EQ(nBefore + 3, questions.Messages().size());
        EXPECT_EQ(Notifications{IDOK}, main.Received(WM_OPTIONS_NOTIFY));
    }
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

const char STICK_GUID[] = "{11111111-2222-3333-4444-555555555555}";
const char WIFI_GUID[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
const char CABLE_GUID[] = "{99999999-8888-7777-6666-555555555555}";

// Three adapters present: a stick online, a Wi-Fi adapter on a network, a cable unplugged.
std::vector<ADAPTERENTRY> ThreeAdapters() {
    return {SheetSettings::Adapter("Mobilfunk", STICK_GUID, true),
            SheetSettings::Adapter("WLAN", WIFI_GUID, true, WLAN_READING::readable, "Zuhause"),
            SheetSettings::Adapter("Ethernet", CABLE_GUID, false)};
}

// Choosing an adapter stores its name and identity; going back to dial-up clears every value.
TEST_F(OptionsSheetTest, ConnectionApplyStoresTheChosenAdapterAndDialUpClearsIt) {
    host.m_adapters = ThreeAdapters();
    host.m_connection = {"WLAN", WIFI_GUID, "Zuhause"};
    EXPECT_EQ(1, sheet::ActivePage(OpenConnectionPage()));
    EXPECT_EQ((std::vector<std::string>{"Mobilfunk \x96 Karte Mobilfunk", "WLAN \x96 Karte WLAN",
                                        "Ethernet (nicht verbunden) \x96 Karte Ethernet"}),
              AdapterLines());
    EXPECT_EQ(1, SelectedAdapter());
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW))) << "showing the choice is no change";
    const struct {
        int nClick; // a radio button, or -1 for the line below
        int nLine;
        CONNECTIONSETTINGS expected;
    } steps[] = {
        {IDC_SOURCE_DIALUP, -1, {}},
        {IDC_SOURCE_ADAPTER, -1, {"Mobilfunk", STICK_GUID, ""}}, // the first line is chosen
        {-1, 2, {"Ethernet", CABLE_GUID, ""}},
        {IDC_SOURCE_DIALUP, -1, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.expected.adapterName);
        main.Clear();
        if (step.nClick >= 0)
            sheet::Click(Control(step.nClick));
        else
            SelectAdapter(step.nLine);
        EXPECT_TRUE(IsWindowEnabled(Button(ID_APPLY_NOW)));
        sheet::Click(Button(ID_APPLY_NOW));
        EXPECT_EQ(step.expected.adapterName, host.m_connection.adapterName);
        EXPECT_EQ(step.expected.adapterGuid, host.m_connection.adapterGuid);
        EXPECT_EQ(step.expected.wlanNetwork, host.m_connection.wlanNetwork);
        EXPECT_EQ(Notifications{ID_APPLY_NOW}, main.Received(WM_OPTIONS_NOTIFY));
        EXPECT_EQ(step.expected.UsesAdapter(), IsWindowEnabled(Control(IDC_ADAPTER_LIST)) != 0);
        EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW)));
    }
}

// The stored identity finds the line, else the name; an adapter found nowhere is listed as not
// connected and stays chosen through OK. The name stored afterwards is the line's.
TEST_F(OptionsSheetTest, ConnectionPageKeepsTheChosenAdapterPresentOrNot) {
    const struct {
        CONNECTIONSETTINGS stored;
        int nLine;
        const char* lastLine; // the list's last line
        CONNECTIONSETTINGS afterOk;
    } cases[] = {
        {{"Mobilfunk", "", ""}, 0, nullptr, {"Mobilfunk", STICK_GUID, ""}},
        {{"mobilfunk", "", ""}, 0, nullptr, {"Mobilfunk", STICK_GUID, ""}},
        {{"Alter Name", CABLE_GUID, ""}, 2, nullptr, {"Ethernet", CABLE_GUID, ""}},
        {{"Mobilfunk", "{00000000-0000-0000-0000-000000000000}", ""},
         0,
         nullptr,
         {"Mobilfunk", STICK_GUID, ""}},
        {{"LTE-Stick", "{12345678-0000-0000-0000-000000000000}", ""},
         3,
         "LTE-Stick (nicht verbunden)",
         {"LTE-Stick", "{12345678-0000-0000-0000-000000000000}", ""}},
        {{"Handy", "", "Pixel"}, 3, "Handy (nicht verbunden)", {"Handy", "", "Pixel"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.adapterName);
        host.m_adapters = ThreeAdapters();
        host.m_connection = c.stored;
        HWND hSheet = OpenConnectionPage();
        EXPECT_TRUE(sheet::IsChecked(hSheet, IDC_SOURCE_ADAPTER));
        EXPECT_EQ(c.nLine, SelectedAdapter());
        const std::vector<std::string> lines = AdapterLines();
        EXPECT_EQ(c.lastLine ? 4u : 3u, lines.size());
        if (c.lastLine) {
            EXPECT_EQ(c.lastLine, lines.back());
        }
        sheet::Click(Button(IDOK));
        EXPECT_FALSE(IsWindow(hSheet));
        EXPECT_TRUE(host.m_connection == c.afterOk) << host.m_connection.adapterName;
    }
}

// The box and its field are for a Wi-Fi adapter only; where its network cannot be read, a line
// says why and that the adapter counts as if on the network named.
TEST_F(OptionsSheetTest, ConnectionPageOffersTheNetworkRuleForWifiOnly) {
    const std::string serviceOff = "Der WLAN-Dienst l\xE4uft nicht, der Netzname ist nicht zu "
                                   "lesen: gez\xE4hlt wird wie im genannten Netz.";
    const std::string accessDenied = "Windows gibt den Netznamen ohne Standortfreigabe nicht "
                                     "heraus: gez\xE4hlt wird wie im genannten Netz.";
    const struct {
        WLAN_READING wlan;
        bool bWifi;
        const std::string& reason;
        const char* offered; // the field after the box is ticked
    } cases[] = {
        {WLAN_READING::notWifi, false, std::string(), ""},
        {WLAN_READING::readable, true, std::string(), "Zuhause"},
        {WLAN_READING::serviceOff, true, serviceOff, ""},
        {WLAN_READING::accessDenied, true, accessDenied, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.wlan));
        host.m_adapters = {
            SheetSettings::Adapter("Mobilfunk", STICK_GUID, true),
            SheetSettings::Adapter("Funk", WIFI_GUID, true, c.wlan,
                                   c.wlan == WLAN_READING::readable ? "Zuhause" : "")};
        host.m_connection = {"Funk", WIFI_GUID, ""};
        HWND hSheet = OpenConnectionPage();
        EXPECT_EQ(c.bWifi, IsWindowEnabled(Control(IDC_WLAN_ONLY)) != 0);
        EXPECT_FALSE(IsWindowEnabled(Control(IDC_WLAN_NETWORK)));
        EXPECT_EQ(c.reason, sheet::Text(Control(IDC_WLAN_REASON)));
        if (c.bWifi) {
            sheet::Click(Control(IDC_WLAN_ONLY));
            EXPECT_TRUE(IsWindowEnabled(Control(IDC_WLAN_NETWORK)));
            EXPECT_EQ(c.offered, sheet::Text(Control(IDC_WLAN_NETWORK)));
            Type(IDC_WLAN_NETWORK, "Pixel-Hotspot");
        }
        // Another adapter takes the box, the field and the reason away.
        SelectAdapter(0);
        for (int nID : {IDC_WLAN_ONLY, IDC_WLAN_NETWORK})
            EXPECT_FALSE(IsWindowEnabled(Control(nID))) << nID;
        EXPECT_EQ("", sheet::Text(Control(IDC_WLAN_REASON)));
        SelectAdapter(1);
        EXPECT_EQ(c.reason, sheet::Text(Control(IDC_WLAN_REASON)));
        sheet::Click(Button(IDOK));
        EXPECT_FALSE(IsWindow(hSheet));
        EXPECT_EQ(c.bWifi ? "Pixel-Hotspot" : "", host.m_connection.wlanNetwork);
        EXPECT_EQ(WIFI_GUID, host.m_connection.adapterGuid);
    }
}

} // namespace

// Nothing is counted before the page "Verlauf" is shown; then the frame's refreshes show new
// figures while it is in front, and one behind another tab waits until it is shown again.
TEST_F(OptionsSheetTest, HistoryPageAsksForItsFiguresOnlyWhileShown) {
    int nCalls = 0;
    HistoryFigures figures;
    figures.days.resize(31);
    figures.nToday = 4;
    figures.line = "Verbraucht: 812 MB";
    figures.previous = "Vorige Zeitr\xE4ume: 1.020 MB, 870 MB";
    host.SetHistorySource([&] {
        ++nCalls;
        return figures;
    });
    HWND hSheet = Open();
    sheet::ClickTab(hSheet, 2);
    sheetObject->RefreshHistory();
    EXPECT_EQ(0, nCalls);

    sheet::ClickTab(hSheet, 3);
    EXPECT_EQ(1, nCalls);
    EXPECT_EQ(figures.line, sheet::Text(Control(IDC_HISTORY_LINE)));
    EXPECT_EQ(figures.previous, sheet::Text(Control(IDC_HISTORY_PREVIOUS)));
    figures.line = "Noch keine Verbindungen in diesem Zeitraum.";
    figures.previous.clear();
    sheetObject->RefreshHistory();
    EXPECT_EQ(2, nCalls);
    EXPECT_EQ(figures.line, sheet::Text(Control(IDC_HISTORY_LINE)));
    EXPECT_EQ("", sheet::Text(Control(IDC_HISTORY_PREVIOUS)));

    sheet::ClickTab(hSheet, 0);
    sheetObject->RefreshHistory();
    EXPECT_EQ(2, nCalls);
    sheet::ClickTab(hSheet, 3);
    EXPECT_EQ(3, nCalls);
    EXPECT_FALSE(IsWindowEnabled(Button(ID_APPLY_NOW))) << "showing is no change";
    host.SetHistorySource(nullptr);
}
