#include "shell/COptionsSheetSlot.h"

#include "resource.h"

namespace {

// Long enough for the closing sheet's window and its notification to be gone.
const UINT REOPEN_DELAY_MS = 50;

} // namespace

bool COptionsSheetSlot::IsOpen() const {
    return IsWindow(m_pSheet ? m_pSheet->GetSafeHwnd() : nullptr) && !IsClosing();
}

// Closed by OK or Abbrechen and not yet released, or closing by its close box: the system may
// take a while to hide and destroy the window, and a request of a second start can arrive
// meanwhile. Reopened then, the object would go with the closing sheet's notification.
bool COptionsSheetSlot::IsClosing() const {
    return m_pSheet && m_pSheet->IsClosing();
}

void COptionsSheetSlot::Open(HWND hOwner) {
    m_hOwner = hOwner;
    // The closing sheet is still in use below this call; the new one comes once it is gone.
    if (IsClosing()) {
        SetTimer(m_hOwner, IDT_REOPEN, REOPEN_DELAY_MS, nullptr);
        return;
    }
    if (!IsOpen()) {
        if (!m_pSheet)
            m_pSheet = std::make_unique<COptionsPSheet>(m_host, IDS_SHEET_CAPTION, nullptr, 0);
        m_pSheet->Create(m_hOwner, OPTIONS_SHEET_STYLE, 0);
    }
    BringToFront();
}

bool COptionsSheetSlot::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != IDT_REOPEN)
        return false;
    KillTimer(m_hOwner, IDT_REOPEN);
    Open(m_hOwner);
    return true;
}

void COptionsSheetSlot::BringToFront() const {
    if (IsOpen())
        SetForegroundWindow(m_pSheet->GetSafeHwnd());
}
