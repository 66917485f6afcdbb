#pragma once
// One command item of a popup menu that is about to open: its owner decides whether the user
// may choose it.
#include <windows.h>

class CCmdUI {
public:
    CCmdUI(HMENU hMenu, UINT nIndex, UINT nID) : m_nID(nID), m_nIndex(nIndex), m_hMenu(hMenu) {}

    const UINT m_nID;    // command id of the item
    const UINT m_nIndex; // its position in the menu
    const HMENU m_hMenu;

    // Makes the item selectable or greys it.
    void Enable(BOOL bOn = TRUE);
};
