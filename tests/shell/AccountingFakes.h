#pragma once
// Stand-ins for the accounting's surroundings: a byte counter whose values the test sets, a
// measuring timer that only records its calls, and a look at the pictures the tray was given.
#include "counters/TrafficCounter.h"
#include "shell/CConnectionAccounting.h"

#include <windows.h>

#include <vector>

// GetValue answers with the values of the last successful Collect, as the back ends do.
class FakeCounter : public CTrafficCounter {
public:
    DWORD dwLiveReceived = 0; // what the next successful Collect samples
    DWORD dwLiveSent = 0;
    BOOL bCollectSucceeds = TRUE;
    int nCollects = 0;

    // Sets the live values and takes them as the last sample at once.
    void Sampled(DWORD dwReceived, DWORD dwSent) {
        dwLiveReceived = m_dwSampledReceived = dwReceived;
        dwLiveSent = m_dwSampledSent = dwSent;
    }

    BOOL Open() override { return TRUE; }
    void Close() override {}
    DWORD GetValue(DWORD dwId) override {
        if (dwId == COUNTER_BYTES_RECEIVED)
            return m_dwSampledReceived;
        return dwId == COUNTER_BYTES_SENT ? m_dwSampledSent : 0;
    }
    BOOL Collect() override {
        ++nCollects;
        if (!bCollectSucceeds)
            return FALSE;
        m_dwSampledReceived = dwLiveReceived;
        m_dwSampledSent = dwLiveSent;
        return TRUE;
    }
    BOOL RemoveCounter(DWORD) override { return FALSE; }
    BOOL AddCounter(DWORD) override { return FALSE; }
    BOOL AddCounterFromResource(DWORD, UINT) override { return FALSE; }
    BOOL AddCounterByPath(DWORD, const char*) override { return FALSE; }
    BOOL EnumObjects() override { return FALSE; }
    BOOL GetCounterName(DWORD, std::string&) override { return FALSE; }
    BOOL EnumObjectItems(const char*) override { return FALSE; }
    BOOL EnumObjectInstances(const char*) override { return FALSE; }
    BOOL OnObject(const char*) override { return FALSE; }
    BOOL OnCounter(const char*, const char*) override { return FALSE; }
    BOOL OnInstance(const char*, const char*) override { return FALSE; }

private:
    DWORD m_dwSampledReceived = 0;
    DWORD m_dwSampledSent = 0;
};

struct TimerCall {
    bool bSet; // SetTimer, else KillTimer
    HWND hWnd;
    UINT_PTR nId;
    UINT uElapse;
    bool operator==(const TimerCall& other) const {
        return bSet == other.bSet && hWnd == other.hWnd && nId == other.nId &&
               uElapse == other.uElapse;
    }
};

class FakeTimer {
public:
    static const CConnectionAccounting::TIMER_CALLS CALLS;

    static std::vector<TimerCall>& Calls() {
        static std::vector<TimerCall> calls;
        return calls;
    }
    static TimerCall Set(HWND hWnd) { return {true, hWnd, IDT_MEASURE, MEASURE_INTERVAL_MS}; }
    static TimerCall Kill(HWND hWnd) { return {false, hWnd, IDT_MEASURE, 0}; }

private:
    static UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nId, UINT uElapse, TIMERPROC) {
        Calls().push_back({true, hWnd, nId, uElapse});
        return nId; // a timer of a window keeps the id it was given
    }
    static BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR nId) {
        Calls().push_back({false, hWnd, nId, 0});
        return TRUE;
    }
};

inline const CConnectionAccounting::TIMER_CALLS FakeTimer::CALLS = {&FakeTimer::SetTimer,
                                                                    &FakeTimer::KillTimer};

// The pixels of an icon (colour and mask), to tell two pictures apart.
inline std::vector<BYTE> IconBits(HICON hIcon) {
    std::vector<BYTE> bits;
    ICONINFO info = {};
    if (!hIcon || !GetIconInfo(hIcon, &info))
        return bits;
    for (HBITMAP hBitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP bitmap = {};
        if (hBitmap && GetObjectA(hBitmap, sizeof bitmap, &bitmap)) {
            std::vector<BYTE> part(bitmap.bmWidthBytes * bitmap.bmHeight);
            GetBitmapBits(hBitmap, static_cast<LONG>(part.size()), part.data());
            bits.insert(bits.end(), part.begin(), part.end());
        }
        if (hBitmap)
            DeleteObject(hBitmap);
    }
    return bits;
}

inline std::vector<BYTE> ResourceIconBits(int nId) {
    const HICON hIcon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    std::vector<BYTE> bits = IconBits(hIcon);
    if (hIcon)
        DestroyIcon(hIcon);
    return bits;
}
