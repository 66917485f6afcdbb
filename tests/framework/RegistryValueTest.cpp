#include "framework/CRegistryValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Puts raw bytes of the given type into value, as a registry read would.
void Fill(CRegistryValue& value, DWORD type, const void* data, DWORD cb) {
    std::memcpy(value.Allocate(cb), data, cb);
    value.SetType(type);
}

void FillText(CRegistryValue& value, DWORD type, const std::string& bytes) {
    Fill(value, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

} // namespace

TEST(RegistryValue, StartsEmpty) {
    CRegistryValue value;
    EXPECT_EQ(nullptr, value.GetData());
    EXPECT_EQ(0u, value.GetSize());
    EXPECT_EQ(0u, value.GetType());
}

TEST(RegistryValue, TextConstructorHoldsTextAndNulAsRegSz) {
    CRegistryValue value("abc");
    EXPECT_EQ(DWORD(REG_SZ), value.GetType());
    ASSERT_EQ(4u, value.GetSize());
    EXPECT_EQ(0, std::memcmp("abc", value.GetData(), 4));
}

TEST(RegistryValue, SetStringOfMissingTextIsTheNulAlone) {
    CRegistryValue value("old text");
    value.SetString(nullptr, TRUE);
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), value.GetType());
    ASSERT_EQ(1u, value.GetSize());
    EXPECT_EQ(0, value.GetData()[0]);
}

TEST(RegistryValue, AllocateReplacesTheBlockAndFreeDataEmptiesIt) {
    CRegistryValue value("long enough text");
    BYTE* block = value.Allocate(3);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(block, value.GetData());
    EXPECT_EQ(3u, value.GetSize());
    value.FreeData();
    EXPECT_EQ(nullptr, value.GetData());
    EXPECT_EQ(0u, value.GetSize());
}

TEST(RegistryValue, GetBinaryTakesOnlyBinaryKindsOfTheExactSize) {
    const BYTE bytes[4] = {0x78, 0x56, 0x34, 0x12};
    for (DWORD type :
         {DWORD(REG_BINARY), DWORD(REG_RESOURCE_LIST), DWORD(REG_FULL_RESOURCE_DESCRIPTOR)}) {
        CRegistryValue value;
        Fill(value, type, bytes, 4);
        DWORD out = 0;
        EXPECT_TRUE(value.GetBinary(&out, 4)) << type;
        EXPECT_EQ(0x12345678u, out) << type;
    }
    CRegistryValue value;
    Fill(value, REG_BINARY, bytes, 4);
    BYTE wide[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_FALSE(value.GetBinary(wide, 8));
    EXPECT_FALSE(value.GetBinary(wide, 3));
    value.SetType(REG_DWORD);
    EXPECT_FALSE(value.GetBinary(wide, 4));
    for (BYTE b : wide)
        EXPECT_EQ(0xEE, b);
}

TEST(RegistryValue, GetStringArrayListsEveryStringOfAMultiSz) {
    CRegistryValue value;
    FillText(value, REG_MULTI_SZ, std::string("eins\0zwei\0drei\0\0", 16));
    std::vector<std::string> array{"stale"};
    EXPECT_TRUE(value.GetStringArray(array));
    EXPECT_EQ((std::vector<std::string>{"eins", "zwei", "drei"}), array);
}

TEST(RegistryValue, GetStringArrayStopsAtTheEndOfAnUnterminatedBlock) {
    CRegistryValue value;
    FillText(value, REG_MULTI_SZ, std::string("eins\0zw", 7));
    std::vector<std::string> array;
    EXPECT_TRUE(value.GetStringArray(array));
    EXPECT_EQ((std::vector<std::string>{"eins", "zw"}), array);
}

TEST(RegistryValue, GetStringArrayRefusesOtherTypes) {
    CRegistryValue value("single");
    std::vector<std::string> array{"kept"};
    EXPECT_FALSE(value.GetStringArray(array));
    EXPECT_EQ(std::vector<std::string>{"kept"}, array);
}

TEST(RegistryValue, GetStringOfTextKindsIsTheTextUpToItsNul) {
    for (DWORD type : {DWORD(REG_SZ), DWORD(REG_EXPAND_SZ), DWORD(REG_LINK)}) {
        CRegistryValue value;
        FillText(value, type, std::string("%TEMP%\\x\0rest", 13));
        std::string text;
        EXPECT_TRUE(value.GetString(text)) << type;
        EXPECT_EQ("%TEMP%\\x", text) << type;
    }
}

TEST(RegistryValue, GetStringOfTextWithoutNulEndsAtTheBlock) {
    CRegistryValue value;
    FillText(value, REG_SZ, "abc");
    std::string text;
    EXPECT_TRUE(value.GetString(text));
    EXPECT_EQ("abc", text);
}

TEST(RegistryValue, GetStringOfMultiSzIsItsFirstString) {
    CRegistryValue value;
    FillText(value, REG_MULTI_SZ, std::string("erste\0zweite\0\0", 15));
    std::string text;
    EXPECT_TRUE(value.GetString(text));
    EXPECT_EQ("erste", text);

    FillText(value, REG_MULTI_SZ, std::string("\0\0", 2));
    text = "kept";
    EXPECT_FALSE(value.GetString(text));
    EXPECT_EQ("kept", text);
}

TEST(RegistryValue, GetStringRefusesNumbersAndBinaries) {
    const DWORD number = 7;
    CRegistryValue value;
    std::string text = "kept";
    Fill(value, REG_DWORD, &number, 4);
    EXPECT_FALSE(value.GetString(text));
    Fill(value, REG_BINARY, "ab\0", 3);
    EXPECT_FALSE(value.GetString(text));
    EXPECT_EQ("kept", text);
}
