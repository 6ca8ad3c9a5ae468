#include "core/Database.h"
#include "core/SqlText.h"
#include "tasks/Periodicity.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Expansion and description of recurrence rules, and the rule's rows.
class TestPeriodicity : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;

    static PeriodRule weekly(const QDate &first)
    {
        PeriodRule r;
        r.periodicite = PeriodRule::Weekly;
        r.jourhebdo = 2;
        r.jour = QStringLiteral("1001000");
        r.datedeb = first;
        return r;
    }
    QStringList starts(const QList<Occurrence> &list)
    {
        QStringList s;
        for (const Occurrence &o : list)
            s.append(QString::number(o.number) + QLatin1Char(' ') + o.startText());
        return s;
    }
    // A periodic model task N with one resource and one client.
    void insertModel(qint64 n)
    {
        Database &db = m_ws->db();
        const QString neutral = m_ws->session().dialect().unsetDateValue();
        QVERIFY(db.exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,"
                                       "nbheures,codeconge,commentaire,noidper,dtdebper,dtfinper,origine,noalerte,noidutil,"
                                       "effect,dteffect,commenteffect,blocadm,noidprospect) values (%1,0,'/','',0,0,0,'/',"
                                       "'Réunion',%1,%2,%2,1,0,0,0,%2,'',0,0)")
                            .arg(n)
                            .arg(neutral)));
        QVERIFY(db.exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,7)").arg(n)));
        QVERIFY(db.exec(QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (%1,9)").arg(n)));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("periodicity"));
    }
    void init()
    {
        if (!QTest::currentTestFunction() || QByteArray(QTest::currentTestFunction()).startsWith("golden"))
            return;
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    // Each file holds a rule, a window and the whole expected list.
    void golden_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(QUENZO_TEST_DATA "/periodicity"));
        const QStringList files = dir.entryList({QStringLiteral("*.golden")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 10);
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }
    void golden()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QMap<QString, QString> fields;
        QStringList window, expected;
        bool listing = false;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.startsWith(QLatin1Char('#')))
                continue;
            if (listing) {
                expected.append(line);
                continue;
            }
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f[0] == QLatin1String("occurrences"))
                listing = true;
            else if (f[0] == QLatin1String("window"))
                window = f.mid(1);
            else
                fields.insert(f[0], f.value(1));
        }
        PeriodRule r;
        r.hordeb = fields.value(QStringLiteral("hordeb"));
        r.horfin = fields.value(QStringLiteral("horfin"));
        r.jourfin = fields.value(QStringLiteral("jourfin")).toInt();
        r.periodicite = fields.value(QStringLiteral("periodicite")).toInt();
        r.typequot = fields.value(QStringLiteral("typequot")).toInt();
        r.jourquot = fields.value(QStringLiteral("jourquot")).toInt();
        r.jourhebdo = fields.value(QStringLiteral("jourhebdo")).toInt();
        r.jour = fields.value(QStringLiteral("jour"));
        r.typemois = fields.value(QStringLiteral("typemois")).toInt();
        r.jourmois = fields.value(QStringLiteral("jourmois")).toInt();
        r.jourfinmois = fields.value(QStringLiteral("jourfinmois")).toInt();
        r.mois = fields.value(QStringLiteral("mois"));
        r.jourmoisan = fields.value(QStringLiteral("jourmoisan")).toInt();
        r.moisan = fields.value(QStringLiteral("moisan")).toInt();
        r.datedeb = QDate::fromString(fields.value(QStringLiteral("datedeb")), Qt::ISODate);
        r.datefin = QDate::fromString(fields.value(QStringLiteral("datefin")), Qt::ISODate);
        QCOMPARE(window.size(), 2);
        const QList<Occurrence> got =
            Periodicity::ExpandRule(r, QDate::fromString(window[0], Qt::ISODate), QDate::fromString(window[1], Qt::ISODate),
                                    fields.value(QStringLiteral("jourstrav")));
        QStringList actual;
        for (const Occurrence &o : got)
            actual.append(QString::number(o.number) + QLatin1Char('\t') + o.startText() + QLatin1Char('\t') + o.endText());
        QCOMPARE(actual.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
        for (const Occurrence &o : got)
            QVERIFY(o.day >= r.datedeb);
    }

    // The window cuts a weekly series exactly at its two ends, and one skipped
    // block yields nothing.
    void weeklyWindowEdges()
    {
        const PeriodRule r = weekly(QDate(2025, 1, 15)); // a Wednesday
        QCOMPARE(starts(Periodicity::ExpandRule(r, QDate(2025, 1, 20), QDate(2025, 1, 30))),
                 QStringList({"1 20/01/2025 09:00", "2 30/01/2025 09:00"}));
        QVERIFY(Periodicity::ExpandRule(r, QDate(2025, 1, 22), QDate(2025, 1, 28)).isEmpty());
        QVERIFY(Periodicity::ExpandRule(r, QDate(2025, 1, 31), QDate(2025, 1, 30)).isEmpty());
    }

    void nightOccurrenceEndsNextDay()
    {
        PeriodRule r;
        r.hordeb = QStringLiteral("22:00");
        r.horfin = QStringLiteral("06:00");
        r.jourfin = 1;
        r.datedeb = QDate(2026, 12, 31);
        const QList<Occurrence> o = Periodicity::ExpandRule(r, r.datedeb, r.datedeb);
        QCOMPARE(o.size(), 1);
        QCOMPARE(o[0].start(), QDateTime(QDate(2026, 12, 31), QTime(22, 0)));
        QCOMPARE(o[0].end(), QDateTime(QDate(2027, 1, 1), QTime(6, 0)));
        QCOMPARE(o[0].endText(), QStringLiteral("01/01/2027 06:00"));
    }

    void degenerateRules()
    {
        PeriodRule r;
        r.datedeb = QDate(2026, 1, 1);
        r.jourquot = 0; // read as a step of one
        QCOMPARE(Periodicity::ExpandRule(r, r.datedeb, QDate(2026, 1, 3)).size(), 3);
        r.periodicite = PeriodRule::Yearly;
        r.moisan = 12;
        QVERIFY(Periodicity::ExpandRule(r, r.datedeb, QDate(2030, 1, 3)).isEmpty());
        r.datedeb = QDate();
        QVERIFY(Periodicity::ExpandRule(r, QDate(2026, 1, 1), QDate(2030, 1, 3)).isEmpty());
    }

    void describe_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("text");
        const QString tail = QStringLiteral(" -  entre 09:00 et 18:00 (J+0) -  A partir du 05/01/2026");
        auto v = [](const QString &kind, const QString &rest) {
            QStringList l = {"09:00", "18:00", "0", kind};
            l += rest.split(QLatin1Char(' '));
            l += {"05/01/2026", ""};
            return l;
        };
        // typequot jourquot jourhebdo jour typemois jourmois jourfinmois mois jourmoisan moisan
        QTest::newRow("every day") << v("0", "0 1 1 1111100 0 1 0 111111111111 1 0") << "Tous les 1 jour" + tail;
        QTest::newRow("every 3 days") << v("0", "0 3 1 1111100 0 1 0 111111111111 1 0") << "Tous les 3 jours" + tail;
        QTest::newRow("working days") << v("0", "1 3 1 1111100 0 1 0 111111111111 1 0") << "Tous les jours ouvrables" + tail;
        QTest::newRow("weekly") << v("1", "0 1 1 1001001 0 1 0 111111111111 1 0")
                                << "Toutes les 1 semaine - Les : Lundi, Jeudi, Dimanche" + tail;
        QTest::newRow("every 2 weeks") << v("1", "0 1 2 0100000 0 1 0 111111111111 1 0")
                                       << "Toutes les 2 semaines - Les : Mardi" + tail;
        QTest::newRow("day of month") << v("2", "0 1 1 1111100 0 15 0 100000000011 1 0")
                                      << "Tous les 15 du mois - En : Janvier, Novembre, Décembre" + tail;
        QTest::newRow("last day") << v("2", "0 1 1 1111100 1 15 0 010000000000 1 0")
                                  << "Le dernier jour du mois - En : Février" + tail;
        QTest::newRow("1 day before") << v("2", "0 1 1 1111100 1 15 1 000000010000 1 0")
                                      << "1 jour avant la fin du mois - En : Août" + tail;
        QTest::newRow("3 days before") << v("2", "0 1 1 1111100 1 15 3 000000010000 1 0")
                                       << "3 jours avant la fin du mois - En : Août" + tail;
        QTest::newRow("yearly") << v("3", "0 1 1 1111100 0 1 0 111111111111 29 1")
                                << "Chaque année, le 29 Février" + tail;
        QTest::newRow("yearly bad month") << v("3", "0 1 1 1111100 0 1 0 111111111111 4 12")
                                          << "Chaque année, le 4 ????" + tail;
        QStringList ending = v("0", "0 2 1 1111100 0 1 0 111111111111 1 0");
        ending[1] = "06:00";
        ending[2] = "1";
        ending[15] = "31/12/2027";
        QTest::newRow("with end") << ending
                                  << "Tous les 2 jours -  entre 09:00 et 06:00 (J+1) -  A partir du 05/01/2026 - Jusqu'au "
                                     "31/12/2027";
    }
    void describe()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, text);
        QCOMPARE(values.size(), 16);
        const PeriodRule r = PeriodRule::fromValues(values);
        QCOMPARE(Periodicity::DescribeRule(r), text);
        QCOMPARE(r.toValues(), values);
    }

    void saveAndRead()
    {
        Database &db = m_ws->db();
        const Dialect &dialect = m_ws->session().dialect();
        PeriodRule r = weekly(QDate(2026, 3, 4));
        r.noid = 12;
        r.hordeb = QStringLiteral("07:45");
        QVERIFY(db.begin());
        QVERIFY(Periodicity::saveRule(db, dialect, r));
        QVERIFY(db.commit());
        PeriodRule back;
        bool found = false;
        QVERIFY(Periodicity::readRule(db, 12, &back, &found));
        QVERIFY(found);
        QCOMPARE(back, r); // no end is read back as no end

        r.periodicite = PeriodRule::Monthly;
        r.mois = QStringLiteral("000000000001");
        r.datefin = QDate(2028, 2, 29);
        QVERIFY(db.begin());
        QVERIFY(Periodicity::saveRule(db, dialect, r));
        QVERIFY(db.commit());
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_periode")), QStringLiteral("1"));
        QVERIFY(Periodicity::readRule(db, 12, &back, &found));
        QCOMPARE(back, r);
        QVERIFY(Periodicity::readRule(db, 13, &back, &found));
        QVERIFY(!found);
    }

    void clearTurnsRowsIntoTasks()
    {
        Database &db = m_ws->db();
        const Dialect &dialect = m_ws->session().dialect();
        insertModel(5);
        PeriodRule r = weekly(QDate(2026, 3, 4));
        r.noid = 5;
        QVERIFY(db.begin());
        QVERIFY(Periodicity::saveRule(db, dialect, r));
        QVERIFY(db.commit());
        const QList<Occurrence> o = Periodicity::ExpandRule(r, r.datedeb, QDate(2026, 4, 30));
        QVERIFY(Periodicity::cancelOccurrence(db, dialect, 5, o[0]));
        QVERIFY(db.begin());
        QVERIFY(Periodicity::clearRule(db, dialect, m_ws->session().terms(), 5));
        QVERIFY(db.commit());
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_periode")), QStringLiteral("0"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_taches_desc where noidper <> 0")), QStringLiteral("0"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("2"));
    }

    // A cancelled occurrence disappears and is not counted; a detached one
    // leaves the series and lives once as a task of its own.
    void cancelledAndDetached()
    {
        Database &db = m_ws->db();
        const Dialect &dialect = m_ws->session().dialect();
        insertModel(3);
        QVERIFY(db.exec(QStringLiteral("insert into histo_taches_desc (nomordi,nohisto,typehisto,noid,noidtache,urgence,"
                                       "codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,noidutil) values "
                                       "('P',1,1,40,0,'/','',0,0,0,'/','',0)")));
        PeriodRule r = weekly(QDate(2025, 1, 15));
        r.noid = 3;
        QList<Occurrence> o = Periodicity::ExpandRule(r, r.datedeb, QDate(2025, 2, 28));
        QCOMPARE(o.size(), 7);
        qint64 cancelled = 0, detached = 0;
        QVERIFY(Periodicity::cancelOccurrence(db, dialect, 3, o[1], &cancelled));
        QCOMPARE(cancelled, 41); // a number kept in the history is never reused
        const QDateTime newStart(QDate(2025, 2, 5), QTime(10, 0)), newEnd(QDate(2025, 2, 5), QTime(12, 30));
        QVERIFY(Periodicity::takeOutOccurrence(db, dialect, 3, o[3], newStart, newEnd, &detached));
        QCOMPARE(detached, 42);

        QCOMPARE(column(db, QStringLiteral("select commentaire from kp_taches_desc where noid = 41 and origine = -1 and noidper = 3")),
                 QStringList({"DELETED"}));
        QCOMPARE(column(db, QStringLiteral("select commentaire from kp_taches_desc where noid = 42 and origine = 0 and noidper = 3")),
                 QStringList({"Réunion"}));
        QCOMPARE(scalar(db, QStringLiteral("select noidressource from kp_taches_ressources where noid = 42")), QStringLiteral("7"));
        QCOMPARE(scalar(db, QStringLiteral("select noidsoc from kp_taches_clients where noid = 42")), QStringLiteral("9"));
        QCOMPARE(parseDbDateTime(scalar(db, QStringLiteral("select datedeb from kp_taches_dates where noid = 42 and noiddate = 1"))),
                 newStart);
        QCOMPARE(parseDbDateTime(scalar(db, QStringLiteral("select dtdebper from kp_taches_desc where noid = 42"))),
                 o[3].start());
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_taches_ressources where noid = 41")), QStringLiteral("0"));

        const QList<Occurrence> all = o;
        QVERIFY(Periodicity::removeReplaced(db, dialect, 3, &o));
        QCOMPARE(o.size(), 5);
        for (int i = 0; i < o.size(); ++i)
            QCOMPARE(o[i].number, i + 1);
        QCOMPARE(o[1].day, all[2].day);
        QCOMPARE(o[2].day, all[4].day);
    }
};

QTEST_GUILESS_MAIN(TestPeriodicity)
#include "tst_periodicity.moc"
