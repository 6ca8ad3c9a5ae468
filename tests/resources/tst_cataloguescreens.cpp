#include "access/UserStore.h"
#include "resources/CatalogueScreens.h"
#include "resources/GesCivilites.h"
#include "resources/ReferenceLists.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// The catalogue screens, driven as a person would.
class TestCatalogueScreens : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("cataloguescreens"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_prompter.clear();
    }

    void codeTableLoadsATypedCode()
    {
        QVERIFY(ReferenceLists::saveCode(m_ws->db(), QStringLiteral("kp_services"), QStringLiteral("COMPTA"),
                                         QStringLiteral("Comptabilité")));
        SaisTables screen(session(), m_prompter, QStringLiteral("kp_services"));
        QCOMPARE(screen.windowTitle(), QStringLiteral("Services"));
        QVERIFY(!screen.deleteButton()->isVisible());
        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        QCOMPARE(screen.codeField()->maxLength(), 10);
        QTest::keyClicks(screen.codeField(), QStringLiteral("COMPTA"));
        emit screen.codeField()->editingFinished();
        QCOMPARE(screen.labelField()->text(), QStringLiteral("Comptabilité"));
        QVERIFY(screen.codeField()->isReadOnly());

        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        QTest::keyClicks(screen.codeField(), QStringLiteral("RH"));
        QTest::keyClicks(screen.labelField(), QStringLiteral("Ressources humaines"));
        screen.save();
        QCOMPARE(screen.list()->topLevelItemCount(), 2);
        QCOMPARE(screen.list()->currentItem()->text(1), QStringLiteral("Ressources humaines"));
    }

    void urgencyDeletionAsksTwice()
    {
        QVERIFY(ReferenceLists::saveUrgency(m_ws->db(), {QStringLiteral("URG"), QStringLiteral("Urgent"), 255, 16777215}));
        for (int i = 1; i <= 3; ++i)
            QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,"
                                                   "nbjours,nbheures,codeconge,commentaire,noidutil) values "
                                                   "(%1,0,'URG','/',0,0,0,'/','',0)")
                                        .arg(i)));
        GesUrgences screen(session(), m_prompter);
        screen.select(QStringLiteral("URG"));
        saveScreenshot(screen, QStringLiteral("urgences"));
        m_prompter.answer({true, false});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList({"Supprimer ce code ?", "Ce code est utilisé 3 fois.\nVoulez vous quand même le supprimer ?"}));
        QCOMPARE(screen.list()->topLevelItemCount(), 1);
        m_prompter.answer({true, true});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(screen.list()->topLevelItemCount(), 0);
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_taches_desc where urgence = '/'")),
                 QStringLiteral("3"));
    }

    void contractTypeNeedsCodeAndLabel()
    {
        GesContrats screen(session(), m_prompter);
        QCOMPARE(screen.durationList()->count(), 13);
        QTest::keyClicks(screen.codeField(), QStringLiteral("ENT"));
        screen.save();
        QCOMPARE(m_prompter.texts(), QStringList{"Le libellé est obligatoire"});
        QTest::keyClicks(screen.labelField(), QStringLiteral("Entretien"));
        screen.durationList()->setCurrentIndex(7);
        screen.save();
        QCOMPARE(screen.list()->currentItem()->text(2), QStringLiteral("1 an"));
        saveScreenshot(screen, QStringLiteral("contrats"));
    }

    void zonesNeedTheirRight()
    {
        QVERIFY(Access::ensureAdministrator(session()));
        QVERIFY(UserStore::save(session(), {QStringLiteral("eve"), QStringLiteral("Eve"), QStringLiteral("e"), 0, {}},
                                QStringLiteral("e")));
        QVERIFY(Access::logIn(session(), QStringLiteral("eve"), QStringLiteral("e")));
        DefZones screen(session(), m_prompter);
        QVERIFY(!screen.newButton()->isEnabled());
        QTest::keyClicks(screen.labelField(), QStringLiteral("Nord"));
        screen.save();
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Désolé"));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Vous n'avez pas le droit de créer les zones"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_zones")), QStringLiteral("0"));
    }

    void skillsNeedDomainAndLabel()
    {
        QVERIFY(ReferenceLists::saveCode(m_ws->db(), QStringLiteral("kp_domaines"), QStringLiteral("ELEC"), QStringLiteral("Électricité")));
        GesCompetences screen(session(), m_prompter);
        QTest::keyClicks(screen.labelField(), QStringLiteral("Habilitation B1"));
        screen.save();
        QCOMPARE(m_prompter.texts(), QStringList{"Vous devez renseigner le domaine et le libellé"});
        screen.domainList()->setCurrentIndex(0);
        screen.save();
        QCOMPARE(screen.list()->topLevelItemCount(), 1);
        QCOMPARE(screen.list()->currentItem()->text(0), QStringLiteral("Électricité"));
        QVERIFY(m_ws->db().exec(QStringLiteral("delete from kp_competences")));
        m_prompter.clear();
        screen.save();
        QCOMPARE(m_prompter.texts(), QStringList{"Cette compétence n'existe plus !!!"});
    }

    void civilitiesSaved()
    {
        GesCivilites screen(session(), m_prompter);
        QCOMPARE(screen.shortField(1)->text(), QStringLiteral("Mme"));
        screen.fullField(2)->setText(QStringLiteral("Docteur"));
        screen.shortField(2)->setText(QStringLiteral("Dr"));
        screen.accept();
        QCOMPARE(screen.result(), int(QDialog::Accepted));
        QCOMPARE(session().civilities()[2].shortName, QStringLiteral("Dr"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select comp from kp_civilites where numero = 2")), QStringLiteral("Docteur"));
    }
};

QTEST_MAIN(TestCatalogueScreens)
#include "tst_cataloguescreens.moc"
