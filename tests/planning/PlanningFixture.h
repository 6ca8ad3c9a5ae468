#pragma once

// Small plannings written row by row, for the planning tests.

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <QTest>

class PlanningData
{
public:
    explicit PlanningData(Session &session) : m_session(session) {}

    Database &db() { return *m_session.database(); }
    const Dialect &dialect() const { return m_session.dialect(); }

    QString text(const QString &value) const { return QLatin1Char('\'') + sqlText(value) + QLatin1Char('\''); }
    QString at(const QDate &day, int hour, int minute = 0) const
    {
        return dialect().dateTimeValue(QDateTime(day, QTime(hour, minute)));
    }

    bool resource(qint64 noid, const QString &label, int kind = 0, int background = 0xFFFFFF)
    {
        return insertRow(db(), dialect(), QStringLiteral("kp_ressources"),
                         {{"noid", QString::number(noid)}, {"libelle", text(label)}, {"typeressource", QString::number(kind)},
                          {"coulfond", QString::number(background)}});
    }
    // kind 0 company (label = libsoc), 1 individual (label = nomcont).
    bool client(qint64 noid, const QString &label, int kind = 0, const QHash<QString, QString> &more = {})
    {
        QHash<QString, QString> values = more;
        values.insert(QStringLiteral("noidsoc"), QString::number(noid));
        values.insert(QStringLiteral("typesoc"), QString::number(kind));
        values.insert(kind == 0 ? QStringLiteral("libsoc") : QStringLiteral("nomcont"), text(label));
        return insertRow(db(), dialect(), QStringLiteral("kp_societes"), values);
    }
    bool taskType(qint64 noid, const QString &label, int background, int foreground = 0)
    {
        return insertRow(db(), dialect(), QStringLiteral("kp_taches"),
                         {{"noidtache", QString::number(noid)}, {"libtache", text(label)},
                          {"coulfond", QString::number(background)}, {"coultexte", QString::number(foreground)}});
    }
    // A task header; `more` overrides columns (SQL literals).
    bool task(qint64 noid, qint64 type, const QHash<QString, QString> &more = {})
    {
        QHash<QString, QString> values = {{"noid", QString::number(noid)}, {"noidtache", QString::number(type)},
                                          {"urgence", "'/'"}, {"codeprojet", "'/'"}, {"codeconge", "'/'"},
                                          {"commentaire", text(QStringLiteral("Tâche %1").arg(noid))}};
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            values.insert(it.key(), it.value());
        return insertRow(db(), dialect(), QStringLiteral("kp_taches_desc"), values);
    }
    bool line(qint64 noid, int line, const QDateTime &start, const QDateTime &end)
    {
        return insertRow(db(), dialect(), QStringLiteral("kp_taches_dates"),
                         {{"noid", QString::number(noid)}, {"noiddate", QString::number(line)},
                          {"datedeb", dialect().dateTimeValue(start)}, {"datefin", dialect().dateTimeValue(end)},
                          {"nbjours", "1"}, {"nbheures", "0"}});
    }
    bool link(qint64 noid, qint64 resource)
    {
        return db().exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,%2)").arg(noid).arg(resource));
    }
    bool linkClient(qint64 noid, qint64 client)
    {
        return db().exec(QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (%1,%2)").arg(noid).arg(client));
    }
    // A task on one day, from one hour to another, for a resource and a client (0: none).
    bool simple(qint64 noid, qint64 type, qint64 resource, const QDate &day, int from, int to, qint64 clientNo = 0,
                const QHash<QString, QString> &more = {})
    {
        return task(noid, type, more) && line(noid, 1, QDateTime(day, QTime(from, 0)), QDateTime(day, QTime(to % 24, 0)).addDays(to / 24))
               && (resource == 0 || link(noid, resource)) && (clientNo == 0 || linkClient(noid, clientNo));
    }

private:
    Session &m_session;
};
