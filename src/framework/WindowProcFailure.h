#pragma once
// What happens when a message handler throws: the exception must not unwind through the
// system's code that called the window procedure.
#include <windows.h>

namespace fw {

// Call inside a catch block. Reports the exception being handled (a silent one quietly) and
// returns the result that refuses or ends the message: FALSE for WM_NCCREATE, -1 for
// WM_CREATE, 0 otherwise.
LRESULT HandleWindowProcFailure(UINT message);

} // namespace fw
