#pragma once

// The Preferences page: how a new message is announced (sound, wave file, pop-up, automatic play),
// whether the window stays on top, and whether voice messages come uncompressed.

#include "agent/settings/VanduSettingsPage.h"

struct SAgentServices;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CVanduSettingsPagePreferences : public CVanduSettingsPage {
    Q_OBJECT
public:
    // The built-in new-message chime, played when no wave file is given.
    static constexpr int kBuiltInChime = 171;
    static constexpr const char* kWaveFilter = "Wave files (*.wav)";

    explicit CVanduSettingsPagePreferences(SAgentServices& services, QWidget* parent = nullptr);

    void OnOK() override;

private slots:
    void OnPlay();
    void OnBrowse();

private:
    SAgentServices& m_services;
    QCheckBox* m_topMost;
    QCheckBox* m_sound;
    QCheckBox* m_popUp;
    QLineEdit* m_wavePath;
    QCheckBox* m_automaticPlay;
    QCheckBox* m_nonCompressed;
    QPushButton* m_play;
    QPushButton* m_browse;
};
