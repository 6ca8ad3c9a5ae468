#include "PlanningFixture.h"

#include "planning/IcsExport.h"
#include "tasks/Periodicity.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <libical/ical.h>

namespace {

const QDate Monday(2027, 3, 1);
// Every character iCalendar must escape, an accent, and more than a line's 75 octets.
const QString Awkward = QStringLiteral("Accès par la cour, code 12;34 \\ porte B — prévoir l'échelle de 3 m et les "
                                       "bâches, le client sera absent jusqu'à 10 h");

struct Event
{
    QString uid, summary, description, category;
    QDateTime start, end;
    bool floating = false;
};

QDateTime dateTime(const icaltimetype &t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

// The events of a calendar text, read back by libical.
QList<Event> parse(const QByteArray &text, QString *prodid = nullptr)
{
    QList<Event> events;
    icalcomponent *calendar = icalparser_parse_string(text.constData());
    if (!calendar)
        return events;
    if (prodid)
        *prodid = QString::fromUtf8(icalproperty_get_prodid(icalcomponent_get_first_property(calendar, ICAL_PRODID_PROPERTY)));
    for (icalcomponent *e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        Event event;
        event.uid = QString::fromUtf8(icalcomponent_get_uid(e));
        event.summary = QString::fromUtf8(icalcomponent_get_summary(e));
        if (const char *d = icalcomponent_get_description(e))
            event.description = QString::fromUtf8(d);
        if (icalproperty *c = icalcomponent_get_first_property(e, ICAL_CATEGORIES_PROPERTY))
            event.category = QString::fromUtf8(icalproperty_get_categories(c));
        const icaltimetype start = icalcomponent_get_dtstart(e);
        event.start = dateTime(start);
        event.end = dateTime(icalcomponent_get_dtend(e));
        event.floating = !icaltime_is_utc(start) && !start.zone && !start.is_date;
        events.append(event);
    }
    icalcomponent_free(calendar);
    return events;
}

} // namespace

// The planning written as iCalendar files and read back as a calendar program would.
class TestIcsExport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    QList<IcsCalendar> exported(const QList<qint64> &resources, const QDate &first = Monday, int days = 14)
    {
        QList<IcsCalendar> calendars;
        const Outcome outcome = IcsExport::build(session(), resources, first, days, &calendars);
        if (!outcome)
            qWarning() << outcome.text() << outcome.dbError();
        return calendars;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("icsexport"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;

        // Alain: a task at a client, a day of leave, a weekly series; Béa: an evening ending at midnight.
        PlanningData data(session());
        QVERIFY(data.resource(1, QStringLiteral("Alain")) && data.resource(2, QStringLiteral("Béa/2")));
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), 0xFF) && data.client(1, QStringLiteral("Dupont")));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 1, {{"commentaire", data.text(Awkward)}}));
        QVERIFY(db().exec(QStringLiteral("insert into kp_conges (code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte) values ('CP','Congés payés',")
                          + session().dialect().unsetDateValue() + QLatin1Char(',') + session().dialect().unsetDateValue()
                          + QStringLiteral(",0,255,0)")));
        QVERIFY(data.simple(2, 1, 1, Monday.addDays(1), 8, 18, 0, {{"codeconge", "'CP'"}}));
        QVERIFY(data.task(3, 1, {{"noidper", "3"}, {"origine", "1"}}) && data.link(3, 1));
        QVERIFY(data.line(3, 1, QDateTime(QDate(2027, 1, 6), QTime(14, 0)), QDateTime(QDate(2027, 1, 6), QTime(15, 0))));
        PeriodRule rule;
        rule.noid = 3;
        rule.periodicite = PeriodRule::Weekly;
        rule.jour = QStringLiteral("0010000");
        rule.hordeb = QStringLiteral("14:00");
        rule.horfin = QStringLiteral("15:00");
        rule.datedeb = QDate(2027, 1, 6);
        QVERIFY(Periodicity::saveRule(db(), session().dialect(), rule));
        QVERIFY(data.simple(4, 1, 2, Monday, 20, 24));
    }
    void cleanup() { m_ws.reset(); }

    // Each block once, at its hours, with its label, text and category.
    void eventsReadBack()
    {
        const QList<IcsCalendar> calendars = exported({1});
        QCOMPARE(calendars.size(), 1);
        QCOMPARE(calendars.at(0).label, QStringLiteral("Alain"));
        QString prodid;
        const QList<Event> events = parse(calendars.at(0).text, &prodid);
        QCOMPARE(prodid, QStringLiteral("-//Quenzo//Planning//FR"));
        QCOMPARE(events.size(), 4); // the task, the leave and two Wednesdays

        QHash<QString, Event> byStart;
        QSet<QString> uids;
        for (const Event &e : events) {
            QVERIFY(e.floating);
            byStart.insert(e.start.toString(Qt::ISODate), e);
            uids.insert(e.uid);
        }
        QCOMPARE(uids.size(), events.size());

        const Event task = byStart.value(QStringLiteral("2027-03-01T09:00:00"));
        QCOMPARE(task.end, QDateTime(Monday, QTime(12, 0)));
        QCOMPARE(task.summary, QStringLiteral("Pose"));
        QCOMPARE(task.description, Awkward + QStringLiteral("\nDupont"));
        QVERIFY(task.category.isEmpty());

        const Event leave = byStart.value(QStringLiteral("2027-03-02T08:00:00"));
        QCOMPARE(leave.summary, QStringLiteral("Congés payés"));
        QCOMPARE(leave.category, QStringLiteral("Congé"));

        for (const QDate &wednesday : {Monday.addDays(2), Monday.addDays(9)}) {
            const Event e = byStart.value(QDateTime(wednesday, QTime(14, 0)).toString(Qt::ISODate));
            QCOMPARE(e.end, QDateTime(wednesday, QTime(15, 0)));
            QCOMPARE(e.summary, QStringLiteral("Pose"));
        }

        // Folded by the writer: no line over 75 octets, every line ended by CRLF.
        const QList<QByteArray> lines = calendars.at(0).text.split('\n');
        for (const QByteArray &line : lines)
            QVERIFY2(line.isEmpty() || (line.endsWith('\r') && line.size() <= 76), line.constData());
    }

    // A subscribed calendar updates its events rather than doubling them.
    void uidsStable()
    {
        const auto uidsOf = [](const IcsCalendar &c) {
            QStringList uids;
            for (const Event &e : parse(c.text))
                uids.append(e.uid);
            uids.sort();
            return uids;
        };
        const QStringList first = uidsOf(exported({1}).at(0));
        QCOMPARE(uidsOf(exported({1}).at(0)), first);
        // A window starting a week earlier renumbers the occurrences, not their identifiers.
        const QStringList wider = uidsOf(exported({1}, Monday.addDays(-7), 21).at(0));
        for (const QString &uid : first)
            QVERIFY2(wider.contains(uid), qPrintable(uid));
        QCOMPARE(wider.size(), first.size() + 1);
    }

    void resourcesChosen()
    {
        const QList<IcsCalendar> all = exported({});
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(1).resource, 2);
        const QList<Event> evening = parse(all.at(1).text);
        QCOMPARE(evening.size(), 1);
        QCOMPARE(evening.at(0).end, QDateTime(Monday.addDays(1), QTime(0, 0)));

        QList<IcsCalendar> none;
        const Outcome unknown = IcsExport::build(session(), {1, 99}, Monday, 7, &none);
        QVERIFY(!unknown);
        QVERIFY2(unknown.text().contains(QStringLiteral("Ressource inconnue : 99")), qPrintable(unknown.text()));
        QVERIFY(!IcsExport::build(session(), {1}, QDate(), 7, &none));
    }

    void fileWritten()
    {
        QCOMPARE(IcsExport::fileName(QStringLiteral("Béa/2")), QStringLiteral("Béa_2.ics"));
        QCOMPARE(IcsExport::fileName(QStringLiteral("..")), QStringLiteral("ressource.ics"));
        QTemporaryDir folder;
        const IcsCalendar calendar = exported({2}).at(0);
        QString path;
        QVERIFY(IcsExport::write(calendar, folder.path(), &path));
        QCOMPARE(path, folder.filePath(QStringLiteral("Béa_2.ics")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), calendar.text);
        const Outcome missing = IcsExport::write(calendar, folder.filePath(QStringLiteral("absent")));
        QVERIFY(!missing);
        QVERIFY(missing.text().contains(QStringLiteral("n'existe pas")));
    }

    // quenzo-cli export-ics, run as a script would.
    void commandLine()
    {
        QStringList base = {QStringLiteral("export-ics")};
        if (m_db->isServer())
            base << QStringLiteral("--dsn") << qEnvironmentVariable("QUENZO_TEST_DSN") << QStringLiteral("--database")
                 << m_db->serverDatabase() << QStringLiteral("--user") << qEnvironmentVariable("QUENZO_TEST_DB_USER")
                 << QStringLiteral("--password") << qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD");
        else
            base << m_db->filePath();
        m_ws.reset(); // the file database is the command's alone
        QTemporaryDir home, folder;
        const auto run = [&](const QStringList &more) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(QUENZO_CLI), base + more);
            p.waitForFinished(60000);
            return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                             QString::fromUtf8(p.readAllStandardError())};
        };
        const QStringList window = {QStringLiteral("--days"), QStringLiteral("14"), QStringLiteral("--out"), folder.path()};

        auto [status, err] = run(QStringList{QStringLiteral("--all-resources"), QStringLiteral("--start"), QStringLiteral("01/03/2027")} + window);
        QVERIFY2(status == 0, qPrintable(err));
        QFile alain(folder.filePath(QStringLiteral("Alain.ics")));
        QVERIFY(alain.open(QIODevice::ReadOnly));
        QCOMPARE(parse(alain.readAll()).size(), 4);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Béa_2.ics"))));

        std::tie(status, err) = run(QStringList{QStringLiteral("--resource"), QStringLiteral("1"), QStringLiteral("--start"), QStringLiteral("31/02/2027")} + window);
        QCOMPARE(status, 2);
        QCOMPARE(err.trimmed(), QStringLiteral("Date incorrecte pour --start : 31/02/2027"));

        std::tie(status, err) = run(QStringList{QStringLiteral("--resource"), QStringLiteral("7"), QStringLiteral("--start"), QStringLiteral("01/03/2027")} + window);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(QStringLiteral("Ressource inconnue : 7")), qPrintable(err));

        std::tie(status, err) = run({QStringLiteral("--resource"), QStringLiteral("1"), QStringLiteral("--start"), QStringLiteral("01/03/2027"),
                                     QStringLiteral("--days"), QStringLiteral("14"), QStringLiteral("--out"), folder.filePath(QStringLiteral("absent"))});
        QCOMPARE(status, 2);
        QVERIFY2(err.contains(QStringLiteral("n'existe pas")), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestIcsExport)
#include "tst_icsexport.moc"
