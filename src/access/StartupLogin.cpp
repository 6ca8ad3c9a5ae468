#include "access/StartupLogin.h"

#include "access/Access.h"
#include "core/PasswordCodec.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "vocabulary/Vocabulary.h"

Outcome StartupLogin::run(Session &session, const OpenCallbacks &callbacks, const LoginPanel &panel)
{
    session.setUser(QString(), QString());
    Outcome outcome = DatabaseOpener(session).open(false, callbacks);
    if (!outcome)
        return outcome;
    return outcome.merge(logIn(session, panel));
}

Outcome StartupLogin::logIn(Session &session, const LoginPanel &panel)
{
    Outcome outcome = Access::ensureAdministrator(session);
    if (!outcome)
        return outcome;
    session.setUser(QString(), QString());
    session.setAdministrator(false);
    // Locks left by this workstation when it last stopped without closing its screens.
    outcome.merge(RecordLocks::releaseAll(session));
    if (!outcome)
        return outcome;

    if (session.description().geslogin) {
        Settings &settings = session.settings();
        const QString connect = QStringLiteral("Connect");
        if (settings.read(connect, QStringLiteral("Auto"), QStringLiteral("0")) == QLatin1String("0")) {
            if (!panel || !panel())
                return Outcome::failure(QStringLiteral("Annulation"), QStringLiteral("Opération annulée"));
        } else {
            const QString code = PasswordCodec::decode(settings.read(connect, QStringLiteral("Login")));
            const QString password = PasswordCodec::decode(settings.read(connect, QStringLiteral("Mdp")));
            if (!Access::logIn(session, code, password))
                return Outcome::failure(QStringLiteral("Erreur"),
                                        QStringLiteral("Votre Login ou votre mot de passe est incorrect"));
        }
    }
    // Words that cannot be read are reported; the built-in ones stay in force.
    const Outcome words = Vocabulary::load(session);
    for (const Message &m : words.messages())
        outcome.notice(m.title, m.text);
    return outcome;
}
