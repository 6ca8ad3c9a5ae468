#pragma once

#include "core/PasswordCodec.h"
#include "messaging/MessageStore.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <memory>

// Workstations with a logged-in user on one test database, and what the
// messaging tests write and read through them.
class MessagingFixture
{
public:
    explicit MessagingFixture(const QString &name) : m_db(std::make_unique<TestDatabase>(name)) {}

    TestDatabase &database() { return *m_db; }

    // Empties the database; the workstations opened afterwards see it fresh.
    bool reset()
    {
        m_desks.clear();
        return m_db->makeReady();
    }

    // A workstation named `name` on which `user` is logged in.
    Session &desk(const QString &name, const QString &user)
    {
        auto ws = std::make_unique<Workstation>(*m_db, name);
        const Outcome opened = ws->open();
        if (!opened)
            qWarning("%s", qPrintable(opened.text()));
        ws->session().setUser(user, QString());
        m_desks.push_back(std::move(ws));
        return m_desks.back()->session();
    }
    // Closes a workstation as quitting the program would.
    void close(Session &session)
    {
        std::erase_if(m_desks, [&](const auto &ws) { return &ws->session() == &session; });
    }

    static bool exec(Session &session, const QString &sql)
    {
        if (session.database()->exec(sql))
            return true;
        qWarning("%s: %s", qPrintable(sql), qPrintable(session.database()->lastError()));
        return false;
    }
    static bool addMember(Session &session, const QString &user, int group)
    {
        return exec(session, QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',%2)")
                                 .arg(PasswordCodec::encode(user))
                                 .arg(group));
    }
    static bool addUser(Session &session, const QString &user)
    {
        return insertRow(*session.database(), session.dialect(), QStringLiteral("kp_utilisateurs"),
                         {{QStringLiteral("codeutil"), QLatin1Char('\'') + PasswordCodec::encode(user) + QLatin1Char('\'')},
                          {QStringLiteral("libutil"), QLatin1Char('\'') + PasswordCodec::encode(user) + QLatin1Char('\'')}});
    }
    static bool addCompany(Session &session, qint64 number, const QString &name)
    {
        return insertRow(*session.database(), session.dialect(), QStringLiteral("kp_societes"),
                         {{QStringLiteral("noidsoc"), QString::number(number)},
                          {QStringLiteral("libsoc"), QLatin1Char('\'') + name + QLatin1Char('\'')}});
    }

    // A note to `users`, with everything else plain.
    static OutgoingNote note(const QStringList &users, const QString &title, const QString &text = QStringLiteral("Bonjour"))
    {
        OutgoingNote n;
        n.users = users;
        n.title = title;
        n.text = text;
        return n;
    }

    // The notes a poll at `now` shows on this workstation, by title.
    static QStringList poll(Session &session, const QDateTime &now, QList<Note> *notes = nullptr)
    {
        QList<Note> shown;
        const Outcome outcome = MessageStore::poll(session, now, &shown);
        if (!outcome)
            qWarning("%s", qPrintable(outcome.text() + QLatin1Char(' ') + outcome.dbError()));
        QStringList titles;
        for (const Note &n : std::as_const(shown))
            titles.append(n.title);
        if (notes)
            *notes = shown;
        return titles;
    }

    static QString count(Session &session, const QString &where = QStringLiteral("1 = 1"))
    {
        return scalar(*session.database(), QStringLiteral("select count(*) from kp_messages where ") + where);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::vector<std::unique_ptr<Workstation>> m_desks;
};
