#include "access/UserStore.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/HourMinuteEdit.h"
#include "reports/Liste.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"
#include "tasks/DefTaches.h"
#include "tasks/GesCouts.h"
#include "tasks/ListEtapes.h"
#include "tasks/SaisEtape.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

// The task type, stage and cost item screens, driven as a person would.
class TestTaskCatalogueScreens : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError())); }
    void addType(int number, const QString &label, int background, int text, int timing = 0,
                 const QString &hours = QStringLiteral("'00:00','00:00','00:00'"))
    {
        exec(QStringLiteral("insert into kp_taches(noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura) "
                            "values (%1,'%2',%3,%4,%5,%6)")
                 .arg(number)
                 .arg(label)
                 .arg(background)
                 .arg(text)
                 .arg(timing)
                 .arg(hours));
    }
    // Picks the first line of the selection list the next call opens.
    static void pickFirstListLine()
    {
        QTimer::singleShot(0, [] {
            if (auto *list = qobject_cast<Liste *>(QApplication::activeModalWidget()))
                list->accept();
        });
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("taskcataloguescreens"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false; // every right
        m_prompter.clear();
    }

    void timingEnablesItsHours_data()
    {
        QTest::addColumn<int>("timing");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("line");
        QTest::newRow("no set duration") << 0 << QList<bool>{false, false, false} << "Tâche sans durée prédéterminée" << "";
        QTest::newRow("fixed duration") << 1 << QList<bool>{true, false, false} << "Tâche dont la durée est déterminée"
                                        << "Durée : 01:30";
        QTest::newRow("fixed hours") << 2 << QList<bool>{false, true, true} << "Tâche qui se déroule à heures fixes"
                                     << "De : 08:00 A : 10:15";
    }
    void timingEnablesItsHours()
    {
        QFETCH(int, timing);
        QFETCH(QList<bool>, enabled);
        DefTaches screen(session(), m_prompter);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Définition des Tâches"));
        QCOMPARE(screen.hint()->text(), QStringLiteral("Double-cliquez ici pour modifier une Tâche"));
        QTest::keyClicks(screen.labelField(), QStringLiteral("Entretien"));
        const QStringList hours = {QStringLiteral("01:30"), QStringLiteral("08:00"), QStringLiteral("10:15")};
        for (int pair = 0; pair < 3; ++pair)
            screen.hourPair(pair)->setTime(hours[pair]);
        for (int other : {2, 1, 0})
            screen.timingOption(other)->click();
        screen.timingOption(timing)->click();
        QTEST(screen.timingOption(timing)->toolTip(), "tip");
        for (int pair = 0; pair < 3; ++pair)
            QCOMPARE(screen.hourPair(pair)->isEnabled(), enabled[pair]);

        QTest::mouseClick(screen.saveButton(), Qt::LeftButton);
        QVERIFY(m_prompter.shown().isEmpty());
        // The three hours are stored whatever the timing.
        QCOMPARE(column(db(), QStringLiteral("select typehor from kp_taches union all select duree from kp_taches "
                                             "union all select durde from kp_taches union all select dura from kp_taches")),
                 QStringList({QString::number(timing), "01:30", "08:00", "10:15"}));
        QTEST(screen.list()->currentItem()->text(1), "line");
    }

    void typeListInColours()
    {
        addType(1, QStringLiteral("Dépannage urgent"), 0x0000FF, 0xFFFFFF, 1, QStringLiteral("'02:00','00:00','00:00'"));
        addType(2, QStringLiteral("Entretien annuel"), 0x90EE90, 0, 2, QStringLiteral("'00:00','08:00','12:00'"));
        addType(3, QStringLiteral("Mise en service"), 0xE6D8AD, 0x8B0000);
        exec(QStringLiteral("insert into kp_domaines (code,libelle) values ('ELEC','Électricité')"));
        exec(QStringLiteral("insert into kp_competences (noid,codedomaine,libelle) values (1,'ELEC','Habilitation B1')"));
        exec(QStringLiteral("insert into kp_tachescompetences (noidtache,noidcomp) values (2,1)"));
        DefTaches screen(session(), m_prompter);
        QTreeWidgetItem *line = screen.list()->topLevelItem(0);
        QCOMPARE(line->background(0).color(), QColor(Qt::red));
        QCOMPARE(line->foreground(1).color(), QColor(Qt::white));
        screen.select(2);
        QVERIFY(screen.timingOption(2)->isChecked());
        QCOMPARE(screen.backgroundSwatch()->value(), 0x90EE90);
        QCOMPARE(screen.skillList()->topLevelItem(0)->text(1), QStringLiteral("Habilitation B1"));
        saveScreenshot(screen, QStringLiteral("deftaches"));
    }

    void typeWithSkillsIsKeptUntilTheyAreRemoved()
    {
        exec(QStringLiteral("insert into kp_domaines (code,libelle) values ('ELEC','Électricité')"));
        exec(QStringLiteral("insert into kp_competences (noid,codedomaine,libelle) values (1,'ELEC','Habilitation BR')"));
        exec(QStringLiteral("insert into kp_competences (noid,codedomaine,libelle) values (2,'ELEC','Habilitation B1')"));
        DefTaches screen(session(), m_prompter);
        QTest::keyClicks(screen.labelField(), QStringLiteral("Raccordement"));
        pickFirstListLine();
        screen.addSkill();
        pickFirstListLine();
        screen.addSkill(); // the first one is no longer offered
        QCOMPARE(screen.skillList()->topLevelItemCount(), 2);
        QCOMPARE(screen.skillList()->topLevelItem(1)->text(1), QStringLiteral("Habilitation BR"));
        screen.save();
        QCOMPARE(column(db(), QStringLiteral("select noidcomp from kp_tachescompetences order by noidcomp")),
                 QStringList({"1", "2"}));

        m_prompter.answer({true});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList({"Supprimer cette Tâche ?",
                                                  "Impossible de supprimer cette tâche - Des données existent"}));
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Désolé"));

        for (int i = 0; i < 2; ++i) {
            screen.skillList()->setCurrentItem(screen.skillList()->topLevelItem(0));
            m_prompter.answer({true});
            screen.removeSkill();
        }
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Confirmez vous la suppression de cette compétence ?"));
        screen.save();
        m_prompter.clear();
        m_prompter.answer({true});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{"Supprimer cette Tâche ?"});
        QCOMPARE(screen.list()->topLevelItemCount(), 0);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches")), QStringLiteral("0"));
    }

    void refusedWithoutRights_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("create") << "create" << "Vous n'avez pas le droit de créer des Tâches";
        QTest::newRow("modify") << "modify" << "Vous n'avez pas le droit de modifier des Tâches";
        QTest::newRow("delete") << "delete" << "Vous n'avez pas le droit de supprimer les Tâches";
    }
    void refusedWithoutRights()
    {
        QFETCH(QString, action);
        addType(1, QStringLiteral("Dépannage"), 0xFFFFFF, 0);
        session().description().geslogin = true;
        QVERIFY(Access::ensureAdministrator(session()));
        QVERIFY(UserStore::save(session(), {QStringLiteral("eve"), QStringLiteral("Eve"), QStringLiteral("e"), 0, {}},
                                QStringLiteral("e")));
        QVERIFY(Access::logIn(session(), QStringLiteral("eve"), QStringLiteral("e")));
        DefTaches screen(session(), m_prompter);
        if (action == "create")
            QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        QTest::keyClicks(screen.labelField(), QStringLiteral(" bis"));
        QTest::mouseClick(action == "delete" ? screen.deleteButton() : screen.saveButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Désolé"));
        QTEST(m_prompter.texts()[0], "message");
        QCOMPARE(column(db(), QStringLiteral("select libtache from kp_taches")), QStringList{"Dépannage"});
    }

    void typeDeletedElsewhere()
    {
        addType(1, QStringLiteral("Dépannage"), 0xFFFFFF, 0);
        addType(2, QStringLiteral("Entretien"), 0xFFFFFF, 0);
        DefTaches screen(session(), m_prompter);
        exec(QStringLiteral("delete from kp_taches where noidtache = 2"));
        screen.select(2);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Disparition"));
        QCOMPARE(m_prompter.texts()[0], QStringLiteral("Cette Tâche n'existe plus !"));
        QTRY_COMPARE(screen.list()->topLevelItemCount(), 1);
        QCOMPARE(screen.labelField()->text(), QStringLiteral("Dépannage"));
    }

    void stageEditorNeedsTaskTypes()
    {
        SaisEtape editor(session(), m_prompter);
        QVERIFY(!editor.open(0));
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Incomplet"));
        QCOMPARE(m_prompter.texts()[0], QStringLiteral("Vous devez d'abord définir des Tâches"));
    }

    void stageEditorSavesItsCriteria()
    {
        addType(1, QStringLiteral("Visite commerciale"), 0xFFD8B0, 0);
        addType(2, QStringLiteral("Installation"), 0x90EE90, 0);
        SaisEtape editor(session(), m_prompter);
        QVERIFY(editor.open(0));
        QCOMPARE(editor.criterionChoice()->itemText(1), QStringLiteral("A eu lieu pour le Client"));
        QCOMPARE(editor.criterionChoice()->itemText(2), QStringLiteral("N'a pas eu lieu pour le Client"));
        editor.labelField()->setText(QStringLiteral("Devis à signer"));

        editor.taskTypeChoice()->setCurrentIndex(1); // Visite commerciale
        QTest::mouseClick(editor.addButton(), Qt::LeftButton);
        editor.criterionChoice()->setCurrentIndex(1);
        QTest::mouseClick(editor.addButton(), Qt::LeftButton);
        editor.criterionChoice()->setCurrentIndex(2);
        QTest::mouseClick(editor.addButton(), Qt::LeftButton);
        editor.taskTypeChoice()->setCurrentIndex(0); // Installation
        editor.criterionChoice()->setCurrentIndex(2);
        QTest::mouseClick(editor.addButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList({"Vous devez renseigner le type de critère", "Ce critère est déjà donné"}));
        QCOMPARE(editor.criteriaList()->topLevelItemCount(), 2);
        QCOMPARE(editor.criteriaList()->topLevelItem(0)->text(1), QStringLiteral("Client existant"));
        QCOMPARE(editor.criteriaList()->topLevelItem(1)->text(1), QStringLiteral("Client inexistant"));
        editor.criterionChoice()->setCurrentIndex(2); // the longest choice
        saveScreenshot(editor, QStringLiteral("saisetape"));

        editor.accept();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(column(db(), QStringLiteral("select libetape from kp_etapes")), QStringList{"Devis à signer"});
        QCOMPARE(column(db(), QStringLiteral("select notache from kp_etapes_taches order by typecrit")),
                 QStringList({"2", "1"}));

        // Listed, then deleted after the question.
        ListEtapes stages(session(), m_prompter);
        QCOMPARE(stages.windowTitle(), QStringLiteral("Gestion des étapes"));
        QCOMPARE(stages.list()->count(), 1);
        saveScreenshot(stages, QStringLiteral("listetapes"));
        m_prompter.clear();
        m_prompter.answer({true});
        QTest::mouseClick(stages.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{"Supprimer l'étape sélectionnée ?"});
        QCOMPARE(stages.list()->count(), 0);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_etapes_taches")), QStringLiteral("0"));
    }

    void costItemsOfOneKind()
    {
        exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (1,'Main d''œuvre',0,45)"));
        exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (2,'Péage',1,7.8)"));
        session().setDecimalSeparator(QLatin1Char(','));
        GesCouts screen(session(), m_prompter, 1);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Gestion des charges"));
        QCOMPARE(screen.list()->topLevelItemCount(), 1);
        QCOMPARE(screen.list()->topLevelItem(0)->text(1), QStringLiteral("Charge"));
        QCOMPARE(screen.amountField()->text(), QStringLiteral("7,80"));

        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        screen.amountField()->selectAll(); // as entering the field does
        QTest::keyClicks(screen.amountField(), QStringLiteral("1,5"));
        QTest::keyClicks(screen.labelField(), QStringLiteral("Carburant"));
        screen.save();
        QCOMPARE(screen.list()->currentItem()->text(2), QStringLiteral("1,50"));
        QCOMPARE(scalar(db(), QStringLiteral("select typecout from kp_couts where noid = 3")), QStringLiteral("1"));
        saveScreenshot(screen, QStringLiteral("gescouts"));

        exec(QStringLiteral("delete from kp_couts where noid = 2"));
        screen.select(2);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Disparition"));
        QCOMPARE(m_prompter.texts()[0], QStringLiteral("Ce coût n'est plus défini"));
        QTRY_COMPARE(screen.list()->topLevelItemCount(), 1);
    }
};

QTEST_MAIN(TestTaskCatalogueScreens)
#include "tst_taskcataloguescreens.moc"
