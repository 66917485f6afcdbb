// The settings against the real (Wine) registry: the record "Profile" and the volume values in
// the user's key, and the Run value "Tarvolo" of the machine.

#include "framework/Profile.h"
#include "framework/CRegistryKey.h"
#include "framework/ScopedHandles.h"
#include "shell/CAppSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char APP_KEY[] = "software\\Brenkor\\Tarvolo";

// A registry value as it was, put back at the end of a test.
class SavedValue {
public:
    SavedValue(HKEY root, const char* subkey, const char* name)
        : m_root(root), m_subkey(subkey), m_name(name) {
        m_data = Read(root, subkey, name, m_type);
        m_existed = m_type != 0;
        Delete(root, subkey, name);
    }
    ~SavedValue() {
        Delete(m_root, m_subkey, m_name);
        if (m_existed)
            Write(m_root, m_subkey, m_name, m_type, m_data);
    }

    static void Delete(HKEY root, const char* subkey, const char* name) {
        HKEY key;
        if (RegOpenKeyExA(root, subkey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, name);
            RegCloseKey(key);
        }
    }
    static void Write(HKEY root, const char* subkey, const char* name, DWORD type,
                      const std::vector<BYTE>& data) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &key, nullptr));
        RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    // Type and bytes of the value now; type 0 when it does not exist.
    static std::vector<BYTE> Read(HKEY root, const char* subkey, const char* name, DWORD& type) {
        type = 0;
        HKEY key;
        if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return {};
        DWORD size = 0;
        std::vector<BYTE> data;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
        }
        RegCloseKey(key);
        return data;
    }

private:
    HKEY m_root;
    const char* m_subkey;
    const char* m_name;
    bool m_existed = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
};

std::vector<BYTE> Bytes(std::initializer_list<int> values) {
    return std::vector<BYTE>(values.begin(), values.end());
}

std::vector<BYTE> Text(const std::string& text) {
    return std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1);
}

std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ProgramFolder() {
    std::string path = ProgramPath();
    return path.substr(0, path.rfind('\\') + 1);
}

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::SetRegistryKey("Brenkor");
        fw::SetProfileName("Tarvolo");
    }

    void WriteProfile(const std::vector<BYTE>& bytes, DWORD type = REG_BINARY) {
        SavedValue::Write(HKEY_CURRENT_USER, APP_KEY, "Profile", type, bytes);
    }
    void WriteRun(const std::string& command) {
        SavedValue::Write(HKEY_LOCAL_MACHINE, RUN_KEY, "Tarvolo", REG_SZ, Text(command));
    }
    std::vector<BYTE> StoredProfile(DWORD& type) {
        return SavedValue::Read(HKEY_CURRENT_USER, APP_KEY, "Profile", type);
    }
    std::vector<BYTE> StoredRun(DWORD& type) {
        return SavedValue::Read(HKEY_LOCAL_MACHINE, RUN_KEY, "Tarvolo", type);
    }

    SavedValue savedProfile{HKEY_CURRENT_USER, APP_KEY, "Profile"};
    SavedValue savedRun{HKEY_LOCAL_MACHINE, RUN_KEY, "Tarvolo"};
    CAppSettings settings;
};

void ExpectProfile(const PROFILEDATA& p, int bAutoStart, int nActivePage, int bSortAscending) {
    EXPECT_EQ(16u, p.dwSize);
    EXPECT_EQ(bAutoStart, p.bAutoStart);
    EXPECT_EQ(nActivePage, p.nActivePage);
    EXPECT_EQ(bSortAscending, p.bSortAscending);
}

TEST_F(AppSettingsTest, NothingStoredGivesTheDefaults) {
    settings.m_profile = {7, 1, 1, 1};
    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 0, 0, 0);
}

TEST_F(AppSettingsTest, FullRecordIsReadFieldByField) {
    WriteProfile(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 0, 1, 1);
}

TEST_F(AppSettingsTest, EightByteRecordFillsOnlyTheFirstFields) {
    WriteProfile(Bytes({99, 0, 0, 0, 1, 0, 0, 0}));
    settings.m_profile = {0, 1, 5, 1};
    settings.LoadSettings();
    // The size is always 16; the autostart field follows the absent Run value.
    ExpectProfile(settings.m_profile, 0, 0, 0);
    WriteRun("\"C:\\Tools\\tarvolo.exe\"");
    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 1, 0, 0);
}

TEST_F(AppSettingsTest, BytesBeyondTheRecordAreIgnored) {
    WriteProfile(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 9}));
    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 0, 1, 0);
}

// A stored number no page has opens "Allgemein".
TEST_F(AppSettingsTest, APageNoPageHasIsTheFirst) {
    for (const auto& [stored, expected] :
         {std::pair{2, 2}, {3, 3}, {4, 4}, {5, 0}, {0x7FFFFFFF, 0}, {-5, 0}}) {
        std::vector<BYTE> record = Bytes({16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        std::memcpy(&record[8], &stored, sizeof stored);
        WriteProfile(record);
        settings.LoadSettings();
        ExpectProfile(settings.m_profile, 0, expected, 0);
    }
}

// The checkpoint interval (a minute unless a DWORD says otherwise) and the adapter's check
// interval (five seconds unless a DWORD other than 0 says otherwise); neither is written back.
TEST_F(AppSettingsTest, IntervalsAreReadAsDwordsAndNeverWritten) {
    const struct {
        const char* name;
        unsigned long CAppSettings::*member;
        unsigned long nDefault;
        unsigned long nStoredZero; // what a stored 0 reads as
    } intervals[] = {{"CheckpointSeconds", &CAppSettings::m_nCheckpointSeconds, 60, 0},
                     {"AdapterCheckSeconds", &CAppSettings::m_nAdapterCheckSeconds, 5, 5}};
    for (const auto& interval : intervals) {
        SCOPED_TRACE(interval.name);
        SavedValue saved{HKEY_CURRENT_USER, APP_KEY, interval.name};
        settings.*interval.member = 77;
        settings.LoadSettings();
        EXPECT_EQ(interval.nDefault, settings.*interval.member);
        settings.SaveSettings();
        DWORD type = 0;
        EXPECT_TRUE(SavedValue::Read(HKEY_CURRENT_USER, APP_KEY, interval.name, type).empty());
        for (const auto& [bytes, valueType, expected] :
             {std::tuple{Bytes({5, 0, 0, 0}), REG_DWORD, 5ul},
              {Bytes({0x58, 2, 0, 0}), REG_DWORD, 600ul},
              {Bytes({0, 0, 0, 0}), REG_DWORD, interval.nStoredZero},
              {Bytes({5, 0, 0, 0}), REG_BINARY, interval.nDefault}}) {
            SavedValue::Write(HKEY_CURRENT_USER, APP_KEY, interval.name, valueType, bytes);
            settings.LoadSettings();
            EXPECT_EQ(expected, settings.*interval.member) << "type " << valueType;
        }
    }
}

const char* const VOLUME_VALUES[] = {"VolumeLimitMB", "VolumeReceivedOnly", "BillingDay",
                                     "VolumeWarnPercent"};

// The volume values as they were, put back at the end of a test.
struct SavedVolumeValues {
    SavedValue limit{HKEY_CURRENT_USER, APP_KEY, VOLUME_VALUES[0]};
    SavedValue receivedOnly{HKEY_CURRENT_USER, APP_KEY, VOLUME_VALUES[1]};
    SavedValue billingDay{HKEY_CURRENT_USER, APP_KEY, VOLUME_VALUES[2]};
    SavedValue warnPercent{HKEY_CURRENT_USER, APP_KEY, VOLUME_VALUES[3]};
};

std::vector<BYTE> Dword(DWORD value) {
    std::vector<BYTE> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

void ExpectVolume(const VOLUMESETTINGS& expected, const VOLUMESETTINGS& actual) {
    EXPECT_EQ(expected.nLimitMB, actual.nLimitMB);
    EXPECT_EQ(expected.bReceivedOnly, actual.bReceivedOnly);
    EXPECT_EQ(expected.nBillingDay, actual.nBillingDay);
    EXPECT_EQ(expected.nWarnPercent, actual.nWarnPercent);
}

// Each row stores one value, the others missing; whatever is stored, every field ends up in its
// range, and a value of another type counts as missing.
TEST_F(AppSettingsTest, VolumeValuesAreReadIntoTheirRanges) {
    SavedVolumeValues saved;
    const VOLUMESETTINGS defaults;
    auto with = [&defaults](auto change) {
        VOLUMESETTINGS volume = defaults;
        change(volume);
        return volume;
    };
    const struct {
        const char* name; // nullptr: nothing stored
        DWORD type;
        std::vector<BYTE> data;
        VOLUMESETTINGS expected;
    } cases[] = {
        {nullptr, REG_DWORD, {}, defaults},
        {"VolumeLimitMB", REG_DWORD, Dword(2048), with([](auto& v) { v.nLimitMB = 2048; })},
        {"VolumeLimitMB", REG_DWORD, Dword(4000000), with([](auto& v) { v.nLimitMB = 4000000; })},
        {"VolumeLimitMB", REG_DWORD, Dword(4000001), with([](auto& v) { v.nLimitMB = 4000000; })},
        {"VolumeLimitMB", REG_DWORD, Dword(0xFFFFFFFF),
         with([](auto& v) { v.nLimitMB = 4000000; })},
        {"VolumeLimitMB", REG_BINARY, Dword(2048), defaults},
        {"VolumeLimitMB", REG_SZ, Text("2048"), defaults},
        {"VolumeLimitMB", REG_DWORD, Bytes({1, 8}), defaults},
        {"VolumeReceivedOnly", REG_DWORD, Dword(1), with([](auto& v) { v.bReceivedOnly = true; })},
        {"VolumeReceivedOnly", REG_DWORD, Dword(7), with([](auto& v) { v.bReceivedOnly = true; })},
        {"VolumeReceivedOnly", REG_SZ, Text("1"), defaults},
        {"BillingDay", REG_DWORD, Dword(15), with([](auto& v) { v.nBillingDay = 15; })},
        {"BillingDay", REG_DWORD, Dword(31), with([](auto& v) { v.nBillingDay = 31; })},
        {"BillingDay", REG_DWORD, Dword(0), with([](auto& v) { v.nBillingDay = 1; })},
        {"BillingDay", REG_DWORD, Dword(32), with([](auto& v) { v.nBillingDay = 31; })},
        {"BillingDay", REG_DWORD, Dword(0xFFFFFFFF), with([](auto& v) { v.nBillingDay = 31; })},
        {"BillingDay", REG_BINARY, Dword(15), defaults},
        {"VolumeWarnPercent", REG_DWORD, Dword(50), with([](auto& v) { v.nWarnPercent = 50; })},
        {"VolumeWarnPercent", REG_DWORD, Dword(99), with([](auto& v) { v.nWarnPercent = 99; })},
        {"VolumeWarnPercent", REG_DWORD, Dword(49), with([](auto& v) { v.nWarnPercent = 50; })},
        {"VolumeWarnPercent", REG_DWORD, Dword(100), with([](auto& v) { v.nWarnPercent = 99; })},
        {"VolumeWarnPercent", REG_DWORD, Dword(0x80000000),
         with([](auto& v) { v.nWarnPercent = 99; })},
        {"VolumeWarnPercent", REG_QWORD, Bytes({90, 0, 0, 0, 0, 0, 0, 0}), defaults},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name ? c.name : "nothing") + ", type " + std::to_string(c.type) +
                     ", " + std::to_string(c.data.size()) + " bytes");
        for (const char* name : VOLUME_VALUES)
            SavedValue::Delete(HKEY_CURRENT_USER, APP_KEY, name);
        if (c.name)
            SavedValue::Write(HKEY_CURRENT_USER, APP_KEY, c.name, c.type, c.data);
        settings.m_volume = {123, true, 9, 70};
        settings.LoadSettings();
        ExpectVolume(c.expected, settings.m_volume);
    }
}

// The value of the user's key as a DWORD; an expected 0 is a missing value.
void ExpectStoredDword(const char* name, DWORD expected) {
    DWORD type = 0;
    const std::vector<BYTE> data = SavedValue::Read(HKEY_CURRENT_USER, APP_KEY, name, type);
    if (expected == 0) {
        EXPECT_EQ(0u, type) << name;
        return;
    }
    EXPECT_EQ(DWORD(REG_DWORD), type) << name;
    EXPECT_EQ(Dword(expected), data) << name;
}

// A user who never sets a limit gets no new value, and "Profile" stays as it was without the
// limit; a value set is a DWORD that reads back, and returned to its default it goes again.
TEST_F(AppSettingsTest, VolumeValuesAreWrittenOnlyWhileTheyDifferFromTheirDefaults) {
    SavedVolumeValues saved;
    settings.m_profile = {16, 0, 2, 1};
    DWORD type = 0;
    const struct {
        VOLUMESETTINGS volume;
        std::vector<DWORD> stored; // per value in VOLUME_VALUES; 0 where it must be missing
    } cases[] = {
        {{}, {0, 0, 0, 0}},
        {{3000, true, 15, 90}, {3000, 1, 15, 90}},
        {{0, false, 20, 80}, {0, 0, 20, 0}},
        {{4000000, false, 1, 50}, {4000000, 0, 0, 50}},
        {{}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume.nLimitMB);
        settings.m_volume = c.volume;
        settings.SaveSettings();
        for (size_t i = 0; i < std::size(VOLUME_VALUES); ++i)
            ExpectStoredDword(VOLUME_VALUES[i], c.stored[i]);
        EXPECT_EQ(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}), StoredProfile(type));
        CAppSettings loaded;
        loaded.LoadSettings();
        ExpectVolume(c.volume, loaded.m_volume);
    }
}

// The warnings shown go round through the registry; while none was shown (no limit set, or armed
// anew) no value is there.
TEST_F(AppSettingsTest, VolumeWarnedGoesRoundAndIsWrittenOnlyWhileNotZero) {
    SavedValue savedPeriod{HKEY_CURRENT_USER, APP_KEY, "VolumeWarnedPeriod"};
    SavedValue savedPercent{HKEY_CURRENT_USER, APP_KEY, "VolumeWarnedPercent"};
    const struct {
        CVolumeWatch::WARNED warned;
        DWORD storedPeriod; // 0 where the value must be missing, as storedPercent
        DWORD storedPercent;
    } cases[] = {
        {{}, 0, 0},
        {{1767222000, 80}, 1767222000, 80},
        {{0xFFFFFFFF, 100}, 0xFFFFFFFF, 100},
        {{}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.warned.periodStart) + " " +
                     std::to_string(c.warned.nPercent));
        settings.SaveVolumeWarned(c.warned);
        ExpectStoredDword("VolumeWarnedPeriod", c.storedPeriod);
        ExpectStoredDword("VolumeWarnedPercent", c.storedPercent);
        EXPECT_TRUE(CAppSettings().LoadVolumeWarned() == c.warned);
    }
}

// The split of a billing period goes round in one 24-byte value, times as the data files keep
// them and the bytes in 64 bits; with none kept, no value is there.
TEST_F(AppSettingsTest, VolumeSplitGoesRoundAndIsThereOnlyWhileKept) {
    SavedValue saved{HKEY_CURRENT_USER, APP_KEY, "VolumeSplit"};
    const CVolumeWatch::SPLIT cases[] = {
        {1767222000, 1767190000, std::int64_t(5) << 32 | 7, 3},
        {},
    };
    for (const CVolumeWatch::SPLIT& split : cases) {
        settings.SaveVolumeSplit(split);
        DWORD type = 0;
        const std::vector<BYTE> data =
            SavedValue::Read(HKEY_CURRENT_USER, APP_KEY, "VolumeSplit", type);
        EXPECT_EQ(split.periodStart ? DWORD(REG_BINARY) : 0u, type);
        EXPECT_EQ(split.periodStart ? 24u : 0u, data.size());
        EXPECT_TRUE(CAppSettings().LoadVolumeSplit() == split);
    }
}

const char* const CONNECTION_VALUES[] = {"AdapterName", "AdapterGuid", "WlanNetwork"};

// The connection's values as they were, put back at the end of a test.
struct SavedConnectionValues {
    SavedValue name{HKEY_CURRENT_USER, APP_KEY, CONNECTION_VALUES[0]};
    SavedValue guid{HKEY_CURRENT_USER, APP_KEY, CONNECTION_VALUES[1]};
    SavedValue network{HKEY_CURRENT_USER, APP_KEY, CONNECTION_VALUES[2]};
};

const char GUID_TEXT[] = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

// Each row stores what a registry may hold, the rest missing: every value is read on its own,
// so that the name alone (as a deployment script writes it) is an adapter chosen by its name;
// a value of another type counts as missing.
TEST_F(AppSettingsTest, ConnectionValuesAreReadEachOnItsOwn) {
    SavedConnectionValues saved;
    const struct {
        std::vector<std::pair<const char*, std::vector<BYTE>>> stored; // REG_SZ unless named
        DWORD type;
        CONNECTIONSETTINGS expected;
    } cases[] = {
        {{}, REG_SZ, {}},
        {{{"AdapterName", Text("Mobilfunk")}}, REG_SZ, {"Mobilfunk", "", ""}},
        {{{"AdapterName", Text("WLAN")},
          {"AdapterGuid", Text(GUID_TEXT)},
          {"WlanNetwork", Text("Pixel-Hotspot")}},
         REG_SZ,
         {"WLAN", GUID_TEXT, "Pixel-Hotspot"}},
        {{{"AdapterGuid", Text(GUID_TEXT)}}, REG_SZ, {"", GUID_TEXT, ""}},
        // Stored without its NUL, and with text after one.
        {{{"AdapterName", Bytes({'L', 'T', 'E'})}}, REG_SZ, {"LTE", "", ""}},
        {{{"AdapterName", Bytes({'L', 'T', 'E', 0, 'x', 0})}}, REG_SZ, {"LTE", "", ""}},
        {{{"AdapterName", Text("Mobilfunk")}}, REG_EXPAND_SZ, {}},
        {{{"AdapterName", Text("Mobilfunk")}}, REG_BINARY, {}},
        {{{"WlanNetwork", Dword(1)}}, REG_DWORD, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        for (const char* name : CONNECTION_VALUES)
            SavedValue::Delete(HKEY_CURRENT_USER, APP_KEY, name);
        for (const auto& [name, data] : c.stored)
            SavedValue::Write(HKEY_CURRENT_USER, APP_KEY, name, c.type, data);
        settings.m_connection = {"old", "old", "old"};
        settings.LoadSettings();
        EXPECT_EQ(c.expected.adapterName, settings.m_connection.adapterName);
        EXPECT_EQ(c.expected.adapterGuid, settings.m_connection.adapterGuid);
        EXPECT_EQ(c.expected.wlanNetwork, settings.m_connection.wlanNetwork);
    }
}

// Dial-up, the default, leaves no value behind; each value is a REG_SZ while it is not empty.
TEST_F(AppSettingsTest, ConnectionValuesAreWrittenOnlyWhileNotEmpty) {
    SavedConnectionValues saved;
    const CONNECTIONSETTINGS cases[] = {
        {},
        {"WLAN", GUID_TEXT, "Pixel-Hotspot"},
        {"Mobilfunk", GUID_TEXT, ""},
        {"Mobilfunk", "", ""},
        {},
    };
    for (const CONNECTIONSETTINGS& connection : cases) {
        SCOPED_TRACE(connection.adapterName + "|" + connection.wlanNetwork);
        settings.m_connection = connection;
        settings.SaveSettings();
        const std::string* texts[] = {&connection.adapterName, &connection.adapterGuid,
                                      &connection.wlanNetwork};
        for (size_t i = 0; i < std::size(CONNECTION_VALUES); ++i) {
            DWORD type = 0;
            const std::vector<BYTE> data =
                SavedValue::Read(HKEY_CURRENT_USER, APP_KEY, CONNECTION_VALUES[i], type);
            EXPECT_EQ(texts[i]->empty() ? 0u : DWORD(REG_SZ), type) << CONNECTION_VALUES[i];
            EXPECT_EQ(texts[i]->empty() ? std::vector<BYTE>() : Text(*texts[i]), data);
        }
        CAppSettings loaded;
        loaded.LoadSettings();
        EXPECT_TRUE(loaded.m_connection == connection);
    }
}

TEST_F(AppSettingsTest, ProfileOfAnotherTypeCountsAsMissing) {
    WriteProfile(Bytes({1, 0, 0, 0}), REG_DWORD);
    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 0, 0, 0);
}

TEST_F(AppSettingsTest, RunValueWinsOverTheRecord) {
    WriteProfile(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    WriteRun("\"C:\\Tools\\tarvolo.exe\"");
    settings.LoadSettings();
    EXPECT_TRUE(settings.m_profile.bAutoStart);

    WriteProfile(Bytes({16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    SavedValue::Delete(HKEY_LOCAL_MACHINE, RUN_KEY, "Tarvolo");
    settings.LoadSettings();
    EXPECT_FALSE(settings.m_profile.bAutoStart);
}

TEST_F(AppSettingsTest, AutostartIsSetOnlyByARunValueReadableAsText) {
    EXPECT_FALSE(settings.IsAutoStartSet());
    WriteRun("");
    EXPECT_TRUE(settings.IsAutoStartSet());
    SavedValue::Write(HKEY_LOCAL_MACHINE, RUN_KEY, "Tarvolo", REG_DWORD, Bytes({1, 0, 0, 0}));
    EXPECT_FALSE(settings.IsAutoStartSet());
}

TEST_F(AppSettingsTest, SaveWritesTheRecordByteForByte) {
    settings.m_profile = {0, 0, 1, 1};
    settings.SaveSettings();
    DWORD type = 0;
    EXPECT_EQ(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}), StoredProfile(type));
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_EQ(16u, settings.m_profile.dwSize);
}

TEST_F(AppSettingsTest, SaveWithAutostartOverwritesTheRunValue) {
    WriteRun("\"C:\\Old\\tarvolo.exe\"");
    settings.m_profile = {16, 1, 0, 0};
    settings.SaveSettings();
    DWORD type = 0;
    EXPECT_EQ(Text("\"" + ProgramPath() + "\""), StoredRun(type));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(Bytes({16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), StoredProfile(type));

    settings.LoadSettings();
    ExpectProfile(settings.m_profile, 1, 0, 0);
}

TEST_F(AppSettingsTest, SaveWithoutAutostartDeletesTheRunValue) {
    WriteRun("\"C:\\Old\\tarvolo.exe\"");
    settings.m_profile = {16, 0, 1, 0};
    settings.SaveSettings();
    DWORD type = 0;
    StoredRun(type);
    EXPECT_EQ(0u, type);
    // Deleting a value that is not there is no error: the record is still written.
    SavedValue::Delete(HKEY_CURRENT_USER, APP_KEY, "Profile");
    settings.SaveSettings();
    StoredRun(type);
    EXPECT_EQ(0u, type);
    EXPECT_EQ(Bytes({16, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}), StoredProfile(type));
}

// A standard user may not write the machine's Run key. Wine does not enforce the registry's
// permissions, so the machine's root here is a handle that is no key at all: every write to it
// fails, as HKLM's do for such a user.
TEST_F(AppSettingsTest, WhereTheMachinesRunKeyIsRefusedTheUsersTakesTheValue) {
    const fw::ScopedHandle notAKey(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const auto hRefusing = reinterpret_cast<HKEY>(notAKey.Get());
    ASSERT_FALSE(CRegistryKey(hRefusing).WriteString(RUN_KEY, "Tarvolo", "refused?"));
    SavedValue savedUserRun{HKEY_CURRENT_USER, RUN_KEY, "Tarvolo"};
    settings.SetRunRoots(hRefusing, HKEY_CURRENT_USER);
    DWORD type = 0;

    settings.SetAutoStart(TRUE);
    EXPECT_EQ(Text("\"" + ProgramPath() + "\""),
              SavedValue::Read(HKEY_CURRENT_USER, RUN_KEY, "Tarvolo", type));
    EXPECT_TRUE(settings.IsAutoStartSet());
    settings.LoadSettings();
    EXPECT_EQ(1, settings.m_profile.bAutoStart);

    settings.SetAutoStart(FALSE);
    SavedValue::Read(HKEY_CURRENT_USER, RUN_KEY, "Tarvolo", type);
    EXPECT_EQ(0u, type);
    EXPECT_FALSE(settings.IsAutoStartSet());

    // Where the machine's key takes it, the user's copy goes: both would start the program twice.
    SavedValue::Write(HKEY_CURRENT_USER, RUN_KEY, "Tarvolo", REG_SZ, Text("\"C:\\Old.exe\""));
    settings.SetRunRoots(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER);
    settings.SetAutoStart(TRUE);
    EXPECT_EQ(Text("\"" + ProgramPath() + "\""), StoredRun(type));
    SavedValue::Read(HKEY_CURRENT_USER, RUN_KEY, "Tarvolo", type);
    EXPECT_EQ(0u, type);
}

TEST(AppSettingsHelp, HelpFileSitsInTheProgramFolderWhateverTheProgramIsCalled) {
    CAppSettings settings;
    settings.SetHelpFilePath("C:\\Tools\\X.HLP");
    EXPECT_EQ("C:\\Tools\\tarvolo.hlp", settings.GetHelpFilePath());
    settings.SetHelpFilePath("C:\\Tools\\TARVOLO.HLP");
    EXPECT_EQ("C:\\Tools\\TARVOLO.HLP", settings.GetHelpFilePath());

    std::string program = ProgramPath();
    std::string expectedDefault = program.substr(0, program.rfind('.')) + ".HLP";
    EXPECT_EQ(expectedDefault, CAppSettings::DefaultHelpFilePath());
    settings.SetHelpFilePath(CAppSettings::DefaultHelpFilePath());
    EXPECT_EQ(ProgramFolder() + "tarvolo.hlp", settings.GetHelpFilePath());
}

TEST(AppSettingsHelp, HelpFileExistsOnlyWithTheFile) {
    CAppSettings settings;
    settings.SetHelpFilePath(CAppSettings::DefaultHelpFilePath());
    std::string path = "untouched";
    DeleteFileA(settings.GetHelpFilePath().c_str());
    EXPECT_FALSE(settings.HelpFileExists(&path));
    EXPECT_EQ("untouched", path);
    std::ofstream(settings.GetHelpFilePath()).close();
    EXPECT_TRUE(settings.HelpFileExists());
    EXPECT_TRUE(settings.HelpFileExists(&path));
    EXPECT_EQ(settings.GetHelpFilePath(), path);
    DeleteFileA(settings.GetHelpFilePath().c_str());
}

TEST(AppSettingsHelp, ShowHelpHandsOwnerFileCommandAndDataToTheHelpSystem) {
    CAppSettings settings;
    settings.SetHelpFilePath("C:\\Tools\\x.hlp");
    HWND hMain = reinterpret_cast<HWND>(0x1234);
    settings.SetMainWindow(hMain);
    struct Call {
        HWND hOwner;
        std::string file;
        UINT command;
        ULONG_PTR data;
    };
    std::vector<Call> calls;
    settings.SetWinHelpFunction([&](HWND h, const char* file, UINT command, ULONG_PTR data) {
        calls.push_back({h, file, command, data});
        return TRUE;
    });
    EXPECT_TRUE(settings.ShowHelp(201, HELP_CONTEXT));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(hMain, calls[0].hOwner);
    EXPECT_EQ("C:\\Tools\\tarvolo.hlp", calls[0].file);
    EXPECT_EQ(UINT(HELP_CONTEXT), calls[0].command);
    EXPECT_EQ(201u, calls[0].data);
    EXPECT_EQ(hMain, settings.GetMainWindow());
}

} // namespace
