#include "framework/WindowProcFailure.h"

#include "framework/AppMessageBox.h"
#include "framework/CMemoryException.h"
#include "framework/CUserException.h"

#include <new>

namespace fw {

LRESULT HandleWindowProcFailure(UINT message) {
    try {
        throw;
    } catch (const CUserException&) {
        // The user has been told already.
    } catch (const CException& e) {
        e.ReportError(MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        CMemoryException().ReportError(MB_ICONEXCLAMATION);
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
