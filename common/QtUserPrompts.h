#pragma once

// The real message boxes: QMessageBox with the program's title.

#include "common/UserPrompts.h"

#include <QString>

class QWidget;

class CQtUserPrompts : public IUserPrompts {
public:
    explicit CQtUserPrompts(QWidget* parent = nullptr, QString title = QStringLiteral("Vandu"))
        : m_parent(parent)
        , m_title(std::move(title))
    {
    }
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Warn(const std::string& text) override;
    void Inform(const std::string& text) override;
    void Stop(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    QWidget* m_parent;
    QString m_title;
};
