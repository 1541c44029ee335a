#pragma once

// The agent's one popup menu ("Menu"), built from the command table: items, separators, accelerator
// texts, and the enabling rules evaluated each time the menu is about to open (from the window,
// the "Show menu" button or the notification area). A chosen item goes out as CommandChosen.

#include "agent/shell/AgentCommands.h"

#include <QMenu>

#include <functional>

class CPopupMenu : public QMenu {
    Q_OBJECT
public:
    // state is asked each time the menu opens.
    explicit CPopupMenu(std::function<vandu::commands::SMenuState()> state, QWidget* parent = nullptr);

    // Applies the enabling rules to the current state (also done when the menu opens).
    void UpdateEnabling();
    // The action of a command id, or null.
    QAction* ActionFor(int commandId) const;

signals:
    void CommandChosen(int commandId);

private:
    std::function<vandu::commands::SMenuState()> m_state;
};
