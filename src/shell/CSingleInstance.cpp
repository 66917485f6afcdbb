#include "shell/CSingleInstance.h"

#include "framework/RegisterWindowClass.h"
#include "resource.h"

const char CSingleInstance::WINDOW_CLASS[] = "5D0C3A71-9B2E-4F86-A1C4-7E3B92D0F615";
const char CSingleInstance::CLAIM_NAME[] = "Local\\Tarvolo-5D0C3A71-9B2E-4F86-A1C4-7E3B92D0F615";

namespace {

const DWORD CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
const DWORD POLL_MS = 50;

// Systems before Windows 2000 know no namespaces and refuse a name with a backslash; there the
// name stands without its prefix.
HANDLE CreateClaim(BOOL bOwn, const char* name) {
    HANDLE hClaim = CreateMutexA(nullptr, bOwn, name);
    if (!hClaim && GetLastError() != ERROR_ACCESS_DENIED) {
        const char* plain = strchr(name, '\\');
        if (plain)
            hClaim = CreateMutexA(nullptr, bOwn, plain + 1);
    }
    return hClaim;
}

HWND FindRunningFrame() {
    return FindWindowA(CSingleInstance::WINDOW_CLASS, nullptr);
}

} // namespace

bool CSingleInstance::ClaimOrPass(bool bQuit, const std::string& sheetCaption) {
    DWORD start = GetTickCount();
    for (;;) {
        if (const HWND hRunning = FindRunningFrame()) {
            if (PassRequest(hRunning, bQuit, sheetCaption))
                return false;
            // Its frame went without taking the request: the program is ending, and its claim
            // comes free in a moment (abandoned, if it is killed).
            start = GetTickCount();
        }
        // A quit claims nothing: with no program running there is nothing to end.
        if (bQuit ? !IsClaimed() : TryClaim())
            return !bQuit;
        if (GetTickCount() - start >= m_patience.nFrameMs)
            return false; // a program holds the claim and shows no frame: never a second one
        Sleep(POLL_MS);
    }
}

// The claim of a program that has ended is free again (released or abandoned with its end).
bool CSingleInstance::TryClaim() {
    const HANDLE hClaim = CreateClaim(TRUE, CLAIM_NAME);
    const DWORD dwError = GetLastError();
    m_hClaim.Reset(hClaim);
    if (!m_hClaim)
        return false;
    if (dwError == ERROR_ALREADY_EXISTS) {
        const DWORD result = WaitForSingleObject(m_hClaim.Get(), 0);
        if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) {
            m_hClaim.Reset();
            return false;
        }
    }
    return true;
}

bool CSingleInstance::IsClaimed() {
    fw::ScopedHandle hClaim(CreateClaim(FALSE, CLAIM_NAME));
    if (!hClaim)
        return GetLastError() == ERROR_ACCESS_DENIED;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    const DWORD result = WaitForSingleObject(hClaim.Get(), 0);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        ReleaseMutex(hClaim.Get());
        return false;
    }
    return true;
}

// Whether the running program took the request, or is hung; false when its frame went without
// taking it.
bool CSingleInstance::PassRequest(HWND hRunning, bool bQuit,
                                  const std::string& sheetCaption) const {
    if (bQuit) {
        PostMessageA(hRunning, WM_QUIT, 0, 0);
        Sleep(QUIT_PAUSE_MS);
        return true;
    }
    // Sent, not posted: the sheet exists when the call returns and can be found by its title;
    // only where one closed a moment ago and is still going does the new one follow a little
    // later. A frame that is still there but does not answer in time is hung: this start gives
    // up, and so will the next, in time.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hRunning, WM_COMMAND, ID_SETTINGS, 0, SMTO_ABORTIFHUNG,
                             m_patience.nAnswerMs, &result))
        return IsWindow(hRunning) != FALSE;
    const DWORD start = GetTickCount();
    for (;;) {
        const HWND hSheet = FindWindowA(nullptr, sheetCaption.c_str());
        if (hSheet && IsWindowVisible(hSheet)) {
            SetForegroundWindow(hSheet);
            return true;
        }
        // A program past its message loop answers as a window no longer there does.
        if (!IsWindow(hRunning))
            return false;
        if (GetTickCount() - start >= m_patience.nSheetMs)
            return true;
        Sleep(POLL_MS);
    }
}

bool CSingleInstance::RegisterWindowClass(HINSTANCE hInstance, HICON hIcon) {
    WNDCLASSA wc = {};
    wc.style = CLASS_STYLE;
    wc.lpfnWndProc = DefWindowProcA; // the frame attaches its own handling
    wc.hInstance = hInstance;
    wc.hIcon = hIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = WINDOW_CLASS;
    m_bClassRegistered = fw::RegisterWindowClass(wc);
    return m_bClassRegistered;
}

void CSingleInstance::UnregisterWindowClass(HINSTANCE hInstance) {
    if (!m_bClassRegistered)
        return;
    UnregisterClassA(WINDOW_CLASS, hInstance);
    m_bClassRegistered = false;
}
