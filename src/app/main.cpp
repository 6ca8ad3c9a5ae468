#include "core/DatabaseOpener.h"
#include "core/MessageBoxPrompter.h"
#include "core/PanDemarrage.h"
#include "app/Principal.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SingleInstance.h"
#include "core/StartupSettings.h"
#include "vocabulary/LanguageApplier.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Icons chosen for resources and clients are copied here.
void makeIconFolder()
{
    QDir program(QApplication::applicationDirPath());
    if (!program.exists(QStringLiteral("Icones")))
        program.mkdir(QStringLiteral("Icones"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quenzo"));
    QApplication::setApplicationName(QStringLiteral("Quenzo"));
    QApplication::setApplicationVersion(PanDemarrage::versionText());
    // The main window decides when the program ends (it may live as an icon only).
    QApplication::setQuitOnLastWindowClosed(false);

    Settings settings(Settings::defaultFilePath());
    MessageBoxPrompter prompter;

    SingleInstance instance;
    if (!instance.allowStart(prompter))
        return 0;

    Session session(settings);
    const StartupSettings startup = StartupSettings::read(settings);
    if (startup.splashSeconds > 0) {
        PanDemarrage splash(startup.splashSeconds, QApplication::applicationDirPath());
        splash.exec();
    }
    makeIconFolder();

    // The first start just works: an embedded database in the user's data folder.
    const bool firstStart = !QFileInfo::exists(DatabaseOpener::defaultDatabasePath());
    const bool madeDefault = DatabaseOpener::useDefaultDatabaseIfUnset(settings);
    if (madeDefault) {
        OpenCallbacks quiet;
        quiet.confirm = [](const QString &, const QString &) { return true; };
        quiet.askNewPassword = [] { return std::optional<QString>(QString()); };
        prompter.show(DatabaseOpener(session).open(true, quiet));
        session.closeDatabase();
    }

    Principal window(session, prompter);
    prompter.setParent(&window);
    window.applySettings(startup);
    if (!window.usesTrayIcon())
        window.show();
    if (madeDefault && firstStart)
        window.offerFirstStart();
    prompter.show(window.languageApplier()->restore());
    window.logInAtStartup();
    return app.exec();
}
