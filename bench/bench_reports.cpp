// Times the paging of a 10,000-line report and the drawing of one page.
//
//   bench_reports [--rows N]

#include "reports/ReportPages.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--rows"));
    const int rows = at > 0 ? args.value(at + 1).toInt() : 10000;

    ReportTable table;
    table.setTitle(QStringLiteral("Liste des Clients"));
    table.setColumns({1500, 4000, 3000, 1500});
    table.addRow({QStringLiteral("Code|B"), QStringLiteral("Nom|B"), QStringLiteral("Ville|B"), QStringLiteral("Montant|BR")});
    for (int i = 1; i <= rows; ++i) {
        const int row = table.addRow({QString::number(i), QStringLiteral("Client numéro %1").arg(i),
                                      QStringLiteral("Ville"), QStringLiteral("%1,00|R").arg(i)});
        if (i % 50 == 0)
            table.setMemo(row, 2, QStringLiteral("Un mémo de plusieurs lignes qui se découpe en mots ").repeated(3));
    }

    QElapsedTimer timer;
    timer.start();
    ReportPages pages(table, PageSetup());
    if (!pages.layout())
        return 1;
    const double layoutMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    QImage image(794, 1123, QImage::Format_RGB32);
    QPainter painter(&image);
    pages.paint(painter, pages.pageCount() / 2, 96.0 / ReportPages::TwipsPerInch);
    painter.end();
    const double paintMs = timer.nsecsElapsed() / 1e6;

    QTextStream(stdout) << rows << " lignes, " << pages.pageCount() << " pages : mise en page "
                        << QString::number(layoutMs, 'f', 1) << " ms, dessin d'une page "
                        << QString::number(paintMs, 'f', 1) << " ms" << Qt::endl;
    return 0;
}
