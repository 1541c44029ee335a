#include "common/Names.h"
#include "common/QtFileDialogs.h"
#include "common/QtSettingsBackend.h"
#include "common/QtUserPrompts.h"
#include "installer/InstallApp.h"
#include "installer/QtProcessStarter.h"
#include "installer/UserFolders.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    app.setApplicationName(QString::fromLatin1(vandu::names::kInstallerProgram));
    CQtSettingsBackend backend;
    CSettingsStore settings(backend, [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? std::pair {screen->size().width(), screen->size().height()} : std::pair {1024, 768};
    });
    // Boxes carry the program's name as their title.
    CQtUserPrompts prompts(nullptr, QString::fromLatin1(vandu::names::kInstallerProgram));
    CQtFileDialogs dialogs;
    CQtProcessStarter launcher;
    SInstallContext context {backend, settings, prompts, dialogs, launcher, vandu::install::CurrentEnvironment()};
    return CInstallApp(context).Run();
}
