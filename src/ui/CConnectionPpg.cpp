#include "ui/CConnectionPpg.h"

#include "framework/CDataExchange.h"
#include "framework/FillPlaceholders.h"
#include "framework/LoadStringResource.h"
#include "resource.h"

namespace {

// The longest network name (SSID) there is, in bytes.
const WPARAM MAX_NETWORK_CHARS = 32;

// The first line whose field is key, in any letter case; -1 where none is, or key is empty.
int FindLine(const std::vector<ADAPTERENTRY>& lines, std::string ADAPTERENTRY::*field,
             const std::string& key) {
    for (size_t i = 0; i < lines.size() && !key.empty(); ++i)
        if (lstrcmpiA((lines[i].*field).c_str(), key.c_str()) == 0)
            return static_cast<int>(i);
    return -1;
}

// Where the WLAN service is off the system may not list the adapter as Wi-Fi at all, and of an
// adapter not plugged in it knows nothing: a network named for either stays open to change.
bool MayBeWifi(const ADAPTERENTRY& entry) {
    return entry.bWifi || entry.wlan != WLAN_READING::notWifi || !entry.bPresent;
}

std::string LineText(const ADAPTERENTRY& entry) {
    std::string text = entry.name.empty() ? entry.guid : entry.name;
    if (!entry.bPresent || !entry.bConnected)
        text = fw::FillPlaceholders(fw::LoadStringResource(IDS_ADAPTER_NOT_CONNECTED), {text});
    if (!entry.description.empty())
        text = fw::FillPlaceholders(fw::LoadStringResource(IDS_ADAPTER_DESCRIBED),
                                    {text, entry.description});
    return text;
}

// Why the adapter's network cannot be read; empty where it can, or where no network counts.
std::string UnreadableReason(const ADAPTERENTRY& entry) {
    switch (entry.wlan) {
    case WLAN_READING::serviceOff:
        return fw::LoadStringResource(IDS_WLAN_SERVICE_OFF);
    case WLAN_READING::accessDenied:
        return fw::LoadStringResource(IDS_WLAN_ACCESS_DENIED);
    default:
        return {};
    }
}

bool IsChecked(HWND hButton) {
    return SendMessageA(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

CConnectionPpg::CConnectionPpg(COptionsHost& host)
    : CPropertyPage(IDD_CONNECTION_PAGE), m_bAdapter(host.Connection().UsesAdapter()),
      m_strName(host.Connection().adapterName), m_strGuid(host.Connection().adapterGuid),
      m_bWlanOnly(!host.Connection().wlanNetwork.empty()),
      m_strNetwork(host.Connection().wlanNetwork), m_host(host) {}

BOOL CConnectionPpg::OnApply() {
    SetModified(FALSE);
    return CPropertyPage::OnApply();
}

void CConnectionPpg::DoDataExchange(CDataExchange* pDX) {
    const HWND hList = GetDlgItem(IDC_ADAPTER_LIST);
    const HWND hNetwork = GetDlgItem(IDC_WLAN_NETWORK);
    if (!hList || !hNetwork)
        return;
    BOOL bDialUp = !m_bAdapter;
    DDX_Check(pDX, IDC_SOURCE_DIALUP, bDialUp);
    DDX_Check(pDX, IDC_SOURCE_ADAPTER, m_bAdapter);
    DDX_Check(pDX, IDC_WLAN_ONLY, m_bWlanOnly);
    if (pDX->m_bSaveAndValidate) {
        if (const ADAPTERENTRY* pEntry = SelectedEntry()) {
            m_strName = pEntry->name;
            m_strGuid = pEntry->guid;
        }
        char text[MAX_NETWORK_CHARS + 1] = {};
        GetWindowTextA(hNetwork, text, sizeof text);
        m_strNetwork = text;
        return;
    }
    SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(LineOfChosen()), 0);
    m_bShowingValues = true;
    SetWindowTextA(hNetwork, m_strNetwork.c_str());
    m_bShowingValues = false;
    EnableControls();
}

BOOL CConnectionPpg::OnInitDialog() {
    SendMessageA(GetDlgItem(IDC_WLAN_NETWORK), EM_LIMITTEXT, MAX_NETWORK_CHARS, 0);
    FillList();
    CPropertyPage::OnInitDialog();
    return TRUE;
}

void CConnectionPpg::OnOK() {
    CONNECTIONSETTINGS connection;
    if (m_bAdapter) {
        // The line's name, which may be new where the identity found the adapter.
        const ADAPTERENTRY* pEntry = ChosenEntry();
        connection.adapterName = pEntry ? pEntry->name : m_strName;
        connection.adapterGuid = pEntry ? pEntry->guid : m_strGuid;
        if (connection.UsesAdapter() && m_bWlanOnly && (!pEntry || MayBeWifi(*pEntry)))
            connection.wlanNetwork = m_strNetwork;
        m_bWlanOnly = !connection.wlanNetwork.empty();
    }
    m_host.Connection() = connection;
    m_bAdapter = connection.UsesAdapter();
    m_strName = connection.adapterName;
    m_strGuid = connection.adapterGuid;
    if (m_hWnd)
        UpdateData(FALSE);
}

BOOL CConnectionPpg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int nID = LOWORD(wParam);
    switch (HIWORD(wParam)) {
    case BN_CLICKED:
        if (nID == IDC_SOURCE_ADAPTER)
            OnClickedAdapter();
        else if (nID == IDC_WLAN_ONLY)
            OnClickedWlanOnly();
        else if (nID != IDC_SOURCE_DIALUP)
            break;
        EnableControls();
        SetModified(TRUE);
        return TRUE;
    case LBN_SELCHANGE:
        EnableControls();
        SetModified(TRUE);
        return TRUE;
    case EN_CHANGE:
        if (!m_bShowingValues)
            SetModified(TRUE);
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CConnectionPpg::FillList() {
    m_adapters = m_host.ListAdapters();
    if ((!m_strName.empty() || !m_strGuid.empty()) && !ChosenEntry()) {
        ADAPTERENTRY absent;
        absent.name = m_strName;
        absent.guid = m_strGuid;
        m_adapters.push_back(absent);
    }
    const HWND hList = GetDlgItem(IDC_ADAPTER_LIST);
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
    for (const ADAPTERENTRY& entry : m_adapters)
        SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LineText(entry).c_str()));
}

// The stored identity wins, so that a renamed adapter is still found; without one, or where no
// line has it, the name decides.
int CConnectionPpg::LineOfChosen() const {
    const int nLine = FindLine(m_adapters, &ADAPTERENTRY::guid, m_strGuid);
    return nLine >= 0 ? nLine : FindLine(m_adapters, &ADAPTERENTRY::name, m_strName);
}

const ADAPTERENTRY* CConnectionPpg::ChosenEntry() const {
    const int nLine = LineOfChosen();
    return nLine < 0 ? nullptr : &m_adapters[static_cast<size_t>(nLine)];
}

const ADAPTERENTRY* CConnectionPpg::SelectedEntry() const {
    const LRESULT nLine = SendMessageA(GetDlgItem(IDC_ADAPTER_LIST), LB_GETCURSEL, 0, 0);
    return nLine >= 0 && static_cast<size_t>(nLine) < m_adapters.size()
               ? &m_adapters[static_cast<size_t>(nLine)]
               : nullptr;
}

// Choosing "Netzwerkadapter:" chooses a line: an adapter choice never stands without one
// where the list has any.
void CConnectionPpg::OnClickedAdapter() {
    const HWND hList = GetDlgItem(IDC_ADAPTER_LIST);
    if (SendMessageA(hList, LB_GETCURSEL, 0, 0) < 0 && !m_adapters.empty())
        SendMessageA(hList, LB_SETCURSEL, 0, 0);
}

// A ticked box with an empty field offers the network the adapter is on now.
void CConnectionPpg::OnClickedWlanOnly() {
    const ADAPTERENTRY* pEntry = SelectedEntry();
    const HWND hNetwork = GetDlgItem(IDC_WLAN_NETWORK);
    if (pEntry && !pEntry->network.empty() && IsChecked(GetDlgItem(IDC_WLAN_ONLY)) &&
        GetWindowTextLengthA(hNetwork) == 0)
        SetWindowTextA(hNetwork, pEntry->network.c_str());
}

// Follows the controls, not the members: it runs between clicks as well.
void CConnectionPpg::EnableControls() {
    const bool bAdapter = IsChecked(GetDlgItem(IDC_SOURCE_ADAPTER));
    const ADAPTERENTRY* pEntry = bAdapter ? SelectedEntry() : nullptr;
    const bool bWifi = pEntry && MayBeWifi(*pEntry);
    EnableWindow(GetDlgItem(IDC_ADAPTER_LIST), bAdapter);
    EnableWindow(GetDlgItem(IDC_WLAN_ONLY), bWifi);
    EnableWindow(GetDlgItem(IDC_WLAN_NETWORK), bWifi && IsChecked(GetDlgItem(IDC_WLAN_ONLY)));
    const std::string reason = bWifi ? UnreadableReason(*pEntry) : std::string();
    SetWindowTextA(GetDlgItem(IDC_WLAN_REASON), reason.c_str());
}
