#include "PlanningFixture.h"

#include "core/RefreshStamp.h"
#include "core/widgets/DateField.h"
#include "planning/FilterPanel.h"
#include "planning/FrmPlanning.h"
#include "planning/PlanningView.h"
#include "seed/SeedGenerator.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate Monday(2027, 3, 1);

} // namespace

// The planning window: loading, scrolling without reading, the automatic
// refresh, bad input, and what it looks like.
class TestFrmPlanning : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    void smallPlanning()
    {
        PlanningData data(session());
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), 0xFFC080) && data.taskType(2, QStringLiteral("Audit"), 0x80C0FF));
        for (int r = 1; r <= 30; ++r)
            QVERIFY(data.resource(r, QStringLiteral("Ressource %1").arg(r, 2, 10, QLatin1Char('0'))));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 12));
        QVERIFY(data.simple(2, 2, 1, Monday, 10, 16));
        QVERIFY(data.simple(3, 1, 30, Monday.addDays(2), 9, 18));
    }

    std::unique_ptr<FrmPlanning> open(int days = 14)
    {
        Settings &s = session().settings();
        s.write(QStringLiteral("Planning"), QStringLiteral("Periode"), QStringLiteral("Nombre de jours"));
        s.write(QStringLiteral("Planning"), QStringLiteral("NbJours"), QString::number(days));
        auto window = std::make_unique<FrmPlanning>(session(), m_prompter);
        window->resize(1280, 800);
        window->setStartDate(Monday);
        return window;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("frmplanning"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        // Each case starts from a workstation with no planning settings.
        session().settings().remove(QStringLiteral("Planning"));
        session().settings().remove(QStringLiteral("Filtres"));
        m_prompter.clear();
    }

    void loadsAndScrollsWithoutReading()
    {
        smallPlanning();
        auto window = open();
        QCOMPARE(window->model().rows().size(), 30);
        QCOMPARE(window->model().blocks().size(), 3);
        QVERIFY(window->statusText().startsWith(QStringLiteral("30 lignes, 3 blocs")));
        QCOMPARE(window->view()->layout().places().at(0).bands(), 2);
        const int loads = window->loadCount();
        window->rowScroll()->setValue(5);
        QCOMPARE(window->view()->firstRow(), 5);
        window->setStartDate(Monday.addDays(1));
        window->setStartDate(Monday.addDays(-1));
        QCOMPARE(window->loadCount(), loads);
        // The keys move the rows and the days alike.
        QTest::keyClick(window->view(), Qt::Key_PageDown);
        QCOMPARE(window->view()->firstRow(), 10); // 30 rows, 20 to a screen: the last page
        QTest::keyClick(window->view(), Qt::Key_Home);
        QCOMPARE(window->view()->firstRow(), 0);
        QTest::keyClick(window->view(), Qt::Key_Right);
        QCOMPARE(window->startDate(), Monday);
        QCOMPARE(window->loadCount(), loads);
        // Far away: the window reads again.
        window->setStartDate(Monday.addDays(40));
        QCOMPARE(window->loadCount(), loads + 1);
        QVERIFY(window->model().blocks().isEmpty());
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void refreshFollowsTheStamp()
    {
        smallPlanning();
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("Raffraichissement"), QStringLiteral("5"));
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("RaffAuto"), QStringLiteral("1"));
        auto window = open();
        const QTime start = QTime::currentTime();
        // Nothing changed: the stamp is read, nothing reloads.
        QVERIFY(!window->refreshTick(start.addSecs(6)));
        // Another workstation adds a task and writes the stamp.
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        PlanningData data(other.session());
        QVERIFY(data.simple(4, 2, 2, Monday.addDays(1), 14, 17));
        QVERIFY(RefreshStamp::write(other.session()));
        QVERIFY(!window->refreshTick(start.addSecs(7))); // the interval has not passed again
        QVERIFY(window->refreshTick(start.addSecs(12)));
        QCOMPARE(window->model().blocks().size(), 4);
        // Set to 0, the planning never reloads by itself.
        QVERIFY(RefreshStamp::write(other.session()));
        window->setRefreshSeconds(0);
        QVERIFY(!window->refreshTick(start.addSecs(600)));
        QCOMPARE(session().settings().read(QStringLiteral("Planning"), QStringLiteral("Raffraichissement")), QStringLiteral("0"));
    }

    // A failed load keeps the last picture, shows the error, and the next refresh tries again.
    void failedLoadKeepsThePicture()
    {
        smallPlanning();
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("Raffraichissement"), QStringLiteral("5"));
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("RaffAuto"), QStringLiteral("1"));
        auto window = open();
        QVERIFY(db().exec(QStringLiteral("alter table kp_taches_dates rename to kp_taches_dates_away")));
        QVERIFY(!window->reload());
        QCOMPARE(window->model().blocks().size(), 3);
        QCOMPARE(m_prompter.shown().size(), 2);
        QCOMPARE(m_prompter.shown().at(0).title, QStringLiteral("Erreur"));
        QCOMPARE(m_prompter.shown().at(1).text, QStringLiteral("Erreur lors de la lecture des ") + session().terms().plural(Entity::Tache));
        QVERIFY(db().exec(QStringLiteral("alter table kp_taches_dates_away rename to kp_taches_dates")));
        QVERIFY(window->refreshTick(QTime::currentTime().addSecs(10)));
        QCOMPARE(window->model().blocks().size(), 3);
    }

    void emptyPlanningAndBadDate()
    {
        auto window = open();
        QVERIFY(window->model().rows().isEmpty());
        QCOMPARE(window->statusText(), QStringLiteral("Aucune ") + session().terms().singular(Entity::Ressource).toLower()
                                           + QStringLiteral(" à afficher"));
        DateField *date = window->filterPanel()->dateField();
        date->setText(QStringLiteral("45/13/20x7"));
        date->normalise();
        QCOMPARE(window->startDate(), Monday);
        QCOMPARE(date->date(), Monday);
        date->setText(QStringLiteral("03/05/2027"));
        date->normalise();
        QCOMPARE(window->startDate(), QDate(2027, 5, 3));
    }

    // The resources shown become one calendar each; the other presentations
    // and a missing folder are refused with a message, nothing written.
    void icsOfTheResourcesShown()
    {
        smallPlanning();
        auto window = open(7);
        QTemporaryDir folder;
        window->exportIcs(folder.path());
        QCOMPARE(m_prompter.shown().constLast().title, QStringLiteral("Terminé"));
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.ics")}, QDir::Files).size(), 30);
        QFile first(QDir(folder.path()).filePath(QStringLiteral("Ressource 01.ics")));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll().contains("SUMMARY:Pose"));

        window->exportIcs(folder.filePath(QStringLiteral("absent")));
        QCOMPARE(m_prompter.shown().constLast().title, QStringLiteral("Erreur"));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("absent"))));

        QTemporaryDir other;
        window->filterPanel()->presentationList()->setCurrentIndex(int(Presentation::ByClient));
        window->exportIcs(other.path());
        QCOMPARE(m_prompter.shown().constLast().title, QStringLiteral("Attention"));
        QVERIFY(QDir(other.path()).isEmpty());
    }

    // Nonsense in the settings file gives the defaults.
    void nonsenseSettings()
    {
        Settings &s = session().settings();
        for (const char *key : {"NbJours", "Presentation", "CoulAffTache", "NbRessMax", "HautMaxRess", "LargMaxRessR", "MoisPair",
                                "Raffraichissement", "WheelAction", "NbHisto"})
            s.write(QStringLiteral("Planning"), QLatin1String(key), QStringLiteral("n'importe quoi"));
        s.write(QStringLiteral("Planning"), QStringLiteral("PhrAffTache"), QStringLiteral("123"));
        s.write(QStringLiteral("Filtres"), QStringLiteral("NbCol"), QStringLiteral("7"));
        const PlanningSettings p = PlanningSettings::read(s);
        const PlanningSettings d;
        QCOMPARE(p.nbJours, d.nbJours);
        QCOMPARE(p.presentation, d.presentation);
        QCOMPARE(p.rowsPerScreen, 20);
        QCOMPARE(p.maxRowHeightTwips, 900);
        QCOMPARE(p.evenMonth, 12648447);
        QCOMPARE(p.refreshSeconds, d.refreshSeconds);
        QCOMPARE(p.blockPhrase, QStringLiteral("E"));
        QCOMPARE(p.historyLength, 10);
        s.write(QStringLiteral("Planning"), QStringLiteral("HautMaxRess"), QStringLiteral("100"));
        s.write(QStringLiteral("Planning"), QStringLiteral("NbRessMax"), QStringLiteral("80"));
        QCOMPARE(PlanningSettings::read(s).maxRowHeightTwips, 200);
        QCOMPARE(PlanningSettings::read(s).rowsPerScreen, 50);
        auto window = open();
        QVERIFY(window->isEnabled());
        QCOMPARE(FilterLayout::read(s).columns, 4);
    }

    // The filter panel follows the Filtres settings; a filter narrows the rows.
    void filterPanel()
    {
        smallPlanning();
        QVERIFY(db().exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (1,'Nord')")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,1),(1,2)")));
        session().settings().write(QStringLiteral("Filtres"), QStringLiteral("VZone"), QStringLiteral("0"));
        session().settings().write(QStringLiteral("Filtres"), QStringLiteral("Equipe"), QStringLiteral("abc"));
        auto window = open();
        FilterPanel *panel = window->filterPanel();
        QVERIFY(!panel->list(FilterId::Zone)->isVisibleTo(panel));
        QVERIFY(panel->list(FilterId::Equipe)->isVisibleTo(panel));
        QComboBox *teams = panel->list(FilterId::Equipe);
        QCOMPARE(teams->count(), 2);
        teams->setCurrentIndex(1);
        QCOMPARE(window->model().rows().size(), 2);
        QCOMPARE(window->model().blocks().size(), 2);
        panel->presentationList()->setCurrentIndex(2);
        QCOMPARE(window->model().rows().size(), 2); // the task types
        QCOMPARE(session().settings().read(QStringLiteral("Planning"), QStringLiteral("Presentation")), QStringLiteral("2"));
    }

    // A list that cannot be read says so and stays empty; the planning still opens.
    void unreadableList()
    {
        smallPlanning();
        QVERIFY(db().exec(QStringLiteral("drop table kp_zones")));
        auto window = open();
        QCOMPARE(window->filterPanel()->list(FilterId::Zone)->count(), 2); // "Toutes" and "Défaut"
        QStringList texts = m_prompter.texts();
        QVERIFY(texts.contains(QStringLiteral("Erreur lors de la lecture des zones")));
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Erreur"));
        QCOMPARE(window->model().blocks().size(), 3);
        m_db->makeBlank();
    }

    // Pictures of the window in each presentation and period, on generated data.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("QUENZO_SCREENSHOT_DIR is not set");
        SeedOptions options;
        options.resources = 40;
        options.clients = 120;
        options.dateLines = 1500;
        options.series = 12;
        options.firstDay = Monday.addDays(-30);
        options.days = 90;
        SeedReport report;
        QVERIFY(SeedGenerator(session(), options).run(&report));
        auto window = open(14);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int p = 0; p < 3; ++p) {
            window->filterPanel()->presentationList()->setCurrentIndex(p);
            for (Period period : {Period::Day, Period::NbDays, Period::Week, Period::Month, Period::Quarter}) {
                window->setPeriod(period);
                QApplication::processEvents();
                window->grab().save(QStringLiteral("%1/planning_%2_%3.png").arg(folder).arg(p).arg(int(period)));
            }
        }
    }
};

QTEST_MAIN(TestFrmPlanning)
#include "tst_frmplanning.moc"
