// The dialog templates as the resource compiler stored them: styles, sizes, fonts,
// control ids, classes, texts and positions.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const WORD NO_ID = 0xFFFF;
const WORD BUTTON_CLASS = 0x0080;
const WORD STATIC_CLASS = 0x0082;

struct Control {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD classAtom;   // predefined class
    std::string text; // in the ANSI code page
    WORD textOrdinal; // resource number in place of a text (icons), else 0
};

struct Dialog {
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    std::string caption;
    WORD pointSize;
    std::string font;
    std::vector<Control> controls;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* p) : m_start(p), m_p(p) {}

    template <class T> T Read() {
        T value;
        memcpy(&value, m_p, sizeof value);
        m_p += sizeof value;
        return value;
    }
    std::string ReadString() {
        std::wstring wide;
        while (WCHAR c = Read<WCHAR>())
            wide += c;
        char text[512] = {};
        WideCharToMultiByte(1252, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
    // A name or a number: 0xFFFF introduces a number.
    std::string ReadNameOrOrdinal(WORD& ordinal) {
        ordinal = 0;
        WORD first;
        memcpy(&first, m_p, sizeof first);
        if (first == 0xFFFF) {
            m_p += 2;
            ordinal = Read<WORD>();
            return {};
        }
        return ReadString();
    }
    void AlignToDword() {
        while ((m_p - m_start) % 4)
            ++m_p;
    }

private:
    const BYTE* m_start;
    const BYTE* m_p;
};

Dialog LoadDialog(int id) {
    Dialog dialog = {};
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!info)
        return dialog;
    TemplateReader reader(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info))));
    dialog.style = reader.Read<DWORD>();
    dialog.exStyle = reader.Read<DWORD>();
    WORD count = reader.Read<WORD>();
    reader.Read<short>();
    reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    WORD ordinal;
    reader.ReadNameOrOrdinal(ordinal); // menu
    reader.ReadNameOrOrdinal(ordinal); // class
    dialog.caption = reader.ReadString();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.font = reader.ReadString();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        Control c = {};
        c.style = reader.Read<DWORD>();
        reader.Read<DWORD>();
        c.x = reader.Read<short>();
        c.y = reader.Read<short>();
        c.cx = reader.Read<short>();
        c.cy = reader.Read<short>();
        c.id = reader.Read<WORD>();
        std::string className = reader.ReadNameOrOrdinal(c.classAtom);
        // A class given by name works the same as the predefined class's number.
        if (lstrcmpiA(className.c_str(), "Button") == 0)
            c.classAtom = BUTTON_CLASS;
        else if (lstrcmpiA(className.c_str(), "Static") == 0)
            c.classAtom = STATIC_CLASS;
        c.text = reader.ReadNameOrOrdinal(c.textOrdinal);
        WORD extra = reader.Read<WORD>();
        for (WORD b = 0; b < extra; ++b)
            reader.Read<BYTE>();
        dialog.controls.push_back(c);
    }
    return dialog;
}

void ExpectControl(const Control& expected, const Control& actual) {
    SCOPED_TRACE("control " + std::to_string(expected.id) + " \"" + expected.text + "\"");
    EXPECT_EQ(expected.id, actual.id);
    EXPECT_EQ(expected.classAtom, actual.classAtom);
    EXPECT_EQ(expected.text, actual.text);
    EXPECT_EQ(expected.textOrdinal, actual.textOrdinal);
    EXPECT_EQ(expected.style, actual.style) << std::hex << expected.style << " " << actual.style;
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
    EXPECT_EQ(expected.cx, actual.cx);
    EXPECT_EQ(expected.cy, actual.cy);
}

void ExpectFrame(const Dialog& d, DWORD style, short cx, short cy, const std::string& caption) {
    EXPECT_EQ(style, d.style) << std::hex << d.style;
    EXPECT_EQ(0u, d.exStyle);
    EXPECT_EQ(cx, d.cx);
    EXPECT_EQ(cy, d.cy);
    EXPECT_EQ(caption, d.caption);
    EXPECT_EQ(8, d.pointSize);
    EXPECT_EQ("MS Sans Serif", d.font);
}

const DWORD VISIBLE_CHILD = WS_CHILD | WS_VISIBLE;

// A page's controls in the template's order, which is the tab order.
struct ControlLine {
    WORD id;
    DWORD style;
    std::string text;
};

void ExpectControlLines(const Dialog& d, const std::vector<ControlLine>& expected) {
    ASSERT_EQ(expected.size(), d.controls.size());
    for (size_t i = 0; i < d.controls.size(); ++i) {
        SCOPED_TRACE(std::to_string(expected[i].id) + " " + expected[i].text);
        EXPECT_EQ(expected[i].id, d.controls[i].id);
        EXPECT_EQ(expected[i].text, d.controls[i].text);
        EXPECT_EQ(expected[i].style, d.controls[i].style) << std::hex << d.controls[i].style;
    }
}

TEST(DialogTemplates, GeneralPage) {
    Dialog d = LoadDialog(IDD_GENERAL_PAGE);
    ExpectFrame(d, WS_CHILD | WS_CAPTION | DS_SETFONT, 251, 90, "Allgemein");
    const DWORD checkBox = VISIBLE_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX;
    const DWORD pushButton = VISIBLE_CHILD | WS_TABSTOP;
    const Control expected[] = {
        {checkBox, 42, 20, 187, 10, 1005, BUTTON_CLASS,
         "Diese Anwendung mit &Windows starten (empfohlen)", 0},
        {VISIBLE_CHILD | SS_ICON, 5, 20, 21, 20, NO_ID, STATIC_CLASS, "", 128},
        {checkBox, 42, 38, 202, 10, 1006, BUTTON_CLASS, "Verbindungsdaten aufsteigend &sortieren",
         0},
        {VISIBLE_CHILD | SS_LEFT, 52, 54, 53, 8, NO_ID, STATIC_CLASS, "Logdatei", 0},
        {pushButton, 134, 51, 50, 14, 1004, BUTTON_CLASS, "&Anzeigen", 0},
        {pushButton, 194, 51, 50, 14, 1008, BUTTON_CLASS, "&L\xF6schen", 0},
    };
    ASSERT_EQ(std::size(expected), d.controls.size());
    for (size_t i = 0; i < d.controls.size(); ++i)
        ExpectControl(expected[i], d.controls[i]);
}

TEST(DialogTemplates, InfoPage) {
    Dialog d = LoadDialog(IDD_INFO_PAGE);
    ExpectFrame(d, WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT, 251, 90, "Info");
    const DWORD text = VISIBLE_CHILD | WS_GROUP | SS_LEFT;
    ASSERT_EQ(6u, d.controls.size());
    const Control expected[] = {
        {VISIBLE_CHILD | SS_ICON, 5, 20, 20, 20, NO_ID, STATIC_CLASS, "", 128},
        {text | SS_NOPREFIX | SS_NOTIFY | SS_CENTERIMAGE, 42, 22, 204, 8, 1027, STATIC_CLASS,
         "Tarvolo", 0},
        {text, 42, 47, 204, 8, 1026, STATIC_CLASS, d.controls[2].text, 0},
        {text, 42, 34, 204, 8, 1028, STATIC_CLASS, "Version 1.1", 0},
        {text, 5, 7, 241, 8, 1007, STATIC_CLASS, "", 0},
        {text, 70, 56, 176, 8, NO_ID, STATIC_CLASS, d.controls[5].text, 0},
    };
    for (size_t i = 0; i < d.controls.size(); ++i)
        ExpectControl(expected[i], d.controls[i]);
    EXPECT_FALSE(d.controls[2].text.empty());
    EXPECT_FALSE(d.controls[5].text.empty());
}

// Positions are left to the layout test, which measures the texts in the real font.
TEST(DialogTemplates, VolumePage) {
    Dialog general = LoadDialog(IDD_GENERAL_PAGE);
    Dialog d = LoadDialog(IDD_VOLUME);
    ExpectFrame(d, general.style, general.cx, general.cy, "Volumen");
    const DWORD checkBox = VISIBLE_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX;
    const DWORD field = VISIBLE_CHILD | WS_TABSTOP | WS_BORDER | ES_NUMBER;
    const DWORD label = VISIBLE_CHILD | WS_GROUP | SS_LEFT;
    const DWORD radio = VISIBLE_CHILD | BS_AUTORADIOBUTTON;
    // Tab order: each label right before its field, so that its "&" letter leads there; the
    // radio buttons one group with one tab stop.
    ExpectControlLines(
        d, {
               {IDC_VOLUME_LIMIT_ON, checkBox, "Monatliches &Volumen begrenzen auf"},
               {IDC_VOLUME_LIMIT_MB, field | ES_AUTOHSCROLL, ""},
               {IDC_VOLUME_MB_UNIT, label, "MB"},
               {IDC_COUNT_BOTH, radio | WS_GROUP | WS_TABSTOP, "Empfangen und gesendet &z\xE4hlen"},
               {IDC_COUNT_RECEIVED, radio, "&Nur Empfangenes z\xE4hlen"},
               {IDC_BILLING_DAY_LABEL, label, "Abrechnungszeitraum beginnt &am"},
               {IDC_BILLING_DAY, field, ""},
               {IDC_BILLING_DAY_UNIT, label, ". des Monats"},
               {IDC_WARN_LABEL, label, "&Warnung bei"},
               {IDC_WARN_PERCENT, field, ""},
               {IDC_WARN_UNIT, label, "% und bei 100 %"},
           });
}

// Tab order: the radio buttons one group with one tab stop, then the list, the box and its field;
// the reason line is a text of its own, never a prefix.
TEST(DialogTemplates, ConnectionPage) {
    Dialog general = LoadDialog(IDD_GENERAL_PAGE);
    Dialog d = LoadDialog(IDD_CONNECTION_PAGE);
    ExpectFrame(d, general.style, general.cx, general.cy, "Verbindung");
    const DWORD radio = VISIBLE_CHILD | BS_AUTORADIOBUTTON;
    ExpectControlLines(
        d, {
               {IDC_SOURCE_DIALUP, radio | WS_GROUP | WS_TABSTOP,
                "&Einwahlverbindungen (DF\xDC, PPPoE, VPN)"},
               {IDC_SOURCE_ADAPTER, radio, "&Netzwerkadapter:"},
               {IDC_ADAPTER_LIST,
                VISIBLE_CHILD | WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY |
                    LBS_NOINTEGRALHEIGHT,
                ""},
               {IDC_WLAN_ONLY, VISIBLE_CHILD | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX,
                "nur im &WLAN:"},
               {IDC_WLAN_NETWORK, VISIBLE_CHILD | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, ""},
               {IDC_WLAN_REASON, VISIBLE_CHILD | WS_GROUP | SS_LEFT | SS_NOPREFIX, ""},
           });
}

// The chart first, drawn by the page; then the two lines as read-only fields the tab key
// reaches in reading order, and a screen reader reads.
TEST(DialogTemplates, HistoryPage) {
    Dialog d = LoadDialog(IDD_HISTORY_PAGE);
    ExpectFrame(d, LoadDialog(IDD_GENERAL_PAGE).style, 251, 90, "Verlauf");
    const DWORD line = VISIBLE_CHILD | WS_TABSTOP | ES_READONLY;
    const std::pair<WORD, DWORD> expected[] = {{IDC_HISTORY_CHART, VISIBLE_CHILD | SS_OWNERDRAW},
                                               {IDC_HISTORY_LINE, line | ES_MULTILINE},
                                               {IDC_HISTORY_PREVIOUS, line | ES_AUTOHSCROLL}};
    ASSERT_EQ(std::size(expected), d.controls.size());
    for (size_t i = 0; i < d.controls.size(); ++i) {
        EXPECT_EQ(expected[i].first, d.controls[i].id);
        EXPECT_EQ(expected[i].second, d.controls[i].style) << std::hex << d.controls[i].style;
    }
}

TEST(DialogTemplates, AboutBox) {
    Dialog d = LoadDialog(IDD_ABOUTBOX);
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU),
              d.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CHILD));
    EXPECT_EQ(223, d.cx);
    EXPECT_EQ(58, d.cy);
    EXPECT_EQ("Info", d.caption);
    EXPECT_EQ(8, d.pointSize);
    EXPECT_EQ("MS Sans Serif", d.font);

    auto find = [&d](WORD id, const std::string& text) -> const Control* {
        for (const Control& c : d.controls)
            if (c.id == id && (text.empty() || c.text == text))
                return &c;
        return nullptr;
    };
    ASSERT_TRUE(find(IDOK, "OK"));
    EXPECT_EQ(BUTTON_CLASS, find(IDOK, "OK")->classAtom);
    ASSERT_TRUE(find(1027, "Tarvolo"));
    ASSERT_TRUE(find(1028, "Version 1.1"));
    ASSERT_TRUE(find(1026, ""));
    EXPECT_FALSE(find(1026, "")->text.empty());
    int icons = 0;
    int unnamedLines = 0;
    for (const Control& c : d.controls) {
        SCOPED_TRACE(c.text);
        // Every control lies inside the dialog.
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_LE(c.x + c.cx, d.cx);
        EXPECT_LE(c.y + c.cy, d.cy);
        if (c.textOrdinal == 128 && (c.style & SS_TYPEMASK) == SS_ICON)
            ++icons;
        else if (c.id == NO_ID && !c.text.empty())
            ++unnamedLines;
    }
    EXPECT_EQ(1, icons);
    EXPECT_EQ(1, unnamedLines);
    EXPECT_EQ(6u, d.controls.size());
}

} // namespace
