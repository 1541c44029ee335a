#include "common/QtUserPrompts.h"

#include "common/DisplayText.h"

#include <QMessageBox>

namespace {

int ShowBox(QWidget* parent, const QString& title, QMessageBox::Icon icon, const std::string& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, DisplayText(text), buttons, parent);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

void CQtUserPrompts::Warn(const std::string& text)
{
    ShowBox(m_parent, m_title, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void CQtUserPrompts::Inform(const std::string& text)
{
    ShowBox(m_parent, m_title, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

void CQtUserPrompts::Stop(const std::string& text)
{
    ShowBox(m_parent, m_title, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool CQtUserPrompts::AskYesNo(const std::string& text)
{
    return ShowBox(m_parent, m_title, QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}
