#pragma once
// The place of the one options sheet of the running program: opens it, brings an open one to the
// front, and opens it again after a sheet that is still closing, however shortly before the
// request that sheet was closed. The object of a sheet closed by its close box stays for the next
// window; one closed by OK or Abbrechen goes once the owner has taken its WM_OPTIONS_NOTIFY.
#include "ui/COptionsPSheet.h"
#include "ui/OptionsHost.h"

#include <windows.h>

#include <memory>

class COptionsSheetSlot {
public:
    // The owner window's timer of an opening put off; its WM_TIMER goes to OnTimer.
    static constexpr UINT_PTR IDT_REOPEN = 12;

    explicit COptionsSheetSlot(COptionsHost& host) : m_host(host) {}

    // A sheet is up, and not closing.
    bool IsOpen() const;
    COptionsPSheet* Get() const { return m_pSheet.get(); }

    // Opens the sheet, owned by hOwner, or brings it to the front; a sheet still closing is
    // followed by a new one as soon as it is gone.
    void Open(HWND hOwner);
    // The owner window's WM_TIMER: true when it was the put-off opening's timer.
    bool OnTimer(UINT_PTR nIDEvent);
    void BringToFront() const;
    // The sheet posted its OK or Abbrechen just before its window went; the object is no longer
    // in use.
    void Release() { m_pSheet.reset(); }

private:
    bool IsClosing() const;

    COptionsHost& m_host;
    HWND m_hOwner = nullptr;
    std::unique_ptr<COptionsPSheet> m_pSheet;
};
