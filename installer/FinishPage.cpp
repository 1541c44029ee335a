#include "installer/FinishPage.h"

#include "installer/MyPropertySheet.h"

#include <QLabel>
#include <QVBoxLayout>

CFinishPage::CFinishPage(CMyPropertySheet& sheet, QWidget* parent)
    : CInstallPage(parent)
    , m_sheet(sheet)
{
    setObjectName(QStringLiteral("FinishPage"));
    auto* label
        = new QLabel(QStringLiteral("Congratulations!, Vandu has been succesfully installed on your computer.\n\n"
                                    "Make sure you are connected to the Internet before you click finish and "
                                    "launch Vandu Ringfold."),
            this);
    label->setWordWrap(true);
    Content()->addWidget(label);
    Content()->addStretch(1);
}

void CFinishPage::initializePage()
{
    m_sheet.PerformInstallation();
}
