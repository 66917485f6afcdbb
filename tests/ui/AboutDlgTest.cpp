#include "SheetDriver.h"

#include "framework/LoadStringResource.h"
#include "resource.h"
#include "ui/CAboutDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Notes what the user would see, then presses OK the way a click would.
class ObservedAboutDlg : public CAboutDlg {
public:
    std::string caption, name, version;
    bool centred = false;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CAboutDlg::OnInitDialog();
        caption = sheet::Text(m_hWnd);
        name = sheet::Text(GetDlgItem(IDC_PROGRAM_NAME));
        version = sheet::Text(GetDlgItem(IDC_VERSION));
        RECT rc, rcArea;
        GetWindowRect(m_hWnd, &rc);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
        centred = std::abs((rc.left + rc.right) - (rcArea.left + rcArea.right)) <= 2 &&
                  std::abs((rc.top + rc.bottom) - (rcArea.top + rcArea.bottom)) <= 2;
        PostMessageA(GetDlgItem(IDOK), BM_CLICK, 0, 0);
        return result;
    }
};

TEST(AboutDlg, ShowsNameAndVersionAndEndsWithOk) {
    ObservedAboutDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("Info", dlg.caption);
    EXPECT_EQ(fw::LoadStringResource(IDS_PROGRAM_NAME), dlg.name);
    EXPECT_EQ("Version 1.1", dlg.version);
    EXPECT_TRUE(dlg.centred);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

} // namespace
