#pragma once
// The options page "Verbindung": what is metered, the dial-up connections (the default) or one
// network adapter of a list, a Wi-Fi adapter perhaps only while it is on one network. The list
// follows the radio button "Netzwerkadapter:"; the box "nur im WLAN:" and its field follow a
// Wi-Fi adapter chosen in it.
#include "framework/CPropertyPage.h"
#include "ui/OptionsHost.h"

#include <string>
#include <vector>

class CConnectionPpg : public CPropertyPage {
public:
    // Copies the settings from the host's record.
    explicit CConnectionPpg(COptionsHost& host);

    BOOL m_bAdapter;          // the radio button "Netzwerkadapter:"
    std::string m_strName;    // the adapter chosen in the list, until dial-up is applied
    std::string m_strGuid;    //   (empty: none)
    BOOL m_bWlanOnly;         // the box "nur im WLAN:"
    std::string m_strNetwork; // its field, kept while the box is cleared

    // Marks the page unchanged, then stores the values through OnOK.
    BOOL OnApply() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Asks the host for the adapters and fills the list, then shows the members.
    BOOL OnInitDialog() override;
    // Runs on every apply: writes the choice into the host's record (dial-up, or an adapter
    // without a line chosen, clears all of it) and shows it as stored.
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void FillList();
    int LineOfChosen() const;
    const ADAPTERENTRY* ChosenEntry() const;
    const ADAPTERENTRY* SelectedEntry() const;
    void OnClickedAdapter();
    void OnClickedWlanOnly();
    void EnableControls();

    COptionsHost& m_host;
    // The list's lines, in order: the host's adapters, and the chosen one where they lack it.
    std::vector<ADAPTERENTRY> m_adapters;
    // The field is being filled from the members: its change notification is no edit.
    bool m_bShowingValues = false;
};
