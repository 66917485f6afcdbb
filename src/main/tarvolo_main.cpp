#include "shell/CCounterApp.h"

#include <windows.h>

// The one application object; the framework runs it.
CCounterApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    return fw::AppWinMain(hInstance, lpCmdLine, nCmdShow);
}
