#pragma once

// CTermsPage: the terms of service (our text resource 130, shown whole in a read-only box) and
// the "Yes, I accept." box, without which Next stays disabled.

#include "installer/InstallPage.h"

class QCheckBox;

class CTermsPage : public CInstallPage {
    Q_OBJECT
public:
    static constexpr const char* kTermsResource = ":/installer/130.txt";

    explicit CTermsPage(QWidget* parent = nullptr);

    bool isComplete() const override;

private:
    QCheckBox* m_check1016;
};
