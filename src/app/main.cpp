#include "core/DatabaseOpener.h"
#include "core/MessageBoxPrompter.h"
#include "core/Principal.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quenzo"));
    QApplication::setApplicationName(QStringLiteral("Quenzo"));

    Settings settings(Settings::defaultFilePath());
    // The first start just works: an embedded database in the user's data folder.
    const bool firstStart = DatabaseOpener::useDefaultDatabaseIfUnset(settings);

    Session session(settings);
    Principal window(session);
    MessageBoxPrompter prompter(&window);

    OpenCallbacks callbacks;
    callbacks.confirm = [&](const QString &title, const QString &text) { return prompter.ask(title, text); };
    callbacks.askPassword = [&]() -> std::optional<QString> {
        bool ok = false;
        const QString password = QInputDialog::getText(&window, QStringLiteral("Mot de passe"),
                                                       QStringLiteral("Mot de passe de la base de données :"),
                                                       QLineEdit::Password, QString(), &ok);
        return ok ? std::optional<QString>(password) : std::nullopt;
    };
    if (firstStart) {
        callbacks.confirm = [](const QString &, const QString &) { return true; };
        callbacks.askNewPassword = []() -> std::optional<QString> { return QString(); };
    }

    DatabaseOpener opener(session);
    prompter.show(opener.open(firstStart, callbacks));
    window.updateTitle();
    window.show();
    return app.exec();
}
