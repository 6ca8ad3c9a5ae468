#include "resources/Equipes.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

// Teams: the list, the hand-back mode and the team screen with its members.
class TestEquipes : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    void addResource(int noid, const QString &label)
    {
        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_ressources (noid,libelle,typeressource,civilite,nomressource,"
                                               "prenomressource,adrressource,compressource,cpressource,villeressource,"
                                               "paysressource,etatressource,telressource,mobressource,faxressource,"
                                               "mailressource,annivressource,coulfond,coultexte,icone,noidprofil,dtsaisie,"
                                               "ordisaisie,dtmodif,ordimodif) values (%1,'%2',0,0,'/','/','/','/','/','/',"
                                               "'/','/','/','/','/','/','1900-01-01',0,0,'/',0,'1900-01-01','P',"
                                               "'1900-01-01','P')")
                                    .arg(noid)
                                    .arg(label)));
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("equipes"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->session().description().geslogin = false;
        m_prompter.clear();
        addResource(1, QStringLiteral("Martin"));
        addResource(2, QStringLiteral("Bernard"));
    }

    void teamWithoutMembersThenWithOne()
    {
        GesEquipes create(m_ws->session(), m_prompter, 0);
        QCOMPARE(create.windowTitle(), QStringLiteral("Equipe - Création"));
        create.accept();
        QCOMPARE(m_prompter.texts(), QStringList{"Vous devez renseigner le libellé"});
        QTest::keyClicks(create.labelField(), QStringLiteral("Nuit"));
        create.accept();
        QCOMPARE(create.result(), int(QDialog::Accepted));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_equipes_ress")), QStringLiteral("0"));

        GesEquipes edit(m_ws->session(), m_prompter, create.number());
        QCOMPARE(edit.windowTitle(), QStringLiteral("Equipe - Modification"));
        QString asked;
        edit.setChooser([&asked](const ListRequest &request) {
            asked = request.query;
            return ListAnswer{true, {QStringLiteral("Martin"), QStringLiteral("1")}};
        });
        edit.addMember();
        QVERIFY(asked.contains(QLatin1String("where noid not in (-1)")));
        QCOMPARE(edit.memberList()->count(), 1);
        QCOMPARE(edit.memberList()->item(0)->text(), QStringLiteral("Martin"));
        edit.setChooser([&asked](const ListRequest &request) {
            asked = request.query;
            return ListAnswer{true, {QStringLiteral("Bernard"), QStringLiteral("2")}};
        });
        edit.addMember();
        QVERIFY(asked.contains(QLatin1String("where noid not in (1)")));
        saveScreenshot(edit, QStringLiteral("equipe"));

        edit.memberList()->setCurrentRow(edit.memberList()->count() - 1);
        m_prompter.clear();
        m_prompter.answer({true});
        edit.removeMember();
        QCOMPARE(m_prompter.texts(), QStringList{"Supprimer la Ressource sélectionnée de l'équipe ?"});
        edit.accept();
        QCOMPARE(column(m_ws->db(), QStringLiteral("select noressource from kp_equipes_ress")), QStringList{"2"});
    }

    void handBackAndDeletion()
    {
        ReferenceLists::Team team{0, QStringLiteral("Jour"), {1, 2}};
        QVERIFY(ReferenceLists::saveTeam(m_ws->db(), &team));
        ListEquipes chooser(m_ws->session(), m_prompter, true);
        QCOMPARE(chooser.teamList()->count(), 1);
        emit chooser.teamList()->itemActivated(chooser.teamList()->item(0));
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.chosenTeam(), team.number);
        QCOMPARE(ListEquipes::membersOf(m_ws->session(), team.number).size(), 2);

        ListEquipes list(m_ws->session(), m_prompter);
        list.teamList()->setCurrentRow(0);
        m_prompter.answer({true});
        list.removeTeam();
        QCOMPARE(m_prompter.texts(), QStringList{"Supprimer l'équipe sélectionnée ?"});
        QCOMPARE(list.teamList()->count(), 0);
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_equipes_ress")), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestEquipes)
#include "tst_equipes.moc"
