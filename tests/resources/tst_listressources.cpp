#include "resources/ListRessources.h"
#include "resources/ResourceListModel.h"
#include "resources/ResourceStore.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QListWidget>
#include <QTableView>
#include <QTest>

// The resource list and its filters, on both back ends.
class TestListRessources : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    QStringList codes(const ResourceListModel &model)
    {
        QStringList list;
        for (int r = 0; r < model.rowCount(); ++r)
            list.append(model.data(model.index(r, 0)).toString());
        return list;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("listressources"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->session().description().geslogin = false;
        const QList<std::tuple<QString, int, QStringList>> resources = {
            {QStringLiteral("Zoé"), 0, {QStringLiteral("RH")}},
            {QStringLiteral("Camion 2"), 1, {}},
            {QStringLiteral("Alain"), 0, {QStringLiteral("COMPTA"), QStringLiteral("RH")}},
            {QStringLiteral("A placer"), 2, {}},
        };
        for (const auto &[code, type, services] : resources) {
            Resource r;
            r.code = code;
            r.type = type;
            r.services = services;
            QVERIFY(ResourceStore::save(m_ws->session(), &r));
        }
    }

    void filters_data()
    {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("services");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing chosen: all, human first")
            << QStringList() << QStringList() << QStringList({"Alain", "Zoé", "Camion 2", "A placer"});
        QTest::newRow("all three types") << QStringList({"0", "1", "2"}) << QStringList()
                                         << QStringList({"Alain", "Zoé", "Camion 2", "A placer"});
        QTest::newRow("material") << QStringList{"1"} << QStringList() << QStringList{"Camion 2"};
        QTest::newRow("a service") << QStringList() << QStringList{"COMPTA"} << QStringList{"Alain"};
        QTest::newRow("type and service") << QStringList({"0", "2"}) << QStringList{"RH"} << QStringList({"Alain", "Zoé"});
        QTest::newRow("a quote in a code") << QStringList() << QStringList{"R'H"} << QStringList();
    }
    void filters()
    {
        QFETCH(QStringList, types);
        QFETCH(QStringList, services);
        QFETCH(QStringList, expected);
        ResourceListModel model;
        QVERIFY(model.load(m_ws->db(), types, services, QStringLiteral("Ressources")));
        QCOMPARE(codes(model), expected);
    }

    void screenFiltersAndOpens()
    {
        ListRessources screen(m_ws->session(), m_prompter);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Gestion des Ressources - Utilisateur : "));
        QCOMPARE(screen.model()->rowCount(), 4);
        screen.typeFilter()->item(2)->setCheckState(Qt::Checked); // material
        screen.refresh();
        QCOMPARE(screen.model()->rowCount(), 1);
        qint64 opened = -1;
        screen.setOpener([&opened](qint64 number) {
            opened = number;
            return number;
        });
        emit screen.view()->activated(screen.model()->index(0, 0));
        QCOMPARE(opened, screen.model()->resourceAt(0));
        screen.typeFilter()->item(2)->setCheckState(Qt::Unchecked);
        screen.refresh();
        saveScreenshot(screen, QStringLiteral("ressources"));
    }
};

QTEST_MAIN(TestListRessources)
#include "tst_listressources.moc"
