#pragma once
// A dialog built from a resource template whose messages go to virtual handlers of a C++
// object. The object outlives its window: m_hWnd is null before creation and after destruction.
#include <windows.h>

class CDataExchange;

class CDialog {
public:
    explicit CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the value given to EndDialog, -1 when creation fails.
    INT_PTR DoModal(HWND hParent = nullptr);
    void EndDialog(int nResult);

    HWND GetSafeHwnd() const { return m_hWnd; }
    UINT GetTemplateId() const { return m_nIDTemplate; }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }

    // TRUE takes the values from the controls into the members, FALSE shows the members.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Shows the members in the controls. TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // TRUE when the command was handled. IDOK and IDCANCEL end a plain dialog.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // TRUE when handled, with the notification's result in *pResult.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Any other message: TRUE when handled, with its result in *pResult.
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnOK();
    virtual void OnCancel();

    // Binds the object to its window on WM_INITDIALOG and hands every later message to it.
    static INT_PTR Dispatch(CDialog* pDialog, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
};
