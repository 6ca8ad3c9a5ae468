#include "planning/PlanningModel.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "planning/BlockText.h"
#include "planning/PlanningQueries.h"
#include "tasks/Periodicity.h"

#include <QDir>

#include <algorithm>
#include <numeric>

namespace {

const QString Error = QStringLiteral("Erreur");

QString ddmmyyyy(const QDate &date)
{
    if (!date.isValid())
        return {};
    const int d = date.day(), m = date.month(), y = date.year();
    const QChar text[10] = {QChar(u'0' + d / 10), QChar(u'0' + d % 10), u'/', QChar(u'0' + m / 10), QChar(u'0' + m % 10), u'/',
                            QChar(u'0' + y / 1000 % 10), QChar(u'0' + y / 100 % 10), QChar(u'0' + y / 10 % 10), QChar(u'0' + y % 10)};
    return QString(text, 10);
}

// A day and a time of day, without the time-zone work of QDateTime (which
// would look at the system's zone for every one of thousands of lines).
struct Moment
{
    QDate date;
    int minutes = 0;
    static Moment of(const QDateTime &at) { return {at.date(), at.time().hour() * 60 + at.time().minute()}; }
    qint64 stamp() const { return date.toJulianDay() * 1440 + minutes; }
};

// A stored date-time, read quickly in the usual "yyyy-mm-dd hh:mm[:ss]" shape.
Moment readMoment(QStringView t)
{
    const auto digits = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = t.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    };
    if (t.size() >= 16 && t.at(4) == u'-' && t.at(7) == u'-' && t.at(13) == u':') {
        const QDate date(digits(0, 4), digits(5, 2), digits(8, 2));
        const int h = digits(11, 2), m = digits(14, 2);
        if (date.isValid() && h >= 0 && h < 24 && m >= 0 && m < 60)
            return {date, h * 60 + m};
    }
    return Moment::of(parseDbDateTime(t.toString()));
}

// The columns of PlanningQueries::lineQuery.
enum LineColumn { Noid, RowKey, Start, End, Type, Urgency, Project, Leave, DateLine, Lock, Series, Origin, Prospect, Alert, Days,
                  Hours, AdminLock, Zone };

// "/" for a column that holds nothing.
QString orSlash(QStringView value)
{
    const QStringView v = value.trimmed();
    return v.isEmpty() || v == u'/' ? QStringLiteral("/") : v.toString();
}

// Sets a block's start and end; an end at midnight is 24:00 of the day before.
void setRange(PlanningBlock &b, const Moment &start, const Moment &end)
{
    b.startDate = start.date;
    b.startMinutes = start.minutes;
    if (end.minutes == 0 && end.date.isValid()) {
        b.endDate = end.date.addDays(-1);
        b.endMinutes = 1440;
    } else {
        b.endDate = end.date;
        b.endMinutes = end.minutes;
    }
}

// The last day a range ending there covers: an end at midnight covers the day before.
QDate lastDayOf(const Moment &end)
{
    return end.minutes == 0 && end.date.isValid() ? end.date.addDays(-1) : end.date;
}

struct Colours
{
    QString label = QStringLiteral("/");
    int background = 0xFFFFFF;
    int text = 0;
};

// code → label and colours, from "select code,libelle,coulfond,coultexte".
bool readColours(Database &db, const QString &sql, QHash<QString, Colours> *table)
{
    ResultSet rows;
    if (!db.query(sql, rows))
        return false;
    for (int r = 0; r < rows.rowCount(); ++r)
        table->insert(rows.value(r, 0).trimmed(), {orSlash(rows.value(r, 1)), rows.toInt(r, 2), rows.toInt(r, 3)});
    return true;
}

// A task's linked client or resource, as the block texts list it.
struct Link
{
    qint64 key = 0;
    QString name, address, postcode, town;
    int background = 0xFFFFFF;
    int text = 0;
    int zone = 0;
};

QString civilityName(const Session &session, int civility)
{
    return session.civilities().at(std::size_t(qBound(0, civility, 2))).shortName;
}

QString joinNames(const QStringList &parts);

using LinkTable = QHash<qint64, QList<Link>>;

// The clients and resources of the tasks of `taskLists`, each task's in the
// order of their numbers; a null table is not read.
bool readLinks(Session &session, const QStringList &taskLists, LinkTable *clientLinks, LinkTable *resourceLinks)
{
    Database &db = *session.database();
    for (const QString &tasks : taskLists) {
        if (!clientLinks)
            break;
        ResultSet c;
        if (!db.query(QStringLiteral("select x.noid,s.noidsoc,s.typesoc,s.libsoc,s.sexecont,s.nomcont,s.prenomcont,s.adrsoc,"
                                     "s.cpsoc,s.villesoc,s.coulfond,s.coultexte,s.noidzone from kp_taches_clients x,kp_societes s"
                                     " where x.noidsoc = s.noidsoc and x.noid in (")
                          + tasks + QLatin1Char(')'),
                      c))
            return false;
        for (int r = 0; r < c.rowCount(); ++r) {
            Link l;
            l.key = c.toLongLong(r, 1);
            l.name = c.toInt(r, 2) == 1 ? joinNames({civilityName(session, c.toInt(r, 4)), c.value(r, 5), c.value(r, 6)})
                                        : c.value(r, 3).trimmed();
            l.address = c.value(r, 7).trimmed();
            l.postcode = c.value(r, 8).trimmed();
            l.town = c.value(r, 9).trimmed();
            l.background = c.toInt(r, 10);
            l.text = c.toInt(r, 11);
            l.zone = c.toInt(r, 12);
            (*clientLinks)[c.toLongLong(r, 0)].append(l);
        }
    }
    for (const QString &tasks : taskLists) {
        if (!resourceLinks)
            break;
        ResultSet e;
        if (!db.query(QStringLiteral("select x.noid,r.noid,r.typeressource,r.libelle,r.adrressource,r.cpressource,"
                                     "r.villeressource,r.coulfond,r.coultexte from kp_taches_ressources x,kp_ressources r"
                                     " where x.noidressource = r.noid and x.noid in (")
                          + tasks + QLatin1Char(')'),
                      e))
            return false;
        for (int r = 0; r < e.rowCount(); ++r) {
            Link l;
            l.key = e.toLongLong(r, 1);
            l.name = e.value(r, 3).trimmed();
            l.address = e.value(r, 4).trimmed();
            l.postcode = e.value(r, 5).trimmed();
            l.town = e.value(r, 6).trimmed();
            l.background = e.toInt(r, 7);
            l.text = e.toInt(r, 8);
            (*resourceLinks)[e.toLongLong(r, 0)].append(l);
        }
    }
    for (LinkTable *links : {clientLinks, resourceLinks})
        if (links)
            for (QList<Link> &list : *links)
                std::sort(list.begin(), list.end(), [](const Link &a, const Link &b) { return a.key < b.key; });
    return true;
}

// The lists the block texts G to J show: resources first, then clients.
void setLinks(PlanningBlock &b, const QList<Link> &resources, const QList<Link> &clients)
{
    b.linkNames.clear();
    b.addresses.clear();
    b.postcodes.clear();
    b.towns.clear();
    b.resources.clear();
    b.clients.clear();
    for (const QList<Link> *list : {&resources, &clients})
        for (const Link &l : *list) {
            b.linkNames.append(l.name);
            b.addresses.append(l.address);
            b.postcodes.append(l.postcode);
            b.towns.append(l.town);
        }
    for (const Link &l : resources)
        b.resources.append(l.key);
    for (const Link &l : clients)
        b.clients.append(l.key);
}

QString joinNames(const QStringList &parts)
{
    QStringList kept;
    for (const QString &p : parts)
        if (!p.trimmed().isEmpty() && p.trimmed() != QLatin1String("/"))
            kept.append(p.trimmed());
    return kept.join(QLatin1Char(' '));
}

// The prospect items M to V of each request; a request table that cannot be
// read only leaves them out.
void readProspects(Database &db, const QSet<qint64> &numbers, QHash<qint64, QStringList> *items)
{
    ResultSet t;
    if (!db.query(QStringLiteral("select nomtable from kp_tableprospect"), t) || t.isEmpty())
        return;
    const QString table = t.value(0, 0).trimmed();
    if (table.isEmpty() || table == QLatin1String("/"))
        return;
    ResultSet p;
    if (!db.query(QStringLiteral("select noid,nom,prenom,adresse,codepost,ville,telephone,mobile,fax,objdem,commentaire from ")
                      + table + QStringLiteral(" where noid in (") + numberList(QList<qint64>(numbers.cbegin(), numbers.cend()))
                      + QLatin1Char(')'),
                  p))
        return;
    for (int r = 0; r < p.rowCount(); ++r)
        items->insert(p.toLongLong(r, 0), {p.value(r, 0), joinNames({p.value(r, 1), p.value(r, 2)}), p.value(r, 3), p.value(r, 4),
                                           p.value(r, 5), p.value(r, 6), p.value(r, 7), p.value(r, 8), p.value(r, 9),
                                           p.value(r, 10)});
}

} // namespace

QString PlanningBlock::startTime() const { return WorkingTime::timeOfDay(startMinutes); }
QString PlanningBlock::endTime() const { return WorkingTime::timeOfDay(endMinutes); }
QString PlanningBlock::startText() const { return ddmmyyyy(startDate) + QLatin1Char(' ') + startTime(); }
QString PlanningBlock::endText() const { return ddmmyyyy(endDate) + QLatin1Char(' ') + endTime(); }

Outcome PlanningModel::loadRows(Session &session, const PlanningRequest &request)
{
    Database &db = *session.database();
    ResultSet rs;
    if (!db.query(PlanningQueries::rowQuery(request.presentation, request.fragments), rs))
        return Outcome::failure(Error,
                                QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(rowEntity(request.presentation)),
                                db.lastError());
    QList<PlanningRow> rows;
    QHash<qint64, int> index;
    QList<QImage> icons;
    QHash<QString, int> iconOf; // file names, letter case ignored
    rows.reserve(rs.rowCount());
    index.reserve(rs.rowCount());
    const QDir images(request.imagesFolder);
    for (int r = 0; r < rs.rowCount(); ++r) {
        PlanningRow row;
        row.label = rs.value(r, 0).trimmed();
        row.kind = rs.toInt(r, 1);
        row.second = rs.value(r, 2).trimmed();
        row.third = rs.value(r, 3).trimmed();
        row.key = rs.toLongLong(r, 4);
        row.background = rs.toInt(r, 5);
        row.text = rs.toInt(r, 6);
        row.civility = rs.toInt(r, 7);
        row.iconName = rs.value(r, 8).trimmed();
        if (!row.iconName.isEmpty() && row.iconName != QLatin1String("/") && !request.imagesFolder.isEmpty()) {
            const QString name = row.iconName.toLower();
            auto found = iconOf.constFind(name);
            if (found == iconOf.constEnd()) {
                QImage image(images.filePath(row.iconName));
                int at = -1;
                if (!image.isNull()) {
                    at = int(icons.size());
                    icons.append(image.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
                }
                found = iconOf.insert(name, at);
            }
            row.icon = found.value();
        }
        index.insert(row.key, int(rows.size()));
        rows.append(std::move(row));
    }
    m_rows = std::move(rows);
    m_rowIndex = std::move(index);
    m_icons = std::move(icons);
    m_request.presentation = request.presentation;
    ++m_generation;
    return Outcome::success();
}

Outcome PlanningModel::loadCalendar(Session &session)
{
    Database &db = *session.database();
    Outcome outcome = Outcome::success();
    CompanyHours hours;
    if (!CompanyHours::read(db, &hours)) {
        hours = CompanyHours();
        outcome.merge(Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des horaires"), db.lastError()));
    }
    m_hours = hours;
    QList<Holiday> holidays;
    const Outcome read = TimeOff::holidays(db, &holidays);
    if (!read)
        outcome.merge(read);
    m_holidays = read ? holidays : QList<Holiday>();
    return outcome;
}

Outcome PlanningModel::loadBlocks(Session &session, const PlanningRequest &request)
{
    Database &db = *session.database();
    const Dialect &dialect = session.dialect();
    const Presentation presentation = request.presentation;
    const QString failed = QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Tache);
    const auto failure = [&] { return Outcome::failure(Error, failed, db.lastError()); };

    ResultSet rs;
    if (!db.query(PlanningQueries::lineQuery(presentation, request.fragments, dialect, request.first, request.days), rs))
        return failure();

    // The lists every block looks up, each read once.
    QHash<QString, Colours> types, leaves, urgencies, zones;
    QHash<QString, QString> projects;
    if (!readColours(db, QStringLiteral("select noidtache,libtache,coulfond,coultexte from kp_taches"), &types)
        || !readColours(db, QStringLiteral("select code,libelle,coulfond,coultexte from kp_conges"), &leaves)
        || !readColours(db, QStringLiteral("select code,libelle,coulfond,coultexte from kp_urgences"), &urgencies))
        return failure();
    if (request.colours == ColourSource::Zone
        && !readColours(db, QStringLiteral("select noidzone,libzone,coulfond,coultexte from kp_zones"), &zones))
        return failure();
    {
        ResultSet p;
        if (!db.query(QStringLiteral("select code,libelle from kp_projets"), p))
            return failure();
        for (int r = 0; r < p.rowCount(); ++r)
            projects.insert(p.value(r, 0).trimmed(), orSlash(p.value(r, 1)));
    }

    QHash<qint64, Colours> typeById, zoneById;
    for (auto it = types.cbegin(); it != types.cend(); ++it)
        typeById.insert(it.key().toLongLong(), it.value());
    for (auto it = zones.cbegin(); it != zones.cend(); ++it)
        zoneById.insert(it.key().toLongLong(), it.value());

    // Which records are drawn, and in which order: row by row, each task's
    // lines by start. Series models are kept whatever their dates, other
    // lines only when they meet the days read. Blocks are built afterwards,
    // each once and in its place.
    const QDate windowEnd = request.first.addDays(request.days); // exclusive
    struct Record
    {
        qint64 rowKey, noid;
        qint64 from, to; // start and end as minute stamps
        int dateLine;
        Moment start, end;
        int line; // in the result
        bool model;
        auto key() const { return std::tie(rowKey, noid, from, dateLine, to); }
        bool operator<(const Record &o) const { return key() < o.key(); }
    };
    std::vector<Record> records;
    records.reserve(std::size_t(rs.rowCount()));
    QList<qint64> series;
    QSet<qint64> prospects;
    const bool wantProspects = BlockText::usesProspect(request.blockPhrase) || BlockText::usesProspect(request.tooltipPhrase);
    for (int r = 0; r < rs.rowCount(); ++r) {
        const qint64 noid = rs.toLongLong(r, Noid);
        const qint64 rowKey = rs.toLongLong(r, RowKey);
        // A record of a row that is not listed (a client outside the stage, a leave by task type) is never drawn.
        if (rowOf(rowKey) < 0)
            continue;
        const bool model = rs.toLongLong(r, Series) > 0 && rs.toInt(r, Origin) == 1;
        const Moment start = readMoment(rs.view(r, Start)), end = readMoment(rs.view(r, End));
        if (!model && (start.date >= windowEnd || lastDayOf(end) < request.first))
            continue; // read because it belongs to a series, but outside the days
        records.push_back({rowKey, noid, start.stamp(), end.stamp(), rs.toInt(r, DateLine), start, end, r, model});
        if (model && !series.contains(noid))
            series.append(noid);
        if (wantProspects)
            if (const qint64 prospect = rs.toLongLong(r, Prospect); prospect > 0)
                prospects.insert(prospect);
    }
    std::stable_sort(records.begin(), records.end());
    // A record read twice (a link, a header or a date line stored twice) counts once.
    records.erase(std::unique(records.begin(), records.end(), [](const Record &x, const Record &y) { return x.key() == y.key(); }),
                  records.end());

    // The linked clients and resources, read now only when a block text, the
    // colours or the owner flag need them; a tool-tip reads its own later.
    const bool listsShown = BlockText::usesLinks(request.blockPhrase);
    const bool wantClients = presentation != Presentation::ByClient
                             && (listsShown || request.colours == ColourSource::Client || request.colours == ColourSource::Zone);
    const bool wantResources = presentation != Presentation::ByResource && (listsShown || session.currentResource() > 0);
    const bool wantComments = BlockText::usesComment(request.blockPhrase);
    QStringList taskLists;
    if (wantClients || wantResources || wantComments) {
        QList<qint64> numbers;
        QSet<qint64> seen;
        for (const Record &record : records)
            if (!seen.contains(record.noid)) {
                seen.insert(record.noid);
                numbers.append(record.noid);
            }
        taskLists = PlanningQueries::numberLists(numbers);
    }
    LinkTable clientLinks, resourceLinks;
    if (!readLinks(session, taskLists, wantClients ? &clientLinks : nullptr, wantResources ? &resourceLinks : nullptr))
        return failure();
    QHash<qint64, QString> comments;
    for (const QString &tasks : taskLists) {
        if (!wantComments)
            break;
        ResultSet c;
        if (!db.query(QStringLiteral("select d.noid,d.commentaire from kp_taches_desc d where d.noid in (") + tasks + QLatin1Char(')'),
                      c))
            return failure();
        for (int r = 0; r < c.rowCount(); ++r)
            comments.insert(c.toLongLong(r, 0), orSlash(c.value(r, 1)));
    }

    QHash<qint64, PeriodRule> rules;
    QSet<Periodicity::ReplacedOccurrence> replaced;
    Outcome periods = Periodicity::readRules(db, series, &rules);
    if (!periods)
        return periods;
    periods = Periodicity::readReplaced(db, series, &replaced);
    if (!periods)
        return periods;

    QHash<qint64, QStringList> prospectItems;
    if (!prospects.isEmpty())
        readProspects(db, prospects, &prospectItems);

    const QChar separator = session.shownDecimalSeparator();
    const qint64 me = session.currentResource();
    const DatabaseDescription &description = session.description();
    const bool adminRule = description.blocauto && description.geslogin && !session.isAdministrator();
    // A block of a record, with everything it shows.
    const auto build = [&](PlanningBlock &b, const Record &record) {
        const int r = record.line;
        b.noid = record.noid;
        b.rowKey = record.rowKey;
        b.zone = presentation == Presentation::ByClient ? rs.toInt(r, Zone) : 0;
        setRange(b, record.start, record.end);
        b.taskType = rs.toLongLong(r, Type);
        b.urgency = orSlash(rs.view(r, Urgency));
        b.project = orSlash(rs.view(r, Project));
        b.leaveCode = orSlash(rs.view(r, Leave));
        b.dateLine = record.dateLine;
        b.blocage = rs.toInt(r, Lock);
        b.noidper = rs.toLongLong(r, Series);
        b.origine = rs.toInt(r, Origin);
        b.prospect = rs.toLongLong(r, Prospect);
        b.alert = rs.toInt(r, Alert);
        b.nbjours = rs.toDouble(r, Days);
        b.nbheures = rs.toDouble(r, Hours);
        b.blocadm = rs.toInt(r, AdminLock);
        b.adminLocked = b.blocadm == 1 && adminRule;
        b.rowLabel = presentation == Presentation::ByResource ? m_rows.at(rowOf(b.rowKey)).label
                     : presentation == Presentation::ByClient ? QStringLiteral("//")
                                                              : QString::number(b.rowKey);

        b.projectLabel = b.project == QLatin1String("/") ? QStringLiteral("/") : projects.value(b.project, QStringLiteral("/"));
        const Colours type = b.isLeave() ? leaves.value(b.leaveCode) : typeById.value(b.taskType);
        b.typeLabel = type.label;
        b.urgencyLabel = b.urgency == QLatin1String("/") ? QStringLiteral("/") : urgencies.value(b.urgency).label;
        if (wantComments) {
            b.comment = comments.value(b.noid, QStringLiteral("/"));
            b.commentRead = true;
        }
        const QList<Link> clients = clientLinks.value(b.noid);
        if (wantClients || wantResources)
            setLinks(b, resourceLinks.value(b.noid), clients);
        b.linksRead = wantClients == (presentation != Presentation::ByClient)
                      && wantResources == (presentation != Presentation::ByResource);

        Colours colours = type;
        switch (request.colours) {
        case ColourSource::TaskType: break;
        case ColourSource::Client:
            if (presentation == Presentation::ByClient) {
                const PlanningRow &row = m_rows.at(rowOf(b.rowKey));
                colours = {type.label, row.background, row.text};
            } else if (!clients.isEmpty()) {
                colours = {type.label, clients.first().background, clients.first().text};
            }
            break;
        case ColourSource::Urgency:
            if (const auto u = urgencies.constFind(b.urgency); u != urgencies.constEnd())
                colours = *u;
            break;
        case ColourSource::Zone: {
            const int zone = presentation == Presentation::ByClient ? b.zone : clients.isEmpty() ? -1 : clients.first().zone;
            if (const auto z = zoneById.constFind(zone); z != zoneById.constEnd())
                colours = *z;
            break;
        }
        }
        b.background = colours.background;
        b.textColour = colours.text;

        if (me <= 0)
            b.owner = true;
        else if (presentation == Presentation::ByResource)
            b.owner = b.rowKey == me;
        else
            b.owner = b.resources.contains(me);
    };

    QList<PlanningBlock> blocks;
    blocks.reserve(qsizetype(records.size()) + qsizetype(records.size()) / 4);
    QHash<qint64, QList<Occurrence>> expansions;
    const QDate lastDay = windowEnd.addDays(-1);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].model) {
            PlanningBlock &b = blocks.emplace_back();
            build(b, records[i]);
            b.text = BlockText::compose(request.blockPhrase, b, prospectItems.value(b.prospect), separator);
            continue;
        }
        // A series shows its occurrences on each of its rows, whatever the
        // model's own date lines, which are not drawn.
        PlanningBlock model;
        build(model, records[i]);
        while (i + 1 < records.size() && records[i + 1].rowKey == model.rowKey && records[i + 1].noid == model.noid)
            ++i;
        const QStringList prospect = prospectItems.value(model.prospect);
        const auto rule = rules.constFind(model.noid);
        if (rule == rules.constEnd())
            continue;
        auto found = expansions.constFind(model.noid);
        if (found == expansions.constEnd()) {
            QList<Occurrence> list = Periodicity::ExpandRule(*rule, request.first.addDays(-qMax(0, rule->jourfin)), lastDay,
                                                             m_hours.jourstrav);
            Periodicity::dropReplaced(model.noid, replaced, &list);
            found = expansions.insert(model.noid, list);
        }
        for (const Occurrence &o : *found) {
            const Moment end{o.endDay, WorkingTime::minutesOfDay(o.horfin)};
            if (lastDayOf(end) < request.first)
                continue;
            PlanningBlock &copy = blocks.emplace_back(model);
            setRange(copy, {o.day, WorkingTime::minutesOfDay(o.hordeb)}, end);
            copy.occurrence = o.number;
            copy.text = BlockText::compose(request.blockPhrase, copy, prospect, separator);
        }
    }

    m_blocks = std::move(blocks);
    m_prospects = std::move(prospectItems);
    m_request = request;
    ++m_generation;
    return Outcome::success();
}

QString PlanningModel::tooltip(Session &session, int index)
{
    if (index < 0 || index >= m_blocks.size())
        return {};
    PlanningBlock &b = m_blocks[index];
    if (!b.tooltip.isEmpty())
        return b.tooltip;
    if (!b.commentRead && BlockText::usesComment(m_request.tooltipPhrase) && session.database()) {
        ResultSet rs;
        if (session.database()->query(QStringLiteral("select commentaire from kp_taches_desc where noid = ") + QString::number(b.noid), rs)
            && !rs.isEmpty())
            b.comment = orSlash(rs.value(0, 0));
        b.commentRead = true;
    }
    if (!b.linksRead && BlockText::usesLinks(m_request.tooltipPhrase) && session.database()) {
        LinkTable clients, resources;
        const Presentation p = m_request.presentation;
        if (readLinks(session, {QString::number(b.noid)}, p != Presentation::ByClient ? &clients : nullptr,
                      p != Presentation::ByResource ? &resources : nullptr))
            setLinks(b, resources.value(b.noid), clients.value(b.noid));
        b.linksRead = true;
    }
    b.tooltip = BlockText::compose(m_request.tooltipPhrase, b, m_prospects.value(b.prospect), session.shownDecimalSeparator());
    return b.tooltip;
}

void PlanningModel::setContent(const QList<PlanningRow> &rows, const QList<PlanningBlock> &blocks, const CompanyHours &hours,
                               const QList<Holiday> &holidays)
{
    m_rows = rows;
    m_rowIndex.clear();
    for (int i = 0; i < rows.size(); ++i)
        m_rowIndex.insert(rows.at(i).key, i);
    m_blocks = blocks;
    m_hours = hours;
    m_holidays = holidays;
    ++m_generation;
}

QString PlanningModel::caption(Session &session)
{
    QString text = QStringLiteral("Affichage du planning");
    if (session.isLoggedIn())
        text += QStringLiteral(" - Utilisateur : ") + session.userCode();
    if (session.currentResource() > 0 && session.database()) {
        ResultSet rs;
        if (session.database()->query(QStringLiteral("select libelle from kp_ressources where noid = ")
                                          + QString::number(session.currentResource()),
                                      rs)
            && !rs.isEmpty())
            text += QStringLiteral(" - ") + session.terms().singular(Entity::Ressource) + QStringLiteral(" : ")
                    + rs.value(0, 0).trimmed();
    }
    const QString stamp = session.lastStamp();
    if (stamp.size() > 8)
        text += QStringLiteral(" - Mise à jour : ") + stamp.left(stamp.size() - 8);
    return text;
}

Outcome PlanningModel::applyAdminLocks(Session &session, const QDate &today)
{
    const DatabaseDescription &d = session.description();
    if (!d.blocauto || !d.geslogin)
        return Outcome::success();
    Database &db = *session.database();
    // Lines that began yesterday during the day count too: compare with today's midnight.
    if (!db.exec(QStringLiteral("update kp_taches_desc set blocadm = 1 where noid in ( select noid from kp_taches_dates where  datedeb < ")
                 + session.dialect().dateFilter(today) + QLatin1Char(')')))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des blocages administratifs"), db.lastError());
    return Outcome::success();
}
