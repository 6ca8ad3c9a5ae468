#include "reports/HistoryReport.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/Terms.h"
#include "planning/PlanningQueries.h"
#include "reports/HistoryQueries.h"
#include "resources/WorkingTime.h"
#include "tasks/Periodicity.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString Sorry = QStringLiteral("Désolé");
const QString Error = QStringLiteral("Erreur");
const QString ReadingData = QStringLiteral("Erreur lors de la lecture des données");

// A stored text where "/" means none.
QString clean(QStringView stored)
{
    const QStringView t = stored.trimmed();
    return t == u"/" ? QString() : t.toString();
}

// A stored date and time, read without QDateTime: a local date-time asks the
// system for its time zone, which costs more than the report itself.
struct Moment
{
    int year = 0, month = 0, day = 0; // year 0: none
    int minutes = 0;                  // from midnight; 1440 for an end at midnight

    static Moment of(const QDate &date, int minutes)
    {
        Moment m;
        if (date.isValid())
            date.getDate(&m.year, &m.month, &m.day);
        m.minutes = minutes;
        return m;
    }
    bool isValid() const { return year > 0; }
    qint64 key() const // yyyyMMddhhmm, in date order
    {
        return ((qint64(year) * 100 + month) * 100 + day) * 10000 + (minutes / 60) * 100 + minutes % 60;
    }
    QString dayText() const // "dd/mm/yyyy"
    {
        QChar text[10];
        put(text, 0, day, 2);
        text[2] = u'/';
        put(text, 3, month, 2);
        text[5] = u'/';
        put(text, 6, year, 4);
        return QString(text, 10);
    }
    QString text() const // "dd/mm/yyyy hh:nn"
    {
        QChar text[16];
        put(text, 0, day, 2);
        text[2] = u'/';
        put(text, 3, month, 2);
        text[5] = u'/';
        put(text, 6, year, 4);
        text[10] = u' ';
        put(text, 11, minutes / 60, 2);
        text[13] = u':';
        put(text, 14, minutes % 60, 2);
        return QString(text, 16);
    }

private:
    static void put(QChar *text, int at, int value, int digits)
    {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = QChar(u'0' + value % 10);
    }
};

Moment readMoment(QStringView stored)
{
    const QStringView t = stored.trimmed();
    const auto number = [t](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = t.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    };
    if (t.size() >= 10 && t.at(4) == u'-' && t.at(7) == u'-') {
        Moment m;
        m.year = number(0, 4);
        m.month = number(5, 2);
        m.day = number(8, 2);
        if (m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31)
            return {};
        if (t.size() >= 16 && t.at(13) == u':' && number(11, 2) >= 0 && number(14, 2) >= 0)
            m.minutes = number(11, 2) * 60 + number(14, 2);
        return m;
    }
    const QDateTime at = parseDbDateTime(t.toString());
    return Moment::of(at.date(), at.time().hour() * 60 + at.time().minute());
}

// Amounts kept as whole hundredths, so that a total never drifts.
qint64 hundredths(QStringView stored)
{
    const QString fixed = sqlNumber(stored.trimmed().toString(), 2);
    if (fixed.isEmpty())
        return 0;
    QString digits = fixed;
    digits.remove(QLatin1Char('.'));
    return digits.toLongLong();
}

QString amountText(qint64 value, QChar separator)
{
    const qint64 a = qAbs(value);
    return (value < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 100) + separator
           + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString right(const QString &text)
{
    return text + QStringLiteral("|R");
}

QStringList titled(const QStringList &titles)
{
    QStringList cells;
    for (const QString &t : titles)
        cells.append(t + QStringLiteral("|B"));
    return cells;
}

// The text shown for a completion: the agreed "Effectué", its date and its comment.
QString completion(const Terms &terms, QStringView effect, QStringView when, QStringView comment)
{
    if (effect.trimmed() != u"1")
        return {};
    QString text = QStringLiteral("Effectué") + (terms.feminine(Entity::Tache) ? QStringLiteral("e") : QString());
    const Moment at = readMoment(when);
    if (at.isValid() && at.year > 1900)
        text += QStringLiteral(" le ") + at.dayText();
    if (const QString c = clean(comment); !c.isEmpty())
        text += QStringLiteral(" : ") + c;
    return text;
}

struct LinkedClient
{
    QString name, address, phones;
};

} // namespace

// One report run: the reads, then the lines, then the table.
class HistoryReport::Builder
{
public:
    Builder(Session &session, const HistoryParameters &p, const Progress &progress, int step, HistoryOutput *out)
        : m_session(session), m_db(*session.database()), m_terms(session.terms()), m_p(p), m_progress(progress),
          m_step(step), m_out(out), m_separator(session.shownDecimalSeparator())
    {
    }

    Outcome run();

private:
    struct Line
    {
        qint64 key; // start as yyyyMMddhhmm
        QList<QStringList> rows;
    };

    bool resources() const { return m_p.kind == HistoryKind::Resource; }
    HistoryQueries::Shape shape() const { return HistoryQueries::shapeOf(m_p.kind, m_p.type); }
    bool status(const QString &text)
    {
        m_status = text;
        return !m_progress || m_progress(text);
    }
    // Every m_step lines, asks whether to go on.
    bool goOn(int done)
    {
        if (done % m_step != 0 || !m_progress)
            return true;
        return m_progress(m_status);
    }
    QString amount(QStringView stored) const
    {
        return stored.trimmed().isEmpty() ? QStringLiteral("0") : displayNumber(stored.trimmed().toString(), 2, m_separator);
    }
    Outcome readFailure(const QString &text) const { return Outcome::failure(Error, text, m_db.lastError()); }
    QString tasksFailure() const { return QStringLiteral("Erreur lors de la lecture des ") + m_terms.plural(Entity::Tache); }

    Outcome readTypes();
    Outcome readClientLinks(const QList<qint64> &tasks);
    Outcome readResourceLinks(const QList<qint64> &tasks);
    Outcome taskLines();
    Outcome statistics();
    Outcome costLines();
    void addLine(const ResultSet &rs, int r, int first, const Moment &start, const Moment &end);
    void finishLines();

    Session &m_session;
    Database &m_db;
    const Terms &m_terms;
    const HistoryParameters &m_p;
    const Progress &m_progress;
    int m_step;
    HistoryOutput *m_out;
    QChar m_separator;
    QString m_status;
    bool m_stopped = false;

    QHash<qint64, QString> m_types;
    QHash<QString, QString> m_leaves;
    QHash<qint64, QList<LinkedClient>> m_clients;
    QHash<qint64, QStringList> m_resources;
    QHash<qint64, QString> m_linked;
    std::vector<Line> m_lines;
};

HistoryReport::HistoryReport(Session &session, const HistoryParameters &parameters) : m_session(session), m_p(parameters)
{
}

Outcome HistoryReport::run(HistoryOutput *output)
{
    *output = {};
    if (!m_p.start.isValid() || !m_p.end.isValid())
        return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Dates de début et de fin obligatoires"));
    if (!m_session.database())
        return Outcome::failure(QStringLiteral("Erreur"), ReadingData);
    Builder builder(m_session, m_p, m_progress, m_step, output);
    return builder.run();
}

Outcome HistoryReport::Builder::run()
{
    ReportTable &table = m_out->table;
    table.setTitle(HistoryReport::title(m_p, m_terms));
    table.setColumns(HistoryQueries::columnWidths(shape()));
    table.addRow(titled(HistoryQueries::columnTitles(m_p.kind, m_p.type, m_terms)));

    Outcome outcome = Outcome::success();
    if (!status(QStringLiteral("Sélection des données"))) {
        m_stopped = true;
    } else {
        switch (shape()) {
        case HistoryQueries::Shape::List:
        case HistoryQueries::Shape::Detail:
        case HistoryQueries::Shape::LeaveList: outcome = taskLines(); break;
        case HistoryQueries::Shape::Statistics:
        case HistoryQueries::Shape::LeaveStatistics: outcome = statistics(); break;
        case HistoryQueries::Shape::Costs:
        case HistoryQueries::Shape::GlobalCosts: outcome = costLines(); break;
        }
    }
    finishLines();
    m_out->stopped = m_stopped;
    if (!outcome)
        return outcome;
    if (m_stopped)
        return Outcome::success().notice(QStringLiteral("Abandon"), QStringLiteral("Abandon du traitement"));
    if (m_out->lines == 0)
        return Outcome::success().notice(Sorry, QStringLiteral("Aucune donnée à votre requête"));
    return outcome;
}

Outcome HistoryReport::Builder::readTypes()
{
    ResultSet rs;
    if (!m_db.query(QStringLiteral("select noidtache,libtache from kp_taches"), rs))
        return readFailure(ReadingData);
    for (int r = 0; r < rs.rowCount(); ++r)
        m_types.insert(rs.toLongLong(r, 0), clean(rs.view(r, 1)));
    return Outcome::success();
}

Outcome HistoryReport::Builder::readClientLinks(const QList<qint64> &tasks)
{
    for (const QString &list : PlanningQueries::numberLists(tasks)) {
        ResultSet rs;
        // Addresses and phones only for the detail, which shows them.
        const QString more = shape() == HistoryQueries::Shape::Detail
                                 ? QStringLiteral(",s.adrsoc,s.adrcompsoc,s.cpsoc,s.villesoc,s.telsoc,s.mobsoc")
                                 : QString();
        if (!m_db.query(QStringLiteral("select c.noid,s.libsoc,s.typesoc,s.nomcont,s.prenomcont") + more
                            + QStringLiteral(" from kp_taches_clients c,kp_societes s where s.noidsoc = c.noidsoc and c.noid in (")
                            + list + QStringLiteral(") order by c.noid,s.libsoc,s.nomcont"),
                        rs))
            return readFailure(QStringLiteral("Erreur lors de la lecture des clients"));
        for (int r = 0; r < rs.rowCount(); ++r) {
            LinkedClient c;
            c.name = HistoryReport::clientName(rs.toInt(r, 2), rs.value(r, 1), rs.value(r, 3), rs.value(r, 4));
            if (rs.columnCount() < 11) {
                m_clients[rs.toLongLong(r, 0)].append(c);
                continue;
            }
            QStringList address;
            for (int column = 5; column <= 8; ++column)
                if (const QString part = clean(rs.view(r, column)); !part.isEmpty())
                    address.append(part);
            c.address = address.join(QLatin1Char(' '));
            QStringList phones;
            if (const QString tel = clean(rs.view(r, 9)); !tel.isEmpty())
                phones.append(QStringLiteral("Tel : ") + tel);
            if (const QString mob = clean(rs.view(r, 10)); !mob.isEmpty())
                phones.append(QStringLiteral("Mobile : ") + mob);
            c.phones = phones.join(QStringLiteral(" - "));
            m_clients[rs.toLongLong(r, 0)].append(c);
        }
    }
    return Outcome::success();
}

Outcome HistoryReport::Builder::readResourceLinks(const QList<qint64> &tasks)
{
    for (const QString &list : PlanningQueries::numberLists(tasks)) {
        ResultSet rs;
        if (!m_db.query(QStringLiteral("select tr.noid,re.libelle from kp_ressources re,kp_taches_ressources tr "
                                       "where tr.noidressource = re.noid and tr.noid in (")
                            + list + QStringLiteral(") order by tr.noid,re.typeressource,re.libelle"),
                        rs))
            return readFailure(QStringLiteral("Erreur lors de la lecture des ") + m_terms.plural(Entity::Ressource));
        for (int r = 0; r < rs.rowCount(); ++r)
            m_resources[rs.toLongLong(r, 0)].append(clean(rs.view(r, 1)));
    }
    return Outcome::success();
}

// The task, detail and leave lists: one line per date line starting in the
// period, and one per occurrence of a series inside it.
Outcome HistoryReport::Builder::taskLines()
{
    using namespace HistoryQueries;
    const Shape s = shape();
    ResultSet rs;
    if (!m_db.query(taskQuery(m_session.dialect(), m_p), rs))
        return readFailure(s == Shape::LeaveList ? QStringLiteral("Erreur lors de la lecture des congés")
                                                 : tasksFailure());
    const int first = entityColumns(m_p.kind);
    const int key = rs.columnCount() - 1;
    const qint64 from = Moment::of(m_p.start, 0).key(), to = Moment::of(m_p.end, 23 * 60 + 59).key();

    // Which records make lines: cancelled occurrences never, a series' model
    // once per row whatever its own dates, anything else when it starts inside.
    struct Record
    {
        int row;
        bool model;
        Moment start, end;
    };
    std::vector<Record> records;
    QList<qint64> tasks, series;
    QSet<qint64> seenTasks;
    QSet<QPair<qint64, qint64>> seenModels;
    for (int r = 0; r < rs.rowCount(); ++r) {
        const qint64 noid = rs.toLongLong(r, first + Noid);
        const qint64 serie = rs.toLongLong(r, first + Series);
        const int origin = rs.toInt(r, first + Origin);
        const bool model = serie > 0 && origin == 1;
        if (serie > 0 && origin < 0)
            continue;
        const Moment start = readMoment(rs.view(r, first + Start));
        if (model) {
            if (seenModels.contains({rs.toLongLong(r, key), noid}))
                continue;
            seenModels.insert({rs.toLongLong(r, key), noid});
            if (!series.contains(noid))
                series.append(noid);
        } else if (!start.isValid() || start.key() < from || start.key() > to) {
            continue; // read because it belongs to a series
        }
        records.push_back({r, model, start, readMoment(rs.view(r, first + End))});
        if (!seenTasks.contains(noid)) {
            seenTasks.insert(noid);
            tasks.append(noid);
        }
    }

    Outcome read = readTypes();
    if (read && s == Shape::LeaveList) {
        ResultSet leaves;
        if (!m_db.query(QStringLiteral("select code,libelle from kp_conges"), leaves))
            return readFailure(QStringLiteral("Erreur lors de la lecture des congés"));
        for (int r = 0; r < leaves.rowCount(); ++r)
            m_leaves.insert(leaves.value(r, 0).trimmed(), clean(leaves.view(r, 1)));
    }
    if (read)
        read = resources() ? readClientLinks(tasks) : readResourceLinks(tasks);
    if (!read)
        return read;
    QHash<qint64, PeriodRule> rules;
    QSet<Periodicity::ReplacedOccurrence> replaced;
    CompanyHours company;
    if (!series.isEmpty()) {
        if (!Periodicity::readRules(m_db, series, &rules) || !Periodicity::readReplaced(m_db, series, &replaced)
            || !CompanyHours::read(m_db, &company))
            return readFailure(ReadingData);
    }

    if (!status(QStringLiteral("Préparation des données"))) {
        m_stopped = true;
        return Outcome::success();
    }
    QHash<qint64, QList<Occurrence>> expansions;
    int done = 0;
    for (const Record &record : records) {
        if (!goOn(++done)) {
            m_stopped = true;
            break;
        }
        if (!record.model) {
            addLine(rs, record.row, first, record.start, record.end);
            continue;
        }
        const qint64 noid = rs.toLongLong(record.row, first + Noid);
        const auto rule = rules.constFind(noid);
        if (rule == rules.constEnd())
            continue;
        auto found = expansions.constFind(noid);
        if (found == expansions.constEnd()) {
            QList<Occurrence> list = Periodicity::ExpandRule(*rule, m_p.start, m_p.end, company.jourstrav);
            Periodicity::dropReplaced(noid, replaced, &list);
            found = expansions.insert(noid, list);
        }
        for (const Occurrence &o : *found)
            addLine(rs, record.row, first, Moment::of(o.day, WorkingTime::minutesOfDay(o.hordeb)),
                    Moment::of(o.endDay, WorkingTime::minutesOfDay(o.horfin)));
    }
    return Outcome::success();
}

void HistoryReport::Builder::addLine(const ResultSet &rs, int r, int first, const Moment &start, const Moment &end)
{
    using namespace HistoryQueries;
    const qint64 noid = rs.toLongLong(r, first + Noid);
    const QString entity = resources() ? clean(rs.view(r, 0))
                                       : HistoryReport::clientName(rs.toInt(r, 0), rs.value(r, 2), rs.value(r, 4), rs.value(r, 5));
    const QString type = m_types.value(rs.toLongLong(r, first + Type));
    // The names of the other side, joined once per task (a series makes many lines).
    auto known = m_linked.constFind(noid);
    if (known == m_linked.constEnd()) {
        QStringList names;
        for (const LinkedClient &c : m_clients.value(noid))
            names.append(c.name);
        known = m_linked.insert(noid, resources() ? names.join(QLatin1Char(',')) : m_resources.value(noid).join(QLatin1Char(',')));
    }
    const QString linked = *known;
    const QString days = right(amount(rs.view(r, first + Days)));
    const QString hours = right(amount(rs.view(r, first + Hours)));

    Line line;
    line.key = start.key();
    switch (shape()) {
    case Shape::List:
        line.rows.append(resources() ? QStringList{entity, type, linked, start.text(), end.text(), days, hours}
                                     : QStringList{entity, linked, type, start.text(), end.text(), days, hours});
        break;
    case Shape::LeaveList:
        line.rows.append({entity, m_leaves.value(rs.value(r, first + Extra).trimmed()), start.text(), end.text(), days, hours});
        break;
    case Shape::Detail: {
        const int x = first + Extra;
        line.rows.append({entity, start.text() + QStringLiteral(" - ") + end.text(), type,
                          clean(rs.view(r, x)), completion(m_terms, rs.view(r, x + 1), rs.view(r, x + 2), rs.view(r, x + 3))});
        if (resources()) {
            for (const LinkedClient &c : m_clients.value(noid))
                line.rows.append({QString(), c.address.isEmpty() ? c.name : c.name + QStringLiteral(" - ") + c.address, QString(),
                                  c.phones, QString()});
        } else {
            QStringList address, phones;
            for (int column = x + 4; column <= x + 7; ++column)
                if (const QString part = clean(rs.view(r, column)); !part.isEmpty())
                    address.append(part);
            if (const QString tel = clean(rs.view(r, x + 8)); !tel.isEmpty())
                phones.append(QStringLiteral("Tel : ") + tel);
            if (const QString mob = clean(rs.view(r, x + 9)); !mob.isEmpty())
                phones.append(QStringLiteral("Mobile : ") + mob);
            if (!address.isEmpty() || !phones.isEmpty())
                line.rows.append({QString(), address.join(QLatin1Char(' ')), QString(), phones.join(QStringLiteral(" - ")), QString()});
            if (!linked.isEmpty())
                line.rows.append({QString(), linked, QString(), QString(), QString()});
        }
        break;
    }
    default: break;
    }
    m_lines.push_back(std::move(line));
}

// Lines sorted by their start, in reading order within one start, each row
// carrying its sort key in the hidden "Tri" column.
void HistoryReport::Builder::finishLines()
{
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const Line &a, const Line &b) { return a.key < b.key; });
    int running = 0;
    for (Line &line : m_lines) {
        for (QStringList &row : line.rows) {
            // yyyyMMddhhmm then the running number on ten digits.
            QChar key[22];
            qint64 value = line.key;
            for (int i = 11; i >= 0; --i, value /= 10)
                key[i] = QChar(u'0' + int(value % 10));
            value = ++running;
            for (int i = 21; i >= 12; --i, value /= 10)
                key[i] = QChar(u'0' + int(value % 10));
            row.append(QString(key, 22));
            m_out->table.addRow(row);
        }
        ++m_out->lines;
    }
    m_lines.clear();
}

// Counts and totals per task type or leave kind.
Outcome HistoryReport::Builder::statistics()
{
    ResultSet rs;
    if (!m_db.query(HistoryQueries::statisticsQuery(m_session.dialect(), m_p), rs))
        return readFailure(shape() == HistoryQueries::Shape::LeaveStatistics ? QStringLiteral("Erreur lors de la lecture des congés")
                                                                             : tasksFailure());
    if (!status(QStringLiteral("Préparation des données"))) {
        m_stopped = true;
        return Outcome::success();
    }
    qint64 count = 0, days = 0, hours = 0;
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (!goOn(r + 1)) {
            m_stopped = true;
            break;
        }
        count += rs.toLongLong(r, 1);
        days += hundredths(rs.view(r, 2));
        hours += hundredths(rs.view(r, 3));
        m_out->table.addRow({clean(rs.view(r, 0)), right(QString::number(rs.toLongLong(r, 1))), right(amount(rs.view(r, 2))),
                             right(amount(rs.view(r, 3)))});
        ++m_out->lines;
    }
    if (m_out->lines > 0)
        m_out->table.addRow({QStringLiteral("Total :|BO"), QString::number(count) + QStringLiteral("|RBO"),
                             amountText(days, m_separator) + QStringLiteral("|RBO"),
                             amountText(hours, m_separator) + QStringLiteral("|RBO")});
    return Outcome::success();
}

// Expenses, income or both, one line per cost line, and their total.
Outcome HistoryReport::Builder::costLines()
{
    using namespace HistoryQueries;
    ResultSet rs;
    if (!m_db.query(costQuery(m_session.dialect(), m_p), rs))
        return readFailure(ReadingData);
    const int first = entityColumns(m_p.kind);
    QList<qint64> tasks;
    QSet<qint64> seen;
    for (int r = 0; r < rs.rowCount(); ++r)
        if (const qint64 noid = rs.toLongLong(r, first + Noid); !seen.contains(noid)) {
            seen.insert(noid);
            tasks.append(noid);
        }
    Outcome read = readTypes();
    // The resource column: the cost line's own resource in the list of
    // expenses, the task's resources in the global reports.
    const bool taskResources = !resources() || shape() == Shape::GlobalCosts;
    if (read && resources())
        read = readClientLinks(tasks);
    if (read && taskResources)
        read = readResourceLinks(tasks);
    if (!read)
        return read;

    if (!status(QStringLiteral("Préparation des données"))) {
        m_stopped = true;
        return Outcome::success();
    }
    const bool balance = HistoryQueries::costKind(m_p.kind, m_p.type) < 0;
    qint64 total = 0;
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (!goOn(r + 1)) {
            m_stopped = true;
            break;
        }
        const qint64 noid = rs.toLongLong(r, first + Noid);
        // In a balance, income counts up and expenses down.
        const int sign = balance && rs.toInt(r, first + CostKind) == 1 ? -1 : 1;
        const qint64 amountTotal = sign * hundredths(rs.view(r, first + CostTotal));
        total += amountTotal;
        QStringList clientNames;
        for (const LinkedClient &c : m_clients.value(noid))
            clientNames.append(c.name);
        const QString resource = taskResources ? m_resources.value(noid).join(QLatin1Char(',')) : clean(rs.view(r, 0));
        const QString type = m_types.value(rs.toLongLong(r, first + Type));
        const Moment date = readMoment(rs.view(r, first + CostDate));
        const QStringList figures{right(rs.view(r, first + CostUnits).trimmed().isEmpty() ? QStringLiteral("0")
                                                                                         : rs.value(r, first + CostUnits).trimmed()),
                                  right(amount(rs.view(r, first + CostUnit))), right(amountText(amountTotal, m_separator))};
        const QString day = date.isValid() ? date.dayText() : QString();
        const QString label = clean(rs.view(r, first + CostLabel));
        if (resources())
            m_out->table.addRow(QStringList{resource, type, clientNames.join(QLatin1Char(',')), day, label} + figures);
        else
            m_out->table.addRow(QStringList{HistoryReport::clientName(rs.toInt(r, 0), rs.value(r, 2), rs.value(r, 4), rs.value(r, 5)),
                                            type, resource, day, label}
                                + figures);
        ++m_out->lines;
    }
    if (m_out->lines > 0) {
        const bool clientBalance = balance && !resources();
        QStringList totalRow(6, QStringLiteral("|O"));
        totalRow.append(clientBalance ? QStringLiteral("Total|RBO") : QStringLiteral("Total :|RBO"));
        totalRow.append(amountText(total, m_separator) + QStringLiteral("|RBO"));
        m_out->table.addRow(totalRow);
    }
    return Outcome::success();
}

QString HistoryReport::typeName(HistoryKind kind, int type, const Terms &terms)
{
    const QString task = terms.singular(Entity::Tache);
    const QString de = terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de ");
    const QString resource = terms.singular(Entity::Ressource);
    const QString list = QStringLiteral("Liste des ") + terms.plural(Entity::Tache);
    const QString detail = QStringLiteral("Détail des ") + terms.plural(Entity::Tache);
    const QString statistics = QStringLiteral("Statistiques/Type ") + de + task;
    if (kind == HistoryKind::Resource) {
        switch (type) {
        case 0: return list;
        case 1: return detail;
        case 2: return QStringLiteral("Liste des charges");
        case 3: return statistics;
        case 4: return QStringLiteral("Liste des congés");
        case 5: return QStringLiteral("Statistiques congés");
        case 6: return QStringLiteral("Charges globales par ") + resource;
        case 7: return QStringLiteral("Recettes globales par ") + resource;
        case 8: return QStringLiteral("Solde global par ") + resource;
        default: return {};
        }
    }
    switch (type) {
    case 0: return list;
    case 1: return detail;
    case 2: return statistics;
    case 3: return QStringLiteral("Liste des charges");
    case 4: return QStringLiteral("Liste des recettes");
    case 5: return QStringLiteral("Solde ");
    default: return {};
    }
}

QStringList HistoryReport::typeNames(HistoryKind kind, const Terms &terms)
{
    QStringList names;
    for (int type = 0; type < typeCount(kind); ++type)
        names.append(typeName(kind, type, terms));
    return names;
}

QStringList HistoryReport::stateNames(const Terms &terms)
{
    const QString e = terms.feminine(Entity::Tache) ? QStringLiteral("e") : QString();
    return {terms.feminine(Entity::Tache) ? QStringLiteral("Toutes") : QStringLiteral("Tous"), QStringLiteral("Effectué") + e,
            QStringLiteral("Non Effectué") + e};
}

QString HistoryReport::title(const HistoryParameters &p, const Terms &terms)
{
    QString title = typeName(p.kind, p.type, terms);
    const auto filter = [&title](const QString &value) {
        if (!value.trimmed().isEmpty())
            title += QStringLiteral(" - ") + value.trimmed();
    };
    if (p.kind == HistoryKind::Resource) {
        filter(p.teamLabel);
        filter(p.serviceLabel);
    } else {
        filter(p.sectorLabel);
        filter(p.company);
    }
    if (!p.project.isEmpty())
        filter(p.projectLabel.isEmpty() ? p.project : p.projectLabel);
    if (p.state != HistoryParameters::AllStates)
        filter(stateNames(terms).value(p.state));
    filter(p.comment);
    QString period;
    const QString format = QStringLiteral("dd/MM/yyyy");
    if (p.start.isValid() && p.end.isValid())
        period = QStringLiteral("Du ") + p.start.toString(format) + QStringLiteral(" au ") + p.end.toString(format);
    else if (p.start.isValid())
        period = QStringLiteral("Depuis le ") + p.start.toString(format);
    else if (p.end.isValid())
        period = QStringLiteral("Jusqu'au ") + p.end.toString(format);
    return period.isEmpty() ? title : title + QLatin1Char('\r') + period;
}

QString HistoryReport::resourceChoiceQuery(qint64 team, const QString &service)
{
    QString sql = QStringLiteral("select noid,libelle,typeressource,civilite,nomressource,prenomressource from kp_ressources "
                                 " where noid >= 0 ");
    if (team >= 0)
        sql += QStringLiteral(" and noid in (select noressource from kp_equipes_ress where noequipe = ") + QString::number(team)
               + QStringLiteral(")");
    if (!service.trimmed().isEmpty())
        sql += QStringLiteral(" and noid in (select noressource from kp_ressserv where codeserv = '") + sqlText(service)
               + QStringLiteral("')");
    return sql + QStringLiteral(" order by typeressource,libelle");
}

QString HistoryReport::clientChoiceQuery(const QString &sector, const QString &company)
{
    QString sql = QStringLiteral("select noidsoc,typesoc,libsoc,nomcont,prenomcont from kp_societes where noidsoc >= 0 ");
    if (!sector.trimmed().isEmpty())
        sql += QStringLiteral(" and secteursoc = '") + sqlText(sector) + QStringLiteral("'");
    if (!company.trimmed().isEmpty())
        sql += QStringLiteral(" and libsoc = '") + sqlText(company) + QStringLiteral("'");
    return sql + QStringLiteral(" order by typesoc,libsoc,nomcont,prenomcont");
}

QString HistoryReport::clientName(int typesoc, const QString &libsoc, const QString &nom, const QString &prenom)
{
    QString name;
    if (typesoc == 0)
        name = clean(libsoc);
    else
        name = (clean(nom) + QLatin1Char(' ') + clean(prenom)).trimmed();
    return name.isEmpty() ? QStringLiteral("?") : name;
}
