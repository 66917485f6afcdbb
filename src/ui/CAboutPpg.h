#pragma once
// The options page "Info": the program's icon, name, version and notice. It edits nothing.
#include "framework/CPropertyPage.h"

class CAboutPpg : public CPropertyPage {
public:
    CAboutPpg();

    // Marks the page unchanged and applies nothing.
    BOOL OnApply() override;

protected:
    BOOL OnInitDialog() override;
};
