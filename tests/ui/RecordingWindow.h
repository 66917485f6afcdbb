#pragma once
// Stands in for the main frame: a hidden window that records the options sheet's
// WM_OPTIONS_NOTIFY and the commands posted to it.
#include <windows.h>

#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    BOOL bSheetOpen; // whether the sheet window still existed when the message arrived
};

class RecordingWindow {
public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND Get() const { return m_hWnd; }
    // The sheet whose state is noted with every message.
    void WatchSheet(HWND hSheet) { m_hSheet = hSheet; }
    const std::vector<RecordedMessage>& Messages() const { return m_messages; }
    // The wParams of the recorded messages of one kind, in order.
    std::vector<WPARAM> Received(UINT message) const;
    void Clear() { m_messages.clear(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hSheet = nullptr;
    std::vector<RecordedMessage> m_messages;
};

// Runs the messages waiting on this thread through the modeless sheets' keyboard handling,
// as the application's message loop does.
void PumpMessages();
