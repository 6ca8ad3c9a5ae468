#pragma once

// A new file database in a temporary folder for a benchmark, opened by a
// session with user management off.

#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QTemporaryDir>
#include <memory>

struct BenchDatabase
{
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quenzo.ini"))};
    std::unique_ptr<Session> session;

    bool open()
    {
        settings.write(QStringLiteral("Base"), QStringLiteral("Chemin"), dir.filePath(QStringLiteral("bench.qdb")));
        session = std::make_unique<Session>(settings);
        OpenCallbacks create;
        create.confirm = [](const QString &, const QString &) { return true; };
        create.askNewPassword = [] { return std::optional<QString>(QString()); };
        if (!DatabaseOpener(*session).open(true, create))
            return false;
        session->description().geslogin = false;
        return true;
    }
};
