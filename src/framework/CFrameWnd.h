#pragma once
// A frame window: closing destroys it, the application's main frame ends the message loop when
// it goes, commands not handled by the frame go on to the application, and popup menus ask the
// frame which of their commands are enabled.
#include "framework/CCmdUI.h"
#include "framework/CWnd.h"

// The frame's title is to carry the document name; meaningless without documents, but part of
// the frame's customary style.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;

    // Frames live on the heap and delete themselves once their window is gone; a frame held
    // elsewhere clears this before it is created.
    BOOL m_bAutoDelete = TRUE;

    // Creates the frame, without a menu, with the title (the text up to the first line feed of
    // string nIDResource). On failure the object has had its PostNcDestroy (so a self-deleting
    // frame is gone).
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, void* pContext = nullptr);

protected:
    // Without a class of its own the frame gets the framework's frame class.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    // WM_CLOSE: destroys the window.
    virtual void OnClose();

    // A command for the frame: TRUE when handled; otherwise the application is asked.
    virtual BOOL OnCmdMsg(UINT nID);

    // A menu item about to be shown: TRUE when the frame decided about it; otherwise the
    // application is asked, and an item nobody decides about keeps its state.
    virtual BOOL OnUpdateCmdUI(CCmdUI& cmdUI);

private:
    void UpdateMenuItems(HMENU hMenu);
};
