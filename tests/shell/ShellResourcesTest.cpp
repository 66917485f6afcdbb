// The tray's resources as the program finds them: menu 130, icons 128, 142 and 143, its strings.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

HINSTANCE Resources() {
    return GetModuleHandleA(nullptr);
}

std::string MenuText(HMENU hMenu, UINT position) {
    char text[128] = "";
    GetMenuStringA(hMenu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU hMenu, UINT position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(hMenu, position, TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

// Widths of the images in an icon group, read from the group's directory as stored.
std::set<int> IconGroupWidths(int id) {
    std::set<int> widths;
    HRSRC resource =
        FindResourceA(Resources(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!resource)
        return widths;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Resources(), resource)));
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    for (WORD i = 0; i < count; ++i) {
        const int width = data[6 + 14 * i];
        widths.insert(width == 0 ? 256 : width);
    }
    return widths;
}

// The colour pixels of a loaded icon as 32-bit values, and its size.
std::vector<DWORD> IconPixels(HICON hIcon, SIZE& size) {
    ICONINFO info = {};
    std::vector<DWORD> pixels;
    if (!GetIconInfo(hIcon, &info))
        return pixels;
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    size = {bitmap.bmWidth, bitmap.bmHeight};
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    pixels.resize(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC hdc = GetDC(nullptr);
    GetDIBits(hdc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hdc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

HICON LoadIcon16(int id) {
    return static_cast<HICON>(
        LoadImageA(Resources(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

std::string LoadString(UINT id) {
    char text[256] = "";
    LoadStringA(Resources(), id, text, sizeof text);
    return text;
}

} // namespace

TEST(ShellResources, TrayMenuHoldsTheGermanItemsInOrder) {
    HMENU hMenu = LoadMenuA(Resources(), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(nullptr, hMenu);
    EXPECT_EQ(1, GetMenuItemCount(hMenu));
    EXPECT_EQ("POPUP", MenuText(hMenu, 0));
    HMENU hPopup = GetSubMenu(hMenu, 0);
    ASSERT_NE(nullptr, hPopup);
    ASSERT_EQ(6, GetMenuItemCount(hPopup));

    const struct {
        UINT id;
        const char* text; // Windows-1252
    } expected[] = {
        {ID_SHOW_LOG, "Logdatei &anzeigen"},
        {ID_DELETE_LOG, "Logdatei &l\xF6schen"},
        {ID_SETTINGS, "&Einstellungen"},
        {ID_APP_ABOUT, "Info..."},
    };
    for (UINT i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i].id, GetMenuItemID(hPopup, i)) << i;
        EXPECT_EQ(expected[i].text, MenuText(hPopup, i)) << i;
    }
    EXPECT_TRUE(IsSeparator(hPopup, 4));
    EXPECT_EQ(UINT(ID_APP_EXIT), GetMenuItemID(hPopup, 5));
    EXPECT_EQ("&Beenden", MenuText(hPopup, 5));
    DestroyMenu(hMenu);
}

// Every image of the three icons in each small-icon size from 100 % to 200 % and the large ones.
const std::set<int> ICON_SIZES = {16, 20, 24, 32, 48};

TEST(ShellResources, TrayImagesComeInEverySizeAndDiffer) {
    EXPECT_EQ(ICON_SIZES, IconGroupWidths(IDI_TRAY_IDLE));
    EXPECT_EQ(ICON_SIZES, IconGroupWidths(IDI_TRAY_ONLINE));
    HICON idle = LoadIcon16(IDI_TRAY_IDLE);
    HICON online = LoadIcon16(IDI_TRAY_ONLINE);
    ASSERT_NE(nullptr, idle);
    ASSERT_NE(nullptr, online);
    SIZE idleSize = {};
    SIZE onlineSize = {};
    const std::vector<DWORD> idlePixels = IconPixels(idle, idleSize);
    const std::vector<DWORD> onlinePixels = IconPixels(online, onlineSize);
    EXPECT_EQ(16, idleSize.cx);
    EXPECT_EQ(16, idleSize.cy);
    EXPECT_EQ(16, onlineSize.cx);
    EXPECT_NE(idlePixels, onlinePixels) << "idle and online must be told apart";
    DestroyIcon(idle);
    DestroyIcon(online);
}

TEST(ShellResources, ProgramIconComesInEverySize) {
    EXPECT_EQ(ICON_SIZES, IconGroupWidths(IDR_MAINFRAME));
    HICON large = static_cast<HICON>(LoadImageA(Resources(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    ASSERT_NE(nullptr, large);
    SIZE size = {};
    IconPixels(large, size);
    EXPECT_EQ(32, size.cx);
    DestroyIcon(large);
}

TEST(ShellResources, TrayStrings) {
    EXPECT_EQ("Tarvolo", LoadString(IDS_APP_TITLE));
    EXPECT_EQ("Tarvolo: %s MByte", LoadString(IDS_TOOLTIP_FORMAT));
}
