#include "PlanningFixture.h"

#include "planning/BlockText.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningQueries.h"
#include "tasks/Periodicity.h"

#include <QImage>
#include <QTest>
#include <random>

namespace {

const QDate Monday(2027, 3, 1);

QString describe(const PlanningBlock &b)
{
    return QStringList{QString::number(b.noid), QString::number(b.rowKey), b.startText(), b.endText(),
                       QString::number(b.taskType), b.urgency, b.project, b.projectLabel, b.comment, b.leaveCode,
                       QString::number(b.dateLine), QString::number(b.blocage), QString::number(b.adminLocked),
                       QString::number(b.noidper), QString::number(b.origine), QString::number(b.alert), QString::number(b.zone),
                       QString::number(b.nbjours), QString::number(b.nbheures), QString::number(b.occurrence),
                       QString::number(b.background), QString::number(b.textColour), b.text, b.tooltip, QString::number(b.owner)}
        .join(QLatin1Char('|'));
}

QStringList describeAll(const QList<PlanningBlock> &blocks)
{
    QStringList lines;
    for (const PlanningBlock &b : blocks)
        lines.append(describe(b));
    lines.sort();
    return lines;
}

// A loaded model's blocks, their tool-tips composed.
QStringList describeAll(PlanningModel &model, Session &session)
{
    QList<PlanningBlock> blocks;
    for (int i = 0; i < model.blocks().size(); ++i) {
        model.tooltip(session, i);
        blocks.append(model.blocks().at(i));
    }
    return describeAll(blocks);
}

} // namespace

Q_DECLARE_METATYPE(FilterChoice)

// Reading a planning's rows and blocks, and the same reading done the slow
// way, one row and one block at a time, to check the batched load against.
class TestPlanningModel : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    PlanningRequest request(Presentation p, const FilterChoice &choice = {}, const QDate &first = Monday, int days = 7)
    {
        PlanningRequest r;
        r.presentation = p;
        r.first = first;
        r.days = days;
        r.blockPhrase = QStringLiteral("EG");
        r.tooltipPhrase = QStringLiteral("ACBCEFKL");
        const Outcome built = PlanningFilters::build(db(), choice, &r.fragments);
        if (!built)
            qWarning() << built.text() << built.dbError();
        return r;
    }

    PlanningModel load(const PlanningRequest &r)
    {
        PlanningModel model;
        const Outcome calendar = model.loadCalendar(session());
        const Outcome rows = model.loadRows(session(), r);
        const Outcome blocks = rows ? model.loadBlocks(session(), r) : rows;
        if (!calendar || !rows || !blocks)
            qWarning() << blocks.text() << blocks.dbError();
        return model;
    }

    QStringList labels(const PlanningModel &m)
    {
        QStringList l;
        for (const PlanningRow &r : m.rows())
            l.append(r.label);
        return l;
    }

    // The slow way: one task query per row, then each block enriched by its own reads.
    QStringList naive(const PlanningRequest &r)
    {
        PlanningModel rowsOnly;
        rowsOnly.loadRows(session(), r);
        const QString query = PlanningQueries::taskQuery(r.presentation, r.fragments, session().dialect(), r.first, r.days);
        const qsizetype order = query.lastIndexOf(QStringLiteral(" order by "));
        const QString keyColumn = r.presentation == Presentation::ByResource ? QStringLiteral("r.noid")
                                  : r.presentation == Presentation::ByClient ? QStringLiteral("c.noidsoc")
                                                                             : QStringLiteral("d.noidtache");
        const auto one = [&](const QString &sql) {
            ResultSet rs;
            if (!db().query(sql, rs))
                qWarning() << db().lastError() << sql;
            return rs;
        };
        QList<PlanningBlock> blocks;
        QSet<QString> seenKeys;
        for (const PlanningRow &row : rowsOnly.rows()) {
            if (seenKeys.contains(QString::number(row.key)))
                continue;
            seenKeys.insert(QString::number(row.key));
            const ResultSet rs = one(query.left(order) + QStringLiteral(" and ") + keyColumn + QStringLiteral(" = ")
                                     + QString::number(row.key) + query.mid(order));
            QSet<qint64> expanded;
            for (int i = 0; i < rs.rowCount(); ++i) {
                PlanningBlock b;
                b.noid = rs.toLongLong(i, 0);
                b.rowKey = rs.toLongLong(i, 1);
                const QDateTime start = parseDbDateTime(rs.value(i, 3));
                QDateTime end = parseDbDateTime(rs.value(i, 4));
                const auto setRange = [](PlanningBlock &x, const QDateTime &s, const QDateTime &e) {
                    x.startDate = s.date();
                    x.startMinutes = s.time().hour() * 60 + s.time().minute();
                    const int m = e.time().hour() * 60 + e.time().minute();
                    x.endDate = m == 0 ? e.date().addDays(-1) : e.date();
                    x.endMinutes = m == 0 ? 1440 : m;
                };
                setRange(b, start, end);
                b.taskType = rs.toLongLong(i, 5);
                b.urgency = rs.value(i, 6).trimmed();
                b.project = rs.value(i, 7).trimmed();
                b.leaveCode = rs.value(i, 9).trimmed();
                b.dateLine = rs.toInt(i, 10);
                b.blocage = rs.toInt(i, 11);
                b.noidper = rs.toLongLong(i, 12);
                b.origine = rs.toInt(i, 13);
                b.alert = rs.toInt(i, 15);
                b.zone = rs.toInt(i, 16);
                b.nbjours = rs.toDouble(i, 17);
                b.nbheures = rs.toDouble(i, 18);
                const bool model = b.noidper > 0 && b.origine == 1;
                if (!model && (b.startDate >= r.first.addDays(r.days) || b.endDate < r.first))
                    continue;
                if (b.project != QLatin1String("/")) {
                    const ResultSet p = one(QStringLiteral("select libelle from kp_projets where code = '") + sqlText(b.project) + QLatin1Char('\''));
                    b.projectLabel = p.isEmpty() ? QStringLiteral("/") : p.value(0, 0).trimmed();
                }
                const ResultSet colours = b.isLeave()
                                              ? one(QStringLiteral("select libelle,coulfond,coultexte from kp_conges where  code = '") + b.leaveCode + QLatin1Char('\''))
                                              : one(QStringLiteral("select libtache,coulfond,coultexte from kp_taches where  noidtache = ") + QString::number(b.taskType));
                if (!colours.isEmpty()) {
                    b.typeLabel = colours.value(0, 0).trimmed();
                    b.background = colours.toInt(0, 1);
                    b.textColour = colours.toInt(0, 2);
                }
                if (b.urgency != QLatin1String("/")) {
                    const ResultSet u = one(QStringLiteral("select libelle,coulfond,coultexte from kp_urgences  where code = '") + b.urgency + QLatin1Char('\''));
                    b.urgencyLabel = u.isEmpty() ? QString() : u.value(0, 0).trimmed();
                }
                const ResultSet comment = one(QStringLiteral("select commentaire from kp_taches_desc where noid = ") + QString::number(b.noid));
                b.comment = comment.value(0, 0).trimmed().isEmpty() ? QStringLiteral("/") : comment.value(0, 0).trimmed();
                const QString N = QString::number(b.noid);
                QList<qint64> resources;
                if (r.presentation != Presentation::ByResource) {
                    const ResultSet e = one(QStringLiteral("select r.noid,r.typeressource,r.libelle from kp_taches_ressources t,kp_ressources r where  t.noid = ")
                                            + N + QStringLiteral(" and  t.noidressource = r.noid order by r.noid"));
                    for (int k = 0; k < e.rowCount(); ++k) {
                        resources.append(e.toLongLong(k, 0));
                        b.resources.append(e.toLongLong(k, 0));
                        b.linkNames.append(e.value(k, 2).trimmed());
                    }
                }
                if (r.presentation != Presentation::ByClient) {
                    const ResultSet c = one(QStringLiteral("select s.noidsoc,s.typesoc,s.libsoc,s.sexecont,s.nomcont, s.prenomcont from kp_taches_clients c,kp_societes s where  c.noid = ")
                                            + N + QStringLiteral(" and  c.noidsoc = s.noidsoc order by s.noidsoc"));
                    for (int k = 0; k < c.rowCount(); ++k) {
                        const QString civility = session().civilities().at(std::size_t(qBound(0, c.toInt(k, 3), 2))).shortName;
                        QStringList name = {civility, c.value(k, 4).trimmed(), c.value(k, 5).trimmed()};
                        name.removeAll(QStringLiteral("/"));
                        b.linkNames.append(c.toInt(k, 1) == 1 ? name.join(QLatin1Char(' ')) : c.value(k, 2).trimmed());
                    }
                }
                const qint64 me = session().currentResource();
                b.owner = me <= 0 || (r.presentation == Presentation::ByResource ? b.rowKey == me : resources.contains(me));
                if (model) {
                    if (expanded.contains(b.noid))
                        continue;
                    expanded.insert(b.noid);
                    PeriodRule rule;
                    bool found = false;
                    Periodicity::readRule(db(), b.noid, &rule, &found);
                    if (!found)
                        continue;
                    QList<Occurrence> occurrences = Periodicity::ExpandRule(rule, r.first.addDays(-rule.jourfin), r.first.addDays(r.days - 1),
                                                                            rowsOnly.hours().jourstrav);
                    Periodicity::removeReplaced(db(), session().dialect(), b.noid, &occurrences);
                    for (const Occurrence &o : occurrences) {
                        PlanningBlock copy = b;
                        setRange(copy, o.start(), o.end());
                        if (copy.endDate < r.first)
                            continue;
                        copy.occurrence = o.number;
                        copy.text = BlockText::compose(r.blockPhrase, copy, {}, session().shownDecimalSeparator());
                        copy.tooltip = BlockText::compose(r.tooltipPhrase, copy, {}, session().shownDecimalSeparator());
                        blocks.append(copy);
                    }
                    continue;
                }
                b.text = BlockText::compose(r.blockPhrase, b, {}, session().shownDecimalSeparator());
                b.tooltip = BlockText::compose(r.tooltipPhrase, b, {}, session().shownDecimalSeparator());
                blocks.append(b);
            }
        }
        return describeAll(blocks);
    }

    // A few hundred tasks over three weeks, with every kind of link, split
    // ranges, leave, series with detached and cancelled occurrences.
    void generate()
    {
        PlanningData data(session());
        std::mt19937 random(7);
        const auto pick = [&](int n) { return int(random() % unsigned(n)); };
        for (int t = 1; t <= 5; ++t)
            QVERIFY(data.taskType(t, QStringLiteral("Type %1").arg(t), 0x100000 * t + 0x40));
        QVERIFY(db().exec(QStringLiteral("insert into kp_conges (code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte) values ('CP','Congés payés',")
                          + session().dialect().unsetDateValue() + QLatin1Char(',') + session().dialect().unsetDateValue() + QStringLiteral(",0,255,0)")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_urgences (code,libelle,coulfond,coultexte) values ('U1','Urgent',65535,0)")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_projets (code,libelle) values ('P1','Projet Alpha')")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,2),(1,5),(1,9)")));
        for (int r = 1; r <= 30; ++r)
            QVERIFY(data.resource(r, QStringLiteral("Ressource %1").arg(r, 2, 10, QLatin1Char('0')), r % 3));
        for (int c = 1; c <= 40; ++c)
            QVERIFY(data.client(c, QStringLiteral("Client %1").arg(c, 2, 10, QLatin1Char('0')), c % 3 == 0 ? 1 : 0,
                                {{"secteursoc", c % 2 ? "'S1'" : "'S2'"}, {"noidzone", QString::number(c % 4)},
                                 {"cloture", QString::number(c % 5 == 0)}, {"coulfond", QString::number(c * 1000)}}));
        int noid = 0;
        for (int i = 0; i < 260; ++i) {
            ++noid;
            const QDate day = Monday.addDays(pick(28) - 7);
            const bool leave = i % 17 == 0;
            QHash<QString, QString> more = {{"effect", QString::number(pick(2))}, {"blocage", QString::number(pick(5) == 0)}};
            if (leave)
                more.insert(QStringLiteral("codeconge"), QStringLiteral("'CP'"));
            if (pick(4) == 0)
                more.insert(QStringLiteral("urgence"), QStringLiteral("'U1'"));
            if (pick(5) == 0)
                more.insert(QStringLiteral("codeprojet"), QStringLiteral("'P1'"));
            QVERIFY(data.task(noid, leave ? 0 : 1 + pick(5), more));
            const int lines = pick(8) == 0 ? 2 : 1;
            for (int l = 1; l <= lines; ++l) {
                const QDate d = day.addDays((l - 1) * 3);
                const int from = 8 + pick(8);
                const QDateTime end = pick(10) == 0 ? QDateTime(d.addDays(1), QTime(0, 0)) : QDateTime(d.addDays(pick(6) == 0), QTime(from + 1 + pick(3), 30));
                QVERIFY(data.line(noid, l, QDateTime(d, QTime(from, 0)), end));
            }
            const int resources = 1 + (pick(6) == 0);
            for (int k = 0; k < resources; ++k)
                QVERIFY(data.link(noid, 1 + (noid * 7 + k * 11) % 30));
            if (!leave)
                for (int k = 0; k < pick(3); ++k)
                    QVERIFY(data.linkClient(noid, 1 + (noid * 5 + k * 13) % 40));
        }
        // Series: daily, weekly and monthly, their first line far from the window.
        for (int s = 0; s < 6; ++s) {
            ++noid;
            QVERIFY(data.task(noid, 1 + s % 5, {{"noidper", QString::number(noid)}, {"origine", "1"}}));
            QVERIFY(data.line(noid, 1, QDateTime(QDate(2027, 1, 4), QTime(9, 0)), QDateTime(QDate(2027, 1, 4), QTime(10, 0))));
            QVERIFY(data.link(noid, 1 + s * 4));
            QVERIFY(data.linkClient(noid, 1 + s * 6));
            PeriodRule rule;
            rule.noid = noid;
            rule.periodicite = s % 3;
            rule.jourquot = 2;
            rule.jour = QStringLiteral("1010100");
            rule.jourmois = 3;
            rule.hordeb = QStringLiteral("14:00");
            rule.horfin = QStringLiteral("15:30");
            rule.datedeb = QDate(2027, 1, 4);
            QVERIFY(Periodicity::saveRule(db(), session().dialect(), rule));
            const QList<Occurrence> in = Periodicity::ExpandRule(rule, Monday, Monday.addDays(6));
            if (s % 2 == 0 && in.size() >= 2) {
                QVERIFY(Periodicity::takeOutOccurrence(db(), session().dialect(), noid, in.at(0), in.at(0).start().addSecs(3600), in.at(0).end().addSecs(3600)));
                QVERIFY(Periodicity::cancelOccurrence(db(), session().dialect(), noid, in.at(1)));
                noid = scalar(db(), QStringLiteral("select max(noid) from kp_taches_desc")).toInt();
            }
        }
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("planningmodel"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
    }

    void rowOrder_data()
    {
        QTest::addColumn<int>("presentation");
        QTest::addColumn<int>("clientType");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("resources by kind, then label") << 0 << 0 << QStringList{"Alain", "Zoé", "Camion", "A planifier"};
        QTest::newRow("clients of both kinds interleaved") << 1 << 0 << QStringList{"Bernard", "Boulangerie", "Dupuis", "Garage"};
        QTest::newRow("companies only") << 1 << 1 << QStringList{"Boulangerie", "Garage"};
        QTest::newRow("individuals only") << 1 << 2 << QStringList{"Bernard", "Dupuis"};
        QTest::newRow("task types") << 2 << 0 << QStringList{"Pose", "Audit"};
    }
    void rowOrder()
    {
        QFETCH(int, presentation);
        QFETCH(int, clientType);
        QFETCH(QStringList, expected);
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Zoé")) && data.resource(2, QStringLiteral("Camion"), 1)
                && data.resource(3, QStringLiteral("A planifier"), 2) && data.resource(4, QStringLiteral("Alain")));
        QVERIFY(data.client(1, QStringLiteral("Garage")) && data.client(2, QStringLiteral("Dupuis"), 1)
                && data.client(3, QStringLiteral("Boulangerie")) && data.client(4, QStringLiteral("Bernard"), 1));
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), 1) && data.taskType(2, QStringLiteral("Audit"), 2));
        FilterChoice choice;
        choice.clientType = clientType;
        QCOMPARE(labels(load(request(Presentation(presentation), choice))), expected);
    }

    // A line ending at midnight ends at 24:00 the day before; series read whatever their own line.
    void datesAndSeries()
    {
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.taskType(1, QStringLiteral("Pose"), 0xFF));
        QVERIFY(data.task(1, 1) && data.line(1, 1, QDateTime(Monday, QTime(20, 0)), QDateTime(Monday.addDays(1), QTime(0, 0))) && data.link(1, 1));
        // A weekly series on Wednesdays whose first line lies months before the window.
        QVERIFY(data.task(2, 1, {{"noidper", "2"}, {"origine", "1"}}) && data.link(2, 1));
        QVERIFY(data.line(2, 1, QDateTime(QDate(2026, 11, 4), QTime(9, 0)), QDateTime(QDate(2026, 11, 4), QTime(10, 0))));
        PeriodRule rule;
        rule.noid = 2;
        rule.periodicite = PeriodRule::Weekly;
        rule.jour = QStringLiteral("0010000");
        rule.hordeb = QStringLiteral("09:00");
        rule.horfin = QStringLiteral("10:00");
        rule.datedeb = QDate(2026, 11, 4);
        QVERIFY(Periodicity::saveRule(db(), session().dialect(), rule));

        PlanningModel m = load(request(Presentation::ByResource, {}, Monday, 14));
        QCOMPARE(m.blocks().size(), 3); // the line and two Wednesdays
        const PlanningBlock &night = m.blocks().at(0);
        QCOMPARE(night.endDate, Monday);
        QCOMPARE(night.endTime(), QStringLiteral("24:00"));
        QCOMPARE(m.blocks().at(1).startDate, Monday.addDays(2));
        QCOMPARE(m.blocks().at(1).occurrence, 1);
        QCOMPARE(m.blocks().at(2).occurrence, 2);

        // The first Wednesday taken out appears once, as its own task; the second cancelled, not at all.
        const QList<Occurrence> occurrences = Periodicity::ExpandRule(rule, Monday, Monday.addDays(13));
        qint64 detached = 0;
        QVERIFY(Periodicity::takeOutOccurrence(db(), session().dialect(), 2, occurrences.at(0), occurrences.at(0).start().addDays(1),
                                               occurrences.at(0).end().addDays(1), &detached));
        QVERIFY(Periodicity::cancelOccurrence(db(), session().dialect(), 2, occurrences.at(1)));
        m = load(request(Presentation::ByResource, {}, Monday, 14));
        QCOMPARE(m.blocks().size(), 2);
        QCOMPARE(m.blocks().at(1).noid, detached);
        QVERIFY(m.blocks().at(1).isDetached());
        QVERIFY(!m.blocks().at(1).isOccurrence());
        QCOMPARE(m.blocks().at(1).startDate, Monday.addDays(3));

        // A window with no occurrence: no block for the series.
        m = load(request(Presentation::ByResource, {}, QDate(2026, 11, 5), 5));
        QVERIFY(m.blocks().isEmpty());
    }

    // Row icons come from the images folder, each file read once, letter case aside.
    void rowIcons()
    {
        PlanningData data(session());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(m_db->folder() + QStringLiteral("/camion.png")));
        QVERIFY(data.resource(1, QStringLiteral("Camion 1"), 1) && data.resource(2, QStringLiteral("Camion 2"), 1)
                && data.resource(3, QStringLiteral("Alain")) && data.resource(4, QStringLiteral("Zoé")));
        QVERIFY(db().exec(QStringLiteral("update kp_ressources set nomico = 'camion.png' where noid = 1")));
        QVERIFY(db().exec(QStringLiteral("update kp_ressources set nomico = 'CAMION.PNG' where noid = 2")));
        QVERIFY(db().exec(QStringLiteral("update kp_ressources set nomico = 'absent.png' where noid = 3")));
        PlanningRequest r = request(Presentation::ByResource);
        r.imagesFolder = m_db->folder();
        const PlanningModel m = load(r);
        QCOMPARE(m.icons().size(), 1);
        QCOMPARE(m.rows().at(m.rowOf(1)).icon, 0);
        QCOMPARE(m.rows().at(m.rowOf(2)).icon, 0);
        QCOMPARE(m.rows().at(m.rowOf(3)).icon, -1);
        QCOMPARE(m.rows().at(m.rowOf(4)).icon, -1);
    }

    // A task whose resource was deleted on another workstation.
    void vanishedResource()
    {
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.resource(2, QStringLiteral("Zoé")) && data.taskType(1, QStringLiteral("Pose"), 1));
        QVERIFY(data.client(1, QStringLiteral("Garage")));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 1) && data.link(1, 2));
        QVERIFY(db().exec(QStringLiteral("delete from kp_ressources where noid = 2")));
        PlanningRequest r = request(Presentation::ByResource);
        QCOMPARE(load(r).blocks().size(), 1);
        r = request(Presentation::ByClient);
        r.blockPhrase = QStringLiteral("G");
        const PlanningModel byClient = load(r);
        QCOMPARE(byClient.blocks().size(), 1);
        QCOMPARE(byClient.blocks().at(0).text, QStringLiteral("Alain"));
    }

    // Filters that must not narrow: the closure in a task query, a team with no member.
    void filtersThatKeepEverything()
    {
        generate();
        PlanningModel everything = load(request(Presentation::ByResource));
        const QStringList all = describeAll(everything, session());
        QVERIFY(all.size() > 50);
        FilterChoice closure;
        closure.closure = 1;
        closure.shown.insert(FilterId::Cloture, QStringLiteral("Clôturé"));
        PlanningModel closed = load(request(Presentation::ByResource, closure));
        QCOMPARE(describeAll(closed, session()), all);
        FilterChoice emptyTeam;
        emptyTeam.team = 2; // no member
        PlanningModel noTeam = load(request(Presentation::ByResource, emptyTeam));
        QCOMPARE(noTeam.rows().size(), 30);
        QCOMPARE(describeAll(noTeam, session()), all);
        FilterChoice team;
        team.team = 1;
        QCOMPARE(labels(load(request(Presentation::ByResource, team))),
                 QStringList({"Ressource 09", "Ressource 02", "Ressource 05"}));
    }

    void batchedLoadEqualsNaiveReading_data()
    {
        QTest::addColumn<int>("presentation");
        QTest::addColumn<FilterChoice>("choice");
        FilterChoice none;
        FilterChoice clients;
        clients.clientType = 1;
        clients.sector = QStringLiteral("S1");
        FilterChoice kinds;
        kinds.resourceKinds = {0, 2};
        kinds.taskTypes = {1, 2, 3};
        FilterChoice state;
        state.doneState = 2;
        state.urgency = QStringLiteral("U1");
        FilterChoice zone;
        zone.zone = 1;
        zone.project = QStringLiteral("P1");
        FilterChoice team;
        team.team = 1;
        team.clientType = 2;
        for (int p = 0; p < 3; ++p) {
            const QString name = QStringList{"by resource", "by client", "by task type"}.at(p);
            QTest::newRow(qPrintable(name + " no filter")) << p << none;
            QTest::newRow(qPrintable(name + " companies of a sector")) << p << clients;
            QTest::newRow(qPrintable(name + " kinds and types")) << p << kinds;
            QTest::newRow(qPrintable(name + " not done and urgent")) << p << state;
            QTest::newRow(qPrintable(name + " zone and project")) << p << zone;
            QTest::newRow(qPrintable(name + " team and individuals")) << p << team;
        }
    }
    void batchedLoadEqualsNaiveReading()
    {
        QFETCH(int, presentation);
        QFETCH(FilterChoice, choice);
        generate();
        session().setCurrentResource(5);
        const PlanningRequest r = request(Presentation(presentation), choice);
        const qint64 before = db().statementCount();
        PlanningModel m = load(r);
        const qint64 statements = db().statementCount() - before;
        const QStringList expected = naive(r);
        QVERIFY(!expected.isEmpty() || choice.zone >= 0);
        QCOMPARE(describeAll(m, session()), expected);
        // A fixed number of statements, however many rows and blocks.
        QVERIFY2(statements <= 16, qPrintable(QString::number(statements)));
    }

    void blockColours_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("background");
        QTest::newRow("task type") << 0 << 0x0000FF;
        QTest::newRow("client") << 1 << 0x00FF00;
        QTest::newRow("urgency") << 2 << 0xFF0000;
        QTest::newRow("zone") << 3 << 0x777777;
    }
    void blockColours()
    {
        QFETCH(int, source);
        QFETCH(int, background);
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.taskType(1, QStringLiteral("Pose"), 0x0000FF));
        QVERIFY(data.client(1, QStringLiteral("Garage"), 0, {{"coulfond", QString::number(0x00FF00)}, {"noidzone", "3"}}));
        QVERIFY(db().exec(QStringLiteral("insert into kp_urgences (code,libelle,coulfond,coultexte) values ('U1','Urgent',16711680,0)")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_zones (noidzone,libzone,coulfond,coultexte) values (3,'Nord',7829367,0)")));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 1, {{"urgence", "'U1'"}}));
        PlanningRequest r = request(Presentation::ByResource);
        r.colours = ColourSource(source);
        const PlanningModel m = load(r);
        QCOMPARE(m.blocks().size(), 1);
        QCOMPARE(m.blocks().at(0).background, background);
    }

    // Phrase codes: items joined by blanks, "/" skipped, C a line break, unknown letters ignored.
    void blockTexts()
    {
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.taskType(1, QStringLiteral("Pose"), 1));
        QVERIFY(data.client(1, QStringLiteral("Garage")) && data.client(2, QStringLiteral("Dupuis"), 1, {{"prenomcont", "'Léa'"}, {"sexecont", "1"}}));
        QVERIFY(db().exec(QStringLiteral("insert into kp_projets (code,libelle) values ('P1','Projet Alpha')")));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 1, {{"codeprojet", "'P1'"}, {"commentaire", "'Changer le filtre'"}}));
        QVERIFY(data.linkClient(1, 2));
        QVERIFY(db().exec(QStringLiteral("update kp_taches_dates set nbjours = 0.5, nbheures = 3 where noid = 1")));
        PlanningRequest r = request(Presentation::ByResource);
        r.blockPhrase = QStringLiteral("EKGxL");
        r.tooltipPhrase = QStringLiteral("ACBCDCF");
        PlanningModel m = load(r);
        m.tooltip(session(), 0);
        const PlanningBlock b = m.blocks().value(0);
        QCOMPARE(b.text, QStringLiteral("Pose Garage, Mme Dupuis Léa Projet Alpha"));
        QCOMPARE(b.tooltip, QStringLiteral("01/03/2027 09:00\n01/03/2027 12:00\n") + BlockText::duration(0.5, 3, session().shownDecimalSeparator())
                                + QStringLiteral("\nChanger le filtre"));
        // Lists shown only by the tool-tip are read when it is first shown.
        r.blockPhrase = QStringLiteral("E");
        r.tooltipPhrase = QStringLiteral("GJ");
        PlanningModel lazy = load(r);
        QVERIFY(lazy.blocks().at(0).linkNames.isEmpty());
        QCOMPARE(lazy.tooltip(session(), 0), QStringLiteral("Garage, Mme Dupuis Léa"));
        QCOMPARE(BlockText::duration(2, 1, QLatin1Char(',')), QStringLiteral("2 jours 1 heure"));
        QCOMPARE(BlockText::duration(1.5, 0, QLatin1Char(',')), QStringLiteral("1,5 jours"));
    }

    // Who owns a block, and the administrative lock mark.
    void ownerAndAdministrativeLock()
    {
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.resource(2, QStringLiteral("Zoé")) && data.taskType(1, QStringLiteral("Pose"), 1));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 0, {{"blocadm", "1"}}));
        QVERIFY(data.simple(2, 1, 2, Monday, 9, 12));
        session().setCurrentResource(2);
        session().description().geslogin = true;
        session().description().blocauto = true;
        session().setAdministrator(false);
        PlanningModel m = load(request(Presentation::ByResource));
        QCOMPARE(m.blocks().size(), 2);
        QVERIFY(!m.blocks().at(0).owner);
        QVERIFY(m.blocks().at(0).adminLocked);
        QVERIFY(m.blocks().at(1).owner);
        m = load(request(Presentation::ByTaskType));
        QVERIFY(!m.blocks().at(0).owner);
        QVERIFY(m.blocks().at(1).owner);
        session().setAdministrator(true);
        QVERIFY(!load(request(Presentation::ByResource)).blocks().at(0).adminLocked);
        session().setCurrentResource(0);
        QVERIFY(load(request(Presentation::ByResource)).blocks().at(0).owner);

        // Opening the window locks every task that began before today, yesterday's included.
        QVERIFY(data.simple(3, 1, 1, QDate(2027, 2, 28), 15, 16));
        QVERIFY(PlanningModel::applyAdminLocks(session(), Monday));
        QCOMPARE(scalar(db(), QStringLiteral("select blocadm from kp_taches_desc where noid = 3")).toInt(), 1);
        QCOMPARE(scalar(db(), QStringLiteral("select blocadm from kp_taches_desc where noid = 2")).toInt(), 0);
    }

    // A failed read leaves the previous rows and blocks.
    void failedLoadKeepsThePicture()
    {
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.taskType(1, QStringLiteral("Pose"), 1));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12));
        PlanningModel m = load(request(Presentation::ByResource));
        QCOMPARE(m.blocks().size(), 1);
        QVERIFY(db().exec(QStringLiteral("drop table kp_projets")));
        const Outcome failed = m.loadBlocks(session(), request(Presentation::ByResource));
        QVERIFY(!failed);
        QCOMPARE(failed.text(), QStringLiteral("Erreur lors de la lecture des ") + session().terms().plural(Entity::Tache));
        QVERIFY(!failed.dbError().isEmpty());
        QCOMPARE(m.blocks().size(), 1);
        m_db->makeBlank();
    }

    void caption()
    {
        PlanningData data(session());
        QVERIFY(data.resource(4, QStringLiteral("Alain Martin")));
        QCOMPARE(PlanningModel::caption(session()), QStringLiteral("Affichage du planning"));
        session().setUser(QStringLiteral("MARTIN"), QString());
        session().setCurrentResource(4);
        session().setLastStamp(QStringLiteral("POSTE2") + QStringLiteral("36512,45"));
        QCOMPARE(PlanningModel::caption(session()),
                 QStringLiteral("Affichage du planning - Utilisateur : MARTIN - ") + session().terms().singular(Entity::Ressource)
                     + QStringLiteral(" : Alain Martin - Mise à jour : POSTE2"));
    }

    void fragments()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (3,7),(3,8)")));
        FilterChoice c;
        c.team = 3;
        c.clientType = 2;
        c.doneState = 2;
        c.sector = QStringLiteral("L'Est");
        c.resourceKinds = {0, 1};
        c.shown = {{FilterId::Equipe, QStringLiteral("Nord")}, {FilterId::Etat, QStringLiteral("Non Effectué")}};
        FilterFragments f;
        QVERIFY(PlanningFilters::build(db(), c, &f));
        QCOMPARE(f.team, QStringLiteral(" r.noid in (7,8)"));
        QCOMPARE(f.clientType, QStringLiteral(" s.typesoc = 1 "));
        QCOMPARE(f.done, QStringLiteral(" (d.effect = 0 or d.effect is null)"));
        QCOMPARE(f.sector, QStringLiteral(" s.secteursoc = 'L''Est'"));
        QCOMPARE(f.resourceKinds, QStringLiteral(" r.typeressource in (0,1) "));
        QCOMPARE(f.caption, QStringLiteral("Nord - Non Effectué"));
        // A stage that keeps no client matches none.
        QVERIFY(db().exec(QStringLiteral("insert into kp_etapes_taches (noetape,notache,typecrit) values (1,4,1)")));
        c = {};
        c.stage = 1;
        QVERIFY(PlanningFilters::build(db(), c, &f));
        QCOMPARE(f.stageClients, QStringLiteral("-1"));
    }
};

QTEST_GUILESS_MAIN(TestPlanningModel)
#include "tst_planningmodel.moc"
