#pragma once
// The options page "Volumen": a monthly volume limit, what counts towards it, the day the
// billing period begins and the share at which a warning comes. Everything below the check box
// is enabled only while the box is ticked.
#include "framework/CPropertyPage.h"
#include "ui/OptionsHost.h"

class CVolumePpg : public CPropertyPage {
public:
    // Copies the settings from the host's record.
    explicit CVolumePpg(COptionsHost& host);

    BOOL m_bLimitOn;      // check box "limit the monthly volume"
    UINT m_nLimitMB;      // the limit's field, kept while the box is cleared; 0 shows empty
    BOOL m_bReceivedOnly; // the second radio button: only received bytes count
    UINT m_nBillingDay;   // the day's field
    UINT m_nWarnPercent;  // the warning's field

    // Marks the page unchanged, then stores the values through OnOK.
    BOOL OnApply() override;
    // Takes the values from the controls. A ticked limit outside its range is refused, as a
    // dialog of Windows refuses a number out of range: a message names the range, the field
    // gets the focus, and the page stays (nothing is applied).
    BOOL OnKillActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Runs on every apply: moves the values into their ranges, writes them into the host's
    // record and shows them as stored.
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void EnableLimitControls();

    COptionsHost& m_host;
    // The fields are being filled from the members: their change notifications are no edit.
    bool m_bShowingValues = false;
};
