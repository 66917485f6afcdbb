#pragma once
// Drives an open options sheet the way a user's clicks would.
#include <windows.h>

#include <string>
#include <vector>

namespace sheet {

// The sheet's own button with this id (the hidden standard buttons share the ids).
HWND OwnButton(HWND hSheet, int nID);
// A control of the page shown at the moment.
HWND PageControl(HWND hSheet, int nID);
// Every control of the page shown at the moment, in the template's order.
std::vector<HWND> PageControls(HWND hSheet);
// Clicks a button and lets the posted messages run.
void Click(HWND hButton);
// Clicks the tab of a page, as the mouse would.
void ClickTab(HWND hSheet, int nPage);
int ActivePage(HWND hSheet);
bool IsChecked(HWND hSheet, int nID);
std::string Text(HWND hwnd);
// The visible children below the tab control, from left to right.
std::vector<HWND> ButtonRow(HWND hSheet);
RECT ClientRect(HWND hSheet, HWND hChild);

} // namespace sheet
