// Window objects must see their window from its first message to its last, even when the
// window class names DefWindowProcA as its procedure (as the single-instance class does).
#include "framework/CMemoryException.h"
#include "framework/CResourceException.h"
#include "framework/CUserException.h"
#include "framework/CWnd.h"
#include "support/MessageCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

const char kPlainClass[] = "fwtest:DefWindowProc";

void RegisterPlainClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kPlainClass;
    RegisterClassA(&windowClass); // fails harmlessly when an earlier test registered it
}

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> messages;
    HWND hwndAtNcCreate = nullptr;
    void* createParam = nullptr;
    int createResult = 0;
    std::function<void()> throwInCreate;
    bool refusePreCreate = false;
    int postNcDestroyCalls = 0;
    HWND childMadeInCreate = nullptr;
    RecordingWnd* nestedObject = nullptr;

    BOOL Create(const char* className = kPlainClass, void* param = nullptr) {
        return CreateEx(0, className, "Probe", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                        param);
    }

protected:
    BOOL PreCreateWindow(CREATESTRUCTA&) override { return !refusePreCreate; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_NCCREATE)
            hwndAtNcCreate = m_hWnd;
        return CWnd::WindowProc(message, wParam, lParam);
    }

    int OnCreate(CREATESTRUCTA* cs) override {
        createParam = cs->lpCreateParams;
        if (throwInCreate)
            throwInCreate();
        if (nestedObject)
            nestedObject->Create();
        childMadeInCreate = CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 10, 10, m_hWnd,
                                            nullptr, GetModuleHandleA(nullptr), nullptr);
        return createResult;
    }

    void PostNcDestroy() override { ++postNcDestroyCalls; }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterPlainClass(); }
};

int IndexOf(const std::vector<UINT>& messages, UINT message) {
    for (size_t i = 0; i < messages.size(); ++i)
        if (messages[i] == message)
            return static_cast<int>(i);
    return -1;
}

} // namespace

TEST_F(WindowTest, CreationMessagesReachTheObjectOfADefWindowProcClass) {
    RecordingWnd wnd;
    int param = 0;
    ASSERT_TRUE(wnd.Create(kPlainClass, &param));
    ASSERT_NE(nullptr, wnd.m_hWnd);
    int ncCreate = IndexOf(wnd.messages, WM_NCCREATE);
    int create = IndexOf(wnd.messages, WM_CREATE);
    ASSERT_GE(ncCreate, 0);
    EXPECT_GT(create, ncCreate);
    EXPECT_EQ(wnd.m_hWnd, wnd.hwndAtNcCreate);
    EXPECT_EQ(&param, wnd.createParam);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
}

TEST_F(WindowTest, DestructionDetachesAndEndsWithOnePostNcDestroy) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(1, wnd.postNcDestroyCalls);
    EXPECT_EQ(UINT(WM_NCDESTROY), wnd.messages.back());
    EXPECT_FALSE(wnd.DestroyWindow());
}

TEST_F(WindowTest, EveryFailedCreationEndsWithOnePostNcDestroy) {
    RecordingWnd refused;
    refused.createResult = -1;
    EXPECT_FALSE(refused.Create());
    EXPECT_EQ(nullptr, refused.m_hWnd);
    EXPECT_EQ(1, refused.postNcDestroyCalls);
    EXPECT_EQ(UINT(WM_NCDESTROY), refused.messages.back());

    RecordingWnd unknownClass;
    EXPECT_FALSE(unknownClass.Create("fwtest:NoSuchClass"));
    EXPECT_EQ(1, unknownClass.postNcDestroyCalls);
    EXPECT_TRUE(unknownClass.messages.empty());

    RecordingWnd vetoed;
    vetoed.refusePreCreate = true;
    EXPECT_FALSE(vetoed.Create());
    EXPECT_EQ(1, vetoed.postNcDestroyCalls);
    EXPECT_TRUE(vetoed.messages.empty());
}

TEST_F(WindowTest, ExceptionInAHandlerRefusesTheWindowAndIsReportedByKind) {
    const struct {
        std::function<void()> thrower;
        std::vector<std::string> reports;
    } cases[] = {
        {[] { throw CResourceException(); }, {"A required resource was unavailable."}},
        {[] { throw CUserException(); }, {}}, // the user has been told already
        {[] { throw std::bad_alloc(); }, {CMemoryException().GetErrorMessage()}},
        {[] { throw std::runtime_error("creation went wrong"); }, {"Internal application error."}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        MessageCapture capture;
        RecordingWnd wnd;
        wnd.throwInCreate = cases[i].thrower;
        EXPECT_FALSE(wnd.Create()) << i;
        EXPECT_EQ(1, wnd.postNcDestroyCalls) << i;
        EXPECT_EQ(cases[i].reports, capture.Texts()) << i;
        for (const auto& box : capture.Messages())
            EXPECT_EQ(unsigned(MB_ICONEXCLAMATION), box.style);
    }
}

TEST_F(WindowTest, WindowsMadeDuringCreationBelongToTheirOwnObjects) {
    RecordingWnd nested;
    RecordingWnd outer;
    outer.nestedObject = &nested;
    ASSERT_TRUE(outer.Create());
    ASSERT_NE(nullptr, nested.m_hWnd);
    EXPECT_NE(outer.m_hWnd, nested.m_hWnd);
    EXPECT_EQ(&nested, CWnd::FromHandlePermanent(nested.m_hWnd));
    EXPECT_EQ(&outer, CWnd::FromHandlePermanent(outer.m_hWnd));
    ASSERT_NE(nullptr, outer.childMadeInCreate);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(outer.childMadeInCreate));
    EXPECT_EQ(outer.m_hWnd, GetParent(outer.childMadeInCreate));
}

TEST_F(WindowTest, WindowsCreatedAfterwardsAreNotTakenOver) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    size_t seen = wnd.messages.size();
    HWND plain = CreateWindowExA(0, kPlainClass, "plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
    DestroyWindow(plain);
    EXPECT_EQ(seen, wnd.messages.size());
}

TEST_F(WindowTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hWnd = nullptr;
    {
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.Create());
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
}
