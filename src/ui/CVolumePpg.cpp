#include "ui/CVolumePpg.h"

#include "framework/AppMessageBox.h"
#include "framework/CDataExchange.h"
#include "framework/LoadStringResource.h"
#include "resource.h"
#include "ui/VolumeLimits.h"

#include <algorithm>
#include <string>

namespace {

// What the check box switches on and off.
const int LIMIT_CONTROLS[] = {IDC_VOLUME_LIMIT_MB,  IDC_VOLUME_MB_UNIT,    IDC_COUNT_BOTH,
                              IDC_COUNT_RECEIVED,   IDC_BILLING_DAY_LABEL, IDC_BILLING_DAY,
                              IDC_BILLING_DAY_UNIT, IDC_WARN_LABEL,        IDC_WARN_PERCENT,
                              IDC_WARN_UNIT};

// Digits each field takes: the largest value of its range, so that typing or pasting cannot
// go beyond what the field's width shows or a 32-bit number holds.
const struct {
    int nID;
    WPARAM nDigits;
} FIELD_DIGITS[] = {{IDC_VOLUME_LIMIT_MB, 7}, {IDC_BILLING_DAY, 2}, {IDC_WARN_PERCENT, 2}};

// A field's number. ES_NUMBER keeps out typed letters but not pasted ones: every character but
// a digit is passed over, so that "1.000" with the German thousands separator reads as 1000. A
// field without a digit counts as 0, which the ranges then lift to their lowest value; more
// digits than the field takes (text set from outside) count as more than any range holds. The
// limit's field is not lifted but refused (OnKillActive).
void ExchangeNumber(CDataExchange* pDX, int nIDC, UINT& value, bool bZeroIsEmpty = false) {
    HWND hControl = GetDlgItem(pDX->m_hDlg, nIDC);
    if (!hControl)
        return;
    if (!pDX->m_bSaveAndValidate) {
        std::string text = value == 0 && bZeroIsEmpty ? std::string() : std::to_string(value);
        SetDlgItemTextA(pDX->m_hDlg, nIDC, text.c_str());
        return;
    }
    char text[64] = {};
    SendMessageA(hControl, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    UINT number = 0;
    for (const char* p = text; *p; ++p)
        if (*p >= '0' && *p <= '9')
            number =
                std::min<UINT>(number * 10 + static_cast<UINT>(*p - '0'), MAX_VOLUME_LIMIT_MB + 1);
    value = number;
}

} // namespace

CVolumePpg::CVolumePpg(COptionsHost& host)
    : CPropertyPage(IDD_VOLUME), m_bLimitOn(host.Volume().IsOn()),
      m_nLimitMB(host.Volume().nLimitMB), m_bReceivedOnly(host.Volume().bReceivedOnly),
      m_nBillingDay(static_cast<UINT>(host.Volume().nBillingDay)),
      m_nWarnPercent(static_cast<UINT>(host.Volume().nWarnPercent)), m_host(host) {}

BOOL CVolumePpg::OnApply() {
    SetModified(FALSE);
    return CPropertyPage::OnApply();
}

BOOL CVolumePpg::OnKillActive() {
    if (!CPropertyPage::OnKillActive())
        return FALSE;
    if (!m_bLimitOn || (m_nLimitMB >= MIN_VOLUME_LIMIT_MB && m_nLimitMB <= MAX_VOLUME_LIMIT_MB))
        return TRUE;
    fw::AppMessageBox(GetParent(m_hWnd), fw::LoadStringResource(IDS_VOLUME_LIMIT_RANGE),
                      MB_ICONEXCLAMATION);
    // The dialog's own way to the field, which selects its text as well.
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_VOLUME_LIMIT_MB)),
                 TRUE);
    return FALSE;
}

void CVolumePpg::DoDataExchange(CDataExchange* pDX) {
    m_bShowingValues = !pDX->m_bSaveAndValidate;
    DDX_Check(pDX, IDC_VOLUME_LIMIT_ON, m_bLimitOn);
    ExchangeNumber(pDX, IDC_VOLUME_LIMIT_MB, m_nLimitMB, true);
    BOOL bCountBoth = !m_bReceivedOnly;
    DDX_Check(pDX, IDC_COUNT_BOTH, bCountBoth);
    DDX_Check(pDX, IDC_COUNT_RECEIVED, m_bReceivedOnly);
    ExchangeNumber(pDX, IDC_BILLING_DAY, m_nBillingDay);
    ExchangeNumber(pDX, IDC_WARN_PERCENT, m_nWarnPercent);
    m_bShowingValues = false;
    if (!pDX->m_bSaveAndValidate)
        EnableLimitControls();
}

BOOL CVolumePpg::OnInitDialog() {
    for (const auto& field : FIELD_DIGITS)
        SendMessageA(GetDlgItem(field.nID), EM_LIMITTEXT, field.nDigits, 0);
    CPropertyPage::OnInitDialog();
    return TRUE;
}

void CVolumePpg::OnOK() {
    VOLUMESETTINGS volume;
    volume.nLimitMB = m_bLimitOn ? std::max<UINT>(m_nLimitMB, MIN_VOLUME_LIMIT_MB) : 0;
    volume.bReceivedOnly = m_bReceivedOnly != FALSE;
    // Cut to the top of the range while still unsigned: a field past INT_MAX would turn negative.
    volume.nBillingDay = static_cast<int>(std::min<UINT>(m_nBillingDay, MAX_BILLING_DAY));
    volume.nWarnPercent =
        static_cast<int>(std::min<UINT>(m_nWarnPercent, VOLUMESETTINGS::MAX_WARN_PERCENT));
    volume = ClampedVolume(volume);
    m_host.Volume() = volume;
    // A cleared box keeps its field as it was, for the next time it is ticked.
    if (volume.IsOn())
        m_nLimitMB = volume.nLimitMB;
    m_nBillingDay = static_cast<UINT>(volume.nBillingDay);
    m_nWarnPercent = static_cast<UINT>(volume.nWarnPercent);
    if (m_hWnd)
        UpdateData(FALSE);
}

BOOL CVolumePpg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (HIWORD(wParam)) {
    case BN_CLICKED:
        if (LOWORD(wParam) == IDC_VOLUME_LIMIT_ON)
            EnableLimitControls();
        if (LOWORD(wParam) == IDC_VOLUME_LIMIT_ON || LOWORD(wParam) == IDC_COUNT_BOTH ||
            LOWORD(wParam) == IDC_COUNT_RECEIVED) {
            SetModified(TRUE);
            return TRUE;
        }
        break;
    case EN_CHANGE:
        if (!m_bShowingValues)
            SetModified(TRUE);
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CVolumePpg::EnableLimitControls() {
    BOOL bOn = SendMessageA(GetDlgItem(IDC_VOLUME_LIMIT_ON), BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (int nID : LIMIT_CONTROLS)
        EnableWindow(GetDlgItem(nID), bOn);
}
