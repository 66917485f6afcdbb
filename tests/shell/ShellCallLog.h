#pragma once
// Stands between CTrayIcon and the shell in tests: records every call, then either passes it on
// to the real shell (Wine's notification area) or refuses it as a shell without room would.
#include <windows.h>

#include <shellapi.h>

#include <vector>

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data; // as many bytes as the call handed over (88, or more for a balloon)
};

class ShellCallLog {
public:
    ShellCallLog() { Calls().clear(); }
    ~ShellCallLog() { Calls().clear(); }
    ShellCallLog(const ShellCallLog&) = delete;
    ShellCallLog& operator=(const ShellCallLog&) = delete;

    static BOOL WINAPI PassOn(DWORD message, PNOTIFYICONDATAA data) {
        Record(message, data);
        return Shell_NotifyIconA(message, data);
    }
    // A shell that takes everything without showing it.
    static BOOL WINAPI Accept(DWORD message, PNOTIFYICONDATAA data) {
        Record(message, data);
        return TRUE;
    }
    static BOOL WINAPI Refuse(DWORD message, PNOTIFYICONDATAA data) {
        Record(message, data);
        return FALSE;
    }
    // A shell that is not there yet: it refuses as many calls as set, then accepts.
    static BOOL WINAPI RefuseFirst(DWORD message, PNOTIFYICONDATAA data) {
        Record(message, data);
        if (RefusalsLeft() == 0)
            return TRUE;
        --RefusalsLeft();
        return FALSE;
    }
    static void SetRefusals(int count) { RefusalsLeft() = count; }

    const std::vector<ShellCall>& All() const { return Calls(); }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> messages;
        for (const ShellCall& call : Calls())
            messages.push_back(call.message);
        return messages;
    }
    const ShellCall& Last() const { return Calls().back(); }
    void Clear() { Calls().clear(); }

private:
    static int& RefusalsLeft() {
        static int refusals = 0;
        return refusals;
    }
    static std::vector<ShellCall>& Calls() {
        static std::vector<ShellCall> calls;
        return calls;
    }
    static void Record(DWORD message, PNOTIFYICONDATAA data) {
        ShellCall call{message, {}};
        CopyMemory(&call.data, data,
                   data->cbSize < sizeof call.data ? data->cbSize : sizeof call.data);
        Calls().push_back(call);
    }
};
