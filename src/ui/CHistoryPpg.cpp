#include "ui/CHistoryPpg.h"

#include "framework/LoadStringResource.h"
#include "framework/ScopedHandles.h"
#include "resource.h"
#include "ui/HistoryChart.h"

CHistoryPpg::CHistoryPpg(COptionsHost& host) : CPropertyPage(IDD_HISTORY_PAGE), m_host(host) {}

void CHistoryPpg::Refresh() {
    // A page behind another tab is counted again when it comes to the front.
    if (!m_hWnd || !IsWindowVisible(m_hWnd))
        return;
    m_figures = m_host.GetHistory();
    Show();
}

BOOL CHistoryPpg::OnSetActive() {
    const BOOL result = CPropertyPage::OnSetActive();
    m_figures = m_host.GetHistory();
    Show();
    return result;
}

void CHistoryPpg::Show() {
    SetDlgItemTextA(m_hWnd, IDC_HISTORY_LINE, m_figures.line.c_str());
    SetDlgItemTextA(m_hWnd, IDC_HISTORY_PREVIOUS, m_figures.previous.c_str());
    // Drawn over whole into its buffer: no erasing first, which would flicker.
    InvalidateRect(GetDlgItem(IDC_HISTORY_CHART), nullptr, FALSE);
}

BOOL CHistoryPpg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // The dialog selects a field's whole text when it takes the focus; in a line that is only
    // read, that looks like a choice to make. The caret goes to its start instead, after the
    // dialog's selection.
    if (HIWORD(wParam) == EN_SETFOCUS) {
        PostMessageA(reinterpret_cast<HWND>(lParam), EM_SETSEL, 0, 0);
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CHistoryPpg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_DRAWITEM && wParam == IDC_HISTORY_CHART) {
        DrawChart(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    return CPropertyPage::OnMessage(message, wParam, lParam, pResult);
}

// Into a bitmap first and then onto the screen in one step: Windows XP has no buffered paint.
void CHistoryPpg::DrawChart(const DRAWITEMSTRUCT& item) const {
    const RECT& rc = item.rcItem;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const fw::ScopedMemoryDC memory(CreateCompatibleDC(item.hDC));
    const fw::ScopedGdiObject bitmap(CreateCompatibleBitmap(item.hDC, width, height));
    if (!memory || !bitmap)
        return;
    const fw::ScopedSelection select(memory.Get(), bitmap.Get());
    const HistoryLegend legend = {fw::LoadStringResource(IDS_HISTORY_RECEIVED),
                                  fw::LoadStringResource(IDS_HISTORY_SENT),
                                  fw::LoadStringResource(IDS_HISTORY_LIMIT)};
    const HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    DrawHistoryChart(memory.Get(), {0, 0, width, height}, m_figures, hFont, legend,
                     CurrentHistoryColours());
    BitBlt(item.hDC, rc.left, rc.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}
