// Holds a Wine prefix open: while it runs, the prefix's wineserver, its services and its desktop
// process (explorer.exe) stay, all started by this process with no test's output to inherit.
// Wine closes a desktop whose last process has gone, so the keeper joins the desktop too.
//
//   prefix_keeper READY-FILE
//
// Once the desktop is there, it creates READY-FILE (a Windows path) and then only waits for the
// prefix's wineserver to end it.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
    GetDesktopWindow();
    std::string ready = lpCmdLine;
    if (ready.size() >= 2 && ready.front() == '"' && ready.back() == '"')
        ready = ready.substr(1, ready.size() - 2);
    if (!ready.empty()) {
        HANDLE hFile = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE)
            CloseHandle(hFile);
    }
    Sleep(INFINITE);
    return 0;
}
