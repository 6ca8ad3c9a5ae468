#include "core/Schema.h"
#include "reports/ListRequest.h"
#include "support/TestDatabase.h"
#include "tasks/CostItemStore.h"
#include "tasks/StageStore.h"
#include "tasks/TaskTypeStore.h"

#include <QTest>

// Task types, stages and cost items as stored, on both back ends.
class TestTaskCatalogues : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    // A row with every required column at a neutral value, the given ones set.
    void insertRow(const QString &table, const QMap<QString, QString> &values)
    {
        QStringList names, literals;
        for (const ColumnSpec &c : schemaTable(table)->columns) {
            const QString name = QLatin1String(c.name);
            if (c.nullable() && !values.contains(name))
                continue;
            names << name;
            if (values.contains(name))
                literals << values[name];
            else if (c.type == ColumnType::ShortText)
                literals << QStringLiteral("'/'");
            else if (c.type == ColumnType::LongText)
                literals << QStringLiteral("''");
            else if (c.type == ColumnType::DateTime)
                literals << session().dialect().unsetDateValue();
            else
                literals << QStringLiteral("0");
        }
        QVERIFY2(db().exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, names.join(','), literals.join(','))),
                 qPrintable(db().lastError()));
    }
    qint64 saveType(const QString &label, const QList<qint64> &skills = {})
    {
        TaskType type;
        type.label = label;
        for (qint64 s : skills)
            type.skills.append({s, {}, {}});
        const Outcome saved = TaskTypeStore(session()).save(&type);
        if (!saved)
            qWarning("%s", qPrintable(saved.text()));
        return type.number;
    }
    void addTask(qint64 noid, qint64 type, qint64 client)
    {
        insertRow(QStringLiteral("kp_taches_desc"), {{"noid", QString::number(noid)}, {"noidtache", QString::number(type)}});
        insertRow(QStringLiteral("kp_taches_clients"), {{"noid", QString::number(noid)}, {"noidsoc", QString::number(client)}});
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("taskcatalogues"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void taskTypeDeletion_data()
    {
        QTest::addColumn<QString>("usedIn");
        QTest::addColumn<bool>("removed");
        QTest::newRow("unused") << QString() << true;
        QTest::newRow("required skills, no task") << "kp_tachescompetences" << false;
        QTest::newRow("tasks") << "kp_taches_desc" << false;
        QTest::newRow("undo history only") << "histo_taches_desc" << false;
    }
    void taskTypeDeletion()
    {
        QFETCH(QString, usedIn);
        QFETCH(bool, removed);
        const qint64 kept = saveType(QStringLiteral("Autre"), {3});
        addTask(1, kept, 1);
        const qint64 type = saveType(QStringLiteral("Révision"), usedIn == "kp_tachescompetences" ? QList<qint64>{4} : QList<qint64>{});
        if (usedIn == "kp_taches_desc")
            addTask(2, type, 1);
        else if (usedIn == "histo_taches_desc")
            insertRow(usedIn, {{"nomordi", "'POSTE1'"}, {"nohisto", "1"}, {"noid", "2"}, {"noidtache", QString::number(type)}});

        const Outcome outcome = TaskTypeStore(session()).remove(type);
        QCOMPARE(outcome.ok(), removed);
        if (!removed) {
            QCOMPARE(outcome.title(), QStringLiteral("Désolé"));
            QCOMPARE(outcome.text(), QStringLiteral("Impossible de supprimer cette tâche - Des données existent"));
        }
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches where noidtache = %1").arg(type)),
                 removed ? QStringLiteral("0") : QStringLiteral("1"));
        // The other type and everything of it stay.
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_tachescompetences where noidtache = %1").arg(kept)), "1");
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc where noidtache = %1").arg(kept)), "1");
    }

    void taskTypeSaveAndLoad()
    {
        TaskTypeStore store(session());
        TaskType type;
        QCOMPARE(store.save(&type).text(), QStringLiteral("Vous devez entrer un libellé"));
        type.label = QStringLiteral("Mise en service d'une chaudière");
        type.background = 0x00FF00;
        type.from = QStringLiteral("08:00");
        type.to = QStringLiteral("10:15");
        type.skills = {{2, {}, {}}, {5, {}, {}}};
        QVERIFY(store.save(&type));
        QCOMPARE(type.number, 1);

        // Skills are replaced whole.
        type.skills = {{5, {}, {}}, {7, {}, {}}};
        type.timing = TaskType::FixedHours;
        QVERIFY(store.save(&type));
        QCOMPARE(column(db(), QStringLiteral("select noidcomp from kp_tachescompetences order by noidcomp")),
                 QStringList({"5", "7"}));
        insertRow(QStringLiteral("kp_domaines"), {{"code", "'ELEC'"}, {"libelle", "'Électricité'"}});
        insertRow(QStringLiteral("kp_competences"), {{"noid", "7"}, {"codedomaine", "'ELEC'"}, {"libelle", "'Habilitation BR'"}});

        TaskType loaded;
        QVERIFY(store.load(type.number, &loaded));
        QCOMPARE(loaded.label, type.label);
        QCOMPARE(loaded.background, 0x00FF00);
        QCOMPARE(loaded.timingText(), QStringLiteral("De : 08:00 A : 10:15"));
        // Skill 5 no longer exists: it still shows, without a label.
        QCOMPARE(loaded.skills.size(), 2);
        QCOMPARE(loaded.skills[1].label, QStringLiteral("Habilitation BR"));
        QCOMPARE(loaded.skills[1].domain, QStringLiteral("Électricité"));

        QCOMPARE(saveType(QStringLiteral("Dépannage")), 2);

        // Gone meanwhile: the words follow the customer's term.
        QVERIFY(db().exec(QStringLiteral("delete from kp_taches where noidtache = 2")));
        const Outcome gone = store.load(2, &loaded);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
        QCOMPARE(gone.text(), QStringLiteral("Cette Tâche n'existe plus !"));
        session().terms().setTerm(Entity::Tache, {QStringLiteral("Intervention"), QStringLiteral("Interventions"),
                                                  QStringLiteral("0"), QStringLiteral("1")});
        QCOMPARE(store.load(2, &loaded).text(), QStringLiteral("Cet Intervention n'existe plus !"));
    }

    void skillChoiceLeavesListedOut()
    {
        insertRow(QStringLiteral("kp_domaines"), {{"code", "'ELEC'"}, {"libelle", "'Electricité'"}});
        insertRow(QStringLiteral("kp_domaines"), {{"code", "'MEC'"}, {"libelle", "'Mécanique'"}});
        insertRow(QStringLiteral("kp_competences"), {{"noid", "1"}, {"codedomaine", "'MEC'"}, {"libelle", "'Soudure'"}});
        insertRow(QStringLiteral("kp_competences"), {{"noid", "2"}, {"codedomaine", "'ELEC'"}, {"libelle", "'Habilitation BR'"}});
        insertRow(QStringLiteral("kp_competences"), {{"noid", "3"}, {"codedomaine", "'ELEC'"}, {"libelle", "'Habilitation B1'"}});
        for (const auto &[listed, expected] : {std::pair{QList<qint64>{}, QStringList{"3", "2", "1"}},
                                               std::pair{QList<qint64>{3, 1}, QStringList{"2"}}}) {
            ListModel model(TaskTypeStore::skillRequest(listed));
            QVERIFY(model.load(db(), QLatin1Char(',')));
            QStringList numbers;
            for (int r = 0; r < model.rowCount(); ++r)
                numbers << model.text(r, 2);
            QCOMPARE(numbers, expected);
        }
    }

    void stageSavedWithItsCriteria()
    {
        StageStore store(session());
        Stage stage;
        QCOMPARE(store.save(&stage).text(), QStringLiteral("Vous devez renseigner le libellé"));
        stage.label = QStringLiteral("Prospect à relancer");
        stage.criteria = {{4, StageCriterion::TakenPlace}, {6, StageCriterion::NotTakenPlace}};
        QVERIFY(store.save(&stage));
        QCOMPARE(stage.number, 1);
        stage.criteria.removeFirst();
        QVERIFY(store.save(&stage));
        QCOMPARE(column(db(), QStringLiteral("select notache from kp_etapes_taches where typecrit = 0")), QStringList{"6"});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_etapes_taches")), "1");

        // A failure after the stage row is written leaves nothing behind.
        Stage other{0, QStringLiteral("Client perdu"), {{4, StageCriterion::NotTakenPlace}}};
        QVERIFY(db().exec(QStringLiteral("drop table kp_etapes_taches")));
        const Outcome failed = store.save(&other);
        QCOMPARE(failed.text(), QStringLiteral("Erreur lors de la mise à jour de l'étape"));
        QVERIFY(!failed.dbError().isEmpty());
        QCOMPARE(column(db(), QStringLiteral("select libetape from kp_etapes")), QStringList{"Prospect à relancer"});
        QVERIFY(!db().inTransaction());

        // Deleted by another workstation meanwhile.
        QVERIFY(db().exec(QStringLiteral("delete from kp_etapes")));
        const Outcome gone = store.load(stage.number, &stage);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
        QCOMPARE(gone.text(), QStringLiteral("Cette étape n'existe plus !"));
    }

    void stageClients_data()
    {
        // Clients 1 to 3; type 1 took place for client 1, type 2 for client 2, type 3 never.
        QTest::addColumn<QList<StageCriterion>>("criteria");
        QTest::addColumn<QList<qint64>>("clients");
        using C = StageCriterion;
        QTest::newRow("not taken place, type never used") << QList<C>{{3, C::NotTakenPlace}} << QList<qint64>{1, 2, 3};
        QTest::newRow("taken place") << QList<C>{{1, C::TakenPlace}} << QList<qint64>{1};
        QTest::newRow("not taken place") << QList<C>{{1, C::NotTakenPlace}} << QList<qint64>{2, 3};
        QTest::newRow("all must hold") << QList<C>{{1, C::NotTakenPlace}, {2, C::NotTakenPlace}} << QList<qint64>{3};
        QTest::newRow("none left") << QList<C>{{1, C::TakenPlace}, {2, C::TakenPlace}, {3, C::NotTakenPlace}}
                                   << QList<qint64>{};
        QTest::newRow("no criterion") << QList<C>{} << QList<qint64>{1, 2, 3};
    }
    void stageClients()
    {
        QFETCH(QList<StageCriterion>, criteria);
        for (int client = 1; client <= 3; ++client)
            insertRow(QStringLiteral("kp_societes"), {{"noidsoc", QString::number(client)}});
        addTask(10, 1, 1);
        addTask(11, 2, 2);
        addTask(12, 2, 2);
        Stage stage{0, QStringLiteral("Étape"), criteria};
        StageStore store(session());
        QVERIFY(store.save(&stage));
        QList<qint64> clients;
        QVERIFY(store.clients(stage.number, &clients));
        QTEST(clients, "clients");
    }

    void costItemsPerKind()
    {
        CostItemStore store(db());
        CostItem item{0, QString(), CostItem::Income, QStringLiteral("10")};
        const Outcome refused = store.save(&item);
        QCOMPARE(refused.title(), QStringLiteral("Incomplet"));
        QCOMPARE(refused.text(), QStringLiteral("Vous devez renseigner un libellé !"));
        const QList<CostItem> items = {{0, QStringLiteral("Péage"), CostItem::Expense, QStringLiteral("7,8")},
                                       {0, QStringLiteral("Main d'œuvre"), CostItem::Income, QStringLiteral("45,555")},
                                       {0, QStringLiteral("Carburant"), CostItem::Expense, QStringLiteral("1.5")}};
        for (CostItem i : items)
            QVERIFY(store.save(&i));
        QList<CostItem> income, expense;
        QVERIFY(store.list(CostItem::Income, &income));
        QVERIFY(store.list(CostItem::Expense, &expense));
        QCOMPARE(income.size(), 1);
        QCOMPARE(income[0].label, QStringLiteral("Main d'œuvre"));
        QCOMPARE(income[0].unitAmount.toDouble(), 45.56);
        QCOMPARE(expense.size(), 2);
        QCOMPARE(expense[0].label, QStringLiteral("Carburant"));
        QCOMPARE(expense[1].number, 1);
        QCOMPARE(CostItemStore::kindName(expense[0].kind), QStringLiteral("Charge"));

        // Saved again: updated in place, or written back when deleted meanwhile.
        expense[0].unitAmount = QStringLiteral("1,75");
        QVERIFY(store.save(&expense[0]));
        QVERIFY(db().exec(QStringLiteral("delete from kp_couts where noid = 1")));
        QCOMPARE(store.load(1, &item).text(), QStringLiteral("Ce coût n'est plus défini"));
        QVERIFY(store.save(&expense[1]));
        QCOMPARE(column(db(), QStringLiteral("select noid from kp_couts order by noid")), QStringList({"1", "2", "3"}));
        QVERIFY(store.load(3, &item));
        QCOMPARE(item.unitAmount.toDouble(), 1.75);
    }
};

QTEST_GUILESS_MAIN(TestTaskCatalogues)
#include "tst_taskcatalogues.moc"
