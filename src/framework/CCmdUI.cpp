#include "framework/CCmdUI.h"

void CCmdUI::Enable(BOOL bOn) {
    EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
}
