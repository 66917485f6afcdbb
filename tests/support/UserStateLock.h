#pragma once
// Serialises tests that change state shared by every test program of the run: the user's
// desktop, the program's registry values, files beside the test programs. CTest runs test
// cases in parallel processes; they all meet at one named mutex of the Wine session.
#include <windows.h>

class UserStateLock {
public:
    UserStateLock() : m_hMutex(CreateMutexA(nullptr, FALSE, "Tarvolo.Tests.UserState")) {
        if (m_hMutex)
            WaitForSingleObject(m_hMutex, 100000);
    }
    ~UserStateLock() {
        if (m_hMutex) {
            ReleaseMutex(m_hMutex);
            CloseHandle(m_hMutex);
        }
    }
    UserStateLock(const UserStateLock&) = delete;
    UserStateLock& operator=(const UserStateLock&) = delete;

private:
    HANDLE m_hMutex;
};
