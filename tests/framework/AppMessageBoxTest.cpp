#include "framework/CDeferredMessageBoxes.h"
#include "support/MessageCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

} // namespace

// A report during a scope waits for the message loop and comes in its order; a question is
// asked at once; what the loop never showed goes with its owner.
TEST(DeferredMessageBoxes, ReportsWaitForTheMessageLoopQuestionsDoNot) {
    MessageCapture capture(IDNO);
    {
        fw::CDeferredMessageBoxes deferred;
        {
            const fw::CDeferredMessageBoxes::Scope scope(deferred);
            EXPECT_EQ(IDOK, fw::AppMessageBox("eins", MB_ICONEXCLAMATION));
            EXPECT_EQ(IDNO, fw::AppMessageBox("Frage ?", MB_YESNO | MB_ICONQUESTION));
            fw::AppMessageBox("zwei");
        }
        EXPECT_EQ(std::vector<std::string>{"Frage ?"}, capture.Texts());
        fw::AppMessageBox("danach");
        deferred.ShowWhenIdle();
        EXPECT_EQ(2u, capture.Messages().size()); // not before the loop runs
        PumpMessages();
        EXPECT_EQ((std::vector<std::string>{"Frage ?", "danach", "eins", "zwei"}), capture.Texts());
        EXPECT_EQ(unsigned(MB_ICONEXCLAMATION), capture.Messages()[2].style);
        EXPECT_TRUE(deferred.IsEmpty());

        fw::CDeferredMessageBoxes dropped;
        {
            const fw::CDeferredMessageBoxes::Scope scope(dropped);
            fw::AppMessageBox("nie");
        }
    }
    PumpMessages();
    EXPECT_EQ(4u, capture.Messages().size());
}
