// A stand-in for the real program on which the end-to-end harness proves itself: it registers
// a window class, opens a window, and on request shows a message box, puts an icon in the tray,
// opens a file with the shell or asks the dial-up library, writing what it saw to a report.
//
//   e2e_probe [--report FILE] [--class NAME] [--title TEXT] [--env VAR]... [--tray]
//             [--open PATH] [--ras] [--box TEXT [--style N]] [--exit-code N]
#include "framework/AppMessageBox.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string report;
    std::string className = "TarvoloProbe";
    std::string title = "Probe";
    std::vector<std::string> variables;
    bool tray = false;
    bool ras = false;
    std::string open;
    bool box = false;
    std::string boxText;
    unsigned boxStyle = MB_OK;
    int exitCode = 0;
};

Options ParseOptions() {
    Options options;
    for (int i = 1; i < __argc; ++i) {
        const std::string arg = __argv[i];
        const bool hasValue = i + 1 < __argc;
        if (arg == "--tray")
            options.tray = true;
        else if (arg == "--ras")
            options.ras = true;
        else if (!hasValue)
            break;
        else if (arg == "--report")
            options.report = __argv[++i];
        else if (arg == "--class")
            options.className = __argv[++i];
        else if (arg == "--title")
            options.title = __argv[++i];
        else if (arg == "--env")
            options.variables.push_back(__argv[++i]);
        else if (arg == "--open")
            options.open = __argv[++i];
        else if (arg == "--box")
            options.box = true, options.boxText = __argv[++i];
        else if (arg == "--style")
            options.boxStyle = static_cast<unsigned>(std::strtoul(__argv[++i], nullptr, 0));
        else if (arg == "--exit-code")
            options.exitCode = std::atoi(__argv[++i]);
    }
    return options;
}

class Report {
public:
    explicit Report(const std::string& path) : m_path(path) {}
    void Add(const std::string& key, const std::string& value) const {
        if (m_path.empty())
            return;
        if (FILE* file = std::fopen(m_path.c_str(), "ab")) {
            std::fprintf(file, "%s=%s\n", key.c_str(), value.c_str());
            std::fclose(file);
        }
    }

private:
    std::string m_path;
};

LRESULT CALLBACK ProbeWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND CreateProbeWindow(const Options& options) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProbeWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = options.className.c_str();
    if (!RegisterClassA(&windowClass))
        return nullptr;
    return CreateWindowExA(0, options.className.c_str(), options.title.c_str(), WS_OVERLAPPEDWINDOW,
                           0, 0, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void AddTrayIcon(HWND hWnd) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = hWnd;
    icon.uID = 130;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = WM_USER + 10;
    icon.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
    lstrcpynA(icon.szTip, "Probe", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
}

void AskDialUpLibrary(const Report& report) {
    using EnumDevices = DWORD(WINAPI*)(void*, DWORD*, DWORD*);
    HMODULE library = LoadLibraryA("rasapi32.dll");
    auto enumDevices = library ? reinterpret_cast<EnumDevices>(reinterpret_cast<void*>(
                                     GetProcAddress(library, "RasEnumDevicesA")))
                               : nullptr;
    if (!enumDevices) {
        report.Add("ras", "missing");
        return;
    }
    DWORD size = 0;
    DWORD count = 0;
    const DWORD result = enumDevices(nullptr, &size, &count);
    report.Add("ras", std::to_string(result) + " " + std::to_string(count));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(library, path, MAX_PATH);
    report.Add("ras_path", path);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const Options options = ParseOptions();
    const Report report(options.report);
    report.Add("command_line", GetCommandLineA());
    char lcid[16];
    std::snprintf(lcid, sizeof lcid, "%04lx", static_cast<unsigned long>(GetUserDefaultLCID()));
    report.Add("lcid", lcid);
    for (const auto& variable : options.variables) {
        const char* value = std::getenv(variable.c_str());
        report.Add("env:" + variable, value ? value : "(unset)");
    }

    HWND hWnd = CreateProbeWindow(options);
    report.Add("window", hWnd ? "created" : "failed");
    if (!hWnd)
        return 2;
    if (options.tray)
        AddTrayIcon(hWnd);
    if (options.ras)
        AskDialUpLibrary(report);
    if (!options.open.empty()) {
        auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(hWnd, "open", options.open.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        report.Add("open", result > 32 ? "ok" : "failed " + std::to_string(result));
    }
    if (options.box) {
        const int answer = fw::AppMessageBox(options.boxText, options.boxStyle);
        report.Add("answer", std::to_string(answer));
        DestroyWindow(hWnd);
        return answer;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return options.exitCode;
}
