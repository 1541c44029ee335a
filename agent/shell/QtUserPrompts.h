#pragma once

// The real message boxes of the agent.

#include "agent/shell/UserPrompts.h"

class QWidget;

class CQtUserPrompts : public IUserPrompts {
public:
    explicit CQtUserPrompts(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    void Warn(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    QWidget* m_parent;
};
