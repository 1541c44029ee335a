#include "agent/settings/VanduSettingsPage.h"

#include "common/DisplayText.h"

#include <QFile>
#include <QLabel>

CVanduSettingsPage::CVanduSettingsPage(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_title(title)
{
    setAccessibleName(title);
}

QLabel* CVanduSettingsPage::BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(Plain(text));
    return label;
}

QString CVanduSettingsPage::Plain(const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    if (plain.endsWith(QLatin1Char(':'))) {
        plain.chop(1);
    }
    return plain;
}

QString CVanduSettingsPage::FromBytes(const std::string& bytes)
{
    return DisplayText(bytes);
}

std::string CVanduSettingsPage::ToBytes(const QString& text)
{
    return text.toStdString();
}

QString CVanduSettingsPage::FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string CVanduSettingsPage::ToPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
