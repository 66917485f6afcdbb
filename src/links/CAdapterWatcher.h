#pragma once
// Watches one network adapter on a thread of its own and reports to a window whether its link
// is up (1) or not (0): present, operational and, with a Wi-Fi network named, on that network. It
// looks when the system announces a change of the interfaces (NotifyIpInterfaceChange from Vista
// on, NotifyAddrChange on XP), when asked, and at every check interval, since not every change is
// announced and a notification that never comes looks the same as a quiet one. A change to
// another Wi-Fi network while up is reported as down and up again: a new period begins.
#include "counters/CFollowedAdapter.h"
#include "framework/CEvent.h"
#include "framework/CWinThread.h"
#include "links/CLinkWatcher.h"
#include "links/WlanNetwork.h"

#include <memory>
#include <string>

class CAdapterWatcher : public CLinkWatcher {
public:
    struct SETTINGS {
        std::string guid;        // wins where given and found
        std::string alias;       // decides otherwise
        std::string wlanNetwork; // empty: any network
        DWORD dwCheckMs = 5000;
    };

    explicit CAdapterWatcher(SETTINGS settings);
    ~CAdapterWatcher() override;
    CAdapterWatcher(const CAdapterWatcher&) = delete;
    CAdapterWatcher& operator=(const CAdapterWatcher&) = delete;

    bool Start(HWND hWnd, UINT nMessage) override;
    void Stop() override;
    void CountNow() override;
    bool CutsPeriodsAtMidnight() const override { return true; }

    // Whether a link in this state counts. A network that cannot be read counts as the named
    // one: a metered user would rather see too much than too little.
    static bool IsLinkUp(bool bPresent, bool bUp, const std::string& wanted,
                         const WLAN_NETWORK& network);

private:
    struct WORKER {
        WORKER() : m_evStop(FALSE, TRUE) {}
        CEvent m_evStop;     // manual reset: leave the loop
        CEvent m_evLook;     // auto reset: a notification or CountNow
        CEvent m_evCountNow; // auto reset: report whatever is found
        SETTINGS m_settings;
        HWND m_hWnd = nullptr;
        UINT m_nMessage = 0;
        bool m_bNotWifi = false;
        bool m_bLastUp = false;
        std::string m_lastNetwork;

        void Run();
        void Look(CFollowedAdapter& adapter, bool bAsked);
        bool ReadLink(CFollowedAdapter& adapter, std::string& network);
        bool IsStopping();
        void Report(int nUp);
    };

    static UINT ThreadProc(void* pParam);

    SETTINGS m_settings;
    std::unique_ptr<CWinThread> m_pThread;
    std::shared_ptr<WORKER> m_pWorker;
};
