#include "core/PasswordCodec.h"
#include "reports/Liste.h"
#include "reports/apercu.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

// The selection list window driven as a person would: sorting by the column
// titles, picking a line, giving up, printing, and its messages.
class TestListe : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    Session &session() { return m_ws->session(); }

    static ListRequest usersRequest()
    {
        ListRequest request(QStringLiteral("Liste des Utilisateurs"),
                            QStringLiteral("select libutil,nogroupe,dtsaisie,codeutil from kp_utilisateurs order by codeutil"));
        request.addColumn(QStringLiteral("Nom"), 3000, QStringLiteral("*"));
        request.addColumn(QStringLiteral("Groupe"), 900, QStringLiteral("I"));
        request.addColumn(QStringLiteral("Créé le"), 1400, QStringLiteral("D"));
        request.addColumn(QStringLiteral("Code"), 0, QStringLiteral("*"));
        return request;
    }
    static void clickTitle(Liste &window, int column)
    {
        QHeaderView *header = window.view()->horizontalHeader();
        const int middle = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(middle, header->height() / 2));
    }
    static QStringList shown(const Liste &window, int column)
    {
        QStringList texts;
        for (int r = 0; r < window.model()->rowCount(); ++r)
            texts.append(window.model()->text(r, column));
        return texts;
    }
    // Hands the modal window the next call opens to `step`, then closes it.
    template <typename Step> static void onNextModal(Step step)
    {
        QTimer::singleShot(0, [step] {
            QWidget *modal = QApplication::activeModalWidget();
            step(modal);
            if (modal && modal->isVisible())
                modal->close();
        });
    }
    static bool open(Liste &window)
    {
        const bool ready = window.load() == Liste::Load::Ready;
        window.show();
        return ready && QTest::qWaitForWindowExposed(&window);
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("liste"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().setDecimalSeparator(QLatin1Char(','));
        const QList<std::tuple<const char *, const char *, int, QDate>> users{
            {"dupont", "Émile Dupont", 2, QDate(2023, 5, 10)},
            {"martin", "anne Martin", 10, QDate(2024, 1, 2)},
            {"zola", "Bruno Zola", 1, QDate(2022, 12, 31)}};
        for (const auto &[code, label, group, created] : users)
            QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_utilisateurs (codeutil,libutil,nogroupe,noressource,motutil,"
                                                   "dtsaisie,ordisaisie,dtmodif,ordimodif) values ('%1','%2',%3,0,'0',%4,'P',%4,'/')")
                                        .arg(PasswordCodec::encode(code), PasswordCodec::encode(QString::fromUtf8(label)))
                                        .arg(group)
                                        .arg(session().dialect().dateValue(created))));
    }
    void init() { m_prompter.clear(); }

    void sortDirectionsPerColumn_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first click ascending") << QList<int>{0} << 0 << QStringList{"anne Martin", "Bruno Zola", "Émile Dupont"};
        QTest::newRow("second click descending") << QList<int>{0, 0} << 0 << QStringList{"Émile Dupont", "Bruno Zola", "anne Martin"};
        QTest::newRow("another column starts ascending") << QList<int>{0, 0, 1} << 1 << QStringList{"1", "2", "10"};
        QTest::newRow("each column keeps its own") << QList<int>{1, 0, 1} << 1 << QStringList{"10", "2", "1"};
        QTest::newRow("dates by date") << QList<int>{2} << 2 << QStringList{"31/12/2022", "10/05/2023", "02/01/2024"};
    }
    void sortDirectionsPerColumn()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, column);
        Liste window(session(), m_prompter, usersRequest());
        QVERIFY(open(window));
        QVERIFY(window.view()->isColumnHidden(3)); // width 0
        for (int c : clicks)
            clickTitle(window, c);
        QTEST(shown(window, column), "expected");
        QCOMPARE(window.view()->horizontalHeader()->sortIndicatorSection(), clicks.last());
        // The current line (the query's first) stays current wherever it goes.
        QCOMPARE(window.model()->text(window.view()->currentIndex().row(), 3), QStringLiteral("dupont"));
        if (clicks.size() == 1 && column == 0)
            saveScreenshot(window, QStringLiteral("liste_utilisateurs"));
    }

    void chooseOrCancel_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("Enter in the list") << "enter" << true;
        QTest::newRow("double click") << "double click" << true;
        QTest::newRow("OK button") << "ok" << true;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("close button") << "close" << false;
    }
    void chooseOrCancel()
    {
        QFETCH(QString, action);
        QFETCH(bool, chosen);
        Liste window(session(), m_prompter, usersRequest());
        QVERIFY(open(window));
        clickTitle(window, 0); // anne Martin, Bruno Zola, Émile Dupont
        QTableView *view = window.view();
        view->setCurrentIndex(window.model()->index(action == "double click" ? 0 : 1, 0));
        const QPoint secondLine = view->visualRect(window.model()->index(1, 1)).center();
        if (action == "enter") {
            QTest::keyClick(view, Qt::Key_Return);
        } else if (action == "double click") { // as a mouse sends it: a click, then the double click
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, secondLine);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, secondLine);
        } else if (action == "ok") {
            QTest::mouseClick(window.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        } else if (action == "escape") {
            QTest::keyClick(view, Qt::Key_Escape);
        } else {
            window.close();
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.answer().chosen, chosen);
        const QStringList expected = chosen ? QStringList{"Bruno Zola", "1", "31/12/2022", "zola"} : QStringList();
        QCOMPARE(window.answer().texts, expected);
    }

    void messages_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("query fails: the window stays empty") << "select nothing from nowhere" << true << "Erreur de lecture"
                                                            << "Erreur lors de la lecture\nMessage : ";
        QTest::newRow("no line: no window") << "select libutil,nogroupe,dtsaisie,codeutil from kp_utilisateurs where 1 = 0"
                                            << false << "Désolé" << "Aucune réponse à votre demande";
        QTest::newRow("fewer fields than columns") << "select libutil,nogroupe from kp_utilisateurs" << true << "Erreur"
                                                   << "Erreur lors le la lecture du tableau";
    }
    void messages()
    {
        QFETCH(QString, query);
        QFETCH(QString, text);
        ListRequest request = usersRequest();
        request.query = query;
        int openedWithLines = -1;
        onNextModal([&openedWithLines](QWidget *modal) {
            if (auto *list = qobject_cast<Liste *>(modal)) {
                openedWithLines = list->model()->rowCount();
                QTest::keyClick(list->view(), Qt::Key_Return); // nothing to pick
            }
        });
        QVERIFY(!Liste::choose(session(), m_prompter, request).chosen);
        QCoreApplication::processEvents();
        QTEST(openedWithLines == 0, "opens");
        QCOMPARE(m_prompter.shown().size(), 1);
        QTEST(m_prompter.shown().first().title, "title");
        QVERIFY(m_prompter.texts().first().startsWith(text));
        if (text.endsWith(": ")) // the engine's own text follows
            QVERIFY(m_prompter.texts().first().size() > text.size() + 3);
    }

    void printOpensThePreview()
    {
        Liste window(session(), m_prompter, usersRequest());
        QVERIFY(open(window));
        bool sawPreview = false;
        onNextModal([&sawPreview](QWidget *modal) { sawPreview = qobject_cast<apercu *>(modal); });
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QVERIFY(sawPreview);
        QVERIFY(window.isVisible()); // still there to pick a line
    }
};

QTEST_MAIN(TestListe)
#include "tst_liste.moc"
