// The sheet's own button row, its size, its pages' controls and its help, under the real dialog
// base units.
#include "RecordingWindow.h"
#include "SheetDriver.h"
#include "SheetSettings.h"
#include "support/MessageCapture.h"

#include "framework/LoadStringResource.h"
#include "resource.h"
#include "ui/COptionsPSheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

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

// A page's topic is 200 and its stored number: "Info" keeps the 201 of the help file's older
// versions, although "Verbindung", "Volumen" and "Verlauf" now stand between it and "Allgemein".
const HelpCalls TOPICS_BY_TAB = {{200, HELP_CONTEXT},
                                 {204, HELP_CONTEXT},
                                 {202, HELP_CONTEXT},
                                 {203, HELP_CONTEXT},
                                 {201, HELP_CONTEXT}};

TEST_F(OptionsSheetLayoutTest, HelpButtonUsesTheActivePagesContext) {
    ScopedHelpFile helpFile;
    HWND hSheet = Open();
    sheet::Click(sheet::OwnButton(hSheet, IDHELP));
    for (int nTab : {1, 2, 3, 4}) {
        sheet::ClickTab(hSheet, nTab);
        sheet::Click(sheet::OwnButton(hSheet, IDHELP));
    }
    EXPECT_EQ(TOPICS_BY_TAB, host.Contexts());
    // The help system gets the main window as owner and the help file beside the program.
    for (const auto& call : host.m_help) {
        EXPECT_EQ(main.Get(), call.hOwner);
        EXPECT_EQ(host.GetHelpFilePath(), call.file);
    }
    EXPECT_TRUE(IsWindow(hSheet));
}

// As the program's manifest declares it; only a DPI-aware process sees the system's DPI. A run
// at another resolution names the one it expects in TARVOLO_EXPECT_DPI.
void BecomeDpiAware() {
    using SetAwareFunction = BOOL(WINAPI*)();
    if (auto pfnSetAware = reinterpret_cast<SetAwareFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware"))))
        pfnSetAware();
    if (const char* expected = std::getenv("TARVOLO_EXPECT_DPI")) {
        HDC hScreen = GetDC(nullptr);
        ASSERT_EQ(std::atoi(expected), GetDeviceCaps(hScreen, LOGPIXELSY));
        ReleaseDC(nullptr, hScreen);
    }
}

// The rectangle text takes in a control's own font: one line, or with DT_WORDBREAK lines
// broken at the given width.
RECT TextRect(HWND hControl, const std::string& text, int width, UINT format) {
    HDC hdc = GetDC(hControl);
    HGDIOBJ hOld =
        SelectObject(hdc, reinterpret_cast<HGDIOBJ>(SendMessageA(hControl, WM_GETFONT, 0, 0)));
    RECT rc = {0, 0, width, 0};
    if (!(format & DT_WORDBREAK))
        format |= DT_SINGLELINE;
    DrawTextA(hdc, text.c_str(), -1, &rc, DT_CALCRECT | format);
    SelectObject(hdc, hOld);
    ReleaseDC(hControl, hdc);
    return rc;
}

// The width of a line of text in a control's own font; with DT_WORDBREAK, of the longest line
// where the text is broken at the control's width.
int TextWidth(HWND hControl, const std::string& text, UINT format) {
    RECT rcClient;
    GetClientRect(hControl, &rcClient);
    const RECT rc = TextRect(hControl, text, rcClient.right, format);
    return rc.right - rc.left;
}

int TextHeight(HWND hControl, const std::string& text, int width, UINT format) {
    const RECT rc = TextRect(hControl, text, width, format);
    return rc.bottom - rc.top;
}

// A text control at least two lines of its font high wraps its text at its width.
bool WrapsText(HWND hControl) {
    char className[32] = {};
    GetClassNameA(hControl, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return false;
    RECT rcClient;
    GetClientRect(hControl, &rcClient);
    return rcClient.bottom >= 2 * TextHeight(hControl, "X", rcClient.right, 0);
}

// The height a control needs to show its text whole: that of its lines where it wraps, else 0.
int HeightNeeded(HWND hControl) {
    if (!WrapsText(hControl))
        return 0;
    RECT rcClient;
    GetClientRect(hControl, &rcClient);
    const UINT format = (GetWindowLongA(hControl, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    return TextHeight(hControl, sheet::Text(hControl), rcClient.right, format | DT_WORDBREAK);
}

// The width a control needs to show its text on one line, whole; 0 where it has none to show.
// A check box or radio button draws its box and a gap before the text; a number field must hold
// as many digits as it takes; a wrapping text needs no more than its longest word.
int WidthNeeded(HWND hControl) {
    char className[32] = {};
    GetClassNameA(hControl, className, sizeof className);
    const LONG style = GetWindowLongA(hControl, GWL_STYLE);
    const std::string text = sheet::Text(hControl);
    if (lstrcmpiA(className, "Edit") == 0) {
        const LRESULT digits = SendMessageA(hControl, EM_GETLIMITTEXT, 0, 0);
        if (digits > 16)
            return 0;
        const LRESULT margins = SendMessageA(hControl, EM_GETMARGINS, 0, 0);
        return TextWidth(hControl, std::string(static_cast<size_t>(digits), '0'), DT_NOPREFIX) +
               LOWORD(margins) + HIWORD(margins);
    }
    if (text.empty())
        return 0;
    if (lstrcmpiA(className, "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
            return 0;
        const UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        return WrapsText(hControl) ? TextWidth(hControl, text, format | DT_WORDBREAK)
                                   : TextWidth(hControl, text, format);
    }
    if (lstrcmpiA(className, "Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        const int textWidth = TextWidth(hControl, text, 0);
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
            type == BS_AUTORADIOBUTTON)
            return GetSystemMetrics(SM_CXMENUCHECK) + TextWidth(hControl, "0", 0) + textWidth;
        return textWidth + 4 * GetSystemMetrics(SM_CXEDGE);
    }
    return 0;
}

std::string Describe(HWND hControl) {
    return std::to_string(GetDlgCtrlID(hControl)) + " \"" + sheet::Text(hControl) + "\"";
}

// Also at 144 DPI (dpi144.ui_tests), where the dialog font does not grow in step with the
// dialog units: every control lies inside its page, none covers another, and every text and
// number is shown whole. The page "Verbindung" shows its longest line of why a network cannot be
// read.
TEST_F(OptionsSheetLayoutTest, EveryPageHoldsItsControlsWholeAndApart) {
    BecomeDpiAware();
    host.m_adapters = {SheetSettings::Adapter("WLAN", "{1}", true, WLAN_READING::accessDenied)};
    host.m_connection = {"WLAN", "{1}", "Pixel-Hotspot"};
    HWND hSheet = Open();
    for (int nTab = 0; nTab < COptionsPSheet::PAGE_COUNT; ++nTab) {
        sheet::ClickTab(hSheet, nTab);
        ASSERT_EQ(nTab, sheet::ActivePage(hSheet));
        HWND hPage = PropSheet_GetCurrentPageHwnd(hSheet);
        RECT rcPage;
        GetClientRect(hPage, &rcPage);
        const std::vector<HWND> controls = sheet::PageControls(hSheet);
        ASSERT_FALSE(controls.empty());
        for (size_t i = 0; i < controls.size(); ++i) {
            SCOPED_TRACE("page " + std::to_string(nTab) + ", control " + Describe(controls[i]));
            const RECT rc = sheet::ClientRect(hPage, controls[i]);
            EXPECT_GE(rc.left, rcPage.left);
            EXPECT_GE(rc.top, rcPage.top);
            EXPECT_LE(rc.right, rcPage.right);
            EXPECT_LE(rc.bottom, rcPage.bottom);
            RECT rcClient;
            GetClientRect(controls[i], &rcClient);
            EXPECT_LE(WidthNeeded(controls[i]), rcClient.right);
            EXPECT_LE(HeightNeeded(controls[i]), rcClient.bottom);
            for (size_t j = i + 1; j < controls.size(); ++j) {
                RECT rcOther = sheet::ClientRect(hPage, controls[j]);
                RECT overlap;
                EXPECT_FALSE(IntersectRect(&overlap, &rc, &rcOther)) << Describe(controls[j]);
            }
        }
    }
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
    for (int nTab : {1, 2, 3, 4}) {
        sheet::ClickTab(hSheet, nTab);
        PressF1(hSheet, PropSheet_GetTabControl(hSheet), host);
    }
    EXPECT_EQ(TOPICS_BY_TAB, host.Contexts());
}

TEST_F(OptionsSheetLayoutTest, PageChangedWithCtrlTabIsRememberedByItsStoredNumber) {
    HWND hSheet = Open();
    SetFocus(sheet::PageControl(hSheet, IDC_AUTOSTART));
    const struct {
        int nTab;
        int nStored;
    } steps[] = {{1, 4}, {2, 2}, {3, 3}, {4, 1}, {0, 0}};
    for (const auto& step : steps) {
        PressCtrlTab(GetFocus());
        EXPECT_EQ(step.nTab, sheet::ActivePage(hSheet));
        EXPECT_EQ(step.nStored, host.m_profile.nActivePage) << "tab " << step.nTab;
    }
}

} // namespace
