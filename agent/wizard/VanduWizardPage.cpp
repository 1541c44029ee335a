#include "agent/wizard/VanduWizardPage.h"

#include "agent/shell/AgentServices.h"
#include "agent/shell/ConnectionState.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/wizard/SignupTexts.h"
#include "common/DisplayText.h"
#include "common/UserPrompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace face = vandu::face;

CVanduWizardPage::CVanduWizardPage(SAgentServices& services, QWidget* parent)
    : QWizardPage(parent)
    , m_services(services)
    , m_body(new QVBoxLayout)
{
    setTitle(QString::fromLatin1(vandu::wizard::kPageTitle));

    CSkinBitmap bitmap;
    bitmap.LoadFromResource(face::kSidePictureBitmap);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap::fromImage(bitmap.Image()));
    picture->setFixedSize(face::kSidePictureWidth, face::kSidePictureHeight);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addSpacing(12);
    layout->addLayout(m_body, 1);
}

QList<QWizard::WizardButton> CVanduWizardPage::ButtonLayout() const
{
    return {QWizard::Stretch, QWizard::BackButton, QWizard::NextButton, QWizard::CancelButton};
}

QLabel* CVanduWizardPage::BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    if (plain.endsWith(QLatin1Char(':'))) {
        plain.chop(1);
    }
    buddy->setAccessibleName(plain);
    return label;
}

QLabel* CVanduWizardPage::StaticText(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QString CVanduWizardPage::FromBytes(const std::string& bytes)
{
    return DisplayText(bytes);
}

std::string CVanduWizardPage::ToBytes(const QString& text)
{
    return text.toStdString();
}

bool CVanduWizardPage::IsInternetReachable() const
{
    return m_services.Reachability.IsInternetReachable();
}

void CVanduWizardPage::Warn(const std::string& text) const
{
    m_services.Prompts.Warn(text);
}
