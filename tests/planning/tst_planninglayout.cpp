#include "core/widgets/ColourValue.h"
#include "planning/PlanningLayout.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningPainter.h"
#include "planning/PlanningPeriod.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QDate Monday(2027, 3, 1);

PlanningRow row(qint64 key, const QString &label)
{
    PlanningRow r;
    r.key = key;
    r.label = label;
    return r;
}

// A block on row `key` from day d1 at h1 to day d2 at h2 (days from Monday).
PlanningBlock block(qint64 key, qint64 noid, int d1, double h1, int d2, double h2, int background = 0x00FF00)
{
    PlanningBlock b;
    b.noid = noid;
    b.rowKey = key;
    b.startDate = Monday.addDays(d1);
    b.startMinutes = int(h1 * 60);
    b.endDate = Monday.addDays(d2);
    b.endMinutes = int(h2 * 60);
    b.background = background;
    b.text = QStringLiteral("Bloc %1").arg(noid);
    return b;
}

struct Picture
{
    PlanningModel model;
    PlanningLayout layout;
    PlanningSettings settings;
    PlanningLayout::Frame frame;

    Picture(const QList<PlanningRow> &rows, const QList<PlanningBlock> &blocks, const CompanyHours &hours = {},
            const QList<Holiday> &holidays = {})
    {
        model.setContent(rows, blocks, hours, holidays);
        layout.setModel(&model);
        frame.period = Period::NbDays;
        frame.start = Monday;
        frame.days = 7;
        frame.area = QRectF(0, 0, 1000, 600);
        frame.headerFont = QFont(QStringLiteral("DejaVu Sans"), 9);
        settings.labelWidthPercent[0] = 20;
    }
    void compute() { layout.compute(settings, Presentation::ByResource, frame); }
    // "level/bands" of each block.
    QStringList bands() const
    {
        QStringList b;
        for (const BlockPlace &p : layout.places())
            b.append(QStringLiteral("%1/%2").arg(p.level).arg(p.bands()));
        return b;
    }
};

} // namespace

// The geometry of the planning picture and the picture itself.
class TestPlanningLayout : public QObject
{
    Q_OBJECT
private slots:
    void periods_data()
    {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("nbJours");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("cells");
        QTest::addColumn<int>("step");
        // A working day of 9 hours, from 01/03/2027.
        QTest::newRow("day") << int(Period::Day) << 30 << 1 << 108 << 5;
        QTest::newRow("2 days") << int(Period::NbDays) << 2 << 2 << 108 << 5;
        QTest::newRow("4 days") << int(Period::NbDays) << 4 << 4 << 54 << 10;
        QTest::newRow("6 days") << int(Period::NbDays) << 6 << 6 << 18 << 30;
        QTest::newRow("20 days") << int(Period::NbDays) << 20 << 20 << 9 << 30;
        QTest::newRow("61 days") << int(Period::NbDays) << 61 << 61 << 2 << 30;
        QTest::newRow("62 days") << int(Period::NbDays) << 62 << 62 << 1 << 30;
        QTest::newRow("week") << int(Period::Week) << 30 << 7 << 18 << 30;
        QTest::newRow("two weeks") << int(Period::TwoWeeks) << 30 << 14 << 9 << 30;
        QTest::newRow("month") << int(Period::Month) << 30 << 31 << 2 << 30;
        QTest::newRow("two months") << int(Period::TwoMonths) << 30 << 61 << 2 << 30;
        QTest::newRow("quarter") << int(Period::Quarter) << 30 << 92 << 1 << 30;
        QTest::newRow("half year") << int(Period::HalfYear) << 30 << 184 << 1 << 30;
        QTest::newRow("year, over a 29 February") << int(Period::Year) << 30 << 366 << 1 << 30;
    }
    void periods()
    {
        QFETCH(int, period);
        QFETCH(int, nbJours);
        QFETCH(int, days);
        QFETCH(int, cells);
        QFETCH(int, step);
        const Period p = Period(period);
        QCOMPARE(PlanningPeriod::dayCount(p, Monday, nbJours), days);
        QCOMPARE(PlanningPeriod::cellsPerDay(p, days, 9.0), cells);
        QCOMPARE(PlanningPeriod::stepMinutes(p, days), step);
        QCOMPARE(PlanningPeriod::fromCaption(PlanningPeriod::caption(p)), p);

        // Every step boundary of the working day maps to its point and back.
        CompanyHours hours;
        Picture picture({row(1, QStringLiteral("A")), row(2, QStringLiteral("B"))}, {}, hours);
        picture.frame.period = p;
        picture.frame.days = days;
        picture.frame.area = QRectF(0, 0, 1200 + days * 20, 600);
        picture.compute();
        const PlanningLayout &layout = picture.layout;
        QCOMPARE(layout.cellsPerDay(), cells);
        for (int day : {0, days / 2, days - 1})
            for (int minutes = 9 * 60; minutes < 18 * 60; minutes += step) {
                const GridPoint where{1, Monday.addDays(day), minutes};
                GridPoint back;
                QVERIFY(layout.pointAt(layout.pointOf(where) + QPointF(0.01, 1), &back));
                QCOMPARE(back.date, where.date);
                QCOMPARE(back.time(), where.time());
                QCOMPARE(back.row, 1);
            }
    }

    // A working day of no hours is the whole day, in 24 cells.
    void zeroHourDay()
    {
        CompanyHours hours;
        hours.hordeb = hours.horfin = QStringLiteral("08:00");
        QCOMPARE(PlanningPeriod::cellsPerDay(Period::Day, 1, 0), 24);
        Picture picture({row(1, QStringLiteral("A"))}, {block(1, 1, 0, 6, 0, 18)}, hours);
        picture.frame.period = Period::Day;
        picture.frame.days = 1;
        picture.compute();
        QCOMPARE(picture.layout.cellsPerDay(), 24);
        const QRectF grid = picture.layout.gridRect();
        QCOMPARE(picture.layout.places().at(0).rect.left(), grid.left() + grid.width() / 4);
    }

    void overlapBands_data()
    {
        QTest::addColumn<QList<PlanningBlock>>("blocks");
        QTest::addColumn<QStringList>("expected");
        // A overlaps B and C, B and C do not overlap.
        QTest::newRow("one long, two short") << QList<PlanningBlock>{block(1, 1, 0, 9, 2, 18), block(1, 2, 0, 10, 0, 12), block(1, 3, 1, 10, 1, 12)}
                                             << QStringList{"0/2", "1/2", "1/2"};
        QTest::newRow("touching blocks share band 0") << QList<PlanningBlock>{block(1, 1, 0, 9, 0, 12), block(1, 2, 0, 12, 0, 15)}
                                                      << QStringList{"0/1", "0/1"};
        QTest::newRow("three at once") << QList<PlanningBlock>{block(1, 1, 0, 9, 0, 17), block(1, 2, 0, 10, 0, 16), block(1, 3, 0, 11, 0, 15)}
                                       << QStringList{"0/3", "1/3", "2/3"};
        // D overlaps only C, which sits in band 1: D shares the row in halves.
        QTest::newRow("a neighbour's band counts") << QList<PlanningBlock>{block(1, 1, 0, 9, 0, 13), block(1, 2, 0, 12, 0, 15), block(1, 3, 0, 14, 0, 17)}
                                                   << QStringList{"0/2", "1/2", "0/2"};
        QTest::newRow("other rows apart") << QList<PlanningBlock>{block(1, 1, 0, 9, 0, 17), block(2, 2, 0, 9, 0, 17)}
                                          << QStringList{"0/1", "0/1"};
        QTest::newRow("outside the days shown") << QList<PlanningBlock>{block(1, 1, 0, 9, 0, 17), block(1, 2, -3, 9, -1, 17), block(1, 3, 0, 10, 0, 11)}
                                                << QStringList{"0/2", "0/1", "1/2"};
    }
    void overlapBands()
    {
        QFETCH(QList<PlanningBlock>, blocks);
        QFETCH(QStringList, expected);
        Picture picture({row(1, QStringLiteral("A")), row(2, QStringLiteral("B"))}, blocks);
        picture.compute();
        QCOMPARE(picture.bands(), expected);
    }

    // Block rectangles of a small planning: rows, bands and times to pixels.
    void blockRectangles()
    {
        // Grid 800 px wide from x = 200, 7 days of 9 hours; rows of 600 - header over NbRessMax... 2 rows fill the height.
        Picture picture({row(1, QStringLiteral("A")), row(2, QStringLiteral("B"))},
                        {block(1, 1, 0, 9, 0, 18), block(1, 2, 0, 13.5, 1, 13.5), block(2, 3, 6, 12, 6, 24)});
        picture.settings.maxRowHeightTwips = 5000;
        picture.compute();
        const PlanningLayout &l = picture.layout;
        const QRectF grid = l.gridRect();
        QCOMPARE(grid.left(), 200.0);
        QCOMPARE(l.rowHeight(), grid.height() / 2);
        const qreal day = 800.0 / 7;
        const auto rect = [&](int i) { return l.places().at(i).rect; };
        QCOMPARE(rect(0), QRectF(200, grid.top(), day, l.rowHeight() / 2));
        QCOMPARE(rect(1), QRectF(200 + day / 2, grid.top() + l.rowHeight() / 2, day, l.rowHeight() / 2));
        // An end after the working day falls on the day's right edge.
        QCOMPARE(rect(2), QRectF(200 + 6 * day + day / 3, grid.top() + l.rowHeight(), day * 2 / 3, l.rowHeight()));
        QCOMPARE(l.blockAt(rect(1).center()), 1);
        QCOMPARE(l.blockAt(QPointF(rect(2).left() - 2, rect(2).center().y())), -1);
    }

    // Few rows stretch to fill the surface, up to the row height limit.
    void rowHeights()
    {
        QList<PlanningRow> rows;
        for (int i = 1; i <= 30; ++i)
            rows.append(row(i, QString::number(i)));
        Picture three(rows.mid(0, 3), {});
        three.settings.maxRowHeightTwips = 5000;
        three.compute();
        QCOMPARE(three.layout.rowHeight(), three.layout.gridRect().height() / 3);
        three.settings.maxRowHeightTwips = 900; // 60 px at 96 dpi
        three.compute();
        QCOMPARE(three.layout.rowHeight(), 60.0);
        Picture many(rows, {});
        many.compute();
        QCOMPARE(many.layout.rowHeight(), many.layout.gridRect().height() / 20);
        QCOMPARE(many.layout.rowsPerScreen(), 20);
        many.frame.firstRow = 25;
        many.compute();
        QCOMPARE(many.layout.visibleRows(), 5);
        QCOMPARE(many.layout.rowTop(25), many.layout.gridRect().top());
    }

    // The picture: a holiday column, a non-working day and a block in their colours.
    void picture()
    {
        Holiday holiday;
        holiday.date = Monday.addDays(2);
        holiday.label = QStringLiteral("Fête");
        Picture picture({row(1, QStringLiteral("Alain Martin")), row(2, QStringLiteral("Zoé"))},
                        {block(1, 1, 0, 10, 0, 16, 0xFF0000)}, CompanyHours(), {holiday});
        picture.settings.holiday = 0x00FFFF;   // yellow
        picture.settings.dayOff = 0x808080;
        picture.settings.evenDay = picture.settings.oddDay = 0xFFFFFF;
        picture.compute();
        QImage image(1000, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        PlanningPainter::Style style;
        style.settings = picture.settings;
        style.rowFont = PlanningPainter::rowFont(picture.settings, QFont(QStringLiteral("DejaVu Sans")));
        style.blockFont = PlanningPainter::blockFont(picture.settings, QFont(QStringLiteral("DejaVu Sans")));
        {
            QPainter painter(&image);
            PlanningPainter::paint(painter, picture.layout, style);
        }
        const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            image.save(folder + QStringLiteral("/planning_layout.png"));
        const PlanningLayout &l = picture.layout;
        const qreal y = l.rowTop(1) + l.rowHeight() / 2;
        const auto at = [&](int day, double hour) { return image.pixelColor(QPointF(l.xOf(day, int(hour * 60)), y).toPoint()); };
        QCOMPARE(at(2, 13.25), colourFromValue(0x00FFFF));
        QCOMPARE(at(5, 13.25), colourFromValue(0x808080)); // Saturday
        QCOMPARE(at(1, 13.25), QColor(Qt::white));
        const QRectF b = l.places().at(0).rect;
        QCOMPARE(image.pixelColor(QPointF(b.right() - 20, b.bottom() - 3).toPoint()), colourFromValue(0xFF0000));
        // The date header carries the month and the day bands.
        QCOMPARE(image.pixelColor(QPoint(int(l.headerRect().left() + 3), int(l.headerRect().top() + 3))),
                 colourFromValue(picture.settings.oddMonth));
    }
};

QTEST_MAIN(TestPlanningLayout)
#include "tst_planninglayout.moc"
