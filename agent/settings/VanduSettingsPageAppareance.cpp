#include "agent/settings/VanduSettingsPageAppareance.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/ShapeRegion.h"
#include "agent/skin/SkinTable.h"
#include "common/StringTable.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kLcdColourNames[vandu::face::kLcdBackgroundCount] = {"Green", "Blue", "Amber"};

} // namespace

CVanduSettingsPageAppareance::CVanduSettingsPageAppareance(SAgentServices& services, QWidget* parent)
    : CVanduSettingsPage(QStringLiteral("Appearance"), parent)
    , m_services(services)
    , m_skins(new QListWidget(this))
    , m_lcdColours(new QButtonGroup(this))
    , m_previewControl(new QLabel(this))
{
    m_overlay.LoadFromResource(vandu::face::kOverlayBitmap);
    m_logo.LoadFromResource(vandu::face::kVendorBitmap);
    m_lcdColourIndex = services.Settings.GetLCDColor();
    m_skinIndex = services.Settings.GetColor();

    m_skins->setObjectName(QStringLiteral("skins"));
    m_skins->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const vandu::skin::SkinEntry& skin : vandu::skin::kSkins) {
        m_skins->addItem(QString::fromStdString(vandu::strings::LoadResourceString(skin.nameString)));
    }
    auto* skinFrame = new QGroupBox(QStringLiteral("S&kin"), this);
    auto* skinLayout = new QVBoxLayout(skinFrame);
    skinLayout->addWidget(m_skins);
    m_skins->setAccessibleName(QStringLiteral("Skin"));

    auto* lcdFrame = new QGroupBox(QStringLiteral("LCD Color"), this);
    auto* lcdLayout = new QHBoxLayout(lcdFrame);
    for (int index = 0; index < vandu::face::kLcdBackgroundCount; ++index) {
        auto* radio = new QRadioButton(QString::fromLatin1(kLcdColourNames[index]), lcdFrame);
        radio->setObjectName(QStringLiteral("lcd%1").arg(index));
        m_lcdColours->addButton(radio, index);
        lcdLayout->addWidget(radio);
    }
    m_previewControl->setObjectName(QStringLiteral("preview"));
    m_previewControl->setAccessibleName(QStringLiteral("Preview"));
    m_previewControl->setFixedSize(vandu::face::kWindowWidth, vandu::face::kWindowHeight);

    auto* right = new QVBoxLayout;
    right->addWidget(lcdFrame);
    right->addWidget(m_previewControl, 0, Qt::AlignHCenter);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(skinFrame);
    layout->addLayout(right);

    // A stored value outside the lists leaves them without a choice.
    if (QAbstractButton* radio = m_lcdColours->button(m_lcdColourIndex)) {
        radio->setChecked(true);
    }
    if (m_skinIndex >= 0 && m_skinIndex < m_skins->count()) {
        m_skins->setCurrentRow(m_skinIndex);
    }
    connect(m_skins, &QListWidget::itemSelectionChanged, this, &CVanduSettingsPageAppareance::RefreshPreview);
    // Toggled rather than clicked: the arrow keys move the choice without a click.
    connect(m_lcdColours, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            RefreshPreview();
        }
    });
    RefreshPreview();
}

void CVanduSettingsPageAppareance::RefreshPreview()
{
    const QList<QListWidgetItem*> selected = m_skins->selectedItems();
    m_skinIndex = selected.isEmpty() ? -1 : m_skins->row(selected.front());
    m_lcdColourIndex = m_lcdColours->checkedId();
    // No skin chosen, or no LCD colour: the previous picture stays.
    if (m_skinIndex >= 0 && m_skinIndex < vandu::skin::kSkinCount) {
        m_skin.LoadFromResource(vandu::skin::FaceBitmapForColor(m_skinIndex));
    }
    if (const int lcd = vandu::skin::LcdBackgroundForColor(m_lcdColourIndex); lcd != 0) {
        m_lcd.LoadFromResource(lcd);
    }
    m_previewSkinIndex = m_skinIndex;
    DrawPreview();
}

// The window's own layers, clipped to its outline: face, overlay with white see-through, LCD, logo.
void CVanduSettingsPageAppareance::DrawPreview()
{
    if (!m_skin.IsLoaded() || !m_lcd.IsLoaded()) {
        m_preview = QImage();
        m_previewControl->clear();
        return;
    }
    m_preview = QImage(vandu::face::kWindowWidth, vandu::face::kWindowHeight, QImage::Format_ARGB32_Premultiplied);
    m_preview.fill(Qt::transparent);
    QPainter painter(&m_preview);
    painter.setClipRegion(CShapeRegion::MainWindowShape());
    m_skin.Draw(0, 0, painter);
    m_overlay.DrawTransparent(painter, 0, 0);
    m_lcd.Draw(vandu::face::kLcdRect.left, vandu::face::kLcdRect.top, painter);
    m_logo.Draw(vandu::face::kBannerRect.left, vandu::face::kBannerRect.top, painter);
    painter.end();
    m_previewControl->setPixmap(QPixmap::fromImage(m_preview));
}

// Applies what the last preview refresh took from the controls.
void CVanduSettingsPageAppareance::OnOK()
{
    m_services.Settings.SetLCDColor(m_lcdColourIndex);
    m_services.Window.SetLcdColour(m_lcdColourIndex);
    m_services.Settings.SetColor(m_previewSkinIndex);
    m_services.Window.SelectSkin(m_previewSkinIndex);
}
