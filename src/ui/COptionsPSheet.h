#pragma once
// The modeless options sheet with the pages "Allgemein", "Verbindung", "Volumen", "Verlauf" and
// "Info", in that order. Its own row of Help, OK, Cancel and Apply (the framework's, with the
// program's texts) stands in for the standard buttons; it keeps its own record of modified pages,
// and reports the user's decision to the main window with WM_OPTIONS_NOTIFY. The page shown last
// is stored by a number of its own, not by its place: 0 "Allgemein", 1 "Info" (as older versions
// stored them), 2 "Volumen", 3 "Verlauf", 4 "Verbindung"; the pages' help topics follow the same
// numbers.
#include "framework/CPropertySheet.h"
#include "framework/ScopedHandles.h"
#include "resource.h"
#include "ui/CAboutPpg.h"
#include "ui/CConnectionPpg.h"
#include "ui/CGeneralPpg.h"
#include "ui/CHistoryPpg.h"
#include "ui/OptionsHost.h"
#include "ui/CVolumePpg.h"

#include <iterator>
#include <map>

// The window style the main frame creates the sheet with.
constexpr DWORD OPTIONS_SHEET_STYLE =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

class COptionsPSheet : public CPropertySheet {
public:
    // The stored number of each page, in the order the sheet shows them. A page added later
    // takes a number of its own, so that a number stored by an older version still names its
    // page.
    static constexpr int STORED_PAGE_OF_TAB[] = {0, 4, 2, 3, 1};
    static constexpr int PAGE_COUNT = static_cast<int>(std::size(STORED_PAGE_OF_TAB));

    // nStored where a page has that number, else 0 ("Allgemein").
    static int KnownStoredPage(int nStored);

    explicit COptionsPSheet(COptionsHost& host, UINT nIDCaption = IDS_SHEET_CAPTION,
                            HWND hParent = nullptr, UINT iSelectPage = 0);
    ~COptionsPSheet() override;

    // The sheet is always an unowned top-level window: hParent is ignored.
    BOOL Create(HWND hParent = nullptr, DWORD dwStyle = OPTIONS_SHEET_STYLE,
                DWORD dwExStyle = 0) override;

    // A page changed by the keyboard is remembered.
    BOOL TranslateDialogKeys(MSG* pMsg) override;

    // OK, Abbrechen or the close box is at work: the window is on its way out, and the system
    // may hand the program other messages before it is gone. After OK and Abbrechen the object
    // stays in use until the main window has taken their WM_OPTIONS_NOTIFY.
    bool IsClosing() const { return m_bClosing; }

    // The log or the settings changed: the page "Verlauf" shows the new figures if it is open.
    void RefreshHistory() { m_pageHistory.Refresh(); }

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnDestroyed() override;
    void OnOK() override;
    void OnCancel() override;
    void OnApplyNow() override;
    void OnHelpButton() override;

private:
    void OnPageChanged(HWND hPage);
    void OnPageUnchanged(HWND hPage);
    void EnableApply(bool bEnable);
    void ShowHelpForActivePage();
    void RememberActivePage();

    CGeneralPpg m_pageGeneral;
    CConnectionPpg m_pageConnection;
    CVolumePpg m_pageVolume;
    CHistoryPpg m_pageHistory;
    CAboutPpg m_pageAbout;
    std::map<HWND, CPropertyPage*> m_mapModified;
    fw::ScopedIcon m_hIcon;
    COptionsHost& m_host;
    bool m_bClosing = false;
};
