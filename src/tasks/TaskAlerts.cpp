#include "tasks/TaskAlerts.h"

#include "core/PasswordCodec.h"
#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDateTime>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString WriteError = QStringLiteral("Erreur lors de la mise à jour des alertes");

QString stored(const QString &code) { return sqlText(PasswordCodec::encode(code.trimmed()), QStringLiteral("/")); }

} // namespace

const QList<TaskAlerts::Offset> &TaskAlerts::offsets()
{
    static const QList<Offset> list = [] {
        QList<Offset> l = {{QStringLiteral("Pas d'alerte"), std::nullopt}};
        for (int m : {0, 2, 5, 10, 15, 30, 45})
            l.append({QString::number(m) + QStringLiteral(" min"), m});
        for (int h = 1; h <= 12; ++h)
            l.append({QString::number(h) + QStringLiteral(" h"), h * 60});
        l.append({QStringLiteral("1 jour"), 1440});
        for (int d = 2; d <= 7; ++d)
            l.append({QString::number(d) + QStringLiteral(" jours"), d * 1440});
        return l;
    }();
    return list;
}

int TaskAlerts::offsetIndex(std::optional<int> minutes)
{
    const QList<Offset> &list = offsets();
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).minutes == minutes)
            return i;
    return 0;
}

Outcome TaskAlerts::readChoices(Database &db, QList<Choice> *choices)
{
    const QString error = QStringLiteral("Erreur lors de la lecture des utilisateurs");
    ResultSet users, groups;
    if (!db.query(QStringLiteral("select codeutil,libutil,'U' as aaa from kp_utilisateurs"), users)
        || !db.query(QStringLiteral(" select nogroupe,codegroupe,'G' as aaa from kp_groupes"), groups))
        return Outcome::failure(Error, error, db.lastError());
    choices->clear();
    for (int r = 0; r < users.rowCount(); ++r)
        choices->append({false, PasswordCodec::decode(users.value(r, 0)), PasswordCodec::decode(users.value(r, 1))});
    for (int r = 0; r < groups.rowCount(); ++r)
        choices->append({true, groups.value(r, 0), PasswordCodec::decode(groups.value(r, 1))});
    return Outcome::success();
}

ListRequest TaskAlerts::recipientRequest(const QList<Choice> &listed, const QString &caption)
{
    QList<qint64> groups;
    QStringList users;
    for (const Choice &c : listed) {
        if (c.group)
            groups.append(c.key.toLongLong());
        else
            users.append(QLatin1Char('\'') + sqlText(PasswordCodec::encode(c.key)) + QLatin1Char('\''));
    }
    ListRequest request(caption,
                        QStringLiteral("Select 'GROUPE',codegroupe,nogroupe from kp_groupes where nogroupe not in (")
                            + numberList(groups, QStringLiteral("-1"))
                            + QStringLiteral(") union  select 'UTILISATEUR',libutil,codeutil from kp_utilisateurs where codeutil not in (")
                            + (users.isEmpty() ? QStringLiteral("''") : users.join(QLatin1Char(','))) + QLatin1Char(')'));
    request.addColumn(QStringLiteral("Type"), 1600, QStringLiteral("SPEGROUPE"));
    request.addColumn(QStringLiteral("Libellé"), 3000, QStringLiteral("*"));
    request.addColumn(QStringLiteral("Code"), 0, QStringLiteral("L"));
    return request;
}

TaskAlerts::Choice TaskAlerts::choiceFrom(const ListAnswer &answer)
{
    const bool group = answer.text(0) == QLatin1String("GROUPE");
    return {group, group ? answer.text(2) : PasswordCodec::decode(answer.text(2)), answer.text(1)};
}

Outcome TaskAlerts::expandRecipients(Database &db, const QStringList &users, const QList<int> &groups, QStringList *codes)
{
    QStringList result;
    // Compared encoded, as the membership table holds them.
    QStringList seen;
    auto add = [&](const QString &plain) {
        const QString code = plain.trimmed();
        const QString key = PasswordCodec::encode(code);
        if (code.isEmpty() || seen.contains(key))
            return;
        seen.append(key);
        result.append(code);
    };
    for (const QString &u : users)
        add(u);
    if (!groups.isEmpty()) {
        ResultSet members;
        if (!db.query(QStringLiteral("select distinct codeutil from kp_utilgroupe where nogroupe in (")
                          + numberList(QList<qint64>(groups.cbegin(), groups.cend())) + QLatin1Char(')'),
                      members))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des groupes"), db.lastError());
        for (int r = 0; r < members.rowCount(); ++r)
            add(PasswordCodec::decode(members.value(r, 0)));
    }
    if (result.isEmpty())
        return Outcome::failure(Error, QStringLiteral("Vous n'allez envoyer le message à personne !!!"));
    *codes = result;
    return Outcome::success();
}

Outcome TaskAlerts::load(Database &db, qint64 task, Alert *alert)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid,ecart,typealerte,noidtype,commentaire, codeutil,datecreat,codeutilcreat from  "
                                 "kp_alertes where noid = ")
                      + QString::number(task),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des alertes"), db.lastError());
    *alert = Alert();
    if (rows.isEmpty())
        return Outcome::success();
    alert->minutes = rows.toInt(0, 1);
    const QString comment = rows.value(0, 4);
    alert->comment = comment == QLatin1String("/") ? QString() : comment;
    for (int r = 0; r < rows.rowCount(); ++r)
        alert->rows.append({PasswordCodec::decode(rows.value(r, 5)), PasswordCodec::decode(rows.value(r, 7)), rows.value(r, 6)});
    return Outcome::success();
}

Outcome TaskAlerts::write(Session &session, qint64 task, std::optional<int> minutes, const QString &comment,
                          const QStringList &recipients)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, WriteError);
    // A task's alert is numbered like the task.
    const QString N = QString::number(task);
    const QString &A = N;

    QStringList codes;
    for (const QString &r : recipients)
        if (!r.trimmed().isEmpty() && !codes.contains(stored(r)))
            codes.append(stored(r));
    if (minutes && codes.isEmpty())
        return Outcome::failure(Error, QStringLiteral("Vous n'allez envoyer le message à personne !!!"));

    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(Error, WriteError, db->lastError());
    auto run = [&](const QString &sql) { return db->exec(sql); };
    auto failed = [&] { return Outcome::failure(Error, WriteError, db->lastError()); };

    if (!minutes) {
        if (!run(QStringLiteral("delete from kp_alertes where noid = ") + A)
            || !run(QStringLiteral("update kp_taches_desc set noalerte = 0 where noid = ") + N))
            return failed();
    } else {
        const QString offset = QString::number(*minutes);
        const QString text = sqlText(comment, QStringLiteral("/"));
        if (!run(QStringLiteral("delete from kp_alertes where noid = ") + A + QStringLiteral(" and codeutil not in ('")
                 + codes.join(QStringLiteral("','")) + QStringLiteral("')")))
            return failed();
        const QDateTime now = QDateTime::currentDateTime();
        const QString created = session.dialect().dateTimeValue(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
        for (const QString &code : codes) {
            ResultSet existing;
            if (!db->query(QStringLiteral("select noid from kp_alertes where noid = ") + A + QStringLiteral(" and  codeutil = '")
                               + code + QLatin1Char('\''),
                           existing))
                return failed();
            const QString sql = existing.isEmpty()
                ? QStringLiteral("insert into kp_alertes(noid,ecart,typealerte,noidtype,noidsecond,commentaire, codeutil,"
                                 "datecreat,codeutilcreat) values (")
                      + A + QLatin1Char(',') + offset + QStringLiteral(", 'TACHE', ") + N + QStringLiteral(", 0, '") + text
                      + QStringLiteral("', '") + code + QStringLiteral("', ") + created + QStringLiteral(", '")
                      + stored(session.userCode()) + QStringLiteral("')")
                : QStringLiteral("update kp_alertes set  noidtype = ") + N + QStringLiteral(", commentaire = '") + text
                      + QStringLiteral("', ecart  = ") + offset + QStringLiteral(" where  noid = ") + A
                      + QStringLiteral(" and  codeutil = '") + code + QLatin1Char('\'');
            if (!run(sql))
                return failed();
        }
        if (!run(QStringLiteral("update kp_taches_desc set noalerte = ") + A + QStringLiteral(" where noid = ") + N))
            return failed();
    }
    if (!transaction.commit())
        return failed();
    return Outcome::success();
}

Outcome TaskAlerts::removeForTask(Database &db, qint64 task)
{
    if (!db.exec(QStringLiteral("delete from kp_alertes where noidtype = ") + QString::number(task)
                 + QStringLiteral(" and typealerte = 'TACHE'")))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression"), db.lastError());
    return Outcome::success();
}
