#pragma once

// What every page of the signup wizard has: the wizard's title, the side picture on its left, the
// agent's services, and the wizard buttons shown while the page is current.

#include <QList>
#include <QWizard>
#include <QWizardPage>

#include <string>

struct SAgentServices;
class QLabel;
class QVBoxLayout;

class CVanduWizardPage : public QWizardPage {
    Q_OBJECT
public:
    CVanduWizardPage(SAgentServices& services, QWidget* parent);

    // The wizard's buttons while this page is current: Back, Next and Cancel unless the page says
    // otherwise. A page without Cancel cannot be left by Escape or by closing the window either.
    virtual QList<QWizard::WizardButton> ButtonLayout() const;

protected:
    SAgentServices& Services() const { return m_services; }
    // The page's own controls go here, right of the picture.
    QVBoxLayout* Body() const { return m_body; }

    // A label for a control: its buddy, and the control's accessible name without the ":".
    static QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
    // A wrapped static text, never read as markup (some of it comes from the service).
    static QLabel* StaticText(const QString& text, QWidget* parent);
    static QString FromBytes(const std::string& bytes);
    static std::string ToBytes(const QString& text);

    bool IsInternetReachable() const;
    void Warn(const std::string& text) const;

private:
    SAgentServices& m_services;
    QVBoxLayout* m_body;
};
