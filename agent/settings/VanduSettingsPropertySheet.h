#pragma once

// "Vandu Properties": the settings sheet with its five pages (Identification, Appearance,
// Preferences, Email Counter, Internet). OK asks the current page whether it may be left, then
// lets every page that was shown write its values back, in page order; a page never shown writes
// nothing. Cancel writes nothing. In identification-only mode the sheet holds the first page
// alone and can be left only through its OK, which reads "Close".
//
// Usage: CVanduSettingsPropertySheet sheet(services, webBrowser, identificationOnly);
//        if (sheet.exec() == QDialog::Accepted) { repaint }

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

struct SAgentServices;
class CVanduSettingsPage;
class CVanduSettingsPageAppareance;
class CVanduSettingsPageEmailCounter;
class CVanduSettingsPageIdentification;
class CVanduSettingsPageInternet;
class CVanduSettingsPagePreferences;
class QDialogButtonBox;
class QTabWidget;

class CVanduSettingsPropertySheet : public QDialog {
    Q_OBJECT
public:
    // webBrowser: what the Internet page shows as the browser (the browser launcher's GetWebBrowser).
    CVanduSettingsPropertySheet(SAgentServices& services, std::function<std::string()> webBrowser,
        bool identificationOnly = false, QWidget* parent = nullptr);

    bool IsIdentificationOnly() const { return m_identificationOnly; }
    QTabWidget* Tabs() const { return m_tabs; }
    QDialogButtonBox* Buttons() const { return m_buttons; }
    // A page counts as shown once its tab was current; the first one always is.
    bool WasShown(int index) const;

    // The pages; all but the first are null in identification-only mode.
    CVanduSettingsPageIdentification* Identification() const { return m_identification; }
    CVanduSettingsPageAppareance* Appearance() const { return m_appearance; }
    CVanduSettingsPagePreferences* Preferences() const { return m_preferences; }
    CVanduSettingsPageEmailCounter* EmailCounter() const { return m_emailCounter; }
    CVanduSettingsPageInternet* Internet() const { return m_internet; }

public slots:
    void accept() override;
    void reject() override;

private slots:
    void OnCurrentChanged(int index);

private:
    void AddPage(CVanduSettingsPage* page);
    CVanduSettingsPage* PageAt(int index) const;

    bool m_identificationOnly;
    QTabWidget* m_tabs;
    QDialogButtonBox* m_buttons;
    CVanduSettingsPageIdentification* m_identification = nullptr;
    CVanduSettingsPageAppareance* m_appearance = nullptr;
    CVanduSettingsPagePreferences* m_preferences = nullptr;
    CVanduSettingsPageEmailCounter* m_emailCounter = nullptr;
    CVanduSettingsPageInternet* m_internet = nullptr;
    std::vector<CVanduSettingsPage*> m_pages;
    std::vector<bool> m_shown;
    int m_current = 0;
    bool m_switching = false;
};
