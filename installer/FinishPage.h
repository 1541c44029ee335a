#pragma once

// CFinishPage: entering it performs the installation; it then offers Finish (and Cancel), both
// of which start the agent.

#include "installer/InstallPage.h"

class CMyPropertySheet;

class CFinishPage : public CInstallPage {
    Q_OBJECT
public:
    explicit CFinishPage(CMyPropertySheet& sheet, QWidget* parent = nullptr);

    void initializePage() override;

private:
    CMyPropertySheet& m_sheet;
};
