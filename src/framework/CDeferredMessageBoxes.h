#pragma once
// Reports that must not stop the work they report on. While a Scope is alive, the message boxes
// of this thread that only report (an OK button, nothing to decide) are kept instead of shown;
// ShowWhenIdle shows them once the thread's message loop runs, so that the program goes on
// working while they are up. A box that asks, or that precedes the end of the program, is shown
// at once as always: the code around it does not open a scope for it.
#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class CDeferredMessageBoxes {
public:
    CDeferredMessageBoxes() = default;
    // What was never shown is dropped with it: the work it reported on did not go on.
    ~CDeferredMessageBoxes();
    CDeferredMessageBoxes(const CDeferredMessageBoxes&) = delete;
    CDeferredMessageBoxes& operator=(const CDeferredMessageBoxes&) = delete;

    // Keeps the reports of its lifetime in boxes; scopes nest.
    class Scope {
    public:
        explicit Scope(CDeferredMessageBoxes& boxes);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CDeferredMessageBoxes* m_pPrevious;
    };

    // Shows the kept boxes, one after the other, from the thread's message loop.
    void ShowWhenIdle();
    bool IsEmpty() const { return m_boxes.empty(); }

    // For AppMessageBox: keeps the box if a scope is open and the box only reports.
    static bool KeepIfDeferred(const std::string& text, unsigned style);

private:
    struct BOX {
        std::string text;
        unsigned style;
    };

    static void CALLBACK OnTimer(HWND hWnd, UINT message, UINT_PTR nIDEvent, DWORD dwTime);
    void StopTimer();
    void ShowAll();

    std::vector<BOX> m_boxes;
    UINT_PTR m_nTimer = 0;
};

} // namespace fw
