#include "framework/WindowProcFailure.h"

#include "framework/AppMessageBox.h"

#include <new>

namespace fw {

LRESULT HandleWindowProcFailure(UINT message) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        AppMessageBox("Out of memory.", MB_ICONEXCLAMATION);
    } catch (...) {
        AppMessageBox("Internal application error.", MB_ICONEXCLAMATION);
    }
    if (message == WM_NCCREATE)
        return FALSE;
    if (message == WM_CREATE)
        return -1;
    return 0;
}

} // namespace fw
