#pragma once
// One page of a property sheet. The property sheet control creates the page's window when the
// page is first shown and tells it through notifications when it is activated, left, applied
// or reset; those arrive here as virtual handlers.
#include "framework/CDialog.h"

#include <commctrl.h>

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}

    // The description the property sheet control builds the page from; it refers back to
    // this object, which must outlive the page's window.
    PROPSHEETPAGEA GetPageDescription();

    // Tells the sheet whether this page holds changes that are not applied yet.
    void SetModified(BOOL bChanged = TRUE);

    // Apply (OK or Apply of the sheet): stores the page's values through OnOK; FALSE keeps
    // the sheet from applying.
    virtual BOOL OnApply();
    // The page becomes the visible one: shows the members again.
    virtual BOOL OnSetActive();
    // The page is left or about to be applied: takes the values from the controls; FALSE keeps
    // the page active.
    virtual BOOL OnKillActive();
    // Cancel of the sheet.
    virtual void OnReset();
    // TRUE allows the sheet to cancel.
    virtual BOOL OnQueryCancel();

protected:
    BOOL OnInitDialog() override;
    // A page has no IDOK or IDCANCEL of its own: nothing is handled unless a page does.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Stores the page's values; run by OnApply. Nothing here.
    void OnOK() override;
    // Discards the page's changes; run by OnReset. Nothing here.
    void OnCancel() override;

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The first activation follows OnInitDialog, which has shown the members already.
    BOOL m_bFirstSetActive = TRUE;
};
