#pragma once

// CUninstallDialog: asks once; OK removes the settings, the three agent entries and the uninstall
// entry, never a program file or a message, and tells which directory may now be deleted. Cancel
// is the default button and has the focus, so Enter cancels.

#include "installer/InstallContext.h"

#include <QDialog>

class QPushButton;

class CUninstallDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Vandu Uninstall Program";
    static constexpr const char* kText = "This program will uninstall Vandu from your computer.\n\nPress OK to "
                                         "uninstall Vandu.\nPress Cancel to abort.";

    explicit CUninstallDialog(SInstallContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnOK();

    SInstallContext& m_context;
    QPushButton* m_cancel;
};
