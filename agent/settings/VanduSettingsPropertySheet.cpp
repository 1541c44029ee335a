#include "agent/settings/VanduSettingsPropertySheet.h"

#include "agent/settings/VanduSettingsPageAppareance.h"
#include "agent/settings/VanduSettingsPageEmailCounter.h"
#include "agent/settings/VanduSettingsPageIdentification.h"
#include "agent/settings/VanduSettingsPageInternet.h"
#include "agent/settings/VanduSettingsPagePreferences.h"
#include "common/StringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CVanduSettingsPropertySheet::CVanduSettingsPropertySheet(
    SAgentServices& services, std::function<std::string()> webBrowser, bool identificationOnly, QWidget* parent)
    : QDialog(parent)
    , m_identificationOnly(identificationOnly)
    , m_tabs(new QTabWidget(this))
    , m_buttons(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, Qt::Horizontal, this))
{
    setWindowTitle(QString::fromStdString(vandu::strings::LoadResourceString(vandu::strings::IDS_PROPERTIES_CAPTION)));
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_identification = new CVanduSettingsPageIdentification(services);
    AddPage(m_identification);
    if (!identificationOnly) {
        m_appearance = new CVanduSettingsPageAppareance(services);
        m_preferences = new CVanduSettingsPagePreferences(services);
        m_emailCounter = new CVanduSettingsPageEmailCounter(services);
        m_internet = new CVanduSettingsPageInternet(services, std::move(webBrowser));
        for (CVanduSettingsPage* page :
            std::initializer_list<CVanduSettingsPage*> {m_appearance, m_preferences, m_emailCounter, m_internet}) {
            AddPage(page);
        }
    }
    m_shown.assign(m_pages.size(), false);
    m_shown[0] = true;

    // Fixed texts, so that no platform theme adds mnemonics that clash with the pages' own.
    QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = m_buttons->button(QDialogButtonBox::Cancel);
    QPushButton* apply = m_buttons->button(QDialogButtonBox::Apply);
    ok->setText(identificationOnly ? QStringLiteral("Close") : QStringLiteral("OK"));
    cancel->setText(QStringLiteral("Cancel"));
    apply->setText(QStringLiteral("Apply"));
    // No page ever marks itself modified.
    apply->setEnabled(false);
    cancel->setEnabled(!identificationOnly);
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    m_identification->setFocus();
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CVanduSettingsPropertySheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CVanduSettingsPropertySheet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CVanduSettingsPropertySheet::OnCurrentChanged);
}

void CVanduSettingsPropertySheet::AddPage(CVanduSettingsPage* page)
{
    m_tabs->addTab(page, page->Title());
    m_pages.push_back(page);
}

CVanduSettingsPage* CVanduSettingsPropertySheet::PageAt(int index) const
{
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[static_cast<size_t>(index)] : nullptr;
}

bool CVanduSettingsPropertySheet::WasShown(int index) const
{
    return index >= 0 && index < static_cast<int>(m_shown.size()) && m_shown[static_cast<size_t>(index)];
}

// The tab widget has already switched: go back to the page being left while it decides, so its
// message appears over it, and move on only when it lets go.
void CVanduSettingsPropertySheet::OnCurrentChanged(int index)
{
    if (m_switching || index == m_current) {
        return;
    }
    m_switching = true;
    m_tabs->setCurrentIndex(m_current);
    CVanduSettingsPage* leaving = PageAt(m_current);
    if (!leaving || leaving->OnKillActive()) {
        m_tabs->setCurrentIndex(index);
        m_current = index;
        m_shown[static_cast<size_t>(index)] = true;
    }
    m_switching = false;
}

void CVanduSettingsPropertySheet::accept()
{
    CVanduSettingsPage* current = PageAt(m_current);
    if (current && !current->OnKillActive()) {
        return;
    }
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_shown[i]) {
            m_pages[i]->OnOK();
        }
    }
    QDialog::accept();
}

// Escape and the window's close button count as Cancel, which identification-only mode disables.
void CVanduSettingsPropertySheet::reject()
{
    if (!m_identificationOnly) {
        QDialog::reject();
    }
}
