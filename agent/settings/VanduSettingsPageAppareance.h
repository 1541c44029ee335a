#pragma once

// The Appearance page: the skin (the Color setting, in the skin table's order), the LCD colour,
// and a preview drawn like the main window. OK applies both to the running window.

#include "agent/settings/VanduSettingsPage.h"
#include "agent/skin/SkinBitmap.h"

#include <QImage>

struct SAgentServices;
class QButtonGroup;
class QLabel;
class QListWidget;

class CVanduSettingsPageAppareance : public CVanduSettingsPage {
    Q_OBJECT
public:
    explicit CVanduSettingsPageAppareance(SAgentServices& services, QWidget* parent = nullptr);

    void OnOK() override;

    // The preview as last drawn: empty until both a skin and an LCD colour have been loaded.
    const QImage& PreviewImage() const { return m_preview; }
    int PreviewSkinIndex() const { return m_previewSkinIndex; }

private slots:
    void RefreshPreview();

private:
    void DrawPreview();

    SAgentServices& m_services;
    QListWidget* m_skins;
    QButtonGroup* m_lcdColours;
    QLabel* m_previewControl;
    int m_lcdColourIndex = -1;
    int m_skinIndex = -1;
    int m_previewSkinIndex = -1;
    CSkinBitmap m_skin;
    CSkinBitmap m_lcd;
    CSkinBitmap m_overlay;
    CSkinBitmap m_logo;
    QImage m_preview;
};
