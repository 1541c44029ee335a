#include "agent/settings/VanduSettingsPagePreferences.h"

#include "agent/audio/SoundPlayerInterface.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "common/FileDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CVanduSettingsPagePreferences::CVanduSettingsPagePreferences(SAgentServices& services, QWidget* parent)
    : CVanduSettingsPage(QStringLiteral("Preferences"), parent)
    , m_services(services)
    , m_topMost(new QCheckBox(QStringLiteral("Always on &top"), this))
    , m_sound(new QCheckBox(QStringLiteral("&Sound"), this))
    , m_popUp(new QCheckBox(QStringLiteral("&Pop up window on new message arrival"), this))
    , m_wavePath(new QLineEdit(this))
    , m_automaticPlay(new QCheckBox(QStringLiteral("&Automatic play"), this))
    , m_nonCompressed(new QCheckBox(QStringLiteral("Non compressed voice message (does not require codec GSM 6.10)\n"
                                                   "Check this option if you can not listen to your voice messages."),
          this))
    , m_play(new QPushButton(QStringLiteral("Pla&y"), this))
    , m_browse(new QPushButton(QStringLiteral("&Browse..."), this))
{
    m_topMost->setObjectName(QStringLiteral("topMost"));
    m_sound->setObjectName(QStringLiteral("sound"));
    m_popUp->setObjectName(QStringLiteral("popUp"));
    m_wavePath->setObjectName(QStringLiteral("wavePath"));
    m_automaticPlay->setObjectName(QStringLiteral("automaticPlay"));
    m_nonCompressed->setObjectName(QStringLiteral("nonCompressed"));
    m_nonCompressed->setAccessibleName(QStringLiteral("Non compressed voice message"));
    m_nonCompressed->setAccessibleDescription(m_nonCompressed->text());
    m_play->setObjectName(QStringLiteral("play"));
    m_browse->setObjectName(QStringLiteral("browse"));
    for (QPushButton* button : {m_play, m_browse}) {
        button->setAutoDefault(false);
    }

    const CSettingsStore& settings = services.Settings;
    m_topMost->setChecked(settings.GetTopMost());
    m_sound->setChecked(settings.GetBeep());
    m_popUp->setChecked(settings.GetBringUpNewMsg());
    m_wavePath->setText(FromPath(settings.GetWaveNewMsg()));
    m_automaticPlay->setChecked(settings.GetAutomaticPlay());
    m_nonCompressed->setChecked(settings.GetAudioType() != 0);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_topMost, 0, 0, 1, 3);
    layout->addWidget(m_sound, 1, 0, 1, 3);
    layout->addWidget(BuddyLabel(QStringLiteral("&Wave for new message"), m_wavePath, this), 2, 0, 1, 3);
    layout->addWidget(m_wavePath, 3, 0);
    layout->addWidget(m_play, 3, 1);
    layout->addWidget(m_browse, 3, 2);
    layout->addWidget(m_popUp, 4, 0, 1, 3);
    layout->addWidget(m_automaticPlay, 5, 0, 1, 3);
    layout->addWidget(m_nonCompressed, 6, 0, 1, 3);
    layout->setRowStretch(7, 1);
    layout->setColumnStretch(0, 1);

    connect(m_play, &QPushButton::clicked, this, &CVanduSettingsPagePreferences::OnPlay);
    connect(m_browse, &QPushButton::clicked, this, &CVanduSettingsPagePreferences::OnBrowse);
}

// Unlike the new-message alert, a file that cannot be opened is not replaced by the chime here:
// the user hears that the chosen file does not play.
void CVanduSettingsPagePreferences::OnPlay()
{
    const std::string path = ToPath(m_wavePath->text());
    if (path.empty()) {
        m_services.Player.PlayBuiltIn(kBuiltInChime);
    } else {
        m_services.Player.PlayFile(path);
    }
}

// The dialog must leave the current directory alone: the message folder is relative to it.
void CVanduSettingsPagePreferences::OnBrowse()
{
    const std::string chosen = m_services.Files.GetOpenFileName("Open", ToPath(m_wavePath->text()), kWaveFilter);
    if (!chosen.empty()) {
        m_wavePath->setText(FromPath(chosen));
    }
}

void CVanduSettingsPagePreferences::OnOK()
{
    CSettingsStore& settings = m_services.Settings;
    settings.SetBeep(m_sound->isChecked() ? 1 : 0);
    settings.SetBringUpNewMsg(m_popUp->isChecked() ? 1 : 0);
    settings.SetTopMost(m_topMost->isChecked() ? 1 : 0);
    m_services.Window.SetTopMost(m_topMost->isChecked());
    settings.SetAutomaticPlay(m_automaticPlay->isChecked() ? 1 : 0);
    settings.SetWaveNewMsg(ToPath(m_wavePath->text()));
    settings.SetAudioType(m_nonCompressed->isChecked() ? 1 : 0);
}
