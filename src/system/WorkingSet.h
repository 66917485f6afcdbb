#pragma once
// Lets the system take back the pages the program no longer touches, so that it sits small in
// the tray after its heavy moments. The policy is the main frame's, at two moments only: once
// the byte counter is open (its discovery walked every performance object of the system), and
// after the options sheet has closed (its dialogs and the common controls). Nothing below the
// frame trims on its own.
void TrimWorkingSet();
