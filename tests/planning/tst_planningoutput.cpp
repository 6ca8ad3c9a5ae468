#include "PlanningFixture.h"

#include "planning/DessineImgPicture.h"
#include "planning/FrmPlanning.h"
#include "planning/PlanningExport.h"
#include "planning/PlanningPages.h"
#include "support/ScriptedPrompter.h"
#include "support/Screenshot.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate Monday(2027, 3, 1);
const QDate Today(2027, 2, 26);
const int Red = 0x0000FF; // 0x00BBGGRR
const QString Awkward = QStringLiteral("Voir \"Jérôme\" & l'équipe <urgent> – 5 € près de l'œil");

// Every file under a folder, hidden ones included, by name relative to it.
QStringList filesIn(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(folder).relativeFilePath(it.next()));
    names.sort();
    return names;
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

// The rectangles of a main page's maps, image by image.
QList<QList<QRect>> mapAreas(const QString &page)
{
    QList<QList<QRect>> maps;
    static const QRegularExpression area(QStringLiteral("coords='(\\d+),(\\d+),(\\d+),(\\d+)'"));
    for (const QString &line : page.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String("<map ")))
            maps.append(QList<QRect>());
        const QRegularExpressionMatch m = area.match(line);
        if (m.hasMatch())
            maps.last().append(QRect(QPoint(m.captured(1).toInt(), m.captured(2).toInt()),
                                     QPoint(m.captured(3).toInt() - 1, m.captured(4).toInt() - 1)));
    }
    return maps;
}

} // namespace

// The planning on paper, as images and as an HTML site: pages, file names,
// map areas that match the drawn blocks, escaping, bad folders, the print
// window and the command line.
class TestPlanningOutput : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    // `rows` resources; the first three with tasks in the week from Monday.
    void planning(int rows)
    {
        PlanningData data(session());
        QVERIFY(data.taskType(1, QStringLiteral("Pose"), Red, 0xFFFFFF) && data.taskType(2, QStringLiteral("Audit"), 0xC0FFC0));
        QVERIFY(data.client(1, QStringLiteral("Dupont & Fils")));
        for (int r = 1; r <= rows; ++r)
            QVERIFY(data.resource(r, QStringLiteral("Ressource %1").arg(r, 2, 10, QLatin1Char('0'))));
        QVERIFY(data.simple(1, 1, 1, Monday, 9, 17, 1, {{"commentaire", data.text(Awkward)}}));
        QVERIFY(data.simple(2, 2, 1, Monday.addDays(1), 10, 16));
        QVERIFY(data.simple(3, 1, 2, Monday.addDays(2), 9, 18));
        QVERIFY(data.simple(4, 2, 3, Monday.addDays(3), 9, 12) && data.link(4, 2));
    }

    PlanningPrint input(int days = 7, Presentation presentation = Presentation::ByResource)
    {
        PlanningPrint in;
        in.presentation = presentation;
        in.start = Monday;
        in.nbJours = days;
        in.title = PlanningPrint::titleFor(session().terms(), presentation, Period::NbDays, days);
        PlanningFilters::build(db(), {}, &in.fragments);
        return in;
    }

    HtmlExportOptions options(const QString &folder, int rowsPerPage = 20)
    {
        HtmlExportOptions o;
        o.folder = folder;
        o.presentations = {Presentation::ByResource};
        o.periods = {Period::NbDays};
        o.nbJours = 7;
        o.start = Monday;
        o.today = Today;
        o.rowsPerPage = rowsPerPage;
        return o;
    }

    QString mainPageName() const { return QStringLiteral("Planning_7J_par_Ressource_R.htm"); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("planningoutput"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        session().settings().remove(QStringLiteral("Planning"));
        session().settings().remove(QStringLiteral("UTIL"));
        m_prompter.clear();
    }
    void cleanup() { m_ws.reset(); }

    void names_data()
    {
        QTest::addColumn<int>("presentation");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("title");
        QTest::newRow("days") << 0 << int(Period::NbDays) << QStringLiteral("Planning 30J par Ressource");
        QTest::newRow("week") << 1 << int(Period::Week) << QStringLiteral("Planning Hebdomadaire par Client");
        QTest::newRow("type") << 2 << int(Period::Month) << QStringLiteral("Planning Mensuel par Tâche");
    }
    void names()
    {
        QFETCH(int, presentation);
        QFETCH(int, period);
        QFETCH(QString, title);
        QCOMPARE(PlanningPrint::titleFor(session().terms(), Presentation(presentation), Period(period), 30), title);
        QCOMPARE(PlanningExport::pageName(QStringLiteral("T"), 1), QStringLiteral("T_001"));
        QCOMPARE(PlanningExport::pageName(QStringLiteral("T"), 12), QStringLiteral("T_012"));
        QCOMPARE(PlanningExport::safeName(QStringLiteral("Planning Mensuel par Tâche/é")), QStringLiteral("Planning_Mensuel_par_Tache_e"));
    }

    void escaping()
    {
        QCOMPARE(PlanningExport::htmlText(Awkward),
                 QStringLiteral("Voir &quot;J&eacute;r&ocirc;me&quot; &amp; l&#39;&eacute;quipe &lt;urgent&gt; &#8211; 5 &#8364; "
                                "pr&egrave;s de l&#39;&#339;il"));
        QCOMPARE(PlanningExport::htmlText(QStringLiteral("a\r\nb 😀")), QStringLiteral("a<BR>b &#128512;"));
        QCOMPARE(PlanningExport::latin1(QStringLiteral("x°")), QByteArray("x\xb0"));
    }

    // The map of each image holds the rectangles the layout drew the blocks
    // in; each area opens the detail page of its block.
    void siteMatchesLayout()
    {
        planning(45);
        QTemporaryDir folder;
        QStringList files;
        QString status;
        const Outcome written = HtmlSite::write(session(), options(folder.path()), &files, &status);
        QVERIFY2(written, qPrintable(written.text()));
        QVERIFY(status.isEmpty());

        // 45 rows, 20 to an image: three images, numbered on three digits.
        const QStringList images = QDir(folder.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
        QCOMPARE(images, (QStringList{QStringLiteral("Planning_7J_par_Ressource_001.jpg"), QStringLiteral("Planning_7J_par_Ressource_002.jpg"),
                                      QStringLiteral("Planning_7J_par_Ressource_003.jpg")}));
        const QImage first(folder.filePath(images.first()));
        QCOMPARE(first.size(), QSize(1024, 724));

        PlanningPages pages;
        QVERIFY(pages.load(session(), input()));
        pages.setPage(QSizeF(1024, 724), 20, false);
        QCOMPARE(pages.pageCount(), 3);
        const QString main = readAll(folder.filePath(mainPageName()));
        QVERIFY(main.startsWith(QStringLiteral("<HTML>\r\n<HEAD>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">")));
        QVERIFY(main.contains(QStringLiteral("<CENTER><B>Quenzo : Le 26/02/2027 <BR>D&eacute;tail par Ressource</B></CENTER>")));
        QVERIFY(main.contains(QStringLiteral("<img src=\"./Planning_7J_par_Ressource_001.jpg\" usemap=\"#taches\">")));
        QVERIFY(main.contains(QStringLiteral("<map name=\"taches\">")));
        const QList<QList<QRect>> maps = mapAreas(main);
        QCOMPARE(maps.size(), 3);
        int areas = 0;
        for (int p = 0; p < 3; ++p) {
            QList<QRect> drawn;
            const PlanningLayout layout = pages.layout(p);
            for (const BlockPlace &place : layout.places())
                if (!place.rect.isEmpty())
                    drawn.append(QRect(QPoint(qRound(place.rect.left()), qRound(place.rect.top())),
                                       QPoint(qRound(place.rect.right()) - 1, qRound(place.rect.bottom()) - 1)));
            QCOMPARE(maps.at(p), drawn);
            areas += int(drawn.size());
        }
        QCOMPARE(areas, 5); // task 4 on two rows
        QVERIFY(main.contains(QStringLiteral(" href='javascript:popupcentree(\"./R1_00001.htm\",400,300,\"menubar=no,scrollbars=yes,statusbar=no\")'  alt='Cliquez pour le d&eacute;tail'>")));

        // The block of task 1, where the first image shows it, is red.
        const QRect block = maps.at(0).at(0);
        QCOMPARE(first.pixelColor(block.left() + 3, block.bottom() - 3).red() > 200, true);
        QVERIFY(first.pixelColor(block.left() + 3, block.bottom() - 3).green() < 60);

        // Its detail page: label, dates, linked rows, client and comment, escaped, in iso-8859-1.
        const QString detail = readAll(folder.filePath(QStringLiteral("R1_00001.htm")));
        QVERIFY(detail.contains(QStringLiteral("<BODY bgcolor=\"#FFFFCC\">")));
        QVERIFY(detail.contains(QStringLiteral("<CENTER><B>Pose</B></CENTER>")));
        QVERIFY(detail.contains(QStringLiteral("<B>D&eacutebut :</B></TD><TD>01/03/2027 09:00")));
        QVERIFY(detail.contains(QStringLiteral("<B>Fin :</B></TD><TD>01/03/2027 17:00")));
        QVERIFY(detail.contains(QStringLiteral("Ressource 01<BR>")));
        QVERIFY(detail.contains(QStringLiteral("Dupont &amp; Fils<BR>")));
        QVERIFY(detail.contains(PlanningExport::htmlText(Awkward)));
        QVERIFY(!detail.contains(QLatin1Char('"') + QStringLiteral("J")));
        const QString shared = readAll(folder.filePath(QStringLiteral("R1_00004.htm")));
        QVERIFY(shared.contains(QStringLiteral("Ressource 02<BR>\r\nRessource 03<BR>")));
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("R1_*.htm")}).size(), 5);
        QCOMPARE(files.size(), 3 + 5 + 1);
        // Nothing else, no working folder left.
        QCOMPARE(filesIn(folder.path()).size(), 9);

        // A shorter planning replaces the pages of the longer one.
        QVERIFY(db().exec(QStringLiteral("delete from kp_ressources where noid > 20")));
        QVERIFY(HtmlSite::write(session(), options(folder.path()), &files, &status));
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.jpg")}).size(), 1);
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("R1_*.htm")}).size(), 5);
    }

    void htmlRefusals()
    {
        planning(3);
        QStringList files;
        QString status;
        HtmlExportOptions o = options({});
        o.presentations.clear();
        Outcome result = HtmlSite::write(session(), o, &files, &status);
        QCOMPARE(result.text(), QStringLiteral("Vous n'avez paramétré aucun export !"));

        o = options({});
        result = HtmlSite::write(session(), o, &files, &status);
        QCOMPARE(result.messages().last().title, QStringLiteral("Incomplet"));
        QCOMPARE(result.text(), QStringLiteral("Répertoire d'export HTML non défini"));
        QCOMPARE(status, QStringLiteral("Répertoire indéfini"));

        // A folder that does not exist, and one nobody can write into.
        for (const QString &bad : {QStringLiteral("/nonexistent/quenzo"), QStringLiteral("/proc")}) {
            result = HtmlSite::write(session(), options(bad), &files, &status);
            QVERIFY(!result);
            QCOMPARE(result.text(), QStringLiteral("Erreur lors de la création du fichier image"));
            QCOMPARE(status, QStringLiteral("Erreur fichier"));
        }
        QVERIFY(files.isEmpty());

        // A file that cannot be replaced stops the export before anything is moved in.
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(mainPageName()));
        result = HtmlSite::write(session(), options(folder.path()), &files, &status);
        QVERIFY(!result);
        QCOMPARE(status, QStringLiteral("Erreur fichier"));
        QCOMPARE(filesIn(folder.path()), QStringList{mainPageName()});

        // Stopped on its second image: nothing either.
        QTemporaryDir stopped;
        int asked = 0;
        HtmlExportOptions small = options(stopped.path(), 5);
        small.nbJours = 7;
        for (int r = 4; r <= 12; ++r)
            QVERIFY(PlanningData(session()).resource(r, QStringLiteral("Ressource %1").arg(r)));
        result = HtmlSite::write(session(), small, &files, &status, [&](int page, int, const QString &) {
            ++asked;
            return page < 1;
        });
        QCOMPARE(result.text(), QStringLiteral("Export interrompu"));
        QCOMPARE(status, QStringLiteral("Interrompu"));
        QCOMPARE(asked, 2);
        QVERIFY(filesIn(stopped.path()).isEmpty());
    }

    // Settings: the plannings and periods marked, the days and the width.
    void htmlSettings()
    {
        Settings &s = session().settings();
        HtmlExportOptions o = HtmlExportOptions::fromSettings(s);
        QVERIFY(o.presentations.isEmpty());
        QVERIFY(o.periods == QList<Period>{Period::NbDays});
        QCOMPARE(o.nbJours, 4);
        QCOMPARE(o.imageWidth, 1024);
        QCOMPARE(o.rowsPerPage, 20);
        s.write(QStringLiteral("UTIL"), QStringLiteral("1HTMLPLAN"), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("2HTMLPLAN"), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("2HTML"), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("4HTML"), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("HTMLNBJ"), QStringLiteral("12"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("HTMLWPIX"), QStringLiteral("800"));
        s.write(QStringLiteral("Planning"), QStringLiteral("NbRessMax"), QStringLiteral("7"));
        o = HtmlExportOptions::fromSettings(s);
        QVERIFY(o.presentations == (QList<Presentation>{Presentation::ByClient, Presentation::ByTaskType}));
        QVERIFY(o.periods == (QList<Period>{Period::Week, Period::Month}));
        QCOMPARE(o.nbJours, 12);
        QCOMPARE(o.imageWidth, 800);
        QCOMPARE(o.rowsPerPage, 7);
    }

    // A period without any task: one valid page, an empty map.
    void emptyPeriod()
    {
        planning(3);
        QTemporaryDir folder;
        HtmlExportOptions o = options(folder.path());
        o.start = Monday.addYears(1);
        QStringList files;
        QString status;
        QVERIFY(HtmlSite::write(session(), o, &files, &status));
        QCOMPARE(files.size(), 2);
        QVERIFY(!QImage(folder.filePath(QStringLiteral("Planning_7J_par_Ressource_001.jpg"))).isNull());
        const QString main = readAll(folder.filePath(mainPageName()));
        QCOMPARE(mapAreas(main), QList<QList<QRect>>{QList<QRect>{}});
    }

    // Paper: all rows on one page while they read well; more go on over
    // further pages, and so do days too narrow to read.
    void paperPages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("several");
        QTest::newRow("one page") << 12 << 7 << false;
        QTest::newRow("rows go on") << 45 << 7 << true;
        QTest::newRow("days go on") << 3 << 120 << true;
    }
    void paperPages()
    {
        QFETCH(int, rows);
        QFETCH(int, days);
        QFETCH(bool, several);
        planning(rows);
        PlanningPages paper;
        QVERIFY(paper.load(session(), input(days)));
        paper.setPage(QSizeF(794, 559)); // A5 landscape
        QCOMPARE(paper.pageCount() > 1, several);
        int shownRows = 0, shownDays = 0;
        for (int p = 0; p < paper.pageCount(); ++p) {
            const PlanningLayout layout = paper.layout(p);
            QVERIFY(layout.rowHeight() >= PlanningPages::MinRowHeight);
            QVERIFY(layout.dayWidth() >= PlanningPages::MinDayWidth);
            QCOMPARE(layout.visibleRows(), paper.page(p).rows);
            QVERIFY(layout.gridRect().bottom() <= 559 - PlanningPages::Margin + 0.5);
            if (paper.page(p).firstDay == 0)
                shownRows += paper.page(p).rows;
            if (paper.page(p).firstRow == 0)
                shownDays += paper.page(p).days;
        }
        QCOMPARE(shownRows, rows);
        QCOMPARE(shownDays, days);
    }

    // A PDF of several pages, read back as pictures: page count, the header,
    // and a block's colour where the layout placed it. From 5 to 3 prints page 5.
    void pdfReadBack()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is missing");
        planning(45);
        PlanningPages paper;
        paper.setToday(Today);
        QVERIFY(paper.load(session(), input(7)));
        const QPageSize a5(QPageSize::A5);
        paper.setPage(a5.size(QPageSize::Point).transposed() * 96 / 72.0);
        const int count = paper.pageCount();
        QVERIFY(count > 1);

        QTemporaryDir folder;
        const auto print = [&](const QString &name, int from, int to) {
            QPdfWriter writer(folder.filePath(name + QStringLiteral(".pdf")));
            writer.setResolution(300);
            writer.setPageLayout(QPageLayout(a5, QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
            return paper.print(writer, from, to);
        };
        QVERIFY(print(QStringLiteral("all"), 1, count));
        QVERIFY(print(QStringLiteral("five"), count, 1));
        QVERIFY(!print(QStringLiteral("none"), count + 1, count + 1));
        QProcess pdftoppm;
        pdftoppm.setWorkingDirectory(folder.path());
        pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                                     QStringLiteral("all.pdf"), QStringLiteral("page")});
        QVERIFY(pdftoppm.waitForFinished(60000));
        QCOMPARE(pdftoppm.exitCode(), 0);
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("page-*.png")}).size(), count);
        pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("five.pdf"), QStringLiteral("five")});
        QVERIFY(pdftoppm.waitForFinished(60000));
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("five-*.png")}).size(), 1);

        const QImage page(folder.filePath(QDir(folder.path()).entryList({QStringLiteral("page-*1.png")}).value(0)));
        QVERIFY(qAbs(page.width() - paper.pageSize().width()) <= 1 && qAbs(page.height() - paper.pageSize().height()) <= 1);
        const PlanningLayout layout = paper.layout(0);
        const QRectF block = layout.places().at(0).rect;
        QVERIFY(!block.isEmpty());
        const QColor inside = page.pixelColor(QPointF(block.left() + 3, block.bottom() - 3).toPoint());
        QVERIFY2(inside.red() > 200 && inside.green() < 80 && inside.blue() < 80, qPrintable(inside.name()));
        // The page header: dark title text in its band, white margin above it.
        QCOMPARE(page.pixelColor(5, 5), QColor(Qt::white));
        bool ink = false;
        const QRectF band = layout.pageHeaderRect();
        for (int x = int(band.left()); x < band.left() + 200 && !ink; ++x)
            for (int y = int(band.top()); y < band.top() + 16 && !ink; ++y)
                ink = page.pixelColor(x, y).lightness() < 100;
        QVERIFY(ink);
        if (!qEnvironmentVariableIsEmpty("QUENZO_SCREENSHOT_DIR"))
            page.save(qEnvironmentVariable("QUENZO_SCREENSHOT_DIR") + QStringLiteral("/planning-pdf-page1.png"));
    }

    void jpegPages()
    {
        planning(3);
        PlanningPages paper;
        QVERIFY(paper.load(session(), input(7)));
        paper.setPage(QSizeF(1123, 794));
        QTemporaryDir folder;
        QStringList files;
        QVERIFY(PlanningExport::writeJpegPages(paper, folder.path(), QStringLiteral("Semaine"), 1, &files));
        QCOMPARE(files, QStringList{folder.filePath(QStringLiteral("Semaine_001.jpg"))});
        QCOMPARE(QImage(files.first()).size(), QSize(1123, 794));
        QCOMPARE(filesIn(folder.path()), QStringList{QStringLiteral("Semaine_001.jpg")});
        const Outcome missing = PlanningExport::writeJpegPages(paper, folder.filePath(QStringLiteral("absent")), QStringLiteral("S"), 1);
        QCOMPARE(missing.text(), QStringLiteral("Fichier ou répertoire incorrect"));
        const Outcome locked = PlanningExport::writeJpegPages(paper, QStringLiteral("/proc"), QStringLiteral("S"), 1);
        QCOMPARE(locked.text(), QStringLiteral("Erreur lors de la création du fichier image"));
    }

    // The print window: page field, zoom, printers, paper, and its outputs.
    void printWindow()
    {
        planning(45);
        session().settings().write(QStringLiteral("UTIL"), QStringLiteral("FormPrinter"), QStringLiteral("11"));
        DessineImgPicture window(session(), m_prompter, input(7));
        QVERIFY(window.isLoaded());
        QCOMPARE(window.zoomList()->currentText(), QStringLiteral("70 %"));
        QCOMPARE(window.zoomList()->count(), 12);
        QCOMPARE(window.printerList()->itemText(window.printerList()->count() - 1), DessineImgPicture::pdfPrinterName());
        QCOMPARE(window.formatList()->currentText(), QStringLiteral("A5 (14,8 x 21 cm)"));
        QCOMPARE(window.orientationList()->currentText(), QStringLiteral("Paysage"));
        const int count = window.pageCount();
        QVERIFY(count > 1);
        QCOMPARE(window.pageTotal()->text(), QStringLiteral(" / ") + QString::number(count));
        QCOMPARE(window.pageField()->text(), QStringLiteral("1"));

        // A page outside the planning is replaced when the field is left.
        window.pageField()->setText(QStringLiteral("2"));
        emit window.pageField()->editingFinished();
        QCOMPARE(window.currentPage(), 1);
        window.pageField()->setText(QStringLiteral("99"));
        emit window.pageField()->editingFinished();
        QCOMPARE(window.pageField()->text(), QStringLiteral("2"));
        QCOMPARE(window.currentPage(), 1);

        const QSizeF page = window.pages().pageSize();
        QCOMPARE(window.pageImage().size(), (page * 0.7).toSize());
        window.zoomList()->setCurrentIndex(0);
        QCOMPARE(window.zoomList()->currentText(), QStringLiteral("200 %"));
        QCOMPARE(window.pageImage().size(), (page * 2).toSize());

        // A3 holds every row on one page; the format is remembered.
        window.formatList()->setCurrentIndex(window.formatList()->findData(8));
        emit window.formatList()->activated(window.formatList()->currentIndex());
        QCOMPARE(session().settings().read(QStringLiteral("UTIL"), QStringLiteral("FormPrinter")), QStringLiteral("8"));
        QCOMPARE(window.pageCount(), 1);
        QCOMPARE(window.pageTotal()->text(), QStringLiteral(" / 1"));
        QVERIFY(window.askRange() == (std::optional<std::pair<int, int>>{{1, 1}})); // no range asked for one page

        QTemporaryDir folder;
        QVERIFY(window.printPdf(folder.filePath(QStringLiteral("planning.pdf")), 1, 1));
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("planning.pdf"))).size() > 1000);
        QVERIFY(window.exportJpeg(folder.filePath(QStringLiteral("Ma semaine"))));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Ma semaine_001.jpg"))));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Export terminé"));
        QVERIFY(!window.exportJpeg(folder.filePath(QStringLiteral("absent/x"))));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Fichier ou répertoire incorrect"));

        window.zoomList()->setCurrentIndex(window.zoomList()->findData(70));
        saveScreenshot(window, QStringLiteral("dessineimgpicture"));
    }

    // The planning window's commands: what it hands over, and the HTML
    // export of its settings with the messages that end it.
    void planningWindow()
    {
        planning(3);
        Settings &s = session().settings();
        s.write(QStringLiteral("Planning"), QStringLiteral("Periode"), QStringLiteral("Hebdomadaire"));
        s.write(QStringLiteral("Planning"), QStringLiteral("CoulAffTache"), QStringLiteral("2"));
        FrmPlanning window(session(), m_prompter);
        window.setStartDate(Monday);
        for (const char *name : {"Apercu", "Imprimer", "ExportJpeg", "ExportHtml"})
            QVERIFY2(window.findChild<QAction *>(QLatin1String(name)), name);
        QCOMPARE(window.findChild<QAction *>(QStringLiteral("Imprimer"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
        if (!qEnvironmentVariableIsEmpty("QUENZO_SCREENSHOT_DIR")) {
            auto *menu = window.findChild<QMenu *>(QStringLiteral("MenuFichier"));
            menu->popup(QPoint(0, 0));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            menu->grab().save(qEnvironmentVariable("QUENZO_SCREENSHOT_DIR") + QStringLiteral("/frmplanning-fichier.png"));
            menu->hide();
        }

        const PlanningPrint handed = window.printInput();
        QCOMPARE(handed.title, QStringLiteral("Planning Hebdomadaire par Ressource"));
        QCOMPARE(handed.start, Monday);
        QCOMPARE(handed.days(), 7);
        QVERIFY(handed.colours == ColourSource::Urgency);
        PlanningPages pages;
        QVERIFY(pages.load(session(), handed));
        QCOMPARE(pages.model().rows().size(), 3);
        QCOMPARE(pages.model().blocks().size(), 5);

        m_prompter.clear();
        window.exportHtml();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Vous n'avez paramétré aucun export !")});
        s.write(QStringLiteral("UTIL"), QStringLiteral("0HTMLPLAN"), QStringLiteral("1"));
        m_prompter.clear();
        window.exportHtml();
        QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Répertoire d'export HTML non défini"),
                                                  QStringLiteral("Export non réalisé\nRépertoire indéfini")}));
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Incomplet"));

        QTemporaryDir folder;
        s.write(QStringLiteral("UTIL"), QStringLiteral("RepHTML"), folder.path());
        s.write(QStringLiteral("UTIL"), QStringLiteral("2HTML"), QStringLiteral("1"));
        m_prompter.clear();
        window.exportHtml();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Export terminé")});
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Terminé"));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Planning_Hebdomadaire_par_Ressource_R.htm"))));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("R2_00005.htm"))));
    }

    // quenzo-cli export-html, export-jpeg and export-pdf, as a scheduled job runs them.
    void commandLine()
    {
        planning(3);
        QStringList base;
        if (m_db->isServer())
            base << QStringLiteral("--dsn") << qEnvironmentVariable("QUENZO_TEST_DSN") << QStringLiteral("--database")
                 << m_db->serverDatabase() << QStringLiteral("--user") << qEnvironmentVariable("QUENZO_TEST_DB_USER")
                 << QStringLiteral("--password") << qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD");
        else
            base << m_db->filePath();
        m_ws.reset();
        QTemporaryDir home, folder;
        const auto run = [&](const QString &command, const QStringList &more) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            env.remove(QStringLiteral("DISPLAY"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(QUENZO_CLI), QStringList{command} + base + more);
            p.waitForFinished(120000);
            return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
        };
        const QStringList week = {QStringLiteral("--start"), QStringLiteral("01/03/2027"), QStringLiteral("--days"), QStringLiteral("7")};

        auto [status, err] = run(QStringLiteral("export-html"), week + QStringList{QStringLiteral("--presentation"), QStringLiteral("resource"),
                                                                                    QStringLiteral("--presentation"), QStringLiteral("type"),
                                                                                    QStringLiteral("--out"), folder.path()});
        QVERIFY2(status == 0, qPrintable(err));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Planning_7J_par_Ressource_R.htm"))));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Planning_7J_par_Tache_T.htm"))));
        QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("T1_*.htm")}).size(), 4);

        std::tie(status, err) = run(QStringLiteral("export-jpeg"), week + QStringList{QStringLiteral("--task-type"), QStringLiteral("1"),
                                                                                       QStringLiteral("--title"), QStringLiteral("Poses"),
                                                                                       QStringLiteral("--out"), folder.path()});
        QVERIFY2(status == 0, qPrintable(err));
        QVERIFY(!QImage(folder.filePath(QStringLiteral("Poses_001.jpg"))).isNull());

        const QString pdf = folder.filePath(QStringLiteral("semaine.pdf"));
        std::tie(status, err) = run(QStringLiteral("export-pdf"), week + QStringList{QStringLiteral("--format"), QStringLiteral("8"),
                                                                                      QStringLiteral("--out"), pdf});
        QVERIFY2(status == 0, qPrintable(err));
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");

        std::tie(status, err) = run(QStringLiteral("export-jpeg"), week + QStringList{QStringLiteral("--out"), folder.filePath(QStringLiteral("absent"))});
        QCOMPARE(status, 2);
        QVERIFY2(err.contains(QStringLiteral("Fichier ou répertoire incorrect")), qPrintable(err));
        std::tie(status, err) = run(QStringLiteral("export-pdf"), week + QStringList{QStringLiteral("--presentation"), QStringLiteral("salle"),
                                                                                      QStringLiteral("--out"), pdf});
        QCOMPARE(status, 2);
        QCOMPARE(err.trimmed(), QStringLiteral("Valeur incorrecte pour --presentation : salle"));
        std::tie(status, err) = run(QStringLiteral("export-html"), QStringList{QStringLiteral("--period"), QStringLiteral("fortnight"),
                                                                                QStringLiteral("--out"), folder.path()});
        QCOMPARE(status, 2);
        QCOMPARE(err.trimmed(), QStringLiteral("Période inconnue : fortnight"));
    }
};

QTEST_MAIN(TestPlanningOutput)
#include "tst_planningoutput.moc"
