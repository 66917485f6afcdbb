#include "framework/RegisterWindowClass.h"

namespace fw {

bool RegisterWindowClass(const WNDCLASSA& windowClass) {
    WNDCLASSA existing;
    if (GetClassInfoA(windowClass.hInstance, windowClass.lpszClassName, &existing))
        return true;
    return RegisterClassA(&windowClass) != 0;
}

const char* FrameWindowClassName() {
    static const char name[] = "fw:FrameWnd";
    WNDCLASSA frameClass = {};
    frameClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    frameClass.lpfnWndProc = DefWindowProcA; // the frame object handles its messages itself
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = name;
    return RegisterWindowClass(frameClass) ? name : nullptr;
}

} // namespace fw
