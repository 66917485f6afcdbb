#include "framework/CRegKey.h"

#include "support/ScratchKey.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

namespace {

// Each row acts on a key opened for reading on a scratch key that holds the value "v" and the
// subkey "child"; moves go to other.
struct KeyRow {
    const char* name;
    LONG (*act)(fw::CRegKey& key, fw::CRegKey& other);
    LONG status;
    bool keyHeld;
    bool firstHandleOpen; // the handle the key held before the act
};

bool IsOpen(HKEY handle) {
    DWORD type = 0;
    DWORD size = 0;
    return RegQueryValueExA(handle, "v", nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

class CRegKeyTest : public ::testing::TestWithParam<KeyRow> {};

} // namespace

TEST_P(CRegKeyTest, PassesTheSystemsStatusAndOwnsWhatItShould) {
    const ScratchKey scratch(HKEY_CURRENT_USER);
    ASSERT_TRUE(scratch.SetString("", "v", "text"));
    ASSERT_TRUE(scratch.CreateKey("child"));
    fw::CRegKey key, other;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, scratch.Path().c_str(), KEY_READ));
    const HKEY first = key.Get();
    EXPECT_EQ(GetParam().status, GetParam().act(key, other));
    EXPECT_EQ(GetParam().keyHeld, static_cast<bool>(key));
    EXPECT_EQ(GetParam().firstHandleOpen, IsOpen(first));
}

INSTANTIATE_TEST_SUITE_P(
    Acts, CRegKeyTest,
    ::testing::Values(
        KeyRow{"QueryIntoTooLittleRoom",
               [](auto& key, auto&) {
                   char data[2];
                   DWORD type = 0, size = sizeof data;
                   return key.QueryValue("v", type, data, size);
               },
               ERROR_MORE_DATA, true, true},
        KeyRow{"SetOnAKeyOpenedForReading",
               [](auto& key, auto&) { return key.SetValue("v", REG_SZ, "", 1); },
               ERROR_ACCESS_DENIED, true, true},
        KeyRow{"FailedOpenClosesTheKeyHeld",
               [](auto& key, auto&) { return key.Open(key.Get(), "absent", KEY_READ); },
               ERROR_FILE_NOT_FOUND, false, false},
        KeyRow{"OpenBelowItsOwnKey",
               [](auto& key, auto&) { return key.Open(key.Get(), "child", KEY_READ); },
               ERROR_SUCCESS, true, false},
        KeyRow{"MoveToAnother",
               [](auto& key, auto& other) { return other = std::move(key), LONG{ERROR_SUCCESS}; },
               ERROR_SUCCESS, false, true}),
    RowName());
