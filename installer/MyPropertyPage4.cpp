#include "installer/MyPropertyPage4.h"

#include "agent/settings/SettingsBackend.h"
#include "common/Names.h"
#include "common/StringTable.h"
#include "common/UserPrompts.h"
#include "installer/MyPropertySheet.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CMyPropertyPage4::CMyPropertyPage4(
    CMyPropertySheet& sheet, ISettingsBackend& backend, IUserPrompts& prompts, QWidget* parent)
    : CInstallPage(parent)
    , m_sheet(sheet)
    , m_prompts(prompts)
    , m_choices(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("ConnectionPage"));
    Content()->addWidget(new QLabel(QStringLiteral("How are you connected to the Internet?"), this));
    auto* lan = new QRadioButton(QStringLiteral("LAN, DSL, &Direct connection"), this);
    auto* modem = new QRadioButton(QStringLiteral("&STANDARD modem  (Windows dial-up)"), this);
    auto* aol = new QRadioButton(QStringLiteral("&AOL"), this);
    lan->setObjectName(QStringLiteral("Lan"));
    modem->setObjectName(QStringLiteral("Modem"));
    aol->setObjectName(QStringLiteral("Aol"));
    m_choices->addButton(lan, 0);
    m_choices->addButton(modem, 1);
    m_choices->addButton(aol, 2);
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(modem), static_cast<QAbstractButton*>(lan),
             static_cast<QAbstractButton*>(aol)}) {
        Content()->addWidget(button);
    }
    setTabOrder(lan, modem);
    setTabOrder(modem, aol);
    Content()->addStretch(1);
    // A missing or unreadable value means no choice; so does one outside the three.
    const int stored = backend.ReadInt(vandu::names::value::InternetConnectionType).value_or(-1);
    if (QAbstractButton* button = m_choices->button(stored)) {
        button->setChecked(true);
    }
}

bool CMyPropertyPage4::validatePage()
{
    const int type = m_choices->checkedId();
    if (type == -1) {
        m_prompts.Warn(vandu::strings::LoadResourceString(vandu::strings::IDS_SELECT_CONNECTION));
        return false;
    }
    m_sheet.SetConnectionType(type);
    return true;
}
