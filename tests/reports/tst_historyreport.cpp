#include "HistoryFixture.h"

#include "reports/HistoryQueries.h"
#include "reports/HistoryReport.h"

#include <QTest>

// The history reports read back from a month of tasks, leave, series and costs.
class TestHistoryReport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }

    static HistoryParameters month(HistoryKind kind, int type)
    {
        HistoryParameters p;
        p.kind = kind;
        p.type = type;
        p.start = March;
        p.end = QDate(2027, 3, 31);
        return p;
    }
    HistoryOutput run(const HistoryParameters &p, Outcome *outcome = nullptr)
    {
        HistoryOutput output;
        const Outcome o = HistoryReport(session(), p).run(&output);
        if (!o.dbError().isEmpty())
            qWarning() << o.text() << o.dbError();
        if (outcome)
            *outcome = o;
        return output;
    }
    // One column of the data rows (row 0 holds the titles), formatting letters dropped.
    static QStringList column(const HistoryOutput &out, int c)
    {
        QStringList texts;
        for (int r = 1; r < out.table.rowCount(); ++r)
            texts.append(CellFormat::plainText(out.table.cell(r, c)));
        return texts;
    }
    static QStringList row(const HistoryOutput &out, int r) { return out.table.rowCount() > r ? rowOf(out.table, r) : QStringList(); }
    static QStringList rowOf(const ReportTable &t, int r)
    {
        QStringList cells;
        for (int c = 0; c < t.columnCount(); ++c)
            cells.append(t.cell(r, c));
        return cells;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("historyreport"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        session().setDecimalSeparator(QLatin1Char(','));
        QVERIFY(writeHistoryMonth(session()));
    }
    void cleanupTestCase() { m_ws.reset(); }

    // Lines per report kind, with the resources or clients chosen and the state filter.
    void lineCounts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<qint64>>("chosen");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("lines");
        const QList<qint64> all;
        // 1 twice (two resources), the series 3/03, 24/03, 31/03 and its moved occurrence
        // (cancelled 17/03 left out), 7, 8, 9, 10 three times; never the leave or task 2.
        QTest::newRow("resource list") << 0 << 0 << all << 0 << 12;
        QTest::newRow("resource list, Béa") << 0 << 0 << QList<qint64>{2} << 0 << 7;
        QTest::newRow("resource list, Alain") << 0 << 0 << QList<qint64>{1} << 0 << 5;
        QTest::newRow("resource list, done") << 0 << 0 << all << 1 << 1;
        QTest::newRow("resource list, not done (null flag too)") << 0 << 0 << all << 2 << 11;
        QTest::newRow("resource detail") << 0 << 1 << all << 0 << 12;
        QTest::newRow("resource expenses") << 0 << 2 << all << 0 << 2;
        QTest::newRow("resource statistics") << 0 << 3 << all << 0 << 2;
        QTest::newRow("leave list") << 0 << 4 << all << 0 << 1;
        QTest::newRow("leave statistics") << 0 << 5 << all << 0 << 1;
        QTest::newRow("global expenses") << 0 << 6 << all << 0 << 2;
        QTest::newRow("global expenses, Alain") << 0 << 6 << QList<qint64>{1} << 0 << 1;
        QTest::newRow("global income") << 0 << 7 << all << 0 << 1;
        QTest::newRow("global balance") << 0 << 8 << all << 0 << 3;
        // 1 once whatever its resources, the series' three and the moved one, 7.
        QTest::newRow("client list") << 1 << 0 << all << 0 << 6;
        QTest::newRow("client list, Martin") << 1 << 0 << QList<qint64>{2} << 0 << 1;
        QTest::newRow("client detail") << 1 << 1 << all << 0 << 6;
        QTest::newRow("client statistics") << 1 << 2 << all << 0 << 2;
        QTest::newRow("client expenses") << 1 << 3 << all << 0 << 2;
        QTest::newRow("client income") << 1 << 4 << all << 0 << 1;
        QTest::newRow("client balance") << 1 << 5 << all << 0 << 3;
    }
    void lineCounts()
    {
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(QList<qint64>, chosen);
        QFETCH(int, state);
        HistoryParameters p = month(HistoryKind(kind), type);
        (kind == 0 ? p.resources : p.clients) = chosen;
        p.state = state;
        const qint64 before = session().database()->statementCount();
        Outcome outcome = Outcome::success();
        const HistoryOutput out = run(p, &outcome);
        QVERIFY(outcome.ok());
        QTEST(out.lines, "lines");
        QVERIFY(!out.stopped);
        // A fixed handful of statements, never one per line.
        QVERIFY2(session().database()->statementCount() - before <= 8,
                 qPrintable(QString::number(session().database()->statementCount() - before)));
        QCOMPARE(out.table.cell(0, 0).right(2), QStringLiteral("|B"));
    }

    // Every occurrence of the series inside the period, at its own hours, in date order.
    void seriesAndOrder()
    {
        HistoryParameters p = month(HistoryKind::Resource, 0);
        p.resources = {1};
        const HistoryOutput out = run(p);
        QCOMPARE(column(out, 3), QStringList({"03/03/2027 09:00", "03/03/2027 14:00", "11/03/2027 10:00", "24/03/2027 14:00",
                                              "31/03/2027 14:00"}));
        QCOMPARE(column(out, 4).at(1), QStringLiteral("03/03/2027 15:00"));
        QCOMPARE(column(out, 1), QStringList({"Pose", "Pose", "Pose", "Pose", "Pose"}));
        QCOMPARE(column(out, 2).at(0), QStringLiteral("Dupont"));
        // The hidden sort key: start, then a running number.
        const QStringList keys = column(out, 7);
        QVERIFY(keys.at(0).startsWith(QStringLiteral("202703030900")));
        QCOMPARE(keys.at(0).size(), 22);
        QStringList sorted = keys;
        sorted.sort();
        QCOMPARE(keys, sorted);
        QCOMPARE(out.table.columnWidth(7), 0);
        QCOMPARE(out.table.cell(1, 5), QStringLiteral("1,00|R"));
    }

    // One line per resource of a task; a client list names the task's resources.
    void linkedNames()
    {
        HistoryOutput out = run(month(HistoryKind::Resource, 0));
        QCOMPARE(column(out, 0).mid(0, 2), QStringList({"Alain", "Béa"}));
        out = run(month(HistoryKind::Client, 0));
        QCOMPARE(row(out, 1).mid(0, 3), QStringList({"Dupont", "Alain,Béa", "Pose"}));
        HistoryParameters p = month(HistoryKind::Client, 0);
        p.clients = {2};
        out = run(p);
        QCOMPARE(row(out, 1).mid(0, 3), QStringList({"Martin Jean", "Béa", "Révision"}));
    }

    // Statistics count one per date line and total them as fixed-point figures.
    void statisticsAndTotals()
    {
        HistoryOutput out = run(month(HistoryKind::Resource, 3));
        // Pose: task 1 for two resources, the moved occurrence, three lines of task 10.
        // (the moved occurrence's days and hours come from the company hours)
        QCOMPARE(row(out, 1).mid(0, 2), QStringList({"Pose", "6|R"}));
        QCOMPARE(row(out, 2), QStringList({"Révision", "3|R", "3,00|R", "0,00|R"}));
        QCOMPARE(row(out, 3).mid(0, 2), QStringList({"Total :|BO", "9|RBO"}));
        const auto figure = [&out](int r, int c) { return CellFormat::plainText(out.table.cell(r, c)).replace(',', '.').toDouble(); };
        QCOMPARE(figure(3, 3), figure(1, 3) + figure(2, 3));
        QVERIFY(figure(1, 3) >= 7.5);
        out = run(month(HistoryKind::Resource, 5));
        QCOMPARE(row(out, 1).mid(0, 2), QStringList({"Congés payés", "1|R"}));

        out = run(month(HistoryKind::Resource, 2));
        QCOMPARE(column(out, 7), QStringList({"10,10", "0,20", "10,30"}));
        QCOMPARE(out.table.cell(3, 6), QStringLiteral("Total :|RBO"));
        out = run(month(HistoryKind::Resource, 6));
        QCOMPARE(column(out, 0).at(0), QStringLiteral("Alain,Béa"));
        out = run(month(HistoryKind::Resource, 8));
        QCOMPARE(column(out, 7), QStringList({"-10,10", "100,10", "-0,20", "89,80"}));
        out = run(month(HistoryKind::Client, 5));
        QCOMPARE(out.table.cell(4, 6), QStringLiteral("Total|RBO"));
        QCOMPARE(out.table.cell(4, 7), QStringLiteral("89,80|RBO"));
        QCOMPARE(column(out, 0).at(2), QStringLiteral("Martin Jean"));
    }

    void leaveApart()
    {
        HistoryOutput out = run(month(HistoryKind::Resource, 4));
        QCOMPARE(row(out, 1).mid(0, 4), QStringList({"Alain", "Congés payés", "15/03/2027 08:00", "15/03/2027 18:00"}));
        out = run(month(HistoryKind::Resource, 0));
        QVERIFY(!column(out, 3).contains(QStringLiteral("15/03/2027 08:00")));
    }

    void detailLines()
    {
        HistoryParameters p = month(HistoryKind::Resource, 1);
        p.resources = {1};
        HistoryOutput out = run(p);
        QCOMPARE(row(out, 1).mid(0, 4), QStringList({"Alain", "03/03/2027 09:00 - 03/03/2027 12:00", "Pose",
                                                      "Accès 50%_ par l'entrée"}));
        QCOMPARE(row(out, 2).mid(0, 4), QStringList({"", "Dupont - Lyon", "", "Tel : 0102 - Mobile : 0607"}));
        QCOMPARE(out.table.cell(0, 4), QStringLiteral("Fin de Tâche|B"));
        p.resources = {2};
        p.state = HistoryParameters::Done;
        out = run(p);
        QCOMPARE(out.table.cell(1, 4), QStringLiteral("Effectuée le 21/03/2027 : RAS"));
    }

    // The comment is searched as typed: quotes, "%" and "_" are plain characters.
    void commentFilter_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("lines");
        QTest::newRow("quote") << QStringLiteral("l'entrée") << 2;
        QTest::newRow("percent") << QStringLiteral("%") << 2;
        QTest::newRow("underscore") << QStringLiteral("_") << 2;
        QTest::newRow("both") << QStringLiteral("50%_") << 2;
        QTest::newRow("escape character") << QStringLiteral("!") << 0;
        QTest::newRow("plain") << QStringLiteral("50") << 2; // task 2 starts before March
        QTest::newRow("injection") << QStringLiteral("x' or '1'='1") << 0;
    }
    void commentFilter()
    {
        QFETCH(QString, comment);
        HistoryParameters p = month(HistoryKind::Resource, 0);
        p.comment = comment;
        Outcome outcome = Outcome::success();
        const HistoryOutput out = run(p, &outcome);
        QVERIFY(outcome.ok());
        QTEST(out.lines, "lines");
        QVERIFY(out.table.title().contains(comment));
    }

    void projectFilter()
    {
        HistoryParameters p = month(HistoryKind::Resource, 0);
        p.project = QStringLiteral("P1");
        p.projectLabel = QStringLiteral("Chantier nord");
        const HistoryOutput out = run(p);
        QCOMPARE(out.lines, 1);
        QCOMPARE(out.table.title(), QStringLiteral("Liste des Tâches - Chantier nord\rDu 01/03/2027 au 31/03/2027"));
    }

    // A team without a resource chosen means its members, not everyone.
    void teamWithoutChoice()
    {
        QVERIFY(session().database()->exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (1,'Nord')")));
        QVERIFY(session().database()->exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,1)")));
        HistoryParameters p = month(HistoryKind::Resource, 0);
        p.team = 1;
        p.teamLabel = QStringLiteral("Nord");
        HistoryOutput out = run(p);
        QCOMPARE(out.lines, 5);
        QVERIFY(out.table.title().startsWith(QStringLiteral("Liste des Tâches - Nord\r")));
        ResultSet rs;
        QVERIFY(session().database()->query(HistoryReport::resourceChoiceQuery(1, {}), rs));
        QCOMPARE(rs.rowCount(), 1);
        QVERIFY(session().database()->exec(QStringLiteral("delete from kp_equipes_ress")));
        QVERIFY(session().database()->exec(QStringLiteral("delete from kp_equipes")));
    }

    void messages()
    {
        HistoryParameters p = month(HistoryKind::Resource, 0);
        p.end = QDate();
        Outcome outcome = Outcome::success();
        run(p, &outcome);
        QVERIFY(!outcome.ok());
        QCOMPARE(outcome.title(), QStringLiteral("Désolé"));
        QCOMPARE(outcome.text(), QStringLiteral("Dates de début et de fin obligatoires"));

        p = month(HistoryKind::Client, 3);
        p.start = QDate(2030, 1, 1);
        p.end = QDate(2030, 1, 31);
        const HistoryOutput out = run(p, &outcome);
        QVERIFY(outcome.ok());
        QCOMPARE(out.lines, 0);
        QCOMPARE(outcome.text(), QStringLiteral("Aucune donnée à votre requête"));
    }

    // A stop keeps the lines already made and says so.
    void stopKeepsLines()
    {
        HistoryReport report(session(), month(HistoryKind::Resource, 0));
        QStringList statuses;
        report.setProgress(
            [&statuses](const QString &status) {
                statuses.append(status);
                return statuses.size() < 5;
            },
            1);
        HistoryOutput out;
        const Outcome outcome = report.run(&out);
        QVERIFY(outcome.ok());
        QVERIFY(out.stopped);
        // The series read first made its lines; the rest was never reached.
        QVERIFY(out.lines > 0 && out.lines < 12);
        QCOMPARE(out.table.rowCount(), out.lines + 1);
        QCOMPARE(outcome.title(), QStringLiteral("Abandon"));
        QCOMPARE(outcome.text(), QStringLiteral("Abandon du traitement"));
        QCOMPARE(statuses.mid(0, 2), QStringList({"Sélection des données", "Préparation des données"}));
    }

    void presets_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("firstWeekday");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        // Wednesday 10/03/2027.
        QTest::newRow("today") << int(HistoryPeriod::Today) << 0 << QDate(2027, 3, 10) << QDate(2027, 3, 10);
        QTest::newRow("week from Monday") << int(HistoryPeriod::Week) << 0 << QDate(2027, 3, 8) << QDate(2027, 3, 14);
        QTest::newRow("week from Sunday") << int(HistoryPeriod::Week) << 6 << QDate(2027, 3, 7) << QDate(2027, 3, 13);
        QTest::newRow("week from Wednesday") << int(HistoryPeriod::Week) << 2 << QDate(2027, 3, 10) << QDate(2027, 3, 16);
        QTest::newRow("two weeks") << int(HistoryPeriod::TwoWeeks) << 0 << QDate(2027, 3, 8) << QDate(2027, 3, 21);
        QTest::newRow("month") << int(HistoryPeriod::Month) << 0 << QDate(2027, 3, 1) << QDate(2027, 3, 31);
        QTest::newRow("two months") << int(HistoryPeriod::TwoMonths) << 0 << QDate(2027, 3, 1) << QDate(2027, 4, 30);
        QTest::newRow("year") << int(HistoryPeriod::Year) << 0 << QDate(2027, 1, 1) << QDate(2027, 12, 31);
    }
    void presets()
    {
        QFETCH(int, preset);
        QFETCH(int, firstWeekday);
        QDate first, last;
        HistoryPeriod::range(preset, QDate(2027, 3, 10), firstWeekday, &first, &last);
        QTEST(first, "first");
        QTEST(last, "last");
    }

    // Titles and states follow the task word's gender and elision.
    void agreement()
    {
        Terms terms;
        QCOMPARE(HistoryReport::stateNames(terms), QStringList({"Toutes", "Effectuée", "Non Effectuée"}));
        QCOMPARE(HistoryReport::typeName(HistoryKind::Resource, 3, terms), QStringLiteral("Statistiques/Type de Tâche"));
        terms.setTerm(Entity::Tache, {QStringLiteral("Intervention"), QStringLiteral("Interventions"), QStringLiteral("1"),
                                      QStringLiteral("1")});
        QCOMPARE(HistoryReport::typeName(HistoryKind::Client, 2, terms), QStringLiteral("Statistiques/Type d'Intervention"));
        QCOMPARE(HistoryQueries::columnTitles(HistoryKind::Resource, 1, terms).at(4), QStringLiteral("Fin d'Intervention"));
        terms.setTerm(Entity::Tache, {QStringLiteral("Travail"), QStringLiteral("Travaux"), QStringLiteral("0"), QStringLiteral("0")});
        QCOMPARE(HistoryReport::stateNames(terms), QStringList({"Tous", "Effectué", "Non Effectué"}));
        QCOMPARE(HistoryQueries::columnTitles(HistoryKind::Client, 1, terms).at(4), QStringLiteral("Fin de Travail"));
    }
};

QTEST_GUILESS_MAIN(TestHistoryReport)
#include "tst_historyreport.moc"
