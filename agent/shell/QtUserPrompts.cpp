#include "agent/shell/QtUserPrompts.h"

#include "agent/shell/DisplayText.h"

#include <QMessageBox>

void CQtUserPrompts::Warn(const std::string& text)
{
    QMessageBox::warning(m_parent, QStringLiteral("Vandu"), DisplayText(text));
}

bool CQtUserPrompts::AskYesNo(const std::string& text)
{
    QMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("Vandu"), DisplayText(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
