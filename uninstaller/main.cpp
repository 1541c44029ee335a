#include "common/Names.h"
#include "common/QtFileDialogs.h"
#include "common/QtSettingsBackend.h"
#include "common/QtUserPrompts.h"
#include "installer/QtProcessStarter.h"
#include "installer/UserFolders.h"
#include "uninstaller/UninstallApp.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    app.setApplicationName(QString::fromLatin1(vandu::names::kUninstallerProgram));
    CQtSettingsBackend backend;
    CSettingsStore settings(backend, [] { return std::pair {1024, 768}; });
    // Boxes carry the program's name as their title.
    CQtUserPrompts prompts(nullptr, QString::fromLatin1(vandu::names::kUninstallerProgram));
    CQtFileDialogs dialogs;
    CQtProcessStarter launcher;
    SInstallContext context {backend, settings, prompts, dialogs, launcher, {}};
    context.Environment.Folders = vandu::install::CurrentShellFolders();
    return CUninstallApp(context).Run();
}
