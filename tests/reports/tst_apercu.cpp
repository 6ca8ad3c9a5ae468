#include "reports/apercu.h"
#include "reports/apercupagede.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QTest>

// The print preview window and its page-range dialog, driven as a person would.
class TestApercu : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Session> m_session;
    ScriptedPrompter m_prompter;

    static ReportTable sample()
    {
        ReportTable t;
        t.setTitle(QStringLiteral("Historique de la Ressource Martin\nDu 01/11/2026 au 30/11/2026"));
        t.setColumns({1400, 3200, 4200, 1500});
        t.addRow({QStringLiteral("Date|B"), QStringLiteral("Client|B"), QStringLiteral("Intervention|B"),
                  QStringLiteral("Heures|BR")});
        for (int i = 1; i <= 120; ++i) {
            const int row = t.addRow({QStringLiteral("%1/11/2026").arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
                                      QStringLiteral("Société Durand & Fils n°%1").arg(i), QString(),
                                      QStringLiteral("%1,50|R").arg(i % 9)});
            t.setMemo(row, 2, i % 10 == 1 ? QStringLiteral("Entretien annuel de la chaudière gaz-condensation, "
                                                           "remplacement du joint et contrôle des fumées.\r\nClient absent : clé chez le gardien.")
                                          : QStringLiteral("Dépannage"));
        }
        t.addRow({QString(), QStringLiteral("Total|BO"), QStringLiteral("|O"), QStringLiteral("318,00|RBO")});
        return t;
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("Quenzo.ini")));
        m_session = std::make_unique<Session>(*m_settings);
        m_prompter.clear();
    }

    void pagesAndNavigation()
    {
        apercu window(*m_session, m_prompter, sample());
        QVERIFY(window.pageCount() >= 3);
        window.showPage(99);
        QCOMPARE(window.currentPage(), window.pageCount() - 1);
        window.showPage(-4);
        QCOMPARE(window.currentPage(), 0);
        const QSize normal = window.pageImage(0, 1).size();
        const QSize half = window.pageImage(0, 0.5).size();
        QVERIFY(qAbs(half.width() * 2 - normal.width()) <= 2 && qAbs(half.height() * 2 - normal.height()) <= 2);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (QPrinterInfo::availablePrinters().isEmpty())
            QCOMPARE(m_prompter.texts(), QStringList{"Aucune imprimante définie"});
        QCOMPARE(window.printerList()->itemText(window.printerList()->count() - 1), apercu::pdfPrinterName());

        const QString shots = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            window.pageImage(0, 1.5).save(shots + QStringLiteral("/apercu_page.png"));
            window.pageImage(window.pageCount() - 1, 1).save(shots + QStringLiteral("/apercu_last.png"));
            saveScreenshot(window, QStringLiteral("apercu"));
            window.printPdf(shots + QStringLiteral("/apercu.pdf"), 1, 1);
        }
    }

    void printerAndFormatAreRemembered()
    {
        apercu window(*m_session, m_prompter, sample());
        QComboBox *printers = window.printerList();
        printers->setCurrentIndex(printers->findText(apercu::pdfPrinterName()));
        emit printers->activated(printers->currentIndex());
        QCOMPARE(m_settings->read(QStringLiteral("Impressionstd"), QStringLiteral("Nom")), apercu::pdfPrinterName());
        QComboBox *formats = window.formatList();
        QCOMPARE(formats->count(), 5);
        QCOMPARE(formats->currentText(), QStringLiteral("A4 (21 x 29,7 cm)"));
        const int pagesA4 = window.pageCount();
        formats->setCurrentIndex(formats->findText(QStringLiteral("A3 (29,7 x 42 cm)")));
        emit formats->activated(formats->currentIndex());
        QCOMPARE(m_settings->read(QStringLiteral("Impressionstd"), QStringLiteral("Format")), QStringLiteral("8"));
        QVERIFY(window.pageCount() < pagesA4);

        apercu again(*m_session, m_prompter, sample());
        QCOMPARE(again.formatList()->currentText(), QStringLiteral("A3 (29,7 x 42 cm)"));
        QCOMPARE(again.pageSetup().size.id(), QPageSize::A3);
    }

    void saveAsTextAsksBeforeReplacing()
    {
        ReportTable t;
        t.setColumns({1000, 0, 1000});
        t.addRow({QStringLiteral("A|B"), QStringLiteral("caché"), QStringLiteral("B|B")});
        t.addRow({QStringLiteral("1|R"), QStringLiteral("x"), QStringLiteral("deux|RBO")});
        apercu window(*m_session, m_prompter, t);
        const QString path = m_dir.filePath(QStringLiteral("table.txt"));
        QVERIFY(window.saveText(path));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Les données du tableau sont enregistrées"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("A\tB\n1\tdeux\n"));
        file.close();

        m_prompter.clear();
        m_prompter.answer({false});
        QVERIFY(!window.saveText(path));
        QCOMPARE(m_prompter.texts(), QStringList{"Ce fichier existe déjà\r\nVoulez-vous le remplacer ?"});
        QCOMPARE(m_prompter.defaults(), QList<bool>{false});
        m_prompter.answer({true});
        QVERIFY(window.saveText(path));

        m_prompter.clear();
        QVERIFY(!window.saveText(m_dir.path())); // a folder, not a file
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Erreur"));
        QVERIFY(m_prompter.texts().last().startsWith(QStringLiteral("Erreur : ")));
    }

    void copyForASpreadsheet()
    {
        ReportTable t;
        t.setColumns({1000, 0, 1000});
        t.addRow({QStringLiteral("Nom|B"), QStringLiteral("x"), QStringLiteral("Total|BR")});
        t.addRow({QStringLiteral("Durand"), QStringLiteral("x"), QStringLiteral("12,00|RBO")});
        apercu window(*m_session, m_prompter, t);
        window.copyToClipboard();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Nom\tTotal\nDurand\t12,00\n"));
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Réussi"));
        QVERIFY(m_prompter.texts().last().startsWith(QStringLiteral("Les données du tableau sont copiées\r\n")));
    }

    void pageRangeDialog()
    {
        apercupagede dialog(1, 9);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.fromField()->clear();
        QTest::keyClicks(dialog.fromField(), QStringLiteral("5a"));
        QCOMPARE(dialog.fromField()->text(), QStringLiteral("5"));
        QTest::keyClick(dialog.fromField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.toField());
        dialog.toField()->setText(QStringLiteral("3"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.range(), std::make_pair(5, 5));
        QCOMPARE(dialog.toField()->text(), QStringLiteral("5"));

        apercupagede closed(1, 2);
        closed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&closed));
        QTest::keyClick(closed.fromField(), Qt::Key_Escape);
        QCOMPARE(closed.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestApercu)
#include "tst_apercu.moc"
