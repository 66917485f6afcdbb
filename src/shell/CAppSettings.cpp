#include "shell/CAppSettings.h"

#include "framework/CRegistryKey.h"
#include "framework/LittleEndian.h"
#include "framework/Profile.h"
#include "framework/LoadStringResource.h"
#include "framework/CFileLocation.h"
#include "resource.h"
#include "ui/COptionsPSheet.h"
#include "ui/VolumeLimits.h"

#include <io.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char RUN_VALUE[] = "Tarvolo";
const char PROFILE_VALUE[] = "Profile";
const char CHECKPOINT_VALUE[] = "CheckpointSeconds";
const char VOLUME_LIMIT_VALUE[] = "VolumeLimitMB";
const char VOLUME_RECEIVED_ONLY_VALUE[] = "VolumeReceivedOnly";
const char BILLING_DAY_VALUE[] = "BillingDay";
const char VOLUME_WARN_PERCENT_VALUE[] = "VolumeWarnPercent";
const char ADAPTER_NAME_VALUE[] = "AdapterName";
const char ADAPTER_GUID_VALUE[] = "AdapterGuid";
const char WLAN_NETWORK_VALUE[] = "WlanNetwork";
const char ADAPTER_CHECK_VALUE[] = "AdapterCheckSeconds";
const char VOLUME_WARNED_PERIOD_VALUE[] = "VolumeWarnedPeriod";
const char VOLUME_WARNED_PERCENT_VALUE[] = "VolumeWarnedPercent";
// The billing period and the period online (32-bit times), then the bytes received and sent
// (64 bits each), little-endian.
const char VOLUME_SPLIT_VALUE[] = "VolumeSplit";
constexpr unsigned VOLUME_SPLIT_SIZE = 24;

// A DWORD of the profile no larger than nMax: the comparison is made before the value is cut
// to an int, so that a stored 0xFFFFFFFF is the largest value and not -1.
unsigned long ReadProfileAtMost(const char* entry, unsigned long nDefault, unsigned long nMax) {
    return std::min(fw::GetProfileDword("", entry, nDefault), nMax);
}

// The full path of the program file; empty when it cannot be had whole.
std::string ProgramPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(path, length);
}

} // namespace

CAppSettings::CAppSettings() : m_profile{sizeof(PROFILEDATA), 0, 0, 0}, m_winHelp(::WinHelpA) {}

void CAppSettings::LoadSettings() {
    m_profile = {};
    std::vector<unsigned char> stored;
    if (fw::GetProfileBinary("", PROFILE_VALUE, stored))
        std::memcpy(&m_profile, stored.data(), std::min(stored.size(), sizeof m_profile));
    else
        m_profile.nActivePage = 0;
    m_profile.dwSize = sizeof m_profile;
    m_profile.bAutoStart = IsAutoStartSet();
    // A damaged record would be saved back as it came; the page is one that exists.
    m_profile.nActivePage = COptionsPSheet::KnownStoredPage(m_profile.nActivePage);
    m_nCheckpointSeconds = fw::GetProfileDword("", CHECKPOINT_VALUE, DEFAULT_CHECKPOINT_SECONDS);
    LoadVolume();
    LoadConnection();
}

// Each value on its own: a deployment script may write the name alone, which then finds the
// adapter by its name.
void CAppSettings::LoadConnection() {
    m_connection = {};
    fw::GetProfileText("", ADAPTER_NAME_VALUE, m_connection.adapterName);
    fw::GetProfileText("", ADAPTER_GUID_VALUE, m_connection.adapterGuid);
    fw::GetProfileText("", WLAN_NETWORK_VALUE, m_connection.wlanNetwork);
    // 0 would look at the adapter without a pause.
    m_nAdapterCheckSeconds =
        fw::GetProfileDword("", ADAPTER_CHECK_VALUE, DEFAULT_ADAPTER_CHECK_SECONDS);
    if (m_nAdapterCheckSeconds == 0)
        m_nAdapterCheckSeconds = DEFAULT_ADAPTER_CHECK_SECONDS;
}

void CAppSettings::SaveConnection() {
    fw::WriteProfileText("", ADAPTER_NAME_VALUE, m_connection.adapterName);
    fw::WriteProfileText("", ADAPTER_GUID_VALUE, m_connection.adapterGuid);
    fw::WriteProfileText("", WLAN_NETWORK_VALUE, m_connection.wlanNetwork);
}

void CAppSettings::LoadVolume() {
    const VOLUMESETTINGS defaults;
    VOLUMESETTINGS volume;
    volume.nLimitMB = static_cast<std::uint32_t>(
        ReadProfileAtMost(VOLUME_LIMIT_VALUE, defaults.nLimitMB, MAX_VOLUME_LIMIT_MB));
    volume.bReceivedOnly =
        fw::GetProfileDword("", VOLUME_RECEIVED_ONLY_VALUE, defaults.bReceivedOnly ? 1 : 0) != 0;
    volume.nBillingDay = static_cast<int>(
        ReadProfileAtMost(BILLING_DAY_VALUE, defaults.nBillingDay, MAX_BILLING_DAY));
    volume.nWarnPercent = static_cast<int>(ReadProfileAtMost(
        VOLUME_WARN_PERCENT_VALUE, defaults.nWarnPercent, VOLUMESETTINGS::MAX_WARN_PERCENT));
    m_volume = ClampedVolume(volume);
}

void CAppSettings::SaveVolume() {
    const VOLUMESETTINGS defaults;
    m_volume = ClampedVolume(m_volume);
    fw::WriteProfileDword("", VOLUME_LIMIT_VALUE, m_volume.nLimitMB, defaults.nLimitMB);
    fw::WriteProfileDword("", VOLUME_RECEIVED_ONLY_VALUE, m_volume.bReceivedOnly ? 1 : 0,
                          defaults.bReceivedOnly ? 1 : 0);
    fw::WriteProfileDword("", BILLING_DAY_VALUE, static_cast<unsigned long>(m_volume.nBillingDay),
                          static_cast<unsigned long>(defaults.nBillingDay));
    fw::WriteProfileDword("", VOLUME_WARN_PERCENT_VALUE,
                          static_cast<unsigned long>(m_volume.nWarnPercent),
                          static_cast<unsigned long>(defaults.nWarnPercent));
}

CVolumeWatch::WARNED CAppSettings::LoadVolumeWarned() const {
    CVolumeWatch::WARNED warned;
    warned.periodStart =
        Clock::FromFileTime(fw::GetProfileDword("", VOLUME_WARNED_PERIOD_VALUE, 0));
    warned.nPercent = static_cast<int>(fw::GetProfileDword("", VOLUME_WARNED_PERCENT_VALUE, 0));
    return warned;
}

void CAppSettings::SaveVolumeWarned(const CVolumeWatch::WARNED& warned) const {
    fw::WriteProfileDword("", VOLUME_WARNED_PERIOD_VALUE, Clock::ToFileTime(warned.periodStart), 0);
    fw::WriteProfileDword("", VOLUME_WARNED_PERCENT_VALUE,
                          static_cast<unsigned long>(warned.nPercent), 0);
}

CVolumeWatch::SPLIT CAppSettings::LoadVolumeSplit() const {
    std::vector<unsigned char> data;
    CVolumeWatch::SPLIT split;
    if (!fw::GetProfileBinary("", VOLUME_SPLIT_VALUE, data) || data.size() != VOLUME_SPLIT_SIZE)
        return split;
    split.periodStart = Clock::FromFileTime(fw::GetLittleEndian32(&data[0]));
    split.recordStart = Clock::FromFileTime(fw::GetLittleEndian32(&data[4]));
    split.nReceived = static_cast<std::int64_t>(fw::GetLittleEndian(&data[8], 8));
    split.nSent = static_cast<std::int64_t>(fw::GetLittleEndian(&data[16], 8));
    return split;
}

void CAppSettings::SaveVolumeSplit(const CVolumeWatch::SPLIT& split) const {
    if (split.periodStart == 0) {
        CRegistryKey(m_hUserRoot).DeleteEntry(fw::GetAppRegistryPath().c_str(), VOLUME_SPLIT_VALUE);
        return;
    }
    unsigned char data[VOLUME_SPLIT_SIZE];
    fw::PutLittleEndian32(&data[0], Clock::ToFileTime(split.periodStart));
    fw::PutLittleEndian32(&data[4], Clock::ToFileTime(split.recordStart));
    fw::PutLittleEndian(&data[8], static_cast<std::uint64_t>(split.nReceived), 8);
    fw::PutLittleEndian(&data[16], static_cast<std::uint64_t>(split.nSent), 8);
    fw::WriteProfileBinary("", VOLUME_SPLIT_VALUE, data, VOLUME_SPLIT_SIZE);
}

void CAppSettings::SaveSettings() {
    SetAutoStart(m_profile.bAutoStart);
    m_profile.dwSize = sizeof m_profile;
    fw::WriteProfileBinary("", PROFILE_VALUE, &m_profile, sizeof m_profile);
    SaveVolume();
    SaveConnection();
}

// Windows starts what both Run keys name, so the value stays in one only: otherwise the second
// start would open the options sheet at every logon.
void CAppSettings::SetAutoStart(BOOL bAutoStart) {
    const CRegistryKey machine(m_hMachineRoot);
    const CRegistryKey user(m_hUserRoot);
    if (!bAutoStart) {
        machine.DeleteEntry(RUN_KEY, RUN_VALUE);
        user.DeleteEntry(RUN_KEY, RUN_VALUE);
        return;
    }
    const std::string program = ProgramPath();
    if (program.empty())
        return;
    const std::string command = "\"" + program + "\"";
    std::string stored;
    if ((machine.ReadString(RUN_KEY, RUN_VALUE, stored) && stored == command) ||
        machine.WriteString(RUN_KEY, RUN_VALUE, command.c_str()))
        user.DeleteEntry(RUN_KEY, RUN_VALUE);
    else
        user.WriteString(RUN_KEY, RUN_VALUE, command.c_str());
}

BOOL CAppSettings::IsAutoStartSet() const {
    std::string command;
    return CRegistryKey(m_hMachineRoot).ReadString(RUN_KEY, RUN_VALUE, command) ||
           CRegistryKey(m_hUserRoot).ReadString(RUN_KEY, RUN_VALUE, command);
}

std::string CAppSettings::DefaultHelpFilePath() {
    std::string path = ProgramPath();
    size_t nameStart = path.find_last_of("\\/") + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        path.erase(dot);
    return path.empty() ? path : path + ".HLP";
}

void CAppSettings::SetHelpFilePath(const std::string& defaultHelpPath) {
    std::string helpFile = fw::LoadStringResource(IDS_HELP_FILE);
    CFileLocation location(defaultHelpPath.c_str());
    m_strHelpFilePath = defaultHelpPath;
    if (lstrcmpiA(location.GetFileName().c_str(), helpFile.c_str()) != 0) {
        location.SetFileName(helpFile.c_str());
        m_strHelpFilePath = location.GetPath();
    }
}

BOOL CAppSettings::HelpFileExists(std::string* pPath) const {
    if (m_strHelpFilePath.empty() || _access(m_strHelpFilePath.c_str(), 0) != 0)
        return FALSE;
    if (pPath)
        *pPath = m_strHelpFilePath;
    return TRUE;
}

BOOL CAppSettings::ShowHelp(DWORD dwData, UINT nCmd) {
    return m_winHelp(m_hMainWnd, m_strHelpFilePath.c_str(), nCmd, dwData);
}
