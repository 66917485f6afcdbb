// The sheet's own button row, its size and its help, under the real dialog base units.
#include "RecordingWindow.h"
#include "SheetDriver.h"
#include "SheetSettings.h"
#include "support/MessageCapture.h"

#include "framework/LoadStringResource.h"
#include "resource.h"
#include "ui/OptionsPSheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using HelpCalls = std::vector<std::pair<ULONG_PTR, UINT>>;

// An empty help file beside the test program for the length of a test.
class ScopedHelpFile {
public:
    ScopedHelpFile() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        m_path = path;
        m_path = m_path.substr(0, m_path.rfind('\\') + 1) + "tarvolo.hlp";
        HANDLE h = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
    }
    ~ScopedHelpFile() { DeleteFileA(m_path.c_str()); }

private:
    std::string m_path;
};

// The first child with an id: the property sheet control's own, hidden button.
HWND StandardButton(HWND hSheet, int nID) {
    return GetDlgItem(hSheet, nID);
}

class OptionsSheetLayoutTest : public ::testing::Test {
protected:
    void TearDown() override {
        sheetObject.reset();
        PumpMessages();
    }

    HWND Open() {
        sheetObject = std::make_unique<COptionsPSheet>(host);
        EXPECT_TRUE(sheetObject->Create(main.Get(), OPTIONS_SHEET_STYLE, 0));
        PumpMessages();
        return sheetObject->GetSafeHwnd();
    }

    void ExpectRow(HWND hSheet, const std::vector<std::string>& texts) {
        LONG units = GetDialogBaseUnits();
        int bx = LOWORD(units);
        int by = HIWORD(units);
        // The longest label is "Ü&bernehmen", 11 characters counted with the "&".
        int width = std::max(72, (11 - 2) * bx);
        RECT rcTab = sheet::ClientRect(hSheet, PropSheet_GetTabControl(hSheet));
        RECT rcClient;
        GetClientRect(hSheet, &rcClient);
        int margin = rcClient.right - rcTab.right;

        std::vector<HWND> row = sheet::ButtonRow(hSheet);
        ASSERT_EQ(texts.size(), row.size());
        int right = rcTab.right;
        for (size_t i = row.size(); i-- > 0;) {
            RECT rc = sheet::ClientRect(hSheet, row[i]);
            EXPECT_EQ(texts[i], sheet::Text(row[i]));
            EXPECT_EQ(right, rc.right) << texts[i];
            EXPECT_EQ(width, rc.right - rc.left) << texts[i];
            EXPECT_EQ(3 * by / 2, rc.bottom - rc.top) << texts[i];
            EXPECT_EQ(rcTab.bottom + by / 4 + 2, rc.top) << texts[i];
            EXPECT_EQ(SendMessageA(hSheet, WM_GETFONT, 0, 0),
                      SendMessageA(row[i], WM_GETFONT, 0, 0));
            right = rc.left - margin;
        }
    }

    MessageCapture boxes{IDNO};
    RecordingWindow main;
    SheetSettings host{main.Get()};
    std::unique_ptr<COptionsPSheet> sheetObject;
};

TEST_F(OptionsSheetLayoutTest, ButtonRowWithHelpFile) {
    ScopedHelpFile helpFile;
    HWND hSheet = Open();
    ExpectRow(hSheet, {"Hilfe", "OK", "Abbrechen", "\xDC&bernehmen"});
    EXPECT_EQ(IDHELP, GetDlgCtrlID(sheet::ButtonRow(hSheet).front()));
}

TEST_F(OptionsSheetLayoutTest, ButtonRowWithoutHelpFile) {
    DeleteFileA(host.GetHelpFilePath().c_str());
    HWND hSheet = Open();
    ExpectRow(hSheet, {"OK", "Abbrechen", "\xDC&bernehmen"});
    EXPECT_FALSE(IsWindowVisible(sheet::OwnButton(hSheet, IDHELP)));
}

TEST_F(OptionsSheetLayoutTest, StandardButtonsAreHiddenAndTheWindowEndsBelowTheOwnRow) {
    HWND hSheet = Open();
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP}) {
        HWND hStandard = StandardButton(hSheet, id);
        ASSERT_TRUE(hStandard) << id;
        EXPECT_NE(hStandard, sheet::OwnButton(hSheet, id)) << id;
        EXPECT_FALSE(IsWindowVisible(hStandard)) << id;
        EXPECT_FALSE(IsWindowEnabled(hStandard)) << id;
    }
    // Cut at the standard buttons' top, then grown by two character heights.
    RECT rcWindow;
    GetWindowRect(hSheet, &rcWindow);
    RECT rcStandardOK;
    GetWindowRect(StandardButton(hSheet, IDOK), &rcStandardOK);
    int by = HIWORD(GetDialogBaseUnits());
    EXPECT_EQ(rcStandardOK.top - rcWindow.top + 2 * by, rcWindow.bottom - rcWindow.top);
    RECT rcClient;
    GetClientRect(hSheet, &rcClient);
    for (HWND hButton : sheet::ButtonRow(hSheet))
        EXPECT_LE(sheet::ClientRect(hSheet, hButton).bottom, rcClient.bottom);
}

TEST_F(OptionsSheetLayoutTest, UnownedPopupWithCaptionAndWithoutContextHelp) {
    HWND hSheet = Open();
    EXPECT_EQ(fw::LoadStringResource(IDS_SHEET_CAPTION), sheet::Text(hSheet));
    EXPECT_EQ(nullptr, GetWindow(hSheet, GW_OWNER));
    LONG style = GetWindowLongA(hSheet, GWL_STYLE);
    for (LONG bit : {LONG(WS_POPUP), LONG(WS_VISIBLE), LONG(WS_CAPTION), LONG(WS_SYSMENU)})
        EXPECT_EQ(bit, style & bit) << std::hex << bit;
    EXPECT_EQ(0, GetWindowLongA(hSheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    EXPECT_EQ(hSheet, FindWindowA(nullptr, "Tarvolo - Einstellungen"));
}

TEST_F(OptionsSheetLayoutTest, HelpButtonUsesTheActivePagesContext) {
    ScopedHelpFile helpFile;
    HWND hSheet = Open();
    sheet::Click(sheet::OwnButton(hSheet, IDHELP));
    sheet::ClickTab(hSheet, 1);
    sheet::Click(sheet::OwnButton(hSheet, IDHELP));
    EXPECT_EQ((HelpCalls{{200, HELP_CONTEXT}, {201, HELP_CONTEXT}}), host.Contexts());
    // The help system gets the main window as owner and the help file beside the program.
    for (const auto& call : host.m_help) {
        EXPECT_EQ(main.Get(), call.hOwner);
        EXPECT_EQ(host.GetHelpFilePath(), call.file);
    }
    EXPECT_TRUE(IsWindow(hSheet));
}

// Presses F1 on a control as the keyboard would: the system turns the key into WM_HELP on
// its way through the message loop. Keyboard input goes to the foreground window, which a
// window of a test running beside this one may have taken for a moment; the key is pressed
// again then.
void PressF1(HWND hSheet, HWND hFocus, const SheetSettings& host) {
    size_t callsBefore = host.m_help.size();
    for (int attempt = 0; attempt < 5 && host.m_help.size() == callsBefore; ++attempt) {
        SetForegroundWindow(hSheet);
        SetFocus(hFocus);
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        DWORD end = GetTickCount() + 500;
        while (GetTickCount() < end && host.m_help.size() == callsBefore) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            PumpMessages();
        }
    }
}

// Ctrl+Tab on a control: the tab key with the control key held down.
void PressCtrlTab(HWND hFocus) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    PostMessageA(hFocus, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PumpMessages();
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
}

TEST_F(OptionsSheetLayoutTest, F1UsesTheActivePagesContextAlsoWithoutHelpFile) {
    DeleteFileA(host.GetHelpFilePath().c_str());
    HWND hSheet = Open();
    PressF1(hSheet, sheet::PageControl(hSheet, IDC_AUTOSTART), host);
    sheet::ClickTab(hSheet, 1);
    PressF1(hSheet, PropSheet_GetTabControl(hSheet), host);
    EXPECT_EQ((HelpCalls{{200, HELP_CONTEXT}, {201, HELP_CONTEXT}}), host.Contexts());
}

TEST_F(OptionsSheetLayoutTest, PageChangedWithCtrlTabIsRemembered) {
    HWND hSheet = Open();
    SetFocus(sheet::PageControl(hSheet, IDC_AUTOSTART));
    PressCtrlTab(GetFocus());
    EXPECT_EQ(1, sheet::ActivePage(hSheet));
    EXPECT_EQ(1, host.m_profile.nActivePage);
    PressCtrlTab(GetFocus());
    EXPECT_EQ(0, sheet::ActivePage(hSheet));
    EXPECT_EQ(0, host.m_profile.nActivePage);
}

} // namespace
