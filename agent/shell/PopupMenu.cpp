#include "agent/shell/PopupMenu.h"

using vandu::commands::kPopupMenu;
using vandu::commands::SMenuItem;

CPopupMenu::CPopupMenu(std::function<vandu::commands::SMenuState()> state, QWidget* parent)
    : QMenu(QStringLiteral("Menu"), parent)
    , m_state(std::move(state))
{
    for (const SMenuItem& item : kPopupMenu) {
        if (item.id == 0) {
            addSeparator();
            continue;
        }
        QString text = QString::fromLatin1(item.text);
        // QMenu shows what follows a tab as the accelerator text, right-aligned.
        if (item.accelerator) {
            text += QLatin1Char('\t') + QString::fromLatin1(item.accelerator);
        }
        QAction* action = addAction(text);
        action->setData(item.id);
        connect(action, &QAction::triggered, this, [this, id = item.id] { emit CommandChosen(id); });
    }
    connect(this, &QMenu::aboutToShow, this, &CPopupMenu::UpdateEnabling);
}

void CPopupMenu::UpdateEnabling()
{
    const vandu::commands::SMenuState state = m_state ? m_state() : vandu::commands::SMenuState {};
    for (QAction* action : actions()) {
        if (!action->isSeparator()) {
            action->setEnabled(vandu::commands::IsEnabled(vandu::commands::RuleOf(action->data().toInt()), state));
        }
    }
}

QAction* CPopupMenu::ActionFor(int commandId) const
{
    for (QAction* action : actions()) {
        if (!action->isSeparator() && action->data().toInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}
