#include "framework/CDeferredMessageBoxes.h"

#include "framework/AppMessageBox.h"

#include <map>
#include <utility>

namespace fw {
namespace {

// Boxes are shown on the user-interface thread only, so one current scope serves.
CDeferredMessageBoxes* g_pCurrent = nullptr;

std::map<UINT_PTR, CDeferredMessageBoxes*>& Timers() {
    static std::map<UINT_PTR, CDeferredMessageBoxes*> timers;
    return timers;
}

bool OnlyReports(unsigned style) {
    return (style & MB_TYPEMASK) == MB_OK;
}

} // namespace

CDeferredMessageBoxes::~CDeferredMessageBoxes() {
    StopTimer();
}

CDeferredMessageBoxes::Scope::Scope(CDeferredMessageBoxes& boxes)
    : m_pPrevious(std::exchange(g_pCurrent, &boxes)) {}

CDeferredMessageBoxes::Scope::~Scope() {
    g_pCurrent = m_pPrevious;
}

bool CDeferredMessageBoxes::KeepIfDeferred(const std::string& text, unsigned style) {
    if (!g_pCurrent || !OnlyReports(style))
        return false;
    g_pCurrent->m_boxes.push_back({text, style});
    return true;
}

void CDeferredMessageBoxes::ShowWhenIdle() {
    if (m_boxes.empty() || m_nTimer)
        return;
    m_nTimer = SetTimer(nullptr, 0, 0, &OnTimer);
    if (m_nTimer)
        Timers()[m_nTimer] = this;
    else
        ShowAll(); // late is better than never
}

void CALLBACK CDeferredMessageBoxes::OnTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD) {
    const auto found = Timers().find(nIDEvent);
    if (found == Timers().end()) {
        KillTimer(nullptr, nIDEvent);
        return;
    }
    CDeferredMessageBoxes* boxes = found->second;
    boxes->StopTimer(); // a box's own message loop must not show the next one inside it
    boxes->ShowAll();
}

void CDeferredMessageBoxes::StopTimer() {
    if (!m_nTimer)
        return;
    KillTimer(nullptr, m_nTimer);
    Timers().erase(m_nTimer);
    m_nTimer = 0;
}

void CDeferredMessageBoxes::ShowAll() {
    std::vector<BOX> boxes;
    boxes.swap(m_boxes);
    for (const BOX& box : boxes)
        AppMessageBox(box.text, box.style);
}

} // namespace fw
