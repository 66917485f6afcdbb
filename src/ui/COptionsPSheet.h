#pragma once
// The modeless options sheet with the pages "Allgemein", "Volumen" and "Info", in that order.
// A modeless property sheet has no usable standard buttons, so this sheet makes its own row of
// Help, OK, Cancel and Apply, keeps its own record of modified pages, and reports the user's
// decision to the main window with WM_OPTIONS_NOTIFY. The page shown last is stored by a number
// of its own, not by its place: 0 "Allgemein", 1 "Info" (as older versions stored them), 2
// "Volumen"; the pages' help topics follow the same numbers.
#include "framework/CPropertySheet.h"
#include "framework/ScopedHandles.h"
#include "resource.h"
#include "ui/CAboutPpg.h"
#include "ui/CGeneralPpg.h"
#include "ui/OptionsHost.h"
#include "ui/CVolumePpg.h"

#include <map>

// The window style the main frame creates the sheet with.
constexpr DWORD OPTIONS_SHEET_STYLE =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

class COptionsPSheet : public CPropertySheet {
public:
    // A stored page number names one of these pages: 0 to PAGE_COUNT - 1.
    static constexpr int PAGE_COUNT = 3;

    explicit COptionsPSheet(COptionsHost& host, UINT nIDCaption = IDS_SHEET_CAPTION,
                            HWND hParent = nullptr, UINT iSelectPage = 0);
    ~COptionsPSheet() override;

    // The sheet is always an unowned top-level window: hParent is ignored.
    BOOL Create(HWND hParent = nullptr, DWORD dwStyle = OPTIONS_SHEET_STYLE,
                DWORD dwExStyle = 0) override;

    // Enter outside a push button presses the sheet's own OK; a page changed by the keyboard
    // is remembered.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // OK, Abbrechen or the close box is at work: the window is on its way out, and the system
    // may hand the program other messages before it is gone. After OK and Abbrechen the object
    // stays in use until the main window has taken their WM_OPTIONS_NOTIFY.
    bool IsClosing() const { return m_bClosing; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnDestroyed() override;

private:
    bool IsEnterForOwnOK(const MSG& msg) const;
    void OnPageChanged(HWND hPage);
    void OnPageUnchanged(HWND hPage);
    void OnOK();
    void OnCancel();
    void OnApplyNow();
    void OnHelpButton();
    void ShowHelpForActivePage();
    void RememberActivePage();

    void GrowWindow(int cy);
    void CreateButtons(int bx, int by);
    HWND CreateButton(UINT nIDText, int nID, DWORD dwStyle, int y, int cx, int cy);
    void LayoutButtons();
    void SetButtonFont();

    HWND m_btnHelp = nullptr;
    HWND m_btnApply = nullptr;
    HWND m_btnOK = nullptr;
    HWND m_btnCancel = nullptr;
    CGeneralPpg m_pageGeneral;
    CVolumePpg m_pageVolume;
    CAboutPpg m_pageAbout;
    std::map<HWND, CPropertyPage*> m_mapModified;
    fw::ScopedIcon m_hIcon;
    COptionsHost& m_host;
    // A button press that the property sheet control turns into the same command again
    // goes to the control, not round in a circle.
    bool m_bInCommand = false;
    bool m_bClosing = false;
};
