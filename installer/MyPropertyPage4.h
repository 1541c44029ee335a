#pragma once

// CMyPropertyPage4: how the computer connects to the Internet. The three choices keep the indexes
// of InternetConnectionType (0 LAN/DSL/direct, 1 modem, 2 AOL) in their tab order, the modem drawn
// at the top; the stored type is preselected. Next without a choice asks for one.

#include "installer/InstallPage.h"

class CMyPropertySheet;
class ISettingsBackend;
class IUserPrompts;
class QButtonGroup;

class CMyPropertyPage4 : public CInstallPage {
    Q_OBJECT
public:
    CMyPropertyPage4(
        CMyPropertySheet& sheet, ISettingsBackend& backend, IUserPrompts& prompts, QWidget* parent = nullptr);

    bool validatePage() override;

private:
    CMyPropertySheet& m_sheet;
    IUserPrompts& m_prompts;
    QButtonGroup* m_choices;
};
