// Texts come out of the string table in the bytes of Windows-1252, whatever the code page.
#include "framework/LoadStringResource.h"
#include "framework/RegisterWindowClass.h"
#include "resource.h"

#include <gtest/gtest.h>

TEST(StringResource, GermanLettersComeAsCp1252Bytes) {
    EXPECT_EQ("Der Zugriff auf das DF\xDC-Netzwerk ist fehlgeschlagen!",
              fw::LoadStringResource(IDS_RAS_FAILED));
    EXPECT_EQ("Tarvolo - Einstellungen", fw::LoadStringResource(IDS_SHEET_CAPTION));
    EXPECT_EQ("Tarvolo", fw::LoadStringResource(IDS_APP_TITLE));
}

TEST(StringResource, NeighboursInOneBlockAreToldApart) {
    // 128 to 139 share the resource block of 16 strings from 128 on.
    EXPECT_EQ("tarvolo.hlp", fw::LoadStringResource(IDS_HELP_FILE));
    EXPECT_EQ("Tarvolo.lnk", fw::LoadStringResource(IDS_SHORTCUT_FILE));
    EXPECT_EQ("Tarvolo: %s MByte", fw::LoadStringResource(IDS_TOOLTIP_FORMAT));
}

TEST(StringResource, MissingStringIsEmptyAndReportedAsMissing) {
    std::string text = "unchanged";
    EXPECT_FALSE(fw::TryLoadStringResource(133, text));   // a gap in a block that exists
    EXPECT_FALSE(fw::TryLoadStringResource(40000, text)); // a block that does not
    EXPECT_EQ("unchanged", text);
    EXPECT_EQ("", fw::LoadStringResource(133));
    EXPECT_TRUE(fw::TryLoadStringResource(IDS_PROGRAM_NAME, text));
    EXPECT_EQ("Tarvolo", text);
}

TEST(WindowClassRegistration, SecondRegistrationOfAClassSucceeds) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "fwtest:RegisteredTwice";
    EXPECT_TRUE(fw::RegisterWindowClass(windowClass));
    EXPECT_TRUE(fw::RegisterWindowClass(windowClass));
    EXPECT_TRUE(UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance));
    EXPECT_FALSE(UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance));
}

TEST(WindowClassRegistration, FrameClassIsRegisteredOnce) {
    const char* name = fw::FrameWindowClassName();
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(name, fw::FrameWindowClassName());
    WNDCLASSA info;
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), name, &info));
}
