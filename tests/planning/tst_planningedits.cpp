#include "PlanningFixture.h"

#include "core/RecordLocks.h"
#include "planning/PlanningEdits.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningModel.h"
#include "tasks/Periodicity.h"
#include "tasks/UndoHistory.h"

namespace {

const QDate Monday(2027, 3, 1);
const QList<QPair<const char *, const char *>> TaskTables = {{"kp_taches_desc", "noid"},
                                                               {"kp_taches_dates", "noid"},
                                                               {"kp_taches_ressources", "noid"},
                                                               {"kp_taches_clients", "noid"},
                                                               {"kp_taches_couts", "noidtache"}};

QDateTime at(const QDate &day, int hour, int minute = 0)
{
    return QDateTime(day, QTime(hour, minute));
}

} // namespace

// The planning's writes: each one recorded for undo, written whole or not at all.
class TestPlanningEdits : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    PlanningModel load(Presentation p = Presentation::ByResource)
    {
        PlanningRequest r;
        r.presentation = p;
        r.first = Monday;
        r.days = 7;
        PlanningFilters::build(db(), {}, &r.fragments);
        PlanningModel model;
        model.loadCalendar(session());
        if (!model.loadRows(session(), r) || !model.loadBlocks(session(), r))
            qWarning() << "planning not loaded";
        return model;
    }
    // The block of a task on a row and day (any day when invalid).
    PlanningBlock block(qint64 noid, qint64 row, const QDate &day = {}, Presentation p = Presentation::ByResource)
    {
        const PlanningModel m = load(p);
        for (const PlanningBlock &b : m.blocks())
            if (b.noid == noid && b.rowKey == row && (!day.isValid() || b.startDate == day))
                return b;
        return {};
    }
    // The task's rows; of its header, the columns the planning writes.
    QStringList dump(qint64 noid)
    {
        return dumpRecord(db(), TaskTables.mid(1), noid)
               + column(db(), QStringLiteral("select noidtache from kp_taches_desc where noid = %1").arg(noid))
               + column(db(), QStringLiteral("select blocage from kp_taches_desc where noid = %1").arg(noid));
    }
    QString lines(qint64 noid)
    {
        QStringList out;
        ResultSet rows;
        db().query(QStringLiteral("select datedeb,datefin from kp_taches_dates where noid = %1 order by noiddate").arg(noid), rows);
        for (int i = 0; i < rows.rowCount(); ++i)
            out << parseDbDateTime(rows.value(i, 0)).toString(QStringLiteral("dd HH:mm")) + QLatin1Char('-')
                       + parseDbDateTime(rows.value(i, 1)).toString(QStringLiteral("dd HH:mm"));
        return out.join(QLatin1Char(','));
    }
    QStringList history()
    {
        return column(db(), QStringLiteral("select typehisto from histo_taches_desc where nomordi = 'POSTE1' order by nohisto"));
    }
    qint64 series(qint64 noid, qint64 resource)
    {
        PlanningData data(session());
        if (!data.task(noid, 1, {{"noidper", QString::number(noid)}, {"origine", "1"}})
            || !data.line(noid, 1, at(QDate(2027, 1, 4), 14), at(QDate(2027, 1, 4), 15, 30)) || !data.link(noid, resource))
            return 0;
        PeriodRule rule;
        rule.noid = noid;
        rule.hordeb = QStringLiteral("14:00");
        rule.horfin = QStringLiteral("15:30");
        rule.datedeb = QDate(2027, 1, 4);
        return Periodicity::saveRule(db(), session().dialect(), rule) ? noid : 0;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("planningedits"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        PlanningData data(session());
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), 0xFFC080) && data.taskType(2, QStringLiteral("Audit"), 0x80C0FF));
        QVERIFY(data.resource(1, QStringLiteral("Alice")) && data.resource(2, QStringLiteral("Bruno")));
        QVERIFY(data.client(7, QStringLiteral("Boulangerie")));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12, 7));
    }

    void moveToAnotherRowAndUndo()
    {
        const QStringList before = dump(1);
        const PlanningBlock b = block(1, 1);
        QCOMPARE(b.noid, 1);
        QVERIFY(PlanningEdits::moveBlock(session(), Presentation::ByResource, b, 2, {at(Monday.addDays(1), 14), at(Monday.addDays(1), 17)}));
        QCOMPARE(lines(1), QStringLiteral("02 14:00-02 17:00"));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = 1")), QStringList{"2"});
        QCOMPARE(scalar(db(), QStringLiteral("select nbheures from kp_taches_dates where noid = 1")).toDouble(), 3.0);
        QCOMPARE(history(), QStringList{"0"});
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(1), before);
        QVERIFY(history().isEmpty());
    }

    void moveByClientAndByType_data()
    {
        QTest::addColumn<int>("presentation");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        QTest::newRow("client") << int(Presentation::ByClient) << "select noidsoc from kp_taches_clients where noid = 1" << "8";
        QTest::newRow("task type") << int(Presentation::ByTaskType) << "select noidtache from kp_taches_desc where noid = 1" << "2";
    }
    void moveByClientAndByType()
    {
        QFETCH(int, presentation);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        QVERIFY(PlanningData(session()).client(8, QStringLiteral("Charcuterie")));
        const Presentation p = Presentation(presentation);
        const PlanningBlock b = block(1, p == Presentation::ByClient ? 7 : 1, {}, p);
        QCOMPARE(b.noid, 1);
        QVERIFY(PlanningEdits::moveBlock(session(), p, b, expected.toLongLong(), {at(Monday, 10), at(Monday, 13)}));
        QCOMPARE(column(db(), check), QStringList{expected});
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 13:00"));
    }

    // A row that already holds the task takes nothing: no half move, no undo entry.
    void redundantRowRefused()
    {
        QVERIFY(PlanningData(session()).link(1, 2));
        const QStringList before = dump(1);
        const Outcome o = PlanningEdits::moveBlock(session(), Presentation::ByResource, block(1, 1), 2, {at(Monday, 14), at(Monday, 17)});
        QVERIFY(!o);
        QCOMPARE(o.title(), QStringLiteral("Redondance"));
        QCOMPARE(o.text(), QStringLiteral("Vous ne pouvez pas déplacer la tâche ici"));
        QCOMPARE(dump(1), before);
        QVERIFY(history().isEmpty());
    }

    // The link cannot be written: the dates moved with it go back too.
    void failedWriteLeavesNothing()
    {
        const QString refuse = m_db->isServer()
                                   ? QStringLiteral("create trigger quenzo_refuse before update on kp_taches_ressources for each row "
                                                    "signal sqlstate '45000' set message_text = 'refus'")
                                   : QStringLiteral("create trigger quenzo_refuse before update on kp_taches_ressources "
                                                    "begin select raise(abort, 'refus'); end");
        QVERIFY2(db().exec(refuse), qPrintable(db().lastError()));
        const QStringList before = dump(1);
        const Outcome o = PlanningEdits::moveBlock(session(), Presentation::ByResource, block(1, 1), 2, {at(Monday, 14), at(Monday, 17)});
        QVERIFY(db().exec(QStringLiteral("drop trigger quenzo_refuse")));
        QVERIFY(!o);
        QCOMPARE(o.text(), QStringLiteral("Erreur lors de la mise à jour de la tâche"));
        QVERIFY(!o.dbError().isEmpty());
        QCOMPARE(dump(1), before);
    }

    void stretchBothEnds()
    {
        const PlanningBlock b = block(1, 1);
        // The end of the working day dropped at midnight: stored as midnight of the next day.
        QVERIFY(PlanningEdits::stretch(session(), b, false, at(Monday.addDays(1), 0)));
        QCOMPARE(lines(1), QStringLiteral("01 09:00-02 00:00"));
        QVERIFY(PlanningEdits::stretch(session(), block(1, 1), true, at(Monday, 8, 30)));
        QCOMPARE(lines(1), QStringLiteral("01 08:30-02 00:00"));
        QCOMPARE(history(), (QStringList{"0", "0"}));
        // An end before the start is refused, nothing written.
        QVERIFY(!PlanningEdits::stretch(session(), block(1, 1), false, at(Monday, 8)));
        QCOMPARE(history().size(), 2);
        QVERIFY(UndoHistory::UndoLast(session()) && UndoHistory::UndoLast(session()));
        QCOMPARE(lines(1), QStringLiteral("01 09:00-01 12:00"));
    }

    void detachOccurrence()
    {
        QCOMPARE(series(10, 1), 10);
        const PlanningBlock occurrence = block(10, 1, Monday.addDays(1));
        QVERIFY(occurrence.isOccurrence());
        qint64 created = 0;
        QVERIFY(PlanningEdits::detachOccurrence(session(), Presentation::ByResource, occurrence, 2,
                                                {at(Monday.addDays(1), 16), at(Monday.addDays(1), 17, 30)}, &created));
        QVERIFY(created > 10);
        QCOMPARE(lines(created), QStringLiteral("02 16:00-02 17:30"));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = %1").arg(created)), QStringList{"2"});
        QCOMPARE(scalar(db(), QStringLiteral("select noidper from kp_taches_desc where noid = %1").arg(created)), QStringLiteral("10"));
        QCOMPARE(scalar(db(), QStringLiteral("select origine from kp_taches_desc where noid = %1").arg(created)), QStringLiteral("0"));
        QCOMPARE(history(), QStringList{"1"});
        // The series keeps its other days; Tuesday is now the detached task.
        const PlanningModel m = load();
        QStringList tuesday;
        for (const PlanningBlock &b : m.blocks())
            if (b.startDate == Monday.addDays(1))
                tuesday << QStringLiteral("%1@%2").arg(b.noid).arg(b.rowKey);
        QCOMPARE(tuesday, QStringList{QStringLiteral("%1@2").arg(created)});
        QVERIFY(block(10, 1, Monday).isOccurrence() && block(10, 1, Monday.addDays(2)).isOccurrence());
        QVERIFY(UndoHistory::UndoLast(session()));
        QVERIFY(dump(created).isEmpty());
        QVERIFY(block(10, 1, Monday.addDays(1)).isOccurrence());
    }

    // Kept in its series but put on another row: every occurrence follows, the dates stay.
    void moveWholeSeriesRow()
    {
        QCOMPARE(series(10, 1), 10);
        QVERIFY(PlanningEdits::moveSeriesRow(session(), Presentation::ByResource, block(10, 1, Monday), 2));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = 10")), QStringList{"2"});
        QCOMPARE(lines(10), QStringLiteral("04 14:00-04 15:30"));
        QVERIFY(block(10, 2, Monday.addDays(3)).isOccurrence());
        QCOMPARE(history(), QStringList{"0"});
    }

    void cancelOccurrenceAndUndo()
    {
        QCOMPARE(series(10, 1), 10);
        qint64 created = 0;
        QVERIFY(PlanningEdits::cancelOccurrence(session(), block(10, 1, Monday.addDays(2)), &created));
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from kp_taches_desc where noid = %1").arg(created)), QStringLiteral("DELETED"));
        QCOMPARE(lines(created), QString());
        QCOMPARE(block(10, 1, Monday.addDays(2)).noid, 0);
        QCOMPARE(block(10, 1, Monday.addDays(3)).noid, 10);
        QCOMPARE(history(), QStringList{"1"});
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(block(10, 1, Monday.addDays(2)).noid, 10);
    }

    void deleteSingleTaskAndUndo()
    {
        const QStringList before = dump(1);
        PlanningEdits::DeletionScope scope;
        QVERIFY(PlanningEdits::deletionScope(session(), Presentation::ByResource, 1, &scope));
        QCOMPARE(scope.links, 1);
        QCOMPARE(scope.lines, 1);
        QVERIFY(PlanningEdits::removeBlock(session(), Presentation::ByResource, block(1, 1), false, false));
        QVERIFY(dump(1).isEmpty());
        QCOMPARE(history(), QStringList{"-1"});
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(1), before);
    }

    void deleteOnlyOneLink()
    {
        QVERIFY(PlanningData(session()).link(1, 2));
        const PlanningBlock b = block(1, 2);
        QCOMPARE(b.rowKey, 2);
        QVERIFY(PlanningEdits::removeBlock(session(), Presentation::ByResource, b, true, false));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = 1")), QStringList{"1"});
        QCOMPARE(lines(1), QStringLiteral("01 09:00-01 12:00"));
    }

    // A whole series goes with its exceptions and its rule, and nothing else.
    void deleteSeries()
    {
        QCOMPARE(series(10, 1), 10);
        qint64 exception = 0;
        QVERIFY(PlanningEdits::cancelOccurrence(session(), block(10, 1, Monday), &exception));
        QVERIFY(PlanningEdits::removeBlock(session(), Presentation::ByResource, block(10, 1, Monday.addDays(1)), false, false));
        QVERIFY(column(db(), QStringLiteral("select noid from kp_taches_desc where noid = 10 or noidper = 10")).isEmpty());
        QVERIFY(column(db(), QStringLiteral("select noid from kp_periode where noid = 10")).isEmpty());
        QCOMPARE(column(db(), QStringLiteral("select noid from kp_taches_desc")), QStringList{"1"});
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(block(10, 1, Monday.addDays(1)).noid, 10);
    }

    void copyKeepsEverything()
    {
        PlanningData data(session());
        QVERIFY(data.link(1, 2));
        QVERIFY(insertRow(db(), session().dialect(), QStringLiteral("kp_taches_couts"),
                          {{"noidtache", "1"}, {"rgcout", "1"}, {"noidcout", "3"}, {"libelle", "'Déplacement'"},
                           {"nbunitcout", "2"}, {"mtunitcout", "15"}, {"mttotcout", "30"}}));
        qint64 created = 0;
        QVERIFY(PlanningEdits::copyBlock(session(), Presentation::ByResource, block(1, 1), 1,
                                         {at(Monday.addDays(3), 13), at(Monday.addDays(3), 16)}, &created));
        QVERIFY(created > 1);
        QCOMPARE(lines(created), QStringLiteral("04 13:00-04 16:00"));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = %1 order by noidressource").arg(created)),
                 (QStringList{"1", "2"}));
        QCOMPARE(column(db(), QStringLiteral("select noidsoc from kp_taches_clients where noid = %1").arg(created)), QStringList{"7"});
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from kp_taches_desc where noid = %1").arg(created)), QStringLiteral("Tâche 1"));
        QCOMPARE(scalar(db(), QStringLiteral("select mttotcout from kp_taches_couts where noidtache = %1").arg(created)).toDouble(), 30.0);
        QCOMPARE(history(), QStringList{"1"});
        // Copied onto another row: that row replaces the one it came from.
        qint64 second = 0;
        QVERIFY(PlanningData(session()).resource(3, QStringLiteral("Chloé")));
        QVERIFY(PlanningEdits::copyBlock(session(), Presentation::ByResource, block(1, 2), 3, {at(Monday, 9), at(Monday, 12)}, &second));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = %1 order by noidressource").arg(second)),
                 (QStringList{"1", "3"}));
        QVERIFY(UndoHistory::UndoLast(session()) && UndoHistory::UndoLast(session()));
        QCOMPARE(column(db(), QStringLiteral("select noid from kp_taches_desc")), QStringList{"1"});
    }

    void lockAndRefusals()
    {
        QVERIFY(PlanningEdits::setLocked(session(), 1, true));
        QCOMPARE(scalar(db(), QStringLiteral("select blocage from kp_taches_desc where noid = 1")), QStringLiteral("1"));
        QVERIFY(PlanningEdits::setLocked(session(), 1, false));
        QCOMPARE(scalar(db(), QStringLiteral("select blocage from kp_taches_desc where noid = 1")), QStringLiteral("0"));
        QCOMPARE(history(), (QStringList{"0", "0"}));
        QVERIFY(PlanningEdits::checkEditable(session(), 1));
        // Open on another workstation: refused as being consulted.
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(RecordLocks::take(other.session(), LockKind::Task, 1));
        Outcome o = PlanningEdits::checkEditable(session(), 1);
        QCOMPARE(o.title(), QStringLiteral("Impossible"));
        QVERIFY(o.text().endsWith(QStringLiteral("/indisponibilité est en cours de consultation")));
        QVERIFY(RecordLocks::release(other.session(), LockKind::Task));
        // Deleted over there.
        QVERIFY(db().exec(QStringLiteral("delete from kp_taches_desc where noid = 1")));
        o = PlanningEdits::checkEditable(session(), 1);
        QCOMPARE(o.title(), QStringLiteral("Disparition"));
    }

    void conflicts()
    {
        PlanningData data(session());
        QVERIFY(PlanningEdits::conflicts(session(), 1).isEmpty());
        QVERIFY(data.simple(2, 2, 1, Monday, 11, 14));
        QVERIFY(data.simple(3, 0, 1, Monday, 8, 10, 0, {{"codeconge", "'CP'"}}));
        QVERIFY(data.simple(4, 2, 1, Monday, 12, 13)); // touching the end: no overlap
        const QStringList notes = PlanningEdits::conflicts(session(), 1);
        QCOMPARE(notes.size(), 2);
        QVERIFY2(notes.at(0).contains(QStringLiteral("Alice est en congé ou indisponible (CP)")), qPrintable(notes.join('|')));
        QVERIFY2(notes.at(1).contains(QStringLiteral("Alice est déjà occupé(e) par la tâche n° 2")), qPrintable(notes.join('|')));
    }
};

QTEST_GUILESS_MAIN(TestPlanningEdits)
#include "tst_planningedits.moc"
