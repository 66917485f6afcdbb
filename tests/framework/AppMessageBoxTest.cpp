#include "support/MessageCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(AppMessageBox, CapturedBoxCarriesTextStyleAndAnswer) {
    MessageCapture capture(IDNO);
    EXPECT_EQ(IDNO, fw::AppMessageBox("Frage ?", MB_YESNO | MB_ICONQUESTION));
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("Frage ?", capture.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), capture.Messages()[0].style);
}

TEST(AppMessageBox, NestedCaptureRestoresOuterHandler) {
    MessageCapture outer;
    {
        MessageCapture inner;
        fw::AppMessageBox("inner");
        EXPECT_EQ(1u, inner.Messages().size());
    }
    fw::AppMessageBox("outer");
    ASSERT_EQ(1u, outer.Messages().size());
    EXPECT_EQ("outer", outer.Messages()[0].text);
}

TEST(AppMessageBox, CaptionIsTarvolo) {
    EXPECT_EQ("Tarvolo", fw::AppTitle());
}
