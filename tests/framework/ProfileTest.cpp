// The per-application registry profile, under a key of the tests' own.
// windows.h first, as everywhere the framework's profile is used: its GetProfileDword macro
// renames the framework's function as well.
#include <windows.h>

#include "framework/Profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        company = "Brenkor.Tests." + std::to_string(GetCurrentProcessId());
        fw::SetRegistryKey(company);
        fw::SetProfileName("Profile Test");
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, ("software\\" + company + "\\Profile Test\\Sub").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, ("software\\" + company + "\\Profile Test").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, ("software\\" + company).c_str());
        fw::SetRegistryKey("");
    }

    std::string company;
};

TEST_F(ProfileTest, EmptySectionIsTheApplicationsOwnKey) {
    EXPECT_EQ("software\\" + company + "\\Profile Test", fw::GetAppRegistryPath());
    const unsigned char bytes[] = {1, 2, 3, 0, 255};
    ASSERT_TRUE(fw::WriteProfileBinary("", "Value", bytes, sizeof bytes));

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, fw::GetAppRegistryPath().c_str(), 0,
                                           KEY_READ, &key));
    DWORD type = 0;
    unsigned char stored[16] = {};
    DWORD size = sizeof stored;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Value", nullptr, &type, stored, &size));
    RegCloseKey(key);
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 5),
              std::vector<unsigned char>(stored, stored + size));

    std::vector<unsigned char> read;
    ASSERT_TRUE(fw::GetProfileBinary("", "Value", read));
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 5), read);
}

TEST_F(ProfileTest, SectionsAreSubkeys) {
    const unsigned char bytes[] = {7};
    ASSERT_TRUE(fw::WriteProfileBinary("Sub", "Value", bytes, 1));
    std::vector<unsigned char> read;
    EXPECT_FALSE(fw::GetProfileBinary("", "Value", read));
    ASSERT_TRUE(fw::GetProfileBinary("Sub", "Value", read));
    EXPECT_EQ(std::vector<unsigned char>{7}, read);
}

TEST_F(ProfileTest, MissingOrNonBinaryValueLeavesTheBufferAlone) {
    std::vector<unsigned char> read = {42};
    EXPECT_FALSE(fw::GetProfileBinary("", "Missing", read));
    EXPECT_EQ(std::vector<unsigned char>{42}, read);

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, fw::GetAppRegistryPath().c_str(), 0,
                                             nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    DWORD number = 1;
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    EXPECT_FALSE(fw::GetProfileBinary("", "Number", read));
    EXPECT_EQ(std::vector<unsigned char>{42}, read);
    HKEY app;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, fw::GetAppRegistryPath().c_str(), 0, KEY_SET_VALUE,
                      &app) == ERROR_SUCCESS) {
        RegDeleteValueA(app, "Number");
        RegCloseKey(app);
    }
}

// The type of a value in the application's key; 0 when it is not there.
DWORD StoredType(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, fw::GetAppRegistryPath().c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        type = 0;
    RegCloseKey(key);
    return type;
}

TEST_F(ProfileTest, DwordAtItsDefaultIsDeletedAndReadsBackAsTheDefault) {
    // Deleting what was never there, not even the key, creates nothing.
    EXPECT_TRUE(fw::WriteProfileDword("", "Number", 7, 7));
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, fw::GetAppRegistryPath().c_str(), 0,
                                           KEY_READ, &key));
    ASSERT_TRUE(fw::WriteProfileDword("", "Number", 0xFFFFFFFF, 7));
    EXPECT_EQ(DWORD(REG_DWORD), StoredType("Number"));
    EXPECT_EQ(0xFFFFFFFFul, fw::GetProfileDword("", "Number", 7));
    ASSERT_TRUE(fw::WriteProfileDword("", "Number", 0, 7));
    EXPECT_EQ(0ul, fw::GetProfileDword("", "Number", 7));
    EXPECT_TRUE(fw::WriteProfileDword("", "Number", 7, 7));
    EXPECT_EQ(0u, StoredType("Number"));
    EXPECT_EQ(7ul, fw::GetProfileDword("", "Number", 7));
    EXPECT_TRUE(fw::WriteProfileDword("", "Number", 7, 7)) << "already gone";
}

TEST_F(ProfileTest, EmptyTextIsDeletedAndAMissingOneLeavesTheStringAlone) {
    std::string read = "untouched";
    EXPECT_TRUE(fw::WriteProfileText("", "Text", "")) << "nothing there, not even the key";
    EXPECT_FALSE(fw::GetProfileText("", "Text", read));
    EXPECT_EQ("untouched", read);
    ASSERT_TRUE(fw::WriteProfileText("", "Text", "Mobilfunk \xFC"));
    EXPECT_EQ(DWORD(REG_SZ), StoredType("Text"));
    ASSERT_TRUE(fw::GetProfileText("", "Text", read));
    EXPECT_EQ("Mobilfunk \xFC", read);
    EXPECT_TRUE(fw::WriteProfileText("", "Text", ""));
    EXPECT_EQ(0u, StoredType("Text"));
    ASSERT_TRUE(fw::WriteProfileText("", "Text", "x"));
    EXPECT_TRUE(fw::DeleteProfileValue("", "Text"));
    EXPECT_EQ(0u, StoredType("Text"));
    EXPECT_TRUE(fw::DeleteProfileValue("", "Text")) << "already gone";
    ASSERT_TRUE(fw::WriteProfileDword("", "Number", 1, 0));
    read = "untouched";
    EXPECT_FALSE(fw::GetProfileText("", "Number", read)) << "another type";
    EXPECT_EQ("untouched", read);
    fw::DeleteProfileValue("", "Number");
}

TEST_F(ProfileTest, NothingWithoutARegistryKey) {
    fw::SetRegistryKey("");
    const unsigned char bytes[] = {1};
    EXPECT_EQ("", fw::GetAppRegistryPath());
    EXPECT_FALSE(fw::WriteProfileBinary("", "Value", bytes, 1));
    EXPECT_FALSE(fw::WriteProfileDword("", "Number", 1, 0));
    EXPECT_FALSE(fw::WriteProfileText("", "Text", "x"));
    EXPECT_FALSE(fw::DeleteProfileValue("", "Text"));
    std::vector<unsigned char> read;
    EXPECT_FALSE(fw::GetProfileBinary("", "Value", read));
    std::string text;
    EXPECT_FALSE(fw::GetProfileText("", "Text", text));
}

} // namespace
