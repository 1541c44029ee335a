#include "installer/InstallPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

CInstallPage::CInstallPage(QWidget* parent)
    : QWizardPage(parent)
{
    auto* layout = new QHBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("SidePicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/installer/129.bmp")));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setFrameShape(QFrame::Panel);
    picture->setFrameShadow(QFrame::Sunken);
    picture->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addWidget(picture, 0, Qt::AlignTop);
    m_content = new QVBoxLayout;
    layout->addLayout(m_content, 1);
}
