#pragma once

// CDestinationPage: shows the install directory (static 1002) and lets the user pick another
// parent folder with "&Browse" (the folder dialog "Choose a Program Group"); "Vandu" is added to
// the folder picked. Next hands the directory to the sheet.

#include "installer/InstallPage.h"

#include <string>

class CMyPropertySheet;
class IFileDialogs;
class QLabel;

class CDestinationPage : public CInstallPage {
    Q_OBJECT
public:
    static constexpr const char* kBrowseTitle = "Choose a Program Group";

    CDestinationPage(CMyPropertySheet& sheet, IFileDialogs& dialogs, QWidget* parent = nullptr);

    void initializePage() override;
    bool validatePage() override;

private:
    void OnBrowse();
    void ShowDirectory();

    CMyPropertySheet& m_sheet;
    IFileDialogs& m_dialogs;
    std::string m_directory;
    QLabel* m_static1002;
};
