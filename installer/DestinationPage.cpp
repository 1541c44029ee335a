#include "installer/DestinationPage.h"

#include "installer/InstallPaths.h"
#include "installer/MyPropertySheet.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* WrappedLabel(const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CDestinationPage::CDestinationPage(CMyPropertySheet& sheet, IFileDialogs& dialogs, QWidget* parent)
    : CInstallPage(parent)
    , m_sheet(sheet)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("DestinationPage"));
    Content()->addWidget(WrappedLabel("Vandu will be installed in the following directory. To install to a different "
                                      "directory, click Browse and select another directory",
        this));
    auto* frame = new QGroupBox(QStringLiteral("Destination Directory"), this);
    auto* row = new QHBoxLayout(frame);
    m_static1002 = new QLabel(QStringLiteral("Dir"), frame);
    m_static1002->setObjectName(QStringLiteral("Directory"));
    m_static1002->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_static1002->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* browse = new QPushButton(QStringLiteral("&Browse"), frame);
    browse->setObjectName(QStringLiteral("Browse"));
    browse->setAutoDefault(false);
    row->addWidget(m_static1002, 1);
    row->addWidget(browse);
    Content()->addWidget(frame);
    auto* pitch
        = WrappedLabel("Vandu Ringfold lets you browse the Internet for hours and never miss a phone call.", this);
    pitch->setAlignment(Qt::AlignHCenter);
    QFont bold = pitch->font();
    bold.setBold(true);
    pitch->setFont(bold);
    Content()->addWidget(pitch);
    Content()->addWidget(
        WrappedLabel("When your phone line is tied up with your Internet connection, Vandu Ringfold will "
                     "answer incoming calls. Voice messages will be immediatly played back on your "
                     "computer.",
            this));
    Content()->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &CDestinationPage::OnBrowse);
}

void CDestinationPage::initializePage()
{
    m_directory = m_sheet.InstallDir();
    ShowDirectory();
}

bool CDestinationPage::validatePage()
{
    m_sheet.SetInstallDir(m_directory);
    return true;
}

void CDestinationPage::OnBrowse()
{
    const std::string picked
        = m_dialogs.GetExistingDirectory(kBrowseTitle, vandu::install::BrowseStartFolder(m_directory));
    const std::string directory = vandu::install::BrowsedInstallDir(picked);
    if (!directory.empty()) {
        m_directory = directory;
        ShowDirectory();
    }
}

void CDestinationPage::ShowDirectory()
{
    const QString text = QFile::decodeName(QByteArray::fromStdString(m_directory));
    m_static1002->setText(text);
    m_static1002->setToolTip(text);
}
