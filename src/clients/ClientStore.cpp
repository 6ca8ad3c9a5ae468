#include "clients/ClientStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDateTime>

namespace {

const QString Error = QStringLiteral("Erreur");

// The text columns of kp_societes, in their order on the row.
struct TextColumn
{
    const char *column;
    QString Client::*member;
};
const TextColumn TextColumns[] = {
    {"libsoc", &Client::name},       {"groupesoc", &Client::group},   {"secteursoc", &Client::sector},
    {"prenomcont", &Client::firstName}, {"nomcont", &Client::surname}, {"adrsoc", &Client::address},
    {"adrcompsoc", &Client::complement}, {"cpsoc", &Client::postcode}, {"villesoc", &Client::town},
    {"payssoc", &Client::country},   {"etatsoc", &Client::state},     {"telsoc", &Client::phone},
    {"mobsoc", &Client::mobile},     {"faxsoc", &Client::fax},        {"mailsoc", &Client::mail},
    {"websoc", &Client::web},        {"commentsoc", &Client::comment},
};
constexpr int TextCount = int(std::size(TextColumns));

QString writeError(Session &session, int type)
{
    const Entity e = ClientStore::entityOf(type);
    return QStringLiteral("Erreur lors de la mise à jour de ") + session.terms().article(e) + session.terms().singular(e);
}

} // namespace

Entity ClientStore::entityOf(int type)
{
    return type == Client::Individual ? Entity::Particulier : Entity::Societe;
}

Outcome ClientStore::vanished(Session &session, int type)
{
    const Entity e = entityOf(type);
    const Terms &terms = session.terms();
    return Outcome::failure(QStringLiteral("Disparition"),
                            QStringLiteral("Ce") + terms.demonstrativeEnding(e) + terms.singular(e)
                                + (type == Client::Individual ? QStringLiteral(" n'existe plus !!") : QStringLiteral(" n'existe plus ! ")));
}

Outcome ClientStore::checkExists(Session &session, qint64 number, int type)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidsoc from kp_societes where noidsoc = %1").arg(number), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Client),
                                db.lastError());
    return rows.isEmpty() ? vanished(session, type) : Outcome::success();
}

Outcome ClientStore::load(Session &session, qint64 number, int type, Client *c)
{
    Database &db = *session.database();
    QStringList columns;
    for (const TextColumn &t : TextColumns)
        columns.append(QLatin1String(t.column));
    ResultSet rows, free;
    if (!db.query(QStringLiteral("select ") + columns.join(QLatin1Char(','))
                      + QStringLiteral(",typesoc,sexecont,dtnaisscont,coulfond,coultexte,nomico,cloture,noidzone from kp_societes "
                                       "where noidsoc = ")
                      + QString::number(number),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Client),
                                db.lastError());
    if (rows.isEmpty())
        return vanished(session, type);
    if (!db.query(QStringLiteral("select ch1,ch2,ch3,ch4,ch5,ch6,ch7,tb1,tb2,tb3,tb4 from kp_libresoc where noidsoc = %1").arg(number),
                  free))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des champs libres"), db.lastError());
    *c = Client();
    c->number = number;
    for (int i = 0; i < TextCount; ++i)
        c->*(TextColumns[i].member) = slashToEmpty(rows.value(0, i));
    int col = TextCount;
    c->type = rows.toInt(0, col++);
    c->civility = rows.toInt(0, col++);
    const QDate birth = parseDbDateTime(rows.value(0, col++)).date();
    c->birth = birth.year() > 1900 ? birth : QDate();
    c->background = rows.toInt(0, col++);
    c->text = rows.toInt(0, col++);
    c->icon = rows.isNull(0, col) ? QString() : slashToEmpty(rows.value(0, col));
    ++col;
    c->closed = rows.toInt(0, col++) != 0;
    c->zone = rows.toLongLong(0, col++);
    if (!free.isEmpty()) {
        for (int i = 0; i < 7; ++i)
            c->freeTexts[i] = slashToEmpty(free.value(0, i));
        for (int i = 0; i < 4; ++i)
            c->freeCodes[i] = slashToEmpty(free.value(0, 7 + i));
    }
    return Outcome::success();
}

QString ClientStore::incompleteText(Session &session, const Client &c)
{
    if (c.type == Client::Individual)
        return c.surname.trimmed().isEmpty() && c.firstName.trimmed().isEmpty()
                   ? QStringLiteral("Vous devez d'abord saisir un nom et/ou un prénom")
                   : QString();
    return c.name.trimmed().isEmpty()
               ? QStringLiteral("Vous devez renseigner un libellé pour votre ") + session.terms().singular(Entity::Societe)
               : QString();
}

Outcome ClientStore::save(Session &session, Client *c)
{
    const QString incomplete = incompleteText(session, *c);
    if (!incomplete.isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), incomplete);
    Database &db = *session.database();
    const Dialect &dialect = session.dialect();
    const QString failed = writeError(session, c->type);

    // A new client is numbered for this transaction alone, an existing one is
    // held under its record lock: other workstations may save meanwhile.
    Transaction transaction(db, TransactionMode::Concurrent);
    if (!transaction.isActive())
        return Outcome::failure(Error, failed, db.lastError());
    qint64 number = c->number;
    if (number == 0) {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_societes"), QStringLiteral("noidsoc"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidsoc from kp_societes where noidsoc = %1").arg(number), rows))
        return Outcome::failure(Error, failed, db.lastError());

    const QString now = dialect.dateTimeValue(QDateTime::currentDateTime());
    const QString workstation = slashLiteral(session.workstation());
    QStringList names, values;
    for (const TextColumn &t : TextColumns) {
        names.append(QLatin1String(t.column));
        values.append(slashLiteral(c->*(t.member)));
    }
    names << QStringLiteral("sexecont") << QStringLiteral("coulfond") << QStringLiteral("coultexte") << QStringLiteral("nomico")
          << QStringLiteral("cloture") << QStringLiteral("noidzone");
    values << QString::number(c->civility) << QString::number(c->background) << QString::number(c->text) << slashLiteral(c->icon)
           << QString::number(c->closed ? 1 : 0) << QString::number(c->zone);
    const QString birth = c->birth.isValid() && c->type == Client::Individual ? dialect.dateValue(c->birth) : dialect.unsetDateValue();
    // A company never enters a birth date: an update leaves the column alone.
    if (c->type == Client::Individual || rows.isEmpty()) {
        names.append(QStringLiteral("dtnaisscont"));
        values.append(birth);
    }

    QString write;
    if (rows.isEmpty()) {
        write = QStringLiteral("insert into kp_societes (noidsoc,typesoc,") + names.join(QLatin1Char(','))
                + QStringLiteral(",dtsaisie,ordisaisie,dtmodif,ordimodif) values (") + QString::number(number) + QLatin1Char(',')
                + QString::number(c->type) + QLatin1Char(',') + values.join(QLatin1Char(',')) + QLatin1Char(',') + now
                + QLatin1Char(',') + workstation + QLatin1Char(',') + now + QLatin1Char(',') + workstation + QLatin1Char(')');
    } else {
        QStringList assignments;
        for (int i = 0; i < names.size(); ++i)
            assignments.append(names[i] + QStringLiteral(" = ") + values[i]);
        write = QStringLiteral("update kp_societes set ") + assignments.join(QStringLiteral(", ")) + QStringLiteral(", dtmodif = ") + now
                + QStringLiteral(", ordimodif = ") + workstation + QStringLiteral(" where noidsoc = ") + QString::number(number);
    }
    if (!db.exec(write))
        return Outcome::failure(Error, failed, db.lastError());

    ResultSet free;
    if (!db.query(QStringLiteral("select ch1 from kp_libresoc where noidsoc = %1").arg(number), free))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des champs libres"), db.lastError())
            .notice(Error, failed);
    QStringList freeNames, freeValues;
    for (int i = 0; i < 7; ++i) {
        freeNames.append(QStringLiteral("ch%1").arg(i + 1));
        freeValues.append(slashLiteral(c->freeTexts.value(i)));
    }
    for (int i = 0; i < 4; ++i) {
        freeNames.append(QStringLiteral("tb%1").arg(i + 1));
        freeValues.append(slashLiteral(c->freeCodes.value(i)));
    }
    QString freeWrite;
    if (free.isEmpty()) {
        freeWrite = QStringLiteral("insert into kp_libresoc (noidsoc,") + freeNames.join(QLatin1Char(',')) + QStringLiteral(") values (")
                    + QString::number(number) + QLatin1Char(',') + freeValues.join(QLatin1Char(',')) + QLatin1Char(')');
    } else {
        QStringList assignments;
        for (int i = 0; i < freeNames.size(); ++i)
            assignments.append(freeNames[i] + QStringLiteral(" = ") + freeValues[i]);
        freeWrite = QStringLiteral("update kp_libresoc set ") + assignments.join(QStringLiteral(", ")) + QStringLiteral(" where noidsoc = ")
                    + QString::number(number);
    }
    if (!db.exec(freeWrite) || !transaction.commit())
        return Outcome::failure(Error, failed, db.lastError());
    c->number = number;
    return Outcome::success();
}

Outcome ClientStore::codes(Database &db, const QString &table, const QString &what, QList<ClientCode> *list)
{
    list->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select code,libelle from ") + table + QStringLiteral(" order by libelle"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + what, db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        list->append({rows.value(r, 0), slashToEmpty(rows.value(r, 1))});
    return Outcome::success();
}

Outcome ClientStore::employers(Database &db, QStringList *names)
{
    names->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select distinct libsoc from kp_societes order by libsoc"), rows))
        return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Erreur lors de la lecture des entreprises"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString name = slashToEmpty(rows.value(r, 0));
        if (!name.isEmpty())
            names->append(name);
    }
    return Outcome::success();
}

Outcome ClientStore::mailRecipients(Session &session, const Client &c, QStringList *recipients)
{
    recipients->clear();
    // ";" and "," separate the addresses of the recipient line: not in a name.
    const auto entry = [](const QString &surname, const QString &firstName, const QString &address) {
        QString label = (surname + QLatin1Char(' ') + firstName).trimmed();
        label.replace(QLatin1Char(';'), QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char(' '));
        return (label.isEmpty() ? QString() : label + QLatin1Char(' ')) + QLatin1Char('<') + address.trimmed() + QLatin1Char('>');
    };
    if (c.mail.contains(QLatin1Char('@')))
        recipients->append(entry(c.surname, c.firstName, c.mail));
    if (!c.number)
        return Outcome::success();
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select nomcont,prenomcont,mailcont from kp_contactsoc where noidsoc = %1 order by hierar").arg(c.number),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des mails"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows.value(r, 2).contains(QLatin1Char('@')))
            recipients->append(entry(slashToEmpty(rows.value(r, 0)), slashToEmpty(rows.value(r, 1)), rows.value(r, 2)));
    return Outcome::success();
}
