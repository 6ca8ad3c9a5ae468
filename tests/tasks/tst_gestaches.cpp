#include "core/PasswordCodec.h"
#include "clients/ClientStore.h"
#include "core/RecordLocks.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/widgets/DateField.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/HoursStore.h"
#include "tasks/GesTaches.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

// The task form: what it shows, what it checks and what it writes.
class TestGesTaches : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    qint64 m_client = 0;
    const QDate monday{2027, 3, 1};

    Database &db() { return m_ws->db(); }
    Session &session() { return m_ws->session(); }
    QString joined() const { return m_prompter.texts().join(QLatin1Char('|')); }
    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError() + QLatin1Char(' ') + sql)); }

    static void setRange(GesTaches &form, const QDate &start, const QString &from, const QDate &end, const QString &to)
    {
        form.range()->startDate()->setDate(start);
        form.range()->startTime()->setTime(from);
        form.range()->endDate()->setDate(end);
        form.range()->endTime()->setTime(to);
        form.range()->recompute();
    }

    // A form whose pickers answer from the test instead of opening windows.
    std::unique_ptr<GesTaches> open(qint64 task)
    {
        auto form = std::make_unique<GesTaches>(session(), m_prompter, task);
        form->setChooser([](const ListRequest &) { return ListAnswer{}; });
        return form;
    }

    qint64 saveNew(const std::function<void(GesTaches &)> &edit)
    {
        auto form = open(0);
        form->setPresets(GesTaches::Row::Resource, 4, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        edit(*form);
        form->save();
        return form->savedNumber();
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("gestaches"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        m_ws->settings().remove(QStringLiteral("Planning"));
        m_ws->settings().remove(QStringLiteral("Mail"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        m_prompter.clear();
        QVERIFY(HoursStore::saveCompanyHours(db(), CompanyHours{})); // 09:00-18:00, "1111100"
        exec(QStringLiteral("insert into kp_taches (noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura) "
                            "values (3,'Révision',16777215,0,0,'01:00','09:00','10:00')"));
        exec(QStringLiteral("insert into kp_taches (noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura) "
                            "values (5,'Dépannage',255,16777215,0,'01:00','09:00','10:00')"));
        QVERIFY(insertResource(db(), 4, QStringLiteral("Zoé"), QStringLiteral("zoe@example.org")));
        QVERIFY(insertResource(db(), 6, QStringLiteral("Albert"), QStringLiteral("albert@example.org")));
        QVERIFY(insertResource(db(), 8, QStringLiteral("Camion 2")));
        Client c;
        c.name = QStringLiteral("Boulangerie Martin");
        QVERIFY(ClientStore::save(session(), &c));
        m_client = c.number;
    }
    void cleanup() { m_ws.reset(); }

    void newTaskFromThePlanning()
    {
        session().settings().write(QStringLiteral("Planning"), QStringLiteral("TacheDef"), QStringLiteral("5"));
        auto form = open(0);
        QCOMPARE(form->windowTitle(), QStringLiteral("Tâche - CREATION"));
        QCOMPARE(form->typeList()->itemText(0), QStringLiteral("Pas de Tâche définie"));
        QCOMPARE(form->typeList()->currentText(), QStringLiteral("Dépannage"));
        QCOMPARE(form->urgencyList()->itemText(0), QStringLiteral("<Defaut>"));
        form->setPresets(GesTaches::Row::Resource, 4, monday, QStringLiteral("09:00"), monday.addDays(4), QStringLiteral("18:00"));
        QCOMPARE(form->resourceList()->count(), 1);
        QCOMPARE(sqlNumber(form->range()->daysField()->text(), 2), QStringLiteral("5.00"));
        saveScreenshot(*form, QStringLiteral("gestaches-dates"));
        form->save();
        QCOMPARE(joined(), QString());
        QCOMPARE(form->savedNumber(), 1);
        QCOMPARE(scalar(db(), QStringLiteral("select noidtache from kp_taches_desc where noid = 1")), QStringLiteral("5"));
        QCOMPARE(scalar(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = 1")),
                 QStringLiteral("4"));
        QCOMPARE(sqlNumber(scalar(db(), QStringLiteral("select nbjours from kp_taches_dates where noid = 1")), 2),
                 QStringLiteral("5.00"));
        // the task type row of the planning preselects the type
        auto second = open(0);
        second->setPresets(GesTaches::Row::TaskType, 3, monday, QStringLiteral("14:00"), monday, QStringLiteral("15:00"));
        QCOMPARE(second->typeList()->currentText(), QStringLiteral("Révision"));
        QCOMPARE(second->range()->hoursField()->text().left(1), QStringLiteral("1"));
    }

    void splitRanges()
    {
        auto form = open(0);
        form->setPresets(GesTaches::Row::Client, m_client, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        QCOMPARE(form->clientList()->count(), 1);
        form->splitBox()->setChecked(true);
        QCOMPARE(form->rangeList()->topLevelItemCount(), 1); // the single range comes first
        // the checks on a new range, in order
        setRange(*form, monday, QStringLiteral("09:00"), QDate(), QStringLiteral("12:00"));
        form->addRange();
        setRange(*form, monday.addDays(2), QStringLiteral("09:00"), monday.addDays(1), QStringLiteral("12:00"));
        form->addRange();
        setRange(*form, monday.addDays(1), QStringLiteral("14:00"), monday.addDays(1), QStringLiteral("12:00"));
        form->addRange();
        setRange(*form, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        form->addRange();
        QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Vous n'avez pas renseigné toutes les dates"),
                                                  QStringLiteral("La date de début est supérieure à la date de fin !"),
                                                  QStringLiteral("L'heure de départ est supérieure à l'heure de fin !"),
                                                  QStringLiteral("La tranche que vous tentez de créer existe déjà !")}));
        m_prompter.clear();
        setRange(*form, monday.addDays(1), QStringLiteral("14:00"), monday.addDays(1), QStringLiteral("17:00"));
        form->addRange();
        setRange(*form, monday.addDays(3), QStringLiteral("09:00"), monday.addDays(3), QStringLiteral("18:00"));
        form->addRange();
        QCOMPARE(form->rangeList()->topLevelItemCount(), 3);
        saveScreenshot(*form, QStringLiteral("gestaches-split"));
        form->save();
        QCOMPARE(joined(), QString());
        const qint64 n = form->savedNumber();
        QCOMPARE(column(db(), QStringLiteral("select noiddate from kp_taches_dates where noid = %1 order by noiddate").arg(n)),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
        QCOMPARE(sqlNumber(scalar(db(), QStringLiteral("select nbheures from kp_taches_dates where noiddate = 2")), 2),
                 QStringLiteral("3.00"));

        // removing a range asks first; back to one range numbered 1
        auto again = open(n);
        QCOMPARE(again->windowTitle(), QStringLiteral("Tâche - MODIFICATION"));
        QVERIFY(again->splitBox()->isChecked());
        again->rangeList()->setCurrentItem(again->rangeList()->topLevelItem(2));
        m_prompter.answer({true});
        again->removeRange();
        QCOMPARE(again->rangeList()->topLevelItemCount(), 2);
        again->splitBox()->setChecked(false);
        setRange(*again, monday.addDays(7), QStringLiteral("10:00"), monday.addDays(7), QStringLiteral("11:00"));
        again->save();
        QCOMPARE(column(db(), QStringLiteral("select noiddate from kp_taches_dates where noid = %1").arg(n)),
                 QStringList{QStringLiteral("1")});
    }

    void splitWithoutRangesIsRefused()
    {
        saveNew([](GesTaches &form) {
            form.splitBox()->setChecked(true);
            form.rangeList()->setCurrentItem(form.rangeList()->topLevelItem(0));
            form.removeRange();
        });
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("1"));
        m_prompter.clear();
        auto form = open(0);
        form->splitBox()->setChecked(true);
        form->save();
        QCOMPARE(joined(), QStringLiteral("Vous n'avez défini aucun fractionnement !"));
        QCOMPARE(form->result(), int(QDialog::Rejected));
    }

    void periodicTask()
    {
        PeriodRule weekly;
        weekly.periodicite = PeriodRule::Weekly;
        weekly.jour = QStringLiteral("0100000");
        weekly.hordeb = QStringLiteral("08:00");
        weekly.horfin = QStringLiteral("10:00");
        weekly.datedeb = monday.addDays(1);
        bool askedNew = false;
        const qint64 n = saveNew([&](GesTaches &form) {
            form.setRuleEditor([&](const PeriodRule &current, bool isNew) {
                askedNew = isNew;
                return current.datedeb == monday ? std::optional<PeriodRule>(weekly) : std::nullopt;
            });
            form.periodicBox()->click();
            QVERIFY(!form.range()->startDate()->isEnabled());
            QCOMPARE(form.range()->startTime()->time(), QStringLiteral("08:00"));
            QCOMPARE(form.range()->startDate()->date(), monday.addDays(1));
            form.tabs()->setCurrentIndex(3);
            saveScreenshot(form, QStringLiteral("gestaches-periodicite"));
        });
        QVERIFY(askedNew);
        QCOMPARE(scalar(db(), QStringLiteral("select noidper from kp_taches_desc")), QString::number(n));
        QCOMPARE(scalar(db(), QStringLiteral("select jour from kp_periode where noid = %1").arg(n)), QStringLiteral("0100000"));
        QCOMPARE(parseDbDateTime(scalar(db(), QStringLiteral("select datedeb from kp_taches_dates"))),
                 QDateTime(monday.addDays(1), QTime(8, 0)));

        // the rule is shown again; cancelling it asks, then frees the series
        auto form = open(n);
        QVERIFY(form->periodicBox()->isChecked());
        QVERIFY(form->ruleText()->text().contains(QStringLiteral("mardi"), Qt::CaseInsensitive));
        m_prompter.answer({true});
        form->periodicBox()->click();
        QCOMPARE(m_prompter.shown().last().text, QStringLiteral("Annuler la périodicité de la Tâche ?"));
        QVERIFY(form->range()->startDate()->isEnabled());
        form->save();
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_periode")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select noidper from kp_taches_desc")), QStringLiteral("0"));
    }

    void alertRecipients()
    {
        exec(QStringLiteral("insert into kp_groupes (nogroupe,codegroupe) values (5,'%1')").arg(PasswordCodec::encode(QStringLiteral("Atelier"))));
        for (const char *user : {"ANNE", "BOB"})
            exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',5)")
                     .arg(PasswordCodec::encode(QString::fromLatin1(user))));
        // an offset without anybody to tell is refused before anything is written
        auto lonely = open(0);
        lonely->setPresets(GesTaches::Row::Resource, 4, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        lonely->alertOffset()->setCurrentIndex(TaskAlerts::offsetIndex(60));
        lonely->save();
        QCOMPARE(joined(), QStringLiteral("Vous n'allez envoyer le message à personne !!!"));
        m_prompter.clear();

        const qint64 n = saveNew([&](GesTaches &form) {
            form.setChooser([](const ListRequest &request) {
                ListAnswer a;
                a.chosen = request.caption == QLatin1String("Liste des Groupes");
                a.texts = {QStringLiteral("GROUPE"), QStringLiteral("Atelier"), QStringLiteral("5")};
                return a;
            });
            form.alertOffset()->setCurrentIndex(TaskAlerts::offsetIndex(0));
            form.alertComment()->setText(QStringLiteral("Clés chez le gardien"));
            form.addRecipient();
            QCOMPARE(form.recipientList()->item(0)->text(), QStringLiteral("Atelier"));
            form.tabs()->setCurrentIndex(4);
            saveScreenshot(form, QStringLiteral("gestaches-alerte"));
        });
        QCOMPARE(joined(), QString());
        QCOMPARE(scalar(db(), QStringLiteral("select noalerte from kp_taches_desc")), QString::number(n));
        QCOMPARE(column(db(), QStringLiteral("select ecart from kp_alertes")), (QStringList{QStringLiteral("0"), QStringLiteral("0")}));

        // opened again: the offset and the users; "Pas d'alerte" removes it
        auto form = open(n);
        QCOMPARE(form->alertOffset()->currentText(), QStringLiteral("0 min"));
        QCOMPARE(form->recipientList()->count(), 2);
        form->alertOffset()->setCurrentIndex(0);
        form->save();
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select noalerte from kp_taches_desc")), QStringLiteral("0"));
    }

    void teamsAndLinks()
    {
        exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (1,'Nord')"));
        exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (2,'Vide')"));
        for (int r : {4, 8})
            exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,%1)").arg(r));
        auto form = open(0);
        form->setPresets(GesTaches::Row::Resource, 4, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        qint64 team = 1;
        form->setTeamChooser([&] { return team; });
        form->addTeam();
        QCOMPARE(form->resourceList()->count(), 2); // Zoé once, and the lorry
        team = 2;
        form->addTeam();
        QCOMPARE(joined(), QStringLiteral("Aucune Ressource pour cette équipe"));
        m_prompter.clear();
        form->setChooser([](const ListRequest &request) {
            ListAnswer a;
            a.chosen = true;
            a.texts = {QStringLiteral("Albert"), QStringLiteral("6")};
            // the resources already listed are not offered again
            a.chosen = request.query.contains(QStringLiteral("not in (8,4)"));
            return a;
        });
        form->addResource();
        QCOMPARE(form->resourceList()->count(), 3);
        QStringList opened;
        form->setClientOpener([&](qint64 number, int) { opened.append(QString::number(number)); });
        form->setChooser([this](const ListRequest &) {
            ListAnswer a;
            a.chosen = true;
            a.texts = {QStringLiteral("Boulangerie Martin"), QString::number(m_client)};
            return a;
        });
        form->addClient();
        form->clientList()->setCurrentRow(0);
        form->openClient();
        QCOMPARE(opened, QStringList{QString::number(m_client)});
        exec(QStringLiteral("delete from kp_societes"));
        form->openClient();
        QCOMPARE(joined(), QStringLiteral("Ce Client n'existe plus !!"));
        form->tabs()->setCurrentIndex(1);
        saveScreenshot(*form, QStringLiteral("gestaches-affectation"));
    }

    void slotsFillTheRange()
    {
        TimeSlot night;
        night.label = QStringLiteral("Nuit");
        night.start = QStringLiteral("22:00");
        night.end = QStringLiteral("06:00");
        night.endDay = 1;
        QVERIFY(HoursStore::saveSlot(db(), &night));
        auto form = open(0);
        form->range()->startDate()->setDate(monday);
        const int index = form->range()->slotList()->findData(night.number);
        form->range()->applySlot(index);
        QCOMPARE(form->range()->startTime()->time(), QStringLiteral("22:00"));
        QCOMPARE(form->range()->endTime()->time(), QStringLiteral("06:00"));
        QCOMPARE(form->range()->endDate()->date(), monday.addDays(1));
        QVERIFY(HoursStore::removeSlot(db(), night.number));
        form->range()->applySlot(index);
        QCOMPARE(joined(), QStringLiteral("Cet horaire n'est plus défini"));
    }

    void costLinesOfASavedTask()
    {
        exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (1,'Main d''oeuvre',0,45)"));
        exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (2,'Déplacement',1,12.5)"));
        // a line given before the task has a number is written with it
        const qint64 n = saveNew([](GesTaches &form) {
            form.setLineEditor([](TaskCostLine line) {
                line.item = 1;
                line.quantity = 2;
                line.unitAmount = QStringLiteral("45");
                return std::optional<TaskCostLine>(line);
            });
            form.addCostLine(TaskCostLine::Income);
        });
        QCOMPARE(sqlNumber(scalar(db(), QStringLiteral("select mttotcout from kp_taches_couts")), 2), QStringLiteral("90.00"));

        auto form = open(n);
        form->setLineEditor([](TaskCostLine line) {
            line.item = 2;
            line.resource = 6;
            line.quantity = 3;
            line.unitAmount = QStringLiteral("12,5");
            line.total.clear();
            return std::optional<TaskCostLine>(line);
        });
        form->addCostLine(TaskCostLine::Expense); // written at once
        QCOMPARE(column(db(), QStringLiteral("select rgcout from kp_taches_couts order by rgcout")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(form->costList(TaskCostLine::Expense)->topLevelItem(0)->text(3), QStringLiteral("Albert"));
        form->tabs()->setCurrentIndex(5);
        saveScreenshot(*form, QStringLiteral("gestaches-couts"));
        exec(QStringLiteral("delete from kp_taches_couts where rgcout = 2")); // another workstation
        form->costList(TaskCostLine::Expense)->setCurrentItem(form->costList(TaskCostLine::Expense)->topLevelItem(0));
        form->modifyCostLine(TaskCostLine::Expense);
        QCOMPARE(joined(), QStringLiteral("Cette charge n'est plus définie !"));
        QCOMPARE(form->costList(TaskCostLine::Expense)->topLevelItemCount(), 0);
    }

    void mailAboutTheTask()
    {
        session().settings().write(QStringLiteral("Mail"), QStringLiteral("EnvoiComment"), QStringLiteral("1"));
        auto form = open(0);
        form->setPresets(GesTaches::Row::Resource, 4, monday, QStringLiteral("09:00"), monday, QStringLiteral("12:00"));
        for (const char *resource : {"6", "8", "6"}) { // Camion 2 has no address
            form->setChooser([resource](const ListRequest &) {
                return ListAnswer{true, {QString(), QString::fromLatin1(resource)}};
            });
            form->addResource();
        }
        QCOMPARE(form->resourceList()->count(), 3);
        form->commentField()->setPlainText(QStringLiteral("Sonner deux fois"));
        form->doneBox()->setChecked(true);
        form->doneDate()->setDate(monday);
        form->doneCommentField()->setPlainText(QStringLiteral("RAS"));
        form->tabs()->setCurrentIndex(2);
        saveScreenshot(*form, QStringLiteral("gestaches-commentaire"));
        QStringList sent;
        form->setMailSender([&](const QString &to, const QString &, const QString &body) { sent = {to, body}; });
        form->sendMail();
        QCOMPARE(sent, (QStringList{QStringLiteral("albert@example.org;zoe@example.org"),
                                    QStringLiteral("Commentaire : Sonner deux fois")}));
    }

    void lockedTasks()
    {
        const qint64 n = saveNew([](GesTaches &form) { form.adminLockBox()->setChecked(true); });
        QCOMPARE(scalar(db(), QStringLiteral("select blocadm from kp_taches_desc")), QStringLiteral("1"));
        // the administrative lock keeps a plain user out
        session().description().blocauto = true;
        session().description().geslogin = true;
        session().setAdministrator(false);
        {
            auto form = open(n);
            QCOMPARE(form->windowTitle(), QStringLiteral("Tâche - MODIFICATION IMPOSSIBLE"));
            QVERIFY(!form->saveButton()->isEnabled());
            QVERIFY(!form->deleteButton()->isEnabled());
            QVERIFY(!form->adminLockBox()->isEnabled());
        }
        session().description().geslogin = false;

        // another workstation holds the task
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(RecordLocks::take(other.session(), LockKind::Task, n));
        QVERIFY(!open(n)->isOpen());
        QVERIFY(joined().contains(QStringLiteral("en cours de consultation")));
        QVERIFY(RecordLocks::release(other.session(), LockKind::Task));
        m_prompter.clear();

        // deleted elsewhere while open: what the form holds is written again
        {
            auto form = open(n);
            form->commentField()->setPlainText(QStringLiteral("gardé"));
            for (const char *table : {"kp_taches_desc", "kp_taches_dates", "kp_taches_ressources"})
                exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
            form->save();
            QCOMPARE(joined(), QString());
            QCOMPARE(scalar(db(), QStringLiteral("select commentaire from kp_taches_desc where noid = %1").arg(n)),
                     QStringLiteral("gardé"));
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_dates")), QStringLiteral("1"));
        }

        // deleted from the form; opened after that
        auto form = open(n);
        QVERIFY(form->isOpen());
        m_prompter.answer({true});
        form->remove();
        QCOMPARE(m_prompter.shown().first().text, QStringLiteral("Supprimer la Tâche ?"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("0"));
        form.reset();
        m_prompter.clear();
        QVERIFY(!open(n)->isOpen());
        QCOMPARE(joined(), QStringLiteral("Cette Tâche n'existe plus !"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestGesTaches)
#include "tst_gestaches.moc"
