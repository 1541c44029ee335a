#pragma once

// How the main window runs its modal dialogs, behind an interface: a dialog's buttons are the
// user's answer, the edge of the machine, so tests look at the dialog and answer instead of
// entering its event loop.

#include <QDialog>

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Returns the dialog's result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;
};

class CModalDialogRunner : public IDialogRunner {
public:
    int Exec(QDialog& dialog) override { return dialog.exec(); }
};
