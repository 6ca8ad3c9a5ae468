#include "core/widgets/ColourSwatch.h"
#include "resources/profile/GesProfilHoraire.h"
#include "resources/profile/ProfileViews.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

int at(const char *time)
{
    return ProfileStore::minutesOf(QLatin1String(time));
}

// Press, drag through the middle, release: as a hand on the mouse would.
void drag(WeekPicture *picture, int fromDay, const char *from, int toDay, const char *to)
{
    const QPoint a = picture->positionOf(fromDay, at(from));
    const QPoint b = picture->positionOf(toDay, at(to));
    QTest::mousePress(picture, Qt::LeftButton, {}, a);
    QTest::mouseMove(picture, (a + b) / 2);
    QTest::mouseMove(picture, b);
    QTest::mouseRelease(picture, Qt::LeftButton, {}, b);
}

QStringList detailRows(const GesProfilHoraire &screen)
{
    QStringList rows;
    for (int i = 0; i < screen.detail()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = screen.detail()->topLevelItem(i);
        rows.append(QStringLiteral("%1 %2-%3 %4").arg(item->text(0), item->text(1), item->text(2), item->text(3)));
    }
    return rows;
}

} // namespace

// The profile screen, driven with the mouse on its week picture.
class TestProfileScreen : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }

    // A saved profile: Monday 08:00-12:00 and 14:00-18:00.
    qint64 mondayProfile()
    {
        HourProfile profile{0, QStringLiteral("Bureau"), {{0, at("08:00"), at("12:00")}, {0, at("14:00"), at("18:00")}}};
        [&] { QVERIFY(ProfileStore::save(m_ws->db(), &profile)); }();
        return profile.number;
    }
    static void open(GesProfilHoraire &screen)
    {
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("profilescreen"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->settings().remove(QStringLiteral("PrefPlan"));
        m_prompter.clear();
    }

    void drawnRangesStopAtNeighboursAndMidnight()
    {
        GesProfilHoraire screen(session(), m_prompter, 0);
        open(screen);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Gestion des Profils Horaires - CREATION"));
        WeekPicture *picture = screen.picture();

        const QPoint from = picture->positionOf(0, at("20:00"));
        QTest::mousePress(picture, Qt::LeftButton, {}, from);
        QTest::mouseMove(picture, picture->positionOf(0, at("22:00")));
        QCOMPARE(picture->dragHint(), QStringLiteral("Heure de début : 20:00\nHeure de fin : 22:00"));
        QTest::mouseMove(picture, picture->positionOf(0, at("24:00")) + QPoint(40, 0)); // past the ruler's end
        QTest::mouseRelease(picture, Qt::LeftButton, {}, picture->positionOf(0, at("24:00")) + QPoint(40, 0));
        QCOMPARE(detailRows(screen), QStringList{"Lundi 20:00-24:00 04:00"});
        QCOMPARE(screen.total()->text(), QStringLiteral("04:00"));

        drag(picture, 0, "18:00", 0, "22:00"); // stops where the evening range starts
        drag(picture, 1, "12:00", 1, "08:10"); // drawn leftwards, snapped to 15 minutes
        QCOMPARE(detailRows(screen), QStringList({"Lundi 18:00-20:00 02:00", "Lundi 20:00-24:00 04:00", "Mardi 08:15-12:00 03:45"}));
        QCOMPARE(screen.total()->text(), QStringLiteral("09:45"));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void refusedMovesGoBack_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString here = QStringLiteral("Vous ne pouvez pas déplacer la tranche horaire ici");
        const QString outside = QStringLiteral("Vous ne pouvez pas déplacer en dehors des horaires permises");
        QTest::newRow("onto the morning") << "16:00" << "12:00" << "Désolé" << here;
        QTest::newRow("past midnight") << "16:00" << "23:00" << "Erreur" << outside;
        QTest::newRow("before 00:00") << "10:00" << "01:00" << "Erreur" << outside;
        QTest::newRow("edge over the afternoon") << "12:00" << "15:00" << "Désolé" << here;
    }
    void refusedMovesGoBack()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, title);
        QFETCH(QString, text);
        GesProfilHoraire screen(session(), m_prompter, int(mondayProfile()));
        open(screen);
        const QList<ProfileRange> before = screen.ranges();
        drag(screen.picture(), 0, qPrintable(from), 0, qPrintable(to));
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, title);
        QCOMPARE(m_prompter.shown()[0].text, text);
        QCOMPARE(screen.picture()->ranges(), before);
        QCOMPARE(detailRows(screen), QStringList({"Lundi 08:00-12:00 04:00", "Lundi 14:00-18:00 04:00"}));
    }

    void movedToAnotherDay()
    {
        GesProfilHoraire screen(session(), m_prompter, int(mondayProfile()));
        open(screen);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Gestion des Profils Horaires - MODIFICATION"));
        QCOMPARE(screen.labelField()->text(), QStringLiteral("Bureau"));
        drag(screen.picture(), 0, "16:00", 2, "16:35"); // the start snaps back onto 14:30
        QCOMPARE(detailRows(screen), QStringList({"Lundi 08:00-12:00 04:00", "Mercredi 14:30-18:30 04:00"}));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void edgesSnapToThePrecision_data()
    {
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("pointer");
        QTest::addColumn<QString>("end");
        QTest::newRow("5 minutes") << 0 << "19:06" << "19:05";
        QTest::newRow("30 minutes") << 4 << "19:20" << "19:30";
        QTest::newRow("shorter than a step") << 2 << "13:00" << "14:15";
    }
    void edgesSnapToThePrecision()
    {
        QFETCH(int, precision);
        QFETCH(QString, pointer);
        QFETCH(QString, end);
        GesProfilHoraire screen(session(), m_prompter, int(mondayProfile()));
        open(screen);
        screen.precisionList()->setCurrentIndex(precision);
        QCOMPARE(screen.precisionList()->currentText(), ProfileStore::precisionLabels()[precision]);
        drag(screen.picture(), 0, "18:00", 0, qPrintable(pointer));
        QCOMPARE(ProfileStore::timeText(screen.ranges()[1].end), end);
        QCOMPARE(ProfileStore::timeText(screen.ranges()[1].start), QStringLiteral("14:00"));
        // The choice is this workstation's from now on.
        QCOMPARE(ProfilePreferences::read(m_ws->settings()).precision, precision);
    }

    void deletionAsks()
    {
        GesProfilHoraire screen(session(), m_prompter, int(mondayProfile()));
        open(screen);
        QTest::mouseClick(screen.picture(), Qt::LeftButton, {}, screen.picture()->positionOf(0, at("10:00")));
        QCOMPARE(screen.picture()->selected(), 0);
        QCOMPARE(screen.ranges().size(), 2); // a click moves nothing
        m_prompter.answer({false});
        QTest::keyClick(screen.picture(), Qt::Key_Delete);
        QCOMPARE(screen.ranges().size(), 2);
        m_prompter.answer({true});
        QTest::keyClick(screen.picture(), Qt::Key_Delete);
        QCOMPARE(detailRows(screen), QStringList{"Lundi 14:00-18:00 04:00"});
        QCOMPARE(m_prompter.shown().size(), 2);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Suppression"));
        QCOMPARE(m_prompter.shown()[0].text, QStringLiteral("Supprimer cette tranche horaire ?"));
        QCOMPARE(m_prompter.defaults(), QList<bool>({false, false}));
    }

    void validationThenSave()
    {
        GesProfilHoraire screen(session(), m_prompter, 0);
        open(screen);
        screen.accept();
        QTest::keyClicks(screen.labelField(), QStringLiteral("Équipe de nuit"));
        screen.accept();
        QCOMPARE(m_prompter.texts(), QStringList({"Vous devez renseigner un libellé !",
                                                  "Vous ne pouvez pas valider un profil horaire sans tranches !"}));
        QVERIFY(screen.isVisible());
        drag(screen.picture(), 4, "20:00", 4, "24:00");
        screen.accept();
        QCOMPARE(screen.result(), int(QDialog::Accepted));
        QCOMPARE(screen.profileNumber(), 1);
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select libprofil from kp_profil where noidprofil = 1")),
                 QStringLiteral("Équipe de nuit"));
        QCOMPARE(column(m_ws->db(), QStringLiteral("select jour || ' ' || hdeb || '-' || hfin from kp_profildet")),
                 QStringList{"Vendredi 20:00-24:00"});
    }

    void vanishedProfileCloses()
    {
        GesProfilHoraire screen(session(), m_prompter, 42);
        QVERIFY(!screen.isLoaded());
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Disparition"));
        QCOMPARE(m_prompter.shown()[0].text, QStringLiteral("Ce profil a été supprimé !"));
        QCOMPARE(screen.exec(), int(QDialog::Rejected));
    }

    void readOnlyViewsForTheResourceScreen()
    {
        m_ws->settings().write(QStringLiteral("PrefPlan"), QStringLiteral("PremJour"), QStringLiteral("6"));
        const qint64 number = mondayProfile();
        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_profildet (noidprofil,jour,hdeb,hfin) values (%1,'Dimanche','09:00','10:00')")
                                    .arg(number)));
        ProfileTable table(session());
        QVERIFY(table.showProfile(number));
        QCOMPARE(table.topLevelItemCount(), 3);
        QCOMPARE(table.topLevelItem(0)->text(0), QStringLiteral("Dimanche")); // in the statement's order
        QCOMPARE(table.headerItem()->text(1), QStringLiteral("H.Début"));

        ProfileWeekView view(session());
        view.resize(view.sizeHint());
        QVERIFY(view.showProfile(number));
        QCOMPARE(view.ranges().size(), 3);
        QVERIFY(view.positionOf(6, 0).y() < view.positionOf(0, 0).y()); // Sunday row first
        const QList<ProfileRange> shown = view.ranges();
        drag(&view, 0, "16:00", 2, "16:00");
        QCOMPARE(view.ranges(), shown);
        QVERIFY(view.showProfile(0));
        QVERIFY(view.ranges().isEmpty());
    }

    void screenshot()
    {
        m_ws->settings().write(QStringLiteral("PrefPlan"), QStringLiteral("Intervalle"), QStringLiteral("3"));
        GesProfilHoraire screen(session(), m_prompter, int(mondayProfile()));
        open(screen);
        QCOMPARE(screen.precisionList()->currentText(), QStringLiteral("20 minutes"));
        WeekPicture *picture = screen.picture();
        for (int day = 1; day <= 4; ++day) {
            drag(picture, day, "08:00", day, "12:00");
            drag(picture, day, "13:20", day, "17:00");
        }
        drag(picture, 5, "20:00", 5, "24:00");
        QCOMPARE(screen.total()->text(), QStringLiteral("42:40"));
        saveScreenshot(screen, QStringLiteral("gesprofilhoraire"));
        // And while a range is being moved.
        QTest::mousePress(picture, Qt::LeftButton, {}, picture->positionOf(5, at("22:00")));
        QTest::mouseMove(picture, picture->positionOf(6, at("21:00")));
        saveScreenshot(screen, QStringLiteral("gesprofilhoraire-drag"));
        QTest::mouseRelease(picture, Qt::LeftButton, {}, picture->positionOf(6, at("21:00")));
        QVERIFY(detailRows(screen).contains(QStringLiteral("Dimanche 19:00-23:00 04:00")));
    }
};

QTEST_MAIN(TestProfileScreen)
#include "tst_profilescreen.moc"
