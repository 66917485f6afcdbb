#pragma once
// What the accounting measures by: a watcher of the link (the dial-up connections, or one
// network adapter) that reports to a window how many of its connections are up, whenever that
// changes and whenever asked, and tells how the periods of its link are cut.
#include <windows.h>

class CLinkWatcher {
public:
    virtual ~CLinkWatcher() = default;

    // Starts the watching; the reports come to hWnd as nMessage with the number up in lParam.
    virtual bool Start(HWND hWnd, UINT nMessage) = 0;
    // Ends the watching; no report comes after this returns.
    virtual void Stop() = 0;
    // Has the watcher report at once what is up, changed or not.
    virtual void CountNow() = 0;
    // A period on this link ends at local midnight and goes on as a new one, so that none spans
    // a day (an adapter may be up for weeks).
    virtual bool CutsPeriodsAtMidnight() const { return false; }
};
