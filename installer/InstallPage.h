#pragma once

// What the four installer pages share: the side picture (bitmap 129) at the left edge and the
// page caption, with the page's own controls to the right.

#include <QWizardPage>

class QVBoxLayout;

class CInstallPage : public QWizardPage {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Vandu Version 4.2 Installation Program";

    explicit CInstallPage(QWidget* parent = nullptr);

protected:
    QVBoxLayout* Content() const { return m_content; }

private:
    QVBoxLayout* m_content;
};
