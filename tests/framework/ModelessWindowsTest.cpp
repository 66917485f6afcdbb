// Modeless dialogs and sheets get their messages before the loop dispatches them, and only
// the messages meant for them.
#include "framework/ModelessWindows.h"

#include <commctrl.h>

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

// A dialog template in memory: a dialog with an edit field and a button.
struct DialogTemplate {
    alignas(4) unsigned char bytes[512] = {};

    DialogTemplate() {
        auto* dialog = reinterpret_cast<DLGTEMPLATE*>(bytes);
        dialog->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        dialog->cdit = 2;
        dialog->cx = 100;
        dialog->cy = 50;
        WORD* p = reinterpret_cast<WORD*>(dialog + 1);
        *p++ = 0; // no menu
        *p++ = 0; // standard class
        *p++ = 0; // no title
        p = AddItem(p, 0x0081 /* edit */, 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5);
        AddItem(p, 0x0080 /* button */, 2, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 25);
    }

    static WORD* AddItem(WORD* p, WORD classAtom, WORD id, DWORD style, short y) {
        p = reinterpret_cast<WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
        item->style = style;
        item->x = 5;
        item->y = y;
        item->cx = 80;
        item->cy = 14;
        item->id = id;
        p = reinterpret_cast<WORD*>(item + 1);
        *p++ = 0xFFFF;
        *p++ = classAtom;
        *p++ = 0; // no text
        *p++ = 0; // no creation data
        return p;
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes); }
    const DLGTEMPLATE* Page() {
        reinterpret_cast<DLGTEMPLATE*>(bytes)->style = WS_CHILD | WS_CAPTION;
        return Get();
    }
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
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

TEST(ModelessWindows, DialogFilterTakesTheTabKeyOfARealDialog) {
    DialogTemplate dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Get(),
                                             nullptr, PlainDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    MSG tab = MessageFor(GetDlgItem(dialog, 1));
    EXPECT_TRUE(fw::DialogMessageFilter(dialog, tab));
    DestroyWindow(dialog);
}

TEST(ModelessWindows, PropertySheetFilterTakesTheTabKeyOfARealSheet) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    DialogTemplate pageTemplate;
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pResource = pageTemplate.Page();
    page.pfnDlgProc = PlainDialogProc;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "Sheet";
    header.nPages = 1;
    header.ppsp = &page;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    ASSERT_NE(nullptr, sheet);
    MSG tab = MessageFor(sheet);
    EXPECT_TRUE(fw::PropertySheetMessageFilter(sheet, tab));
    DestroyWindow(sheet);
}
