#include "tasks/Periodicity.h"

#include "core/Database.h"
#include "core/Dialect.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"
#include "core/Terms.h"
#include "resources/WorkingTime.h"

#include <memory>

namespace {

const QString DateFormat = QStringLiteral("dd/MM/yyyy");

// "hh:mm" on a day; "24:00" is the next midnight.
QDateTime at(const QDate &day, const QString &time)
{
    const int hours = time.section(QLatin1Char(':'), 0, 0).toInt();
    const int minutes = time.section(QLatin1Char(':'), 1, 1).toInt();
    return QDateTime(day, QTime(0, 0)).addSecs(qint64(hours) * 3600 + qint64(minutes) * 60);
}

bool selected(const QString &mask, int index)
{
    return index >= 0 && index < mask.size() && mask.at(index) == QLatin1Char('1');
}

// Collects candidate days in increasing order and applies the window, the
// end of the series and the offset bound.
class Collector
{
public:
    Collector(const PeriodRule &rule, const QDate &windowStart, const QDate &windowEnd)
        : m_rule(rule), m_first(rule.datedeb)
    {
        m_last = windowEnd;
        if (rule.hasEnd() && rule.datefin < m_last)
            m_last = rule.datefin;
        const QDate bound = m_first.addDays(Periodicity::MaxOffset);
        if (bound < m_last)
            m_last = bound;
        // Nothing before the series' first day, whatever the kind's loop starts from.
        m_from = qMax(m_first, windowStart);
    }

    QDate last() const { return m_last; }
    QDate from() const { return m_from; }

    // False once the expansion must stop.
    bool offer(const QDate &day)
    {
        if (day > m_last)
            return false;
        if (day >= m_from) {
            m_result.append({int(m_result.size()) + 1, day, day.addDays(m_rule.jourfin), m_rule.hordeb, m_rule.horfin});
        }
        return true;
    }

    QList<Occurrence> take() { return std::move(m_result); }

private:
    const PeriodRule &m_rule;
    QDate m_first;
    QDate m_from;
    QDate m_last;
    QList<Occurrence> m_result;
};

QString plural(int n)
{
    return n > 1 ? QStringLiteral("s") : QString();
}

QString joinedNames(const QString &mask, int count, QString (*name)(int))
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        if (selected(mask, i))
            names.append(name(i));
    return names.join(QStringLiteral(", "));
}

QString dateText(const QDate &date)
{
    return date.toString(DateFormat);
}

QDate dbDate(const QString &text)
{
    return parseDbDateTime(text).date();
}

// Runs a statement sequence in the caller's transaction, or in one of its own.
class WriteScope
{
public:
    explicit WriteScope(Database &db)
    {
        if (!db.inTransaction())
            m_own = std::make_unique<Transaction>(db);
    }
    bool isActive() const { return !m_own || m_own->isActive(); }
    bool commit() { return !m_own || m_own->commit(); }

private:
    std::unique_ptr<Transaction> m_own;
};

const QString HeaderColumns = QStringLiteral(
    "noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,noidper,dtdebper,dtfinper,"
    "origine,noalerte,noidutil,effect,dteffect,commenteffect,blocadm,noidprospect");

// A copy of the model's header under a new number, derived from one occurrence.
Outcome copyModel(Database &db, const Dialect &dialect, qint64 noid, const Occurrence &occurrence, bool cancelled,
                  qint64 *number)
{
    const Outcome allocated = NumberAllocator::next(
        db, {{QStringLiteral("kp_taches_desc"), QStringLiteral("noid"), {}},
             {QStringLiteral("histo_taches_desc"), QStringLiteral("noid"), {}}},
        NumberAllocator::IntMax, number);
    if (!allocated)
        return allocated;
    const QString n = QString::number(noid);
    const QString sql =
        QStringLiteral("insert into kp_taches_desc (") + HeaderColumns + QStringLiteral(") select ")
        + QString::number(*number) + QStringLiteral(",noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,")
        + (cancelled ? QStringLiteral("'DELETED'") : QStringLiteral("commentaire")) + QStringLiteral(",noidper,")
        + dialect.dateTimeValue(occurrence.start()) + QLatin1Char(',') + dialect.dateTimeValue(occurrence.end())
        + (cancelled ? QStringLiteral(",-1,noalerte,0,") : QStringLiteral(",0,noalerte,noidutil,"))
        + QStringLiteral("effect,dteffect,commenteffect,blocadm,noidprospect from kp_taches_desc where noid = ") + n
        + QStringLiteral(" and origine = 1");
    if (!db.exec(sql))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la périodicité"),
                                db.lastError());
    return Outcome::success();
}

} // namespace

QStringList PeriodRule::toValues() const
{
    return {hordeb,
            horfin,
            QString::number(jourfin),
            QString::number(periodicite),
            QString::number(typequot),
            QString::number(jourquot),
            QString::number(jourhebdo),
            jour,
            QString::number(typemois),
            QString::number(jourmois),
            QString::number(jourfinmois),
            mois,
            QString::number(jourmoisan),
            QString::number(moisan),
            dateText(datedeb),
            hasEnd() ? dateText(datefin) : QString()};
}

PeriodRule PeriodRule::fromValues(const QStringList &values)
{
    PeriodRule r;
    if (values.size() < 16)
        return r;
    r.hordeb = values[0];
    r.horfin = values[1];
    r.jourfin = values[2].toInt();
    r.periodicite = values[3].toInt();
    r.typequot = values[4].toInt();
    r.jourquot = values[5].toInt();
    r.jourhebdo = values[6].toInt();
    r.jour = values[7];
    r.typemois = values[8].toInt();
    r.jourmois = values[9].toInt();
    r.jourfinmois = values[10].toInt();
    r.mois = values[11];
    r.jourmoisan = values[12].toInt();
    r.moisan = values[13].toInt();
    r.datedeb = QDate::fromString(values[14], DateFormat);
    r.datefin = QDate::fromString(values[15], DateFormat);
    return r;
}

QDateTime Occurrence::start() const
{
    return at(day, hordeb);
}

QDateTime Occurrence::end() const
{
    return at(endDay, horfin);
}

QString Occurrence::startText() const
{
    return dateText(day) + QLatin1Char(' ') + hordeb;
}

QString Occurrence::endText() const
{
    return dateText(endDay) + QLatin1Char(' ') + horfin;
}

QString Periodicity::weekdayName(int index)
{
    static const QStringList names = {QStringLiteral("Lundi"),    QStringLiteral("Mardi"),  QStringLiteral("Mercredi"),
                                      QStringLiteral("Jeudi"),    QStringLiteral("Vendredi"), QStringLiteral("Samedi"),
                                      QStringLiteral("Dimanche")};
    return names.value(index);
}

QString Periodicity::monthName(int index)
{
    static const QStringList names = {
        QStringLiteral("Janvier"), QStringLiteral("Février"),  QStringLiteral("Mars"),      QStringLiteral("Avril"),
        QStringLiteral("Mai"),     QStringLiteral("Juin"),     QStringLiteral("Juillet"),   QStringLiteral("Août"),
        QStringLiteral("Septembre"), QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre")};
    return names.value(index);
}

QList<Occurrence> Periodicity::ExpandRule(const PeriodRule &rule, const QDate &windowStart, const QDate &windowEnd,
                                          const QString &workingDays)
{
    if (!rule.datedeb.isValid() || !windowStart.isValid() || !windowEnd.isValid())
        return {};
    Collector c(rule, windowStart, windowEnd);
    if (c.from() > c.last())
        return {};
    const QDate s = rule.datedeb;
    const qint64 skip = s.daysTo(c.from()); // whole days before the first day in view
    switch (rule.periodicite) {
    case PeriodRule::Daily:
        if (rule.typequot == 1) {
            for (QDate d = c.from(); d <= c.last(); d = d.addDays(1))
                if (selected(workingDays, d.dayOfWeek() - 1))
                    c.offer(d);
        } else {
            const qint64 step = qMax(1, rule.jourquot); // a step of 0 would never move on
            for (qint64 k = (skip + step - 1) / step * step; c.offer(s.addDays(k)); k += step) {
            }
        }
        break;
    case PeriodRule::Weekly: {
        const qint64 blocks = qMax(1, rule.jourhebdo);
        for (qint64 k = 0;;) {
            const QDate d = s.addDays(k);
            if (d > c.last())
                break;
            if (selected(rule.jour, d.dayOfWeek() - 1))
                c.offer(d);
            ++k;
            // Only every jourhebdo-th 7-day block from the first day is visited.
            if (k % 7 == 0)
                k += 7 * (blocks - 1);
        }
        break;
    }
    case PeriodRule::Monthly:
        for (QDate month(s.year(), s.month(), 1); month <= c.last(); month = month.addMonths(1)) {
            const QDate d = rule.typemois == 1
                                ? month.addMonths(1).addDays(-1 - qint64(rule.jourfinmois))
                                : QDate(month.year(), month.month(), rule.jourmois);
            if (d.isValid() && selected(rule.mois, d.month() - 1) && !c.offer(d))
                break;
        }
        break;
    case PeriodRule::Yearly:
        if (rule.moisan < 0 || rule.moisan > 11)
            break;
        for (int year = s.year(); QDate(year, 1, 1) <= c.last(); ++year) {
            const QDate d(year, rule.moisan + 1, rule.jourmoisan);
            if (d.isValid() && !c.offer(d))
                break;
        }
        break;
    default:
        break;
    }
    return c.take();
}

QString Periodicity::DescribeRule(const PeriodRule &rule)
{
    QString text;
    switch (rule.periodicite) {
    case PeriodRule::Daily:
        text = rule.typequot == 1 ? QStringLiteral("Tous les jours ouvrables")
                                  : QStringLiteral("Tous les ") + QString::number(rule.jourquot) + QStringLiteral(" jour")
                                        + plural(rule.jourquot);
        break;
    case PeriodRule::Weekly:
        text = QStringLiteral("Toutes les ") + QString::number(rule.jourhebdo) + QStringLiteral(" semaine")
               + plural(rule.jourhebdo) + QStringLiteral(" - Les : ") + joinedNames(rule.jour, 7, &weekdayName);
        break;
    case PeriodRule::Monthly: {
        const QString months = QStringLiteral(" - En : ") + joinedNames(rule.mois, 12, &monthName);
        if (rule.typemois == 0)
            text = QStringLiteral("Tous les ") + QString::number(rule.jourmois) + QStringLiteral(" du mois") + months;
        else if (rule.jourfinmois == 0)
            text = QStringLiteral("Le dernier jour du mois") + months;
        else
            text = QString::number(rule.jourfinmois) + QStringLiteral(" jour") + plural(rule.jourfinmois)
                   + QStringLiteral(" avant la fin du mois") + months;
        break;
    }
    case PeriodRule::Yearly:
        text = QStringLiteral("Chaque année, le ") + QString::number(rule.jourmoisan)
               + (rule.moisan >= 0 && rule.moisan <= 11 ? QLatin1Char(' ') + monthName(rule.moisan)
                                                        : QStringLiteral(" ????"));
        break;
    default:
        break;
    }
    text += QStringLiteral(" -  entre ") + rule.hordeb + QStringLiteral(" et ") + rule.horfin + QStringLiteral(" (J+")
            + QString::number(rule.jourfin) + QLatin1Char(')');
    text += QStringLiteral(" -  A partir du ") + dateText(rule.datedeb);
    if (rule.hasEnd())
        text += QStringLiteral(" - Jusqu'au ") + dateText(rule.datefin);
    return text;
}

QString Periodicity::ruleColumns()
{
    return QStringLiteral("hordeb,horfin,jourfin,periodicite,typequot,jourquot,jourhebdo,jour,typemois,"
                          "jourmois,jourfinmois,mois,jourmoisan,moisan,datedeb,datefin");
}

PeriodRule Periodicity::ruleFromRow(const ResultSet &rows, int row, int c)
{
    PeriodRule r;
    r.hordeb = WorkingTime::normaliseTime(rows.value(row, c + 0));
    r.horfin = WorkingTime::normaliseTime(rows.value(row, c + 1));
    r.jourfin = rows.toInt(row, c + 2);
    r.periodicite = rows.toInt(row, c + 3);
    r.typequot = rows.toInt(row, c + 4);
    r.jourquot = rows.toInt(row, c + 5);
    r.jourhebdo = rows.toInt(row, c + 6);
    r.jour = rows.value(row, c + 7);
    r.typemois = rows.toInt(row, c + 8);
    r.jourmois = rows.toInt(row, c + 9);
    r.jourfinmois = rows.toInt(row, c + 10);
    r.mois = rows.value(row, c + 11);
    r.jourmoisan = rows.toInt(row, c + 12);
    r.moisan = rows.toInt(row, c + 13);
    r.datedeb = dbDate(rows.value(row, c + 14));
    // A series without end stores the unset date, which falls before its first day.
    const QDate end = dbDate(rows.value(row, c + 15));
    r.datefin = end.isValid() && end >= r.datedeb ? end : QDate();
    return r;
}

Outcome Periodicity::readRule(Database &db, qint64 noid, PeriodRule *rule, bool *found)
{
    *found = false;
    ResultSet rows;
    if (!db.query(QStringLiteral("select ") + ruleColumns() + QStringLiteral(" from kp_periode where noid = ")
                      + QString::number(noid),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture de la base de données"),
                                db.lastError());
    if (rows.isEmpty())
        return Outcome::success();
    *rule = ruleFromRow(rows, 0, 0);
    rule->noid = noid;
    *found = true;
    return Outcome::success();
}

Outcome Periodicity::readRules(Database &db, const QList<qint64> &noids, QHash<qint64, PeriodRule> *rules)
{
    rules->clear();
    if (noids.isEmpty())
        return Outcome::success();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid,") + ruleColumns() + QStringLiteral(" from kp_periode where noid in (")
                      + numberList(noids) + QLatin1Char(')'),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture de la période"),
                                db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r) {
        PeriodRule rule = ruleFromRow(rows, r, 1);
        rule.noid = rows.toLongLong(r, 0);
        rules->insert(rule.noid, rule);
    }
    return Outcome::success();
}

namespace {

qint64 minuteStamp(const QDate &day, int minutes)
{
    return day.toJulianDay() * 1440 + minutes;
}

qint64 minuteStamp(const QDateTime &at)
{
    return minuteStamp(at.date(), at.time().hour() * 60 + at.time().minute());
}

// "hh:mm" read as minutes; "24:00" is the next midnight.
int clockMinutes(const QString &hhmm)
{
    return hhmm.section(QLatin1Char(':'), 0, 0).toInt() * 60 + hhmm.section(QLatin1Char(':'), 1, 1).toInt();
}

} // namespace

size_t Periodicity::qHash(const ReplacedOccurrence &key, size_t seed)
{
    return qHashMulti(seed, key.noid, key.start, key.end);
}

Outcome Periodicity::readReplaced(Database &db, const QList<qint64> &noids, QSet<ReplacedOccurrence> *replaced)
{
    replaced->clear();
    if (noids.isEmpty())
        return Outcome::success();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidper,dtdebper,dtfinper from kp_taches_desc where noidper in (")
                      + numberList(noids) + QLatin1Char(')'),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des périodes"),
                                db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        replaced->insert({rows.toLongLong(r, 0), minuteStamp(parseDbDateTime(rows.value(r, 1))),
                          minuteStamp(parseDbDateTime(rows.value(r, 2)))});
    return Outcome::success();
}

void Periodicity::dropReplaced(qint64 noid, const QSet<ReplacedOccurrence> &replaced, QList<Occurrence> *occurrences)
{
    QList<Occurrence> kept;
    kept.reserve(occurrences->size());
    for (const Occurrence &o : std::as_const(*occurrences))
        if (!replaced.contains({noid, minuteStamp(o.day, clockMinutes(o.hordeb)), minuteStamp(o.endDay, clockMinutes(o.horfin))})) {
            kept.append(o);
            kept.last().number = int(kept.size());
        }
    *occurrences = std::move(kept);
}

Outcome Periodicity::saveRule(Database &db, const Dialect &dialect, const PeriodRule &rule)
{
    const QString failure = QStringLiteral("Erreur lors de la mise à jour de la périodicité");
    const QString n = QString::number(rule.noid);
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid from kp_periode where noid = ") + n, rows))
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    const QString end = rule.hasEnd() ? dialect.dateValue(rule.datefin) : dialect.unsetDateValue();
    auto num = [](int v) { return QString::number(v); };
    auto text = [](const QString &v) { return QLatin1Char('\'') + sqlText(v) + QLatin1Char('\''); };
    QString sql;
    if (!rows.isEmpty()) {
        sql = QStringLiteral("update kp_periode set  hordeb = ") + text(rule.hordeb) + QStringLiteral(", horfin = ")
              + text(rule.horfin) + QStringLiteral(", jourfin = ") + num(rule.jourfin) + QStringLiteral(", periodicite = ")
              + num(rule.periodicite) + QStringLiteral(", typequot = ") + num(rule.typequot)
              + QStringLiteral(", jourquot = ") + num(rule.jourquot) + QStringLiteral(", jourhebdo = ")
              + num(rule.jourhebdo) + QStringLiteral(", jour = ") + text(rule.jour) + QStringLiteral(", typemois = ")
              + num(rule.typemois) + QStringLiteral(", jourmois = ") + num(rule.jourmois)
              + QStringLiteral(", jourfinmois = ") + num(rule.jourfinmois) + QStringLiteral(", mois = ") + text(rule.mois)
              + QStringLiteral(", jourmoisan = ") + num(rule.jourmoisan) + QStringLiteral(", moisan = ")
              + num(rule.moisan) + QStringLiteral(", datedeb = ") + dialect.dateValue(rule.datedeb)
              + QStringLiteral(", datefin = ") + end + QStringLiteral(" where noid = ") + n;
    } else {
        sql = QStringLiteral("insert into kp_periode (noid,hordeb,horfin,jourfin,periodicite,typequot, jourquot,jourhebdo,"
                             "jour,typemois,jourmois,jourfinmois,mois,  jourmoisan,moisan,datedeb,datefin) values (")
              + QStringList{n, text(rule.hordeb), text(rule.horfin), num(rule.jourfin), num(rule.periodicite),
                            num(rule.typequot), num(rule.jourquot), num(rule.jourhebdo), text(rule.jour),
                            num(rule.typemois), num(rule.jourmois), num(rule.jourfinmois), text(rule.mois),
                            num(rule.jourmoisan), num(rule.moisan), dialect.dateValue(rule.datedeb), end}
                    .join(QLatin1Char(','))
              + QLatin1Char(')');
    }
    if (!db.exec(sql))
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    return Outcome::success();
}

Outcome Periodicity::clearRule(Database &db, const Dialect &dialect, const Terms &terms, qint64 noid)
{
    const QString n = QString::number(noid);
    if (db.exec(QStringLiteral("delete from kp_periode where noid = ") + n)
        && db.exec(QStringLiteral("update kp_taches_desc set noidper = 0, dtdebper = ") + dialect.unsetDateValue()
                   + QStringLiteral(", dtfinper = ") + dialect.unsetDateValue() + QStringLiteral(" where noidper = ") + n))
        return Outcome::success();
    return Outcome::failure(QStringLiteral("Erreur"),
                            QStringLiteral("Erreur lors de la mise à jour ") + terms.partitive(Entity::Tache)
                                + terms.singular(Entity::Tache) + QStringLiteral(" (Période)"),
                            db.lastError());
}

Outcome Periodicity::removeReplaced(Database &db, const Dialect &dialect, qint64 noid, QList<Occurrence> *occurrences)
{
    QList<Occurrence> kept;
    kept.reserve(occurrences->size());
    const QString head = QStringLiteral("select noid from kp_taches_desc where  noidper = ") + QString::number(noid)
                         + QStringLiteral(" and  dtdebper = ");
    ResultSet rows;
    for (const Occurrence &o : std::as_const(*occurrences)) {
        if (!db.query(head + dialect.dateTimeFilter(o.start()) + QStringLiteral(" and dtfinper = ")
                          + dialect.dateTimeFilter(o.end()),
                      rows))
            return Outcome::failure(QStringLiteral("Erreur"),
                                    QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
        if (rows.isEmpty()) {
            kept.append(o);
            kept.last().number = int(kept.size());
        }
    }
    *occurrences = std::move(kept);
    return Outcome::success();
}

Outcome Periodicity::cancelOccurrence(Database &db, const Dialect &dialect, qint64 noid, const Occurrence &occurrence,
                                      qint64 *newNumber)
{
    WriteScope scope(db);
    if (!scope.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la périodicité"),
                                db.lastError());
    qint64 number = 0;
    const Outcome copied = copyModel(db, dialect, noid, occurrence, true, &number);
    if (!copied)
        return copied;
    if (!scope.commit())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la périodicité"),
                                db.lastError());
    if (newNumber)
        *newNumber = number;
    return Outcome::success();
}

Outcome Periodicity::takeOutOccurrence(Database &db, const Dialect &dialect, qint64 noid, const Occurrence &occurrence,
                                       const QDateTime &newStart, const QDateTime &newEnd, qint64 *newNumber)
{
    const QString failure = QStringLiteral("Erreur lors de la mise à jour de la périodicité");
    WriteScope scope(db);
    if (!scope.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    CompanyHours company;
    const Outcome read = CompanyHours::read(db, &company);
    if (!read)
        return read;
    qint64 number = 0;
    const Outcome copied = copyModel(db, dialect, noid, occurrence, false, &number);
    if (!copied)
        return copied;
    const QString from = QString::number(noid);
    const QString to = QString::number(number);
    const QString startTime = newStart.time().toString(QStringLiteral("HH:mm"));
    const QString endTime = newEnd.time().toString(QStringLiteral("HH:mm"));
    const double days = CalculNbJours(newStart.date(), startTime, newEnd.date(), endTime, company);
    const double hours = CalculNbHeures(newStart.date(), startTime, newEnd.date(), endTime, company);
    if (!db.exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) select ") + to
                 + QStringLiteral(",noidressource from kp_taches_ressources where noid = ") + from)
        || !db.exec(QStringLiteral("insert into kp_taches_clients (noid,noidsoc) select ") + to
                    + QStringLiteral(",noidsoc from kp_taches_clients where noid = ") + from)
        || !db.exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (")
                    + to + QStringLiteral(",1,") + dialect.dateTimeValue(newStart) + QLatin1Char(',')
                    + dialect.dateTimeValue(newEnd) + QLatin1Char(',') + sqlNumber(QString::number(days), 2)
                    + QLatin1Char(',') + sqlNumber(QString::number(hours), 2) + QLatin1Char(')')))
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    if (!scope.commit())
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    if (newNumber)
        *newNumber = number;
    return Outcome::success();
}
