#pragma once
// The options page "Verlauf": the days of the current billing period as a chart, the use
// against the limit with a forecast to the next billing day as a line of text, and the use of
// the periods before. It only shows: nothing to apply. The figures are asked of the host when
// the page is first shown and whenever the frame has new ones; never before the page is opened.
#include "framework/CPropertyPage.h"
#include "ui/HistoryFigures.h"
#include "ui/OptionsHost.h"

class CHistoryPpg : public CPropertyPage {
public:
    explicit CHistoryPpg(COptionsHost& host);

    // Asks the host for the figures and shows them, where the page is on screen.
    void Refresh();
    BOOL OnSetActive() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void Show();
    void DrawChart(const DRAWITEMSTRUCT& item) const;

    COptionsHost& m_host;
    HistoryFigures m_figures;
};
