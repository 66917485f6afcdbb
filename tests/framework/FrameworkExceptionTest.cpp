// The frame's start-up tells two failures apart: a missing resource, reported with the
// framework's text, and a failure already explained to the user, reported no more.
#include "framework/CResourceException.h"
#include "framework/CUserException.h"
#include "support/MessageCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(FrameworkExceptions, ResourceExceptionReportsTheFrameworkText) {
    MessageCapture capture;
    try {
        throw CResourceException();
    } catch (const CException& e) {
        EXPECT_EQ(IDOK, e.ReportError(MB_OK));
    }
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("A required resource was unavailable.", capture.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_OK), capture.Messages()[0].style);
}

TEST(FrameworkExceptions, UserExceptionIsACExceptionWithNothingToSay) {
    bool caught = false;
    try {
        throw CUserException();
    } catch (const CUserException&) {
        caught = true;
    } catch (const CException&) {
    }
    EXPECT_TRUE(caught);
    const CException& base = CUserException();
    EXPECT_EQ("", base.GetErrorMessage());
}
