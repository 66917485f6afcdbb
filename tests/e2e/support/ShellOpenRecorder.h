#pragma once
// While it lives, opening an HTML file through the shell starts the recorder program instead
// of a browser, and the recorder notes what was opened. The registration goes to the machine's
// classes (HKCR), which Wine honours; Wine ignores HKCU\Software\Classes. The values that were
// there before are put back at the end.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

class ShellOpenRecorder {
public:
    // recorderProgram: the recorder exe; recordFile: where it writes, one line per opening.
    ShellOpenRecorder(const std::string& recorderProgram, std::string recordFile);
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    bool Registered() const { return m_registered; }

    // The argument of every opening so far, unquoted (normally the full path of the page).
    std::vector<std::string> Openings() const;
    // Waits until at least count openings have been recorded.
    bool WaitForOpenings(size_t count, DWORD timeoutMs) const;

private:
    struct SavedValue {
        std::string key;
        std::optional<std::string> value;
    };

    bool SetDefaultValue(const std::string& key, const std::string& value);

    std::string m_recordFile;
    std::vector<SavedValue> m_saved;
    bool m_registered = true;
};

} // namespace e2e
