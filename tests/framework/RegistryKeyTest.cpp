#include "framework/CRegistryKey.h"
#include "framework/CRegistryValue.h"

#include "support/ScratchKey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const BYTE FOUR_BYTES[4] = {0x10, 0x27, 0x00, 0x00}; // 10,000

class RegistryKeyTest : public ::testing::TestWithParam<HKEY> {
protected:
    ScratchKey m_scratch{GetParam()};
    CRegistryKey m_key{GetParam()};
};

std::string RootName(const ::testing::TestParamInfo<HKEY>& info) {
    return info.param == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
}

} // namespace

TEST_P(RegistryKeyTest, ReadBinaryTakesAFourByteBinaryValueOnlyAtSizeFour) {
    ASSERT_TRUE(m_scratch.SetRaw("", "Stat", REG_BINARY, FOUR_BYTES, 4));
    DWORD out = 0;
    EXPECT_TRUE(m_key.ReadBinary(m_scratch.Path().c_str(), "Stat", &out, 4));
    EXPECT_EQ(10000u, out);

    BYTE wide[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(m_key.ReadBinary(m_scratch.Path().c_str(), "Stat", wide, 8));
    EXPECT_EQ((std::vector<BYTE>{1, 2, 3, 4, 5, 6, 7, 8}), std::vector<BYTE>(wide, wide + 8));
}

TEST_P(RegistryKeyTest, ReadBinaryRefusesADwordValue) {
    const DWORD number = 10000;
    ASSERT_TRUE(m_scratch.SetRaw("", "Stat", REG_DWORD, &number, 4));
    DWORD out = 55;
    EXPECT_FALSE(m_key.ReadBinary(m_scratch.Path().c_str(), "Stat", &out, 4));
    EXPECT_EQ(55u, out);
}

TEST_P(RegistryKeyTest, ReadStringOfMultiSzIsTheFirstString) {
    const std::string list("Dial-Up Adapter\0Second\0\0", 25);
    ASSERT_TRUE(m_scratch.SetRaw("", "List", REG_MULTI_SZ, list.data(), DWORD(list.size())));
    std::string text;
    EXPECT_TRUE(m_key.ReadString(m_scratch.Path().c_str(), "List", text));
    EXPECT_EQ("Dial-Up Adapter", text);
}

TEST_P(RegistryKeyTest, ReadStringOfAnEmptyMultiSzFails) {
    ASSERT_TRUE(m_scratch.SetRaw("", "List", REG_MULTI_SZ, "\0\0", 2));
    std::string text = "kept";
    EXPECT_FALSE(m_key.ReadString(m_scratch.Path().c_str(), "List", text));
    EXPECT_EQ("kept", text);
}

TEST_P(RegistryKeyTest, ReadStringOfExpandSzLeavesReferencesUnexpanded) {
    ASSERT_TRUE(m_scratch.SetString("", "Path", "%WINDIR%\\tarvolo", REG_EXPAND_SZ));
    std::string text;
    EXPECT_TRUE(m_key.ReadString(m_scratch.Path().c_str(), "Path", text));
    EXPECT_EQ("%WINDIR%\\tarvolo", text);
}

TEST_P(RegistryKeyTest, ReadValueFillsTypeAndData) {
    ASSERT_TRUE(m_scratch.SetRaw("", "Stat", REG_BINARY, FOUR_BYTES, 4));
    CRegistryValue value;
    EXPECT_TRUE(m_key.ReadValue(m_scratch.Path().c_str(), "Stat", value));
    EXPECT_EQ(DWORD(REG_BINARY), value.GetType());
    ASSERT_EQ(4u, value.GetSize());
    EXPECT_EQ((std::vector<BYTE>(FOUR_BYTES, FOUR_BYTES + 4)),
              std::vector<BYTE>(value.GetData(), value.GetData() + 4));
}

TEST_P(RegistryKeyTest, ReadValueOfAMissingValueOrKeyLeavesTheTargetAsItWas) {
    ASSERT_TRUE(m_scratch.CreateKey(""));
    CRegistryValue value("unchanged");
    EXPECT_FALSE(m_key.ReadValue(m_scratch.Path().c_str(), "Missing", value));
    EXPECT_FALSE(m_key.ReadValue(m_scratch.Sub("NoSuchKey").c_str(), "Missing", value));
    std::string text;
    ASSERT_TRUE(value.GetString(text));
    EXPECT_EQ("unchanged", text);
}

TEST_P(RegistryKeyTest, WriteStringOfEmptyTextStoresTheNulAloneCreatingMissingKeys) {
    EXPECT_TRUE(m_key.WriteString(m_scratch.Sub("a\\b").c_str(), "Leer", ""));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(m_scratch.GetRaw("a\\b", "Leer", type, data));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(std::vector<BYTE>{0}, data);
}

TEST_P(RegistryKeyTest, WriteStringStoresTextWithItsNul) {
    EXPECT_TRUE(m_key.WriteString(m_scratch.Path().c_str(), "Tarvolo", "C:\\x y\\t.exe"));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(m_scratch.GetRaw("", "Tarvolo", type, data));
    const std::string expected("C:\\x y\\t.exe", 13);
    EXPECT_EQ(std::vector<BYTE>(expected.begin(), expected.end()), data);
}

TEST_P(RegistryKeyTest, WriteValueKeepsTypeAndBytesAndLeavesTheSourceAlone) {
    CRegistryValue value;
    std::memcpy(value.Allocate(4), FOUR_BYTES, 4);
    value.SetType(REG_BINARY);
    EXPECT_TRUE(m_key.WriteValue(m_scratch.Path().c_str(), "Profile", value));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(m_scratch.GetRaw("", "Profile", type, data));
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_EQ((std::vector<BYTE>(FOUR_BYTES, FOUR_BYTES + 4)), data);
    EXPECT_EQ(4u, value.GetSize());
    EXPECT_EQ(DWORD(REG_BINARY), value.GetType());
}

TEST_P(RegistryKeyTest, DeleteEntryWithANameRemovesOnlyThatValue) {
    ASSERT_TRUE(m_scratch.SetString("", "Gone", "x"));
    ASSERT_TRUE(m_scratch.SetString("", "Stays", "y"));
    EXPECT_TRUE(m_key.DeleteEntry(m_scratch.Path().c_str(), "Gone"));
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_FALSE(m_scratch.GetRaw("", "Gone", type, data));
    EXPECT_TRUE(m_scratch.GetRaw("", "Stays", type, data));
}

TEST_P(RegistryKeyTest, DeleteEntryOfAMissingValueFailsAndLeavesTheKeyAlone) {
    ASSERT_TRUE(m_scratch.SetString("", "Stays", "y"));
    EXPECT_FALSE(m_key.DeleteEntry(m_scratch.Path().c_str(), "Missing"));
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(m_scratch.GetRaw("", "Stays", type, data));
}

TEST_P(RegistryKeyTest, DeleteEntryWithoutANameRemovesATreeTwoLevelsDeep) {
    ASSERT_TRUE(m_scratch.SetString("tree", "top", "1"));
    ASSERT_TRUE(m_scratch.SetString("tree\\a\\a1", "v", "2"));
    ASSERT_TRUE(m_scratch.SetString("tree\\a\\a2", "v", "3"));
    ASSERT_TRUE(m_scratch.CreateKey("tree\\b\\b1"));
    ASSERT_TRUE(m_scratch.CreateKey("sibling"));
    EXPECT_TRUE(m_key.DeleteEntry(m_scratch.Sub("tree").c_str(), nullptr));
    EXPECT_FALSE(m_scratch.KeyExists("tree"));
    EXPECT_TRUE(m_scratch.KeyExists("sibling"));
}

TEST_P(RegistryKeyTest, DeleteEntryOfAMissingKeyFails) {
    EXPECT_FALSE(m_key.DeleteEntry(m_scratch.Sub("absent").c_str(), nullptr));
    EXPECT_FALSE(m_key.DeleteEntry(m_scratch.Sub("absent").c_str(), "value"));
}

TEST_P(RegistryKeyTest, DeleteEntryRefusesToEmptyTheWholeRoot) {
    ASSERT_TRUE(m_scratch.CreateKey("child"));
    EXPECT_FALSE(m_key.DeleteEntry("", nullptr));
    EXPECT_FALSE(m_key.DeleteEntry(nullptr, nullptr));
    EXPECT_TRUE(m_scratch.KeyExists("child"));
}

INSTANTIATE_TEST_SUITE_P(Roots, RegistryKeyTest,
                         ::testing::Values(HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE), RootName);

// The dynamic-data root is volatile: its keys live only as long as the wineserver.
TEST(RegistryKeyDynData, ReadsFourByteStatisticsUnderTheDynamicDataRoot) {
    ScratchKey scratch(HKEY_DYN_DATA, "TarvoloTests");
    ASSERT_TRUE(scratch.SetRaw("", "Dial-Up Adapter\\TotalBytesRecvd", REG_BINARY, FOUR_BYTES, 4,
                               REG_OPTION_VOLATILE));
    CRegistryKey key(HKEY_DYN_DATA);
    DWORD out = 0;
    EXPECT_TRUE(
        key.ReadBinary(scratch.Path().c_str(), "Dial-Up Adapter\\TotalBytesRecvd", &out, 4));
    EXPECT_EQ(10000u, out);
}
