#pragma once
// Lets the system take back the pages the program no longer touches, so that it sits small in
// the tray after its heavy moments (counter discovery, the options sheet).
void TrimWorkingSet();
