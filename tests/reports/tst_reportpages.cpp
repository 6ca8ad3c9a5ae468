#include "reports/MemoWords.h"
#include "reports/ReportPages.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Cell formats, memo words, paging and printing of report tables.
class TestReportPages : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    // A table of `rows` data rows under a title row.
    static ReportTable table(int rows, const QList<int> &widths = {1500, 4000, 1500})
    {
        ReportTable t;
        t.setTitle(QStringLiteral("Liste des Clients\nDu 01/01/2026 au 31/01/2026"));
        t.setColumns(widths);
        t.addRow({QStringLiteral("Code|B"), QStringLiteral("Nom|B"), QStringLiteral("Montant|BR")});
        for (int i = 1; i <= rows; ++i)
            t.addRow({QString::number(i), QStringLiteral("Client %1").arg(i), QStringLiteral("%1,00|R").arg(i * 10)});
        return t;
    }
    static int pdfPages(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
    }
    QString printPdf(const ReportPages &pages, int from, int to, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        return pages.print(writer, from, to) ? path : QString();
    }

private slots:
    void formattingLetters_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("flags"); // B I R O X as set
        QTest::newRow("plain") << "Durand" << "Durand" << "";
        QTest::newRow("total") << "1 250,00|RBO" << "1 250,00" << "BRO";
        QTest::newRow("hidden") << "secret|X" << "secret" << "X";
        QTest::newRow("italic any order") << "note|OI" << "note" << "IO";
        QTest::newRow("only the first bar") << "a|b|B" << "a" << "B";
        QTest::newRow("empty letters") << "vide|" << "vide" << "";
    }
    void formattingLetters()
    {
        QFETCH(QString, cell);
        QFETCH(QString, text);
        QFETCH(QString, flags);
        const CellFormat f = CellFormat::parse(cell);
        QCOMPARE(f.text, text);
        QString set;
        for (auto [flag, letter] : {std::pair{f.bold, 'B'}, {f.italic, 'I'}, {f.right, 'R'}, {f.shaded, 'O'}, {f.hidden, 'X'}})
            if (flag)
                set += QLatin1Char(letter);
        QCOMPARE(set, flags);
    }

    void textCutByAlignment()
    {
        const QFont font = ReportPages::font(ReportPages::CellFontTwips);
        const QFontMetricsF metrics(font);
        const QString text = QStringLiteral("ABCDEFGHIJ");
        const double width = metrics.horizontalAdvance(QStringLiteral("ABCDE")) + 1;
        QCOMPARE(ReportPages::fitText(text, width, false, font), QStringLiteral("ABCDE"));
        QVERIFY(ReportPages::fitText(text, width, true, font).endsWith(QLatin1String("J")));
        QVERIFY(!ReportPages::fitText(text, width, true, font).startsWith(QLatin1String("A")));
        QCOMPARE(ReportPages::fitText(text, 10000, false, font), text);
        QCOMPARE(ReportPages::fitText(text, 0.5, false, font), QString());
    }

    void zeroWidthColumnsAreNotExported()
    {
        ReportTable t = table(2, {1500, 0, 1500});
        t.setCell(1, 2, QStringLiteral("10,00|RBO"));
        QCOMPARE(t.exportLines(), QStringList({"Code\tMontant", "1\t10,00", "2\t20,00"}));
    }

    void memoWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("blanks") << "un deux" << QStringList{"un", "$ES", "deux", "$FI", "$XX"};
        QTest::newRow("hyphen") << "porte-clés" << QStringList{"porte", "$TI", "clés", "$FI", "$XX"};
        QTest::newRow("crlf") << "a\r\nb" << QStringList{"a", "$RC", "b", "$FI", "$XX"};
        QTest::newRow("lone cr") << "a\rb" << QStringList{"a", "$RC", "b", "$FI", "$XX"};
        QTest::newRow("lone lf") << "a\nb" << QStringList{"a", "$RC", "b", "$FI", "$XX"};
        QTest::newRow("empty") << "" << QStringList{"", "$FI", "$XX"};
    }
    void memoWords()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(MemoWords::split(text), words);
    }

    void memoLinesWrapAndBreak()
    {
        // One unit per character: lines of at most 12 characters.
        const auto width = [](const QString &s) { return double(s.size()); };
        const QStringList lines = MemoWords::lines(
            MemoWords::split(QStringLiteral("Visite de contrôle annuelle\r\nchaudière gaz-condensation")), 12, width);
        QCOMPARE(lines, QStringList({"Visite de", "contrôle", "annuelle", "chaudière", "gaz-", "condensation"}));
    }

    void titlesRepeatAndRowsAreWhole()
    {
        const ReportTable t = table(150);
        ReportPages pages(t, PageSetup(), QDate(2026, 12, 6));
        QVERIFY(pages.layout());
        QVERIFY(pages.pageCount() >= 3);
        int data = 0;
        for (int p = 0; p < pages.pageCount(); ++p) {
            const QList<ReportPages::Segment> &segments = pages.segments(p);
            QCOMPARE(segments.first().row, 0); // the column titles on every page
            for (const ReportPages::Segment &s : segments) {
                QVERIFY(s.y + s.height <= pages.pageSize().height() - 567);
                QCOMPARE(s.borders, QStringLiteral("S"));
            }
            data += int(segments.size()) - 1;
        }
        QCOMPARE(data, 150);
    }

    void memoRowsGrowAndGoOnOverPages()
    {
        ReportTable t = table(3);
        t.setMemo(2, 1, QStringLiteral("Intervention longue ").repeated(20));
        QString huge;
        for (int i = 0; i < 150; ++i)
            huge += QStringLiteral("ligne %1\n").arg(i);
        t.setMemo(3, 1, huge);
        ReportPages pages(t, PageSetup());
        QVERIFY(pages.layout());
        const QList<ReportPages::Segment> &first = pages.segments(0);
        QVERIFY(first.at(2).lineCount > 1);
        QCOMPARE(first.at(2).borders, QStringLiteral("S"));
        // The 150-line memo cannot fit one page: it is cut, with open borders.
        QStringList borders;
        int lines = 0;
        for (int p = 0; p < pages.pageCount(); ++p)
            for (const ReportPages::Segment &s : pages.segments(p))
                if (s.row == 3) {
                    borders.append(s.borders);
                    lines += s.lineCount;
                }
        QCOMPARE(lines, 151); // 150 lines and the empty one after the last break
        QVERIFY(borders.size() >= 2);
        QCOMPARE(borders.first(), QStringLiteral(" GDH"));
        QCOMPARE(borders.last(), QStringLiteral(" GDB"));
    }

    void pageTooSmallIsAProblem()
    {
        const ReportTable t = table(3);
        PageSetup tiny;
        tiny.size = QPageSize(QSizeF(60, 50), QPageSize::Millimeter);
        tiny.marginTwips = 1000;
        ReportPages pages(t, tiny);
        const Outcome laid = pages.layout();
        QCOMPARE(laid.title(), QStringLiteral("Attention"));
        QCOMPARE(laid.text(), QStringLiteral("Probleme"));
    }

    void printsPageRangesToPdf()
    {
        const ReportTable t = table(150);
        ReportPages pages(t, PageSetup());
        QVERIFY(pages.layout());
        QCOMPARE(pages.pageCount(), 3);
        QCOMPARE(pdfPages(printPdf(pages, 1, 3, QStringLiteral("all.pdf"))), 3);
        QCOMPARE(pdfPages(printPdf(pages, 2, 3, QStringLiteral("two.pdf"))), 2);
        QVERIFY(printPdf(pages, 5, 6, QStringLiteral("none.pdf")).isEmpty()); // past the end: nothing

        const ReportTable longer = table(300);
        ReportPages six(longer, PageSetup());
        QVERIFY(six.layout());
        QVERIFY(six.pageCount() >= 5);
        QCOMPARE(pdfPages(printPdf(six, 5, 3, QStringLiteral("backwards.pdf"))), 1); // "to" below "from": page 5 alone
    }

    void tenThousandLines()
    {
        const ReportTable t = table(10000);
        ReportPages pages(t, PageSetup());
        QVERIFY(pages.layout());
        QVERIFY(pages.pageCount() > 150);
        QCOMPARE(pages.segments(pages.pageCount() - 1).last().row, 10000);
    }
};

QTEST_MAIN(TestReportPages)
#include "tst_reportpages.moc"
