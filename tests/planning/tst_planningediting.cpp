#include "PlanningFixture.h"

#include "core/RecordLocks.h"
#include "planning/FrmPlanning.h"
#include "planning/PlanningCommand.h"
#include "planning/PlanningView.h"
#include "support/ScriptedPrompter.h"
#include "tasks/Periodicity.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

namespace {

const QDate Monday(2027, 3, 1);

} // namespace

// Editing the planning with the mouse and the keyboard, as a person does it.
class TestPlanningEditing : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    QList<PlanningCommand::Creation> m_created;
    QList<qint64> m_opened;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    std::unique_ptr<FrmPlanning> open(Presentation p = Presentation::ByResource)
    {
        Settings &s = session().settings();
        s.write(QStringLiteral("Planning"), QStringLiteral("Periode"), QStringLiteral("Nombre de jours"));
        s.write(QStringLiteral("Planning"), QStringLiteral("NbJours"), QStringLiteral("4"));
        s.write(QStringLiteral("Planning"), QStringLiteral("Presentation"), QString::number(int(p)));
        auto window = std::make_unique<FrmPlanning>(session(), m_prompter);
        window->resize(1280, 800);
        window->setStartDate(Monday);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning() << "planning not exposed";
        window->command()->setCreator([this](const PlanningCommand::Creation &c) {
            m_created << c;
            return qint64(0);
        });
        window->command()->setOpener([this](const PlanningBlock &b) { m_opened << b.noid; });
        return window;
    }
    static int blockOf(const FrmPlanning &w, qint64 noid, qint64 row, const QDate &day = {})
    {
        const QList<PlanningBlock> &blocks = w.model().blocks();
        for (int i = 0; i < blocks.size(); ++i)
            if (blocks.at(i).noid == noid && blocks.at(i).rowKey == row && (!day.isValid() || blocks.at(i).startDate == day))
                return i;
        return -1;
    }
    static QRectF rectOf(const FrmPlanning &w, int block) { return w.view()->layout().places().at(block).rect; }
    // The middle of a row's height at a time; a little after it, so that it snaps onto it.
    static QPoint point(const FrmPlanning &w, int row, const QDate &day, int hour, int minute = 0)
    {
        const PlanningLayout &l = w.view()->layout();
        const QPointF p = l.pointOf({row, day, hour * 60 + minute});
        return QPoint(int(p.x()) + 2, int(p.y() + l.rowHeight() / 2));
    }
    static void mouse(QWidget *w, QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = {})
    {
        QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, mods);
        QApplication::sendEvent(w, &e);
    }
    // Presses, moves in two steps and releases; `shot` names a picture taken before the release.
    void drag(FrmPlanning &w, const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {}, const QString &shot = {})
    {
        QWidget *v = w.view();
        mouse(v, QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
        mouse(v, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, mods);
        mouse(v, QEvent::MouseMove, to, Qt::LeftButton, mods);
        w.view()->stretchTick();
        if (!shot.isEmpty())
            screenshot(w, shot);
        mouse(v, QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
    }
    void screenshot(FrmPlanning &w, const QString &name)
    {
        const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (!folder.isEmpty() && !TestBackend::isMariaDb())
            w.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
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
    QString links(qint64 noid)
    {
        return column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = %1 order by noidressource").arg(noid))
            .join(QLatin1Char(','));
    }
    QStringList history()
    {
        return column(db(), QStringLiteral("select typehisto from histo_taches_desc where nomordi = 'POSTE1' order by nohisto"));
    }
    void undo(FrmPlanning &w)
    {
        QAction *a = w.findChild<QAction *>(QStringLiteral("Annuler"));
        QVERIFY(a);
        a->trigger();
    }
    void series(qint64 noid, qint64 resource)
    {
        PlanningData data(session());
        QVERIFY(data.task(noid, 1, {{"noidper", QString::number(noid)}, {"origine", "1"}}));
        QVERIFY(data.line(noid, 1, QDateTime(QDate(2027, 1, 4), QTime(14, 0)), QDateTime(QDate(2027, 1, 4), QTime(15, 0))));
        QVERIFY(data.link(noid, resource));
        PeriodRule rule;
        rule.noid = noid;
        rule.hordeb = QStringLiteral("14:00");
        rule.horfin = QStringLiteral("15:00");
        rule.datedeb = QDate(2027, 1, 4);
        QVERIFY(Periodicity::saveRule(db(), session().dialect(), rule));
    }
    // Runs a context-menu command on a block (-1: the empty place `at`).
    void menu(FrmPlanning &w, int block, const GridPoint &at, const QString &code)
    {
        std::unique_ptr<QMenu> m(w.contextMenu(block, at));
        for (QAction *a : m->actions())
            if (a->data().toString() == code) {
                QVERIFY(a->isEnabled());
                a->trigger();
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no command ") + code));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("planningediting"));
        QDir().mkpath(qEnvironmentVariable("QUENZO_SCREENSHOT_DIR", QDir::tempPath()));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        session().settings().remove(QStringLiteral("Planning"));
        session().settings().remove(QStringLiteral("Filtres"));
        m_prompter.clear();
        m_created.clear();
        m_opened.clear();
        PlanningData data(session());
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), 0xFFC080) && data.taskType(2, QStringLiteral("Audit"), 0x80C0FF));
        QVERIFY(data.resource(1, QStringLiteral("Alice")) && data.resource(2, QStringLiteral("Bruno"))
                && data.resource(3, QStringLiteral("Chloé")));
        QVERIFY(data.simple(1, 1, 1, Monday, 10, 12));
    }

    void dragMovesAndUndoes()
    {
        auto w = open();
        const int b = blockOf(*w, 1, 1);
        QVERIFY(b >= 0);
        const QRectF r = rectOf(*w, b);
        const int grip = 20;
        const QPoint target = point(*w, 1, Monday.addDays(1), 14) + QPoint(grip, 0);
        drag(*w, QPoint(int(r.left()) + grip, int(r.center().y())), target, {}, QStringLiteral("move_mid"));
        QCOMPARE(lines(1), QStringLiteral("02 14:00-02 16:00"));
        QCOMPARE(links(1), QStringLiteral("2"));
        QCOMPARE(history(), QStringList{"0"});
        QCOMPARE(w->view()->selectedBlock(), blockOf(*w, 1, 2));
        screenshot(*w, QStringLiteral("move_dropped"));
        undo(*w);
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
        QCOMPARE(links(1), QStringLiteral("1"));
        QVERIFY(blockOf(*w, 1, 1) >= 0);
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void stretchBothEnds()
    {
        auto w = open();
        QRectF r = rectOf(*w, blockOf(*w, 1, 1));
        const int y = int(r.center().y());
        drag(*w, QPoint(int(r.right()) - 1, y), QPoint(point(*w, 0, Monday, 15, 30).x(), y), {}, QStringLiteral("stretch_mid"));
        QCOMPARE(w->view()->dragMode(), PlanningView::DragMode::None);
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 15:30"));
        r = rectOf(*w, blockOf(*w, 1, 1));
        drag(*w, QPoint(int(r.left()) + 1, y), QPoint(point(*w, 0, Monday, 9, 20).x(), y));
        QCOMPARE(lines(1), QStringLiteral("01 09:20-01 15:30"));
        QCOMPARE(history(), (QStringList{"0", "0"}));
        undo(*w);
        undo(*w);
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
    }

    void createFromCellMenuAndBand()
    {
        auto w = open();
        drag(*w, point(*w, 2, Monday.addDays(2), 10), point(*w, 2, Monday.addDays(2), 11, 30), {}, QStringLiteral("create_mid"));
        QCOMPARE(m_created.size(), 1);
        const PlanningCommand::Creation c = m_created.first();
        QCOMPARE(c.leave, false);
        QCOMPARE(c.row, 3);
        QCOMPARE(c.startDate, Monday.addDays(2));
        QCOMPARE(c.startTime, QStringLiteral("10:00"));
        QCOMPARE(c.endTime, QStringLiteral("11:30"));
        menu(*w, -1, {1, Monday.addDays(3), 14 * 60}, QStringLiteral("NOUVCONG"));
        QCOMPARE(m_created.size(), 2);
        QVERIFY(m_created.last().leave);
        QCOMPARE(m_created.last().row, 2);
        QCOMPARE(m_created.last().startTime, QStringLiteral("14:00"));
        // The selection mode draws a band instead, and marks the blocks within.
        QVERIFY(PlanningData(session()).simple(2, 1, 2, Monday.addDays(1), 10, 12));
        QVERIFY(w->reload());
        w->view()->setSelectionMode(true);
        const QRectF r = rectOf(*w, blockOf(*w, 2, 2));
        drag(*w, (r.topLeft() - QPointF(4, 2)).toPoint(), (r.bottomRight() + QPointF(4, 2)).toPoint());
        QCOMPARE(m_created.size(), 2);
        QCOMPARE(w->view()->markedBlocks(), QSet<int>{blockOf(*w, 2, 2)});
        screenshot(*w, QStringLiteral("band_marked"));
    }

    void ctrlDragCopies()
    {
        auto w = open();
        const QRectF r = rectOf(*w, blockOf(*w, 1, 1));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 2, Monday.addDays(3), 9) + QPoint(10, 0),
             Qt::ControlModifier);
        const QString copy = scalar(db(), QStringLiteral("select max(noid) from kp_taches_desc"));
        QCOMPARE(copy, QStringLiteral("2"));
        QCOMPARE(lines(2), QStringLiteral("04 09:00-04 11:00"));
        QCOMPARE(links(2), QStringLiteral("3"));
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
        QCOMPARE(history(), QStringList{"1"});
        undo(*w);
        QCOMPARE(lines(2), QString());
    }

    void occurrences()
    {
        series(10, 1);
        auto w = open();
        // Moved: taken out of its series when the person says so.
        m_prompter.answer({true});
        const QRectF r = rectOf(*w, blockOf(*w, 10, 1, Monday.addDays(1)));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 0, Monday.addDays(1), 16) + QPoint(10, 0));
        QCOMPARE(m_prompter.shown().first().text, QStringLiteral("Sortir la date de la périodicité ?"));
        QCOMPARE(m_prompter.defaults().first(), false);
        const qint64 detached = scalar(db(), QStringLiteral("select max(noid) from kp_taches_desc")).toLongLong();
        QCOMPARE(lines(detached), QStringLiteral("02 16:00-02 17:00"));
        // Kept in the series on the same row: nothing is written.
        m_prompter.clear();
        m_prompter.answer({false});
        const QRectF r2 = rectOf(*w, blockOf(*w, 10, 1, Monday.addDays(2)));
        drag(*w, QPoint(int(r2.left()) + 10, int(r2.center().y())), point(*w, 0, Monday.addDays(2), 16) + QPoint(10, 0));
        QCOMPARE(history(), QStringList{"1"});
        // Deleted alone: an exception hides it.
        m_prompter.clear();
        m_prompter.answer({true});
        menu(*w, blockOf(*w, 10, 1, Monday.addDays(3)), {0, Monday.addDays(3), 14 * 60}, QStringLiteral("SUPP"));
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("COnfirmation"));
        QCOMPARE(blockOf(*w, 10, 1, Monday.addDays(3)), -1);
        QVERIFY(blockOf(*w, 10, 1, Monday) >= 0);
        QCOMPARE(history(), (QStringList{"1", "1"}));
        undo(*w);
        QVERIFY(blockOf(*w, 10, 1, Monday.addDays(3)) >= 0);
        undo(*w);
        QVERIFY(blockOf(*w, 10, 1, Monday.addDays(1)) >= 0);
        // The whole series, after saying no to the occurrence alone.
        m_prompter.clear();
        m_prompter.answer({false, true});
        menu(*w, blockOf(*w, 10, 1, Monday), {0, Monday, 14 * 60}, QStringLiteral("SUPP"));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Confirmez vous la suppression ?"));
        QVERIFY(column(db(), QStringLiteral("select noid from kp_taches_desc where noid = 10 or noidper = 10")).isEmpty());
        QCOMPARE(blockOf(*w, 10, 1), -1);
    }

    void keyboard()
    {
        auto w = open();
        PlanningView *v = w->view();
        v->setFocus();
        QTest::keyClick(v, Qt::Key_Tab);
        QCOMPARE(v->selectedBlock(), blockOf(*w, 1, 1));
        const int step = v->layout().stepMinutes();
        QTest::keyClick(v, Qt::Key_Right);
        QCOMPARE(lines(1), QStringLiteral("01 10:%1-01 12:%1").arg(step, 2, 10, QLatin1Char('0')));
        QTest::keyClick(v, Qt::Key_Down);
        QCOMPARE(links(1), QStringLiteral("2"));
        QCOMPARE(v->selectedBlock(), blockOf(*w, 1, 2));
        QTest::keyClick(v, Qt::Key_Left);
        QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:%1").arg(step, 2, 10, QLatin1Char('0')));
        QTest::keyClick(v, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(lines(1), QStringLiteral("01 09:%1-01 12:%2").arg(60 - step).arg(step, 2, 10, QLatin1Char('0')));
        QCOMPARE(history().size(), 5);
        QTest::keyClick(v, Qt::Key_Return);
        QCOMPARE(m_opened, QList<qint64>{1});
        m_prompter.answer({true});
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Confirmez vous la suppression ?")});
        QVERIFY(lines(1).isEmpty());
        QCOMPARE(history().last(), QStringLiteral("-1"));
        // Ctrl+Z from the window, as the menu shows it.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(links(1), QStringLiteral("2"));
        // Without a selection the arrows scroll again.
        QTest::keyClick(v, Qt::Key_Escape);
        QCOMPARE(v->selectedBlock(), -1);
        QTest::keyClick(v, Qt::Key_Right);
        QCOMPARE(w->startDate(), Monday.addDays(1));
    }

    void refusals()
    {
        QVERIFY(PlanningData(session()).simple(2, 1, 2, Monday, 14, 16));
        QVERIFY(PlanningData(session()).simple(3, 1, 1, Monday.addDays(1), 9, 11, 0, {{"blocage", "1"}}));
        session().setUser(QStringLiteral("JEAN"), QString());
        session().setCurrentResource(1);
        session().description().geslogin = true;
        auto w = open();
        const QStringList before = column(db(), QStringLiteral("select datedeb from kp_taches_dates order by noid"));
        // Somebody else's task.
        QRectF r = rectOf(*w, blockOf(*w, 2, 2));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 1, Monday, 16) + QPoint(10, 0));
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous ne pouvez pas modifier la tâche de quelqu'un d'autre")});
        // A new task or leave on somebody else's row.
        m_prompter.clear();
        drag(*w, point(*w, 1, Monday.addDays(2), 10), point(*w, 1, Monday.addDays(2), 11));
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous ne pouvez pas créer une tâche pour quelqu'un d'autre")});
        m_prompter.clear();
        menu(*w, -1, {0, Monday.addDays(2), 10 * 60}, QStringLiteral("NOUVCONG"));
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous n'avez pas le droit de créer les congés")});
        QVERIFY(m_created.isEmpty());
        // A locked block does not move.
        m_prompter.clear();
        r = rectOf(*w, blockOf(*w, 3, 1));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 0, Monday.addDays(2), 9) + QPoint(10, 0));
        QCOMPARE(w->pointerText(), QStringLiteral("Ce bloc est verrouillé"));
        // Released outside the window, on the row labels, or given up with Escape: nothing.
        r = rectOf(*w, blockOf(*w, 1, 1));
        const QPoint grip(int(r.left()) + 10, int(r.center().y()));
        drag(*w, grip, QPoint(-40, -40));
        drag(*w, grip, QPoint(5, grip.y()));
        mouse(w->view(), QEvent::MouseButtonPress, grip, Qt::LeftButton);
        mouse(w->view(), QEvent::MouseMove, grip + QPoint(60, 0), Qt::LeftButton);
        QCOMPARE(w->view()->dragMode(), PlanningView::DragMode::Move);
        QTest::keyClick(w->view(), Qt::Key_Escape);
        QCOMPARE(w->view()->dragMode(), PlanningView::DragMode::None);
        mouse(w->view(), QEvent::MouseButtonRelease, grip + QPoint(60, 0), Qt::NoButton);
        QVERIFY(m_prompter.shown().isEmpty());
        QCOMPARE(column(db(), QStringLiteral("select datedeb from kp_taches_dates order by noid")), before);
        QVERIFY(history().isEmpty());
    }

    void linkQuestionRedundancyAndDoubleClick()
    {
        PlanningData data(session());
        QVERIFY(data.link(1, 2));
        QVERIFY(data.simple(3, 0, 1, Monday.addDays(2), 9, 18, 0, {{"codeconge", "'CP'"}}));
        auto w = open();
        // Two rows share the task: only this one, when the person says so.
        m_prompter.answer({true, true});
        menu(*w, blockOf(*w, 1, 2), {1, Monday, 10 * 60}, QStringLiteral("SUPP"));
        QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Supprimer uniquement la ressource en cours ?"),
                                                  QStringLiteral("Confirmez vous la suppression ?")}));
        QCOMPARE(links(1), QStringLiteral("1"));
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
        // Dropped on a row that holds it already.
        QVERIFY(data.link(1, 2));
        QVERIFY(w->reload());
        m_prompter.clear();
        const QRectF r = rectOf(*w, blockOf(*w, 1, 1));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 1, Monday, 14) + QPoint(10, 0));
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Redondance"));
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
        // A double click on one's own leave, without the right to change leave.
        session().setUser(QStringLiteral("JEAN"), QString());
        session().setCurrentResource(1);
        session().description().geslogin = true;
        QVERIFY(w->reload());
        m_prompter.clear();
        mouse(w->view(), QEvent::MouseButtonDblClick, rectOf(*w, blockOf(*w, 3, 1)).center().toPoint(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous n'avez pas le droit de modifier les congés")});
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Désolé"));
        QVERIFY(m_opened.isEmpty());
    }

    void menusByPresentationAndAdminLock()
    {
        QVERIFY(PlanningData(session()).client(7, QStringLiteral("Boulangerie")));
        QVERIFY(PlanningData(session()).linkClient(1, 7));
        QVERIFY(db().exec(QStringLiteral("update kp_taches_desc set blocadm = 1 where noid = 1")));
        {
            // By client: a new task gets the client; leave cannot be entered from here.
            QVERIFY(PlanningData(session()).client(8, QStringLiteral("Charcuterie")));
            auto w = open(Presentation::ByClient);
            QCOMPARE(w->model().rows().size(), 2);
            const QRectF r = rectOf(*w, blockOf(*w, 1, 7));
            drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 1, Monday, 10) + QPoint(10, 0));
            QCOMPARE(column(db(), QStringLiteral("select noidsoc from kp_taches_clients where noid = 1")), QStringList{"8"});
            QCOMPARE(links(1), QStringLiteral("1"));
            menu(*w, -1, {0, Monday.addDays(1), 9 * 60}, QStringLiteral("NOUVTACHE"));
            QCOMPARE(m_created.size(), 1);
            QCOMPARE(m_created.first().row, 7);
            QVERIFY(!w->command()->create(7, {QDateTime(Monday, QTime(9, 0)), QDateTime(Monday, QTime(10, 0))}, true));
            QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous ne pouvez pas saisir les congés depuis cet écran")});
            QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Impossible"));
        }
        // The administrative lock: the block opens, but is neither locked, unlocked nor deleted.
        session().setUser(QStringLiteral("JEAN"), QString());
        session().description().geslogin = true;
        session().description().blocauto = true;
        auto w = open();
        const int b = blockOf(*w, 1, 1);
        QVERIFY(w->model().blocks().at(b).adminLocked);
        std::unique_ptr<QMenu> m(w->contextMenu(b, {0, Monday, 10 * 60}));
        QStringList enabled;
        for (QAction *a : m->actions())
            if (!a->data().toString().isEmpty() && a->isEnabled())
                enabled << a->data().toString();
        QCOMPARE(enabled, (QStringList{QStringLiteral("MODIF"), QStringLiteral("NOUVTACHE"), QStringLiteral("NOUVCONG")}));
    }

    // Another workstation: its lock refuses, its deletion is reported, its move is seen.
    void twoWorkstations()
    {
        auto w = open();
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(RecordLocks::take(other.session(), LockKind::Task, 1));
        const QRectF r = rectOf(*w, blockOf(*w, 1, 1));
        const QPoint grip(int(r.left()) + 10, int(r.center().y()));
        drag(*w, grip, point(*w, 0, Monday, 14) + QPoint(10, 0));
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Impossible"));
        QVERIFY(RecordLocks::release(other.session(), LockKind::Task));
        // Deleted there while being dragged here.
        m_prompter.clear();
        mouse(w->view(), QEvent::MouseButtonPress, grip, Qt::LeftButton);
        mouse(w->view(), QEvent::MouseMove, grip + QPoint(60, 0), Qt::LeftButton);
        QVERIFY(other.db().exec(QStringLiteral("delete from kp_taches_desc where noid = 1")));
        mouse(w->view(), QEvent::MouseButtonRelease, point(*w, 0, Monday, 14) + QPoint(10, 0), Qt::NoButton);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Disparition"));
        QCOMPARE(lines(1), QStringLiteral("01 10:00-01 12:00"));
        QVERIFY(history().isEmpty());
    }

    void conflictNotes()
    {
        PlanningData data(session());
        QVERIFY(data.simple(2, 2, 2, Monday, 10, 11));
        QVERIFY(data.simple(3, 0, 2, Monday.addDays(1), 8, 18, 0, {{"codeconge", "'CP'"}}));
        auto w = open();
        const QRectF r = rectOf(*w, blockOf(*w, 1, 1));
        drag(*w, QPoint(int(r.left()) + 10, int(r.center().y())), point(*w, 1, Monday, 10) + QPoint(10, 0));
        QCOMPARE(links(1), QStringLiteral("2"));
        QVERIFY2(w->conflictNote().contains(QStringLiteral("Bruno est déjà occupé(e) par la tâche n° 2")), qPrintable(w->conflictNote()));
        QVERIFY(w->pointerText().contains(QStringLiteral("est déjà occupé(e)")));
        screenshot(*w, QStringLiteral("conflict_note"));
        const QRectF r2 = rectOf(*w, blockOf(*w, 1, 2));
        drag(*w, QPoint(int(r2.left()) + 10, int(r2.center().y())), point(*w, 1, Monday.addDays(1), 10) + QPoint(10, 0),
             Qt::ControlModifier);
        QVERIFY2(w->conflictNote().contains(QStringLiteral("Bruno est en congé ou indisponible (CP)")), qPrintable(w->conflictNote()));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    // The status bar names the day under the pointer in French, whatever the system's language.
    void pointerPlaceInFrench()
    {
        auto w = open();
        mouse(w->view(), QEvent::MouseMove, point(*w, 2, Monday.addDays(2), 15), Qt::NoButton);
        QVERIFY2(w->pointerText().startsWith(QStringLiteral("mercredi 03/03/2027  15:00")), qPrintable(w->pointerText()));
    }

    void seenByTheOtherWorkstation()
    {
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("Raffraichissement"), QStringLiteral("5"));
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("RaffAuto"), QStringLiteral("1"));
        auto w = open();
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        other.session().description().geslogin = false;
        FrmPlanning there(other.session(), m_prompter);
        there.setStartDate(Monday);
        const int b = blockOf(there, 1, 1);
        QVERIFY(b >= 0);
        QVERIFY(there.command()->drop(there.model().blocks().at(b), 3,
                                      {QDateTime(Monday, QTime(13, 0)), QDateTime(Monday, QTime(15, 0))}, false));
        QVERIFY(w->refreshTick(QTime::currentTime().addSecs(30)));
        QVERIFY(blockOf(*w, 1, 3) >= 0);
    }
};

QTEST_MAIN(TestPlanningEditing)
#include "tst_planningediting.moc"
