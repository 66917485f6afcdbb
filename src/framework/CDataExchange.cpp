#include "framework/CDataExchange.h"

void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value) {
    HWND hControl = GetDlgItem(pDX->m_hDlg, nIDC);
    if (!hControl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = SendMessageA(hControl, BM_GETCHECK, 0, 0) == BST_CHECKED;
    else
        SendMessageA(hControl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}
