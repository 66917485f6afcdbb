// Registered as the shell's "open" command for HTML files in the end-to-end tests' Wine prefix:
//     "shell_open_recorder.exe" "<record file>" "%1"
// It appends everything after the record file's name, one line per call, and ends at once.
#include <windows.h>

#include <string>

namespace {

// Skips one argument of a command line, quoted or not, and the blanks after it.
const char* SkipArgument(const char* p) {
    while (*p == ' ' || *p == '\t')
        ++p;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p)
        if (*p == '"')
            quoted = !quoted;
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

std::string FirstArgument(const char* p) {
    std::string argument;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else
            argument += *p;
    }
    return argument;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* arguments = SkipArgument(GetCommandLineA());
    const std::string recordFile = FirstArgument(arguments);
    const std::string line = std::string(SkipArgument(arguments)) + "\n";
    HANDLE file =
        CreateFileA(recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return written == line.size() ? 0 : 1;
}
