#pragma once
// Moves values between a dialog's controls and the members of its object, in the direction
// given by m_bSaveAndValidate (TRUE: from the controls into the members).
#include <windows.h>

class CDataExchange {
public:
    CDataExchange(HWND hDlg, BOOL bSaveAndValidate)
        : m_hDlg(hDlg), m_bSaveAndValidate(bSaveAndValidate) {}

    HWND m_hDlg;
    BOOL m_bSaveAndValidate;
};

// A check box and a BOOL: checked is TRUE, anything else FALSE. A missing control leaves
// both sides alone.
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);
