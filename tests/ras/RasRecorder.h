#pragma once
// Stands in the slots of the dial-up functions while a test lives: records the registrations
// and counts the enumerations, and passes them on to the simulator, or registers without it
// so that the test itself signals the watcher's event.
#include "ras/RasApi.h"
#include "support/LateSlotOverride.h"

#include <windows.h>

#include <atomic>
#include <memory>

class RasRecorder {
public:
    enum Registration { PASS_ON, KEEP_EVENT };

    explicit RasRecorder(Registration mode = PASS_ON) {
        State().Reset();
        State().mode = mode;
        // Bound to the simulator before the fakes take the slots.
        State().realNotification = g_ras.RasConnectionNotificationA.Get();
        State().realEnumConnections = g_ras.RasEnumConnectionsA.Get();
        m_notification.reset(new LateSlotOverride<ras::RasConnectionNotificationAFn>(
            g_ras.RasConnectionNotificationA, &Notification));
        m_enumConnections.reset(new LateSlotOverride<ras::RasEnumConnectionsAFn>(
            g_ras.RasEnumConnectionsA, &EnumConnections));
    }

    int Registrations() const { return State().registrations; }
    DWORD LastFlags() const { return State().flags; }
    HANDLE LastConnectionHandle() const { return State().hConnection; }
    DWORD LastResult() const { return State().result; }
    // Counts begun: enumerations that ask for the size first.
    int Counts() const { return State().counts; }

    // Signals the event of the last registration, as the service would.
    void Signal() const { SetEvent(State().hEvent); }

private:
    struct SharedState {
        Registration mode = PASS_ON;
        ras::RasConnectionNotificationAFn realNotification = nullptr;
        ras::RasEnumConnectionsAFn realEnumConnections = nullptr;
        std::atomic<int> registrations{0};
        std::atomic<int> counts{0};
        std::atomic<DWORD> flags{0};
        std::atomic<DWORD> result{0};
        std::atomic<HANDLE> hConnection{nullptr};
        std::atomic<HANDLE> hEvent{nullptr};
        void Reset() {
            mode = PASS_ON;
            realNotification = nullptr;
            realEnumConnections = nullptr;
            registrations = counts = 0;
            flags = result = 0;
            hConnection = hEvent = nullptr;
        }
    };
    static SharedState& State() {
        static SharedState state;
        return state;
    }

    static DWORD WINAPI Notification(ras::HRASCONN hConnection, HANDLE hEvent, DWORD dwFlags) {
        SharedState& state = State();
        state.hConnection = reinterpret_cast<HANDLE>(hConnection);
        state.hEvent = hEvent;
        state.flags = dwFlags;
        const DWORD dwResult = state.mode == PASS_ON
                                   ? state.realNotification(hConnection, hEvent, dwFlags)
                                   : ras::RAS_SUCCESS;
        state.result = dwResult;
        ++state.registrations;
        return dwResult;
    }

    static DWORD WINAPI EnumConnections(ras::RASCONN* pEntries, LPDWORD lpcb, LPDWORD lpcCount) {
        if (lpcb && *lpcb == 0)
            ++State().counts;
        return State().realEnumConnections(pEntries, lpcb, lpcCount);
    }

    std::unique_ptr<LateSlotOverride<ras::RasConnectionNotificationAFn>> m_notification;
    std::unique_ptr<LateSlotOverride<ras::RasEnumConnectionsAFn>> m_enumConnections;
};
