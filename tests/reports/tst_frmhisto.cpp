#include "HistoryFixture.h"

#include "core/widgets/DateField.h"
#include "reports/Frm_Histo.h"
#include "reports/Frm_HistoClient.h"
#include "reports/apercu.h"
#include "clients/GesSocietes.h"
#include "resources/GesRessources.h"
#include "support/ScriptedPrompter.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

// The history windows driven as a person would: parameters, Valider, the
// list, Imprimer, the stop button.
class TestFrmHisto : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }

    static void setPeriod(HistoryScreen &screen, const QString &from, const QString &to)
    {
        screen.startField()->clear();
        QTest::keyClicks(screen.startField(), from);
        screen.endField()->clear();
        QTest::keyClicks(screen.endField(), to);
    }
    // Runs `step` on the next modal window, then closes it.
    template <typename Step> static void onNextModal(Step step)
    {
        QTimer::singleShot(0, [step] {
            QWidget *modal = QApplication::activeModalWidget();
            step(modal);
            if (modal && modal->isVisible())
                modal->close();
        });
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("frmhisto"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        session().setDecimalSeparator(QLatin1Char(','));
        QVERIFY(writeHistoryMonth(session()));
    }
    void cleanupTestCase() { m_ws.reset(); }
    void init() { m_prompter.clear(); }

    void listAndPreview()
    {
        Frm_Histo screen(session(), m_prompter, 1);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        QCOMPARE(m_prompter.shown().size(), 0);
        QCOMPARE(selectedNumbers(screen.resourceList()), QList<qint64>{1}); // preselected
        QCOMPARE(screen.typeList()->count(), 9);
        QCOMPARE(screen.stateList()->currentText(), QStringLiteral("Toutes"));

        setPeriod(screen, QStringLiteral("01/03/2027"), QStringLiteral("31/03/2027"));
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.shown().size(), 0);
        QCOMPARE(screen.model()->rowCount(), 5);
        QCOMPARE(screen.model()->text(0, 0), QStringLiteral("Alain"));
        QCOMPARE(screen.model()->text(4, 3), QStringLiteral("31/03/2027 14:00"));
        QVERIFY(screen.view()->isColumnHidden(7)); // "Tri"
        QVERIFY(screen.printButton()->isEnabled());
        saveScreenshot(screen, QStringLiteral("frm_histo"));

        int previewPages = 0;
        onNextModal([&](QWidget *modal) {
            if (auto *preview = qobject_cast<apercu *>(modal)) {
                previewPages = preview->pageCount();
                const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
                if (!folder.isEmpty())
                    preview->pageImage(0, 1.0).save(folder + QStringLiteral("/frm_histo_apercu.png"));
            }
        });
        QTest::mouseClick(screen.printButton(), Qt::LeftButton);
        QCOMPARE(previewPages, 1);
        // This machine has no printer: the preview says so, and prints into PDF files.
        QVERIFY(m_prompter.texts().isEmpty() || m_prompter.texts() == QStringList{QStringLiteral("Aucune imprimante définie")});
    }

    void statisticsForEveryone()
    {
        Frm_Histo screen(session(), m_prompter);
        setPeriod(screen, QStringLiteral("01/03/2027"), QStringLiteral("31/03/2027"));
        screen.typeList()->setCurrentIndex(3);
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QCOMPARE(screen.model()->rowCount(), 3);
        QCOMPARE(screen.model()->text(2, 0), QStringLiteral("Total :"));
        QCOMPARE(screen.model()->text(2, 1), QStringLiteral("9"));
    }

    void messages()
    {
        Frm_Histo screen(session(), m_prompter);
        screen.startField()->clear();
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Dates de début et de fin obligatoires")});
        m_prompter.clear();
        QTest::mouseClick(screen.printButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Rien à imprimer")});
        m_prompter.clear();
        setPeriod(screen, QStringLiteral("01/01/2026"), QStringLiteral("31/01/2026")); // before the series
        screen.runButton()->click(); // a third quick click would read as a double click
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Aucune donnée à votre requête")});
    }

    // While a report runs, quitting is refused and the stop button asks first.
    void stopWhileRunning()
    {
        Frm_Histo screen(session(), m_prompter);
        setPeriod(screen, QStringLiteral("01/03/2027"), QStringLiteral("31/03/2027"));
        screen.setProgressStep(1);
        m_prompter.answer({false, true});
        bool disabled = false;
        QTimer::singleShot(0, &screen, [&] {
            disabled = !screen.runButton()->isEnabled() && !screen.typeList()->isEnabled() && screen.stopButton()->isEnabled();
            QTest::mouseClick(screen.quitButton(), Qt::LeftButton);   // refused
            QTest::mouseClick(screen.stopButton(), Qt::LeftButton);   // "no": goes on
            QTimer::singleShot(0, &screen, [&] { QTest::mouseClick(screen.stopButton(), Qt::LeftButton); }); // "yes"
        });
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QVERIFY(disabled);
        QVERIFY(!screen.isRunning());
        QVERIFY(screen.runButton()->isEnabled());
        const QList<ScriptedPrompter::Shown> shown = m_prompter.shown();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.at(0).title, QStringLiteral("Traitement en cours"));
        QCOMPARE(shown.at(0).text, QStringLiteral("Impossible de quitter"));
        QCOMPARE(shown.at(1).text, QStringLiteral("Abandonner le traitement en cours ?"));
        QVERIFY(shown.at(2).question);
        QCOMPARE(shown.at(3).title, QStringLiteral("Abandon"));
        QCOMPARE(shown.at(3).text, QStringLiteral("Abandon du traitement"));
        QVERIFY(screen.model()->rowCount() < 12); // what was read before the stop
        QCOMPARE(screen.statusLabel()->text(), QStringLiteral("Abandon du traitement"));
    }

    // "Historique..." of a record screen opens the report with that record chosen.
    void openedFromTheRecordScreens()
    {
        QList<qint64> chosen;
        const auto throughHistory = [&chosen](auto *record, auto chosenIn) {
            QTimer::singleShot(0, [&chosen, record, chosenIn] {
                QWidget *history = QApplication::activeModalWidget();
                chosen = chosenIn(history);
                if (history)
                    history->close();
                record->reject();
            });
            record->historyButton()->click();
        };
        QTimer::singleShot(0, [&] {
            if (auto *record = qobject_cast<GesRessources *>(QApplication::activeModalWidget()))
                throughHistory(record, [](QWidget *w) {
                    auto *h = qobject_cast<Frm_Histo *>(w);
                    return h ? selectedNumbers(h->resourceList()) : QList<qint64>{};
                });
        });
        GesRessources::edit(session(), m_prompter, 2);
        QCOMPARE(chosen, QList<qint64>{2});

        chosen.clear();
        QTimer::singleShot(0, [&] {
            if (auto *record = qobject_cast<GesSocietes *>(QApplication::activeModalWidget()))
                throughHistory(record, [](QWidget *w) {
                    auto *h = qobject_cast<Frm_HistoClient *>(w);
                    return h ? selectedNumbers(h->clientList()) : QList<qint64>{};
                });
        });
        GesSocietes::edit(session(), m_prompter, 1);
        QCOMPARE(chosen, QList<qint64>{1});
    }

    void perClient()
    {
        Frm_HistoClient screen(session(), m_prompter, 2);
        QCOMPARE(selectedNumbers(screen.clientList()), QList<qint64>{2});
        QCOMPARE(screen.clientList()->count(), 2);
        setPeriod(screen, QStringLiteral("01/03/2027"), QStringLiteral("31/03/2027"));
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QCOMPARE(screen.model()->rowCount(), 1);
        QCOMPARE(screen.model()->text(0, 0), QStringLiteral("Martin Jean"));
        screen.clientList()->clearSelection();
        screen.typeList()->setCurrentIndex(5);
        QTest::mouseClick(screen.runButton(), Qt::LeftButton);
        QCOMPARE(screen.model()->text(3, 7), QStringLiteral("89,80"));
        screen.show();
        saveScreenshot(screen, QStringLiteral("frm_histoclient"));
    }
};

QTEST_MAIN(TestFrmHisto)
#include "tst_frmhisto.moc"
