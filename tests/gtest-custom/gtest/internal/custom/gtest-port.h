// GoogleTest's own place for a port's settings, found before the one of its sources.
// The win32 thread model of the cross compiler has no std::mutex or std::condition_variable,
// on which GoogleTest's Notification is built; its locks and threads are Win32 already, and
// this Notification is a manual-reset Win32 event.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_hEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() {
        if (m_hEvent)
            CloseHandle(m_hEvent);
    }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_hEvent); }
    void WaitForNotification() { WaitForSingleObject(m_hEvent, INFINITE); }

private:
    HANDLE m_hEvent;
};

} // namespace internal
} // namespace testing

#endif // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
