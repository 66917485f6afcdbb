#pragma once
// A modeless property sheet on the common controls' PropertySheet. The sheet window is
// subclassed from its creation on, so that its messages reach the virtual handlers below before
// the property sheet control sees them. The object outlives its window: a sheet closed by its
// caption box can be created again and shows the same page objects. A modeless sheet has no
// usable standard buttons; it can make a row of its own (Help, OK, Cancel, Apply) with the texts
// its program hands in, whose presses reach the virtual handlers below.
#include "framework/CPropertyPage.h"

#include <string>
#include <vector>

// The control id of the property sheet's Apply button.
#ifndef ID_APPLY_NOW
#define ID_APPLY_NOW 0x3021
#endif

class CPropertySheet {
public:
    // The labels of the own button row, with their "&" mnemonics.
    struct ButtonTexts {
        std::string help;
        std::string ok;
        std::string cancel;
        std::string apply;
    };

    // The caption is a string table id; the page shown first is iSelectPage.
    CPropertySheet(UINT nIDCaption, HWND hParent = nullptr, UINT iSelectPage = 0);
    virtual ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Pages are shown in the order they are added; the sheet does not own them.
    void AddPage(CPropertyPage* pPage);

    // Creates the modeless sheet window with the given window styles (-1: the usual popup
    // with caption, system menu and modal frame). FALSE when it cannot be created.
    virtual BOOL Create(HWND hParent = nullptr, DWORD dwStyle = static_cast<DWORD>(-1),
                        DWORD dwExStyle = 0);

    HWND GetSafeHwnd() const { return m_hWnd; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const { return m_pages[nPage]; }
    // The index of the page shown, from the tab control while the window exists.
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    HWND GetTabControl() const;
    // PSM_PRESSBUTTON: the property sheet control acts as if one of its buttons was pressed,
    // before this returns.
    BOOL PressButton(int nButton);
    // Ends a modeless sheet: keeps the result and destroys the window.
    void EndDialog(int nEndID);
    void DestroyWindow();
    int GetResult() const { return m_nModalResult; }

    // The keyboard handling (Tab, Enter, Esc, Ctrl+Tab, F1) of this sheet for a message to it or
    // one of its children; the message loop offers it through the modeless window registry.
    // Enter outside a push button presses the own OK; the rest goes to TranslateDialogKeys.
    BOOL PreTranslateMessage(MSG* pMsg);

    PROPSHEETHEADERA m_psh;

protected:
    // The property sheet control's own keyboard handling.
    virtual BOOL TranslateDialogKeys(MSG* pMsg);
    // The sheet's message map: handles what the class knows and hands the rest to Default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The property sheet control's own handling of the message being processed.
    LRESULT Default();

    // Runs the control's initialisation, then takes the standard buttons away (the modeless
    // sheet has its own) and centres the window.
    virtual BOOL OnInitDialog();
    // TRUE when handled; otherwise the property sheet control gets the command. A click of an
    // own button goes to its handler below.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The own buttons: each hands the press to the property sheet control.
    virtual void OnOK() { PressButton(PSBTN_OK); }
    virtual void OnCancel() { PressButton(PSBTN_CANCEL); }
    virtual void OnApplyNow() { PressButton(PSBTN_APPLYNOW); }
    virtual void OnHelpButton() { PressButton(PSBTN_HELP); }
    // TRUE when handled, with the result in *pResult.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The caption box: the result becomes IDCANCEL and the window is destroyed.
    virtual void OnClose();
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    // The window is gone; the object stays.
    virtual void OnDestroyed();

    // From OnInitDialog: grows the window by two character heights for a row of own buttons
    // below the tab control, right-aligned and read Help, OK, Cancel, Apply, sized for the
    // longest label. OK is the default button, Apply starts disabled, Help shows with bShowHelp.
    void CreateOwnButtons(const ButtonTexts& texts, bool bShowHelp);
    // The own button with the standard id (IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP); none before
    // CreateOwnButtons and after the window is gone.
    HWND GetOwnButton(int nID) const;

    HWND m_hWnd = nullptr;
    int m_nModalResult = 0;

private:
    bool IsEnterForOwnOK(const MSG& msg) const;

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    void Attach(HWND hwnd);
    void Detach();
    void PrepareHeader(HWND hParent);
    void AdjustTemplateStyle(void* pTemplate) const;
    // Hides and disables the standard buttons and cuts the window off above them.
    void RemoveStandardButtons();
    void CenterOnWorkArea();
    void GrowWindow(int cy);
    void CreateButtons(const ButtonTexts& texts, int bx, int by);
    HWND CreateButton(const std::string& text, int nID, DWORD dwStyle, int y, int cx, int cy);
    void LayoutButtons();
    void SetButtonFont();

    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SheetWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::string m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    std::vector<PROPSHEETPAGEA> m_pageDescriptions;
    DWORD m_dwCreateStyle = 0;
    DWORD m_dwCreateExStyle = 0;
    CurrentMessage m_current = {};
    WNDPROC m_pfnSuper = nullptr; // the property sheet control's own window procedure
    HWND m_btnHelp = nullptr;
    HWND m_btnApply = nullptr;
    HWND m_btnOK = nullptr;
    HWND m_btnCancel = nullptr;
    // A button press that the property sheet control turns into the same command again
    // goes to the control, not round in a circle.
    bool m_bInCommand = false;
};
