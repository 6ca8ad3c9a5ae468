#include "planning/PlanningPainter.h"

#include "core/widgets/ColourValue.h"
#include "planning/PlanningLayout.h"
#include "planning/PlanningModel.h"
#include "resources/TimeOff.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor GridLine(0, 0, 0, 40);
const QColor DayLine(90, 90, 90);
const QColor RowLine(150, 150, 150);

QFont planningFont(const QString &family, const QFont &fallback, qreal size)
{
    QFont f = fallback;
    if (!family.isEmpty())
        f.setFamily(family);
    f.setPointSizeF(size);
    return f;
}

void drawCentred(QPainter &p, const QRectF &r, const QString &text, const QColor &colour)
{
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, PlanningPainter::cut(QFontMetricsF(p.font()), text, r.width() - 2));
}

// The first label of `choices` that fits in `width`, else the last one.
QString fitting(const QFontMetricsF &m, const QStringList &choices, qreal width)
{
    for (const QString &c : choices)
        if (m.horizontalAdvance(c) + 4 <= width)
            return c;
    return choices.last();
}

QColor darker(int value)
{
    return colourFromValue(value).darker(160);
}

// The small marks painted in a block's corner, drawn so that they read at any size.
enum class Mark { Periodic, Detached, Alert, Lock, AdminLock };

void paintMark(QPainter &p, Mark mark, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1, r.width() / 10)));
    p.drawRoundedRect(r, r.width() / 5, r.width() / 5);
    const QRectF in = r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2);
    switch (mark) {
    case Mark::Periodic:
    case Mark::Detached: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 90, 200), qMax<qreal>(1, r.width() / 8)));
        p.drawArc(in, 30 * 16, 300 * 16);
        if (mark == Mark::Detached) {
            p.setPen(QPen(QColor(200, 40, 40), qMax<qreal>(1, r.width() / 8)));
            p.drawLine(in.topRight(), in.bottomLeft());
        }
        break;
    }
    case Mark::Alert: {
        QPainterPath triangle;
        triangle.moveTo(in.center().x(), in.top());
        triangle.lineTo(in.right(), in.bottom());
        triangle.lineTo(in.left(), in.bottom());
        triangle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 150, 0));
        p.drawPath(triangle);
        break;
    }
    case Mark::Lock:
    case Mark::AdminLock: {
        const QColor body = mark == Mark::Lock ? QColor(60, 60, 60) : QColor(200, 30, 30);
        p.setPen(QPen(body, qMax<qreal>(1, r.width() / 9)));
        p.setBrush(Qt::NoBrush);
        const QRectF shackle(in.left() + in.width() * 0.2, in.top(), in.width() * 0.6, in.height() * 0.7);
        p.drawArc(shackle, 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawRect(QRectF(in.left(), in.top() + in.height() * 0.4, in.width(), in.height() * 0.6));
        break;
    }
    }
    p.restore();
}

} // namespace

QFont PlanningPainter::rowFont(const PlanningSettings &s, const QFont &fallback)
{
    return planningFont(s.rowFont, fallback, 10);
}

QFont PlanningPainter::blockFont(const PlanningSettings &s, const QFont &fallback)
{
    return planningFont(s.blockFont, fallback, 8);
}

QFont PlanningPainter::headerFont(const PlanningSettings &s, const QFont &fallback)
{
    return planningFont(s.headerFont, fallback, 9);
}

QString PlanningPainter::cut(const QFontMetricsF &m, const QString &text, qreal width)
{
    if (m.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    if (m.horizontalAdvance(dots) > width)
        return {};
    // The longest start of the text that fits with the dots.
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (m.horizontalAdvance(QStringView(text).left(mid).toString() + dots) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return QStringView(text).left(low).trimmed().toString() + dots;
}

void PlanningPainter::paintPageHeader(QPainter &p, const PlanningLayout &layout, const Style &style)
{
    const QRectF band = layout.pageHeaderRect();
    if (band.isEmpty())
        return;
    const Style::PageTexts &t = style.page;
    p.save();
    p.setClipRect(band);
    p.setPen(Qt::black);
    const QFontMetricsF small(style.rowFont);
    const QFontMetricsF large(style.titleFont);
    // Page number and date on the right, title and filters on the left in what remains.
    const qreal right = qMax(small.horizontalAdvance(t.page), small.horizontalAdvance(t.date)) + 8;
    const qreal width = qMax<qreal>(0, band.width() - right - 8);
    const QRectF first(band.left(), band.top(), band.width(), large.height());
    const QRectF second(band.left(), first.bottom(), band.width(), small.height());
    p.setFont(style.titleFont);
    p.drawText(QRectF(first.left(), first.top(), width, first.height()), Qt::AlignLeft | Qt::AlignVCenter,
               cut(large, t.title, width));
    p.setFont(style.rowFont);
    p.drawText(first, Qt::AlignRight | Qt::AlignVCenter, t.page);
    if (!t.filters.isEmpty())
        p.drawText(QRectF(second.left(), second.top(), width, second.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   cut(small, t.filters, width));
    p.drawText(second, Qt::AlignRight | Qt::AlignVCenter, t.date);
    p.restore();
}

void PlanningPainter::paint(QPainter &painter, const PlanningLayout &layout, const Style &style, const QRectF &exposed)
{
    const QRectF all = exposed.isEmpty() ? layout.frame().area : exposed;
    if (all.intersects(layout.pageHeaderRect()))
        paintPageHeader(painter, layout, style);
    if (all.intersects(layout.headerRect().united(layout.cornerRect())))
        paintHeader(painter, layout, style);
    if (all.intersects(layout.labelRect()))
        paintLabels(painter, layout, style);
    if (all.intersects(layout.gridRect())) {
        paintGrid(painter, layout, style);
        paintBlocks(painter, layout, style, all);
    }
}

void PlanningPainter::paintHeader(QPainter &p, const PlanningLayout &layout, const Style &style)
{
    const PlanningSettings &s = style.settings;
    const PlanningLayout::Frame &frame = layout.frame();
    const QRectF header = layout.headerRect();
    const QList<qreal> &bands = layout.bandHeights();
    const QLocale french(QLocale::French, QLocale::France);
    p.save();
    p.setClipRect(header.united(layout.cornerRect()));
    p.fillRect(layout.cornerRect(), QColor(240, 240, 240));
    p.setFont(style.rowFont);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(layout.cornerRect().adjusted(0, 0, -1, -1));
    drawCentred(p, layout.cornerRect(), style.cornerText, QColor(40, 40, 40));

    p.setFont(layout.headerFont());
    const QFontMetricsF m(layout.headerFont());
    const qreal dayWidth = layout.dayWidth();
    const auto dayLeft = [&](int day) { return header.left() + day * dayWidth; };
    qreal top = header.top();

    // Months, then weeks: runs of days that share a month or a week.
    const auto paintRuns = [&](qreal height, auto keyOf, auto paintRun) {
        int first = 0;
        for (int day = 1; day <= frame.days; ++day)
            if (day == frame.days || keyOf(frame.start.addDays(day)) != keyOf(frame.start.addDays(first))) {
                paintRun(QRectF(dayLeft(first), top, dayLeft(day) - dayLeft(first), height), frame.start.addDays(first));
                first = day;
            }
        top += height;
    };
    paintRuns(bands.at(0), [](const QDate &d) { return d.year() * 12 + d.month(); },
              [&](const QRectF &r, const QDate &d) {
                  const bool even = d.month() % 2 == 0;
                  p.fillRect(r, colourFromValue(even ? s.evenMonth : s.oddMonth));
                  p.setPen(DayLine);
                  p.drawRect(r);
                  drawCentred(p, r, french.toString(d, QStringLiteral("MMMM yyyy")).toUpper(),
                              colourFromValue(even ? s.evenMonthText : s.oddMonthText));
              });
    paintRuns(bands.at(1), [](const QDate &d) { int y = 0; const int w = d.weekNumber(&y); return y * 100 + w; },
              [&](const QRectF &r, const QDate &d) {
                  const int week = d.weekNumber();
                  const bool even = week % 2 == 0;
                  p.fillRect(r, colourFromValue(even ? s.evenWeek : s.oddWeek));
                  p.setPen(DayLine);
                  p.drawRect(r);
                  const QString label = m.horizontalAdvance(QStringLiteral("Semaine 53")) + 4 <= r.width()
                                            ? QStringLiteral("Semaine ") + QString::number(week)
                                            : QStringLiteral("s") + QString::number(week);
                  drawCentred(p, r, label, colourFromValue(even ? s.evenWeekText : s.oddWeekText));
              });
    // Days: name and number when they fit, else the number alone.
    for (int day = 0; day < frame.days; ++day) {
        const QDate d = frame.start.addDays(day);
        const QRectF r(dayLeft(day), top, dayWidth, bands.at(2));
        p.fillRect(r, colourFromValue(s.dayBand));
        p.setPen(DayLine);
        p.drawRect(r);
        const QString number = d.toString(QStringLiteral("dd"));
        const QString label = fitting(m, {french.dayName(d.dayOfWeek()).toUpper() + QLatin1Char(' ') + number,
                                          french.dayName(d.dayOfWeek(), QLocale::ShortFormat).toUpper().remove(QLatin1Char('.'))
                                              + QLatin1Char(' ') + number,
                                          number},
                                      r.width());
        if (m.horizontalAdvance(label) <= r.width() + 2)
            drawCentred(p, r, label, colourFromValue(s.dayText));
    }
    top += bands.at(2);
    // Hours of the working day.
    if (bands.at(3) > 0) {
        const int from = layout.dayStartMinutes();
        const int to = from + layout.spanMinutes();
        const qreal hourWidth = dayWidth * 60.0 / layout.spanMinutes();
        const qreal labelWidth = m.horizontalAdvance(QStringLiteral("00h")) + 4;
        const int every = qMax(1, int(std::ceil(labelWidth / hourWidth)));
        const QRectF band(header.left(), top, header.width(), bands.at(3));
        p.fillRect(band, QColor(250, 250, 250));
        for (int day = 0; day < frame.days; ++day)
            for (int h = (from + 59) / 60; h * 60 < to; h += every) {
                const qreal x = layout.xOf(day, h * 60);
                p.setPen(GridLine);
                p.drawLine(QPointF(x, top), QPointF(x, top + bands.at(3)));
                // A label that would run into the next day is left out.
                const QString label = QString::number(h) + QLatin1Char('h');
                if (x + m.horizontalAdvance(label) + 2 > header.left() + (day + 1) * dayWidth)
                    continue;
                p.setPen(QColor(40, 40, 40));
                p.drawText(QRectF(x + 1, top, hourWidth * every - 1, bands.at(3)), Qt::AlignLeft | Qt::AlignVCenter, label);
            }
        p.setPen(DayLine);
        p.drawLine(band.bottomLeft(), band.bottomRight());
    }
    p.restore();
}

void PlanningPainter::paintLabels(QPainter &p, const PlanningLayout &layout, const Style &style)
{
    const PlanningModel *model = layout.model();
    const QRectF area = layout.labelRect();
    p.save();
    p.setClipRect(area);
    p.fillRect(area, QColor(245, 245, 245));
    p.setFont(style.rowFont);
    const QFontMetricsF m(style.rowFont);
    const qreal h = layout.rowHeight();
    for (int i = 0; i < layout.visibleRows(); ++i) {
        const int row = layout.firstRow() + i;
        const PlanningRow &r = model->rows().at(row);
        const QRectF cell(area.left(), layout.rowTop(row), area.width(), h);
        p.fillRect(cell, colourFromValue(r.background));
        qreal left = cell.left() + 4;
        if (r.icon >= 0 && r.icon < model->icons().size()) {
            const qreal side = qMin<qreal>(h - 4, 24);
            if (side >= 8) {
                const QRectF target(left, cell.center().y() - side / 2, side, side);
                p.drawImage(target, model->icons().at(r.icon));
                left += side + 4;
            }
        }
        p.setPen(colourFromValue(r.text));
        const QRectF text(left, cell.top(), cell.right() - left - 4, h);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, cut(m, r.label, text.width()));
    }
    // The lines once every row is filled: a row starting within a pixel
    // (on paper) would paint over the line above it.
    p.setPen(RowLine);
    for (int i = 1; i <= layout.visibleRows(); ++i) {
        const qreal y = layout.rowTop(layout.firstRow() + i);
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    p.setPen(DayLine);
    p.drawLine(area.topRight() - QPointF(1, 0), area.bottomRight() - QPointF(1, 0));
    p.restore();
}

void PlanningPainter::paintGrid(QPainter &p, const PlanningLayout &layout, const Style &style)
{
    const PlanningSettings &s = style.settings;
    const PlanningModel *model = layout.model();
    const PlanningLayout::Frame &frame = layout.frame();
    const QRectF grid = layout.gridRect();
    const qreal rowsBottom = qMin(grid.bottom(), layout.rowTop(layout.firstRow() + layout.visibleRows()));
    p.save();
    p.setClipRect(grid);
    p.fillRect(grid, QColor(255, 255, 255));
    const qreal dayWidth = layout.dayWidth();
    const QList<Holiday> &holidays = model->holidays();
    const QString &workingDays = model->hours().jourstrav;
    for (int day = 0; day < frame.days; ++day) {
        const QDate d = frame.start.addDays(day);
        int fill = d.toJulianDay() % 2 == 0 ? s.evenDay : s.oddDay;
        if (workingDays.mid(d.dayOfWeek() - 1, 1) == QLatin1String("0"))
            fill = s.dayOff;
        if (TimeOff::isHoliday(holidays, d))
            fill = s.holiday;
        p.fillRect(QRectF(grid.left() + day * dayWidth, grid.top(), dayWidth, rowsBottom - grid.top()), colourFromValue(fill));
    }
    // Cell lines inside the days, when they stay apart enough to read.
    const int cells = layout.cellsPerDay();
    const qreal cellWidth = dayWidth / cells;
    if (cells > 1 && cellWidth >= 4) {
        p.setPen(GridLine);
        for (int day = 0; day < frame.days; ++day)
            for (int c = 1; c < cells; ++c) {
                const qreal x = grid.left() + day * dayWidth + c * cellWidth;
                p.drawLine(QPointF(x, grid.top()), QPointF(x, rowsBottom));
            }
    }
    p.setPen(DayLine);
    for (int day = 1; day < frame.days; ++day) {
        const qreal x = grid.left() + day * dayWidth;
        p.drawLine(QPointF(x, grid.top()), QPointF(x, rowsBottom));
    }
    p.setPen(RowLine);
    for (int i = 1; i <= layout.visibleRows(); ++i) {
        const qreal y = layout.rowTop(layout.firstRow() + i);
        p.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
    }
    if (layout.rowCount() == 0 && !style.emptyText.isEmpty()) {
        p.setFont(style.rowFont);
        drawCentred(p, grid, style.emptyText, QColor(90, 90, 90));
    }
    p.restore();
}

void PlanningPainter::paintBlocks(QPainter &p, const PlanningLayout &layout, const Style &style, const QRectF &exposed)
{
    const QList<PlanningBlock> &blocks = layout.model()->blocks();
    const QList<BlockPlace> &places = layout.places();
    p.save();
    p.setClipRect(layout.gridRect().intersected(exposed));
    p.setFont(style.blockFont);
    for (int i = 0; i < places.size(); ++i) {
        const QRectF &r = places.at(i).rect;
        if (r.isEmpty() || !r.intersects(exposed))
            continue;
        paintBlock(p, blocks.at(i), r, style, style.selected.contains(i));
    }
    p.restore();
}

void PlanningPainter::paintPreview(QPainter &p, const PlanningLayout &layout, const Style &style, int block, const QRectF &rect)
{
    if (block < 0 || block >= layout.model()->blocks().size() || rect.isEmpty())
        return;
    p.save();
    p.setClipRect(layout.gridRect());
    p.setFont(style.blockFont);
    p.setOpacity(0.75);
    paintBlock(p, layout.model()->blocks().at(block), rect, style, true);
    p.setOpacity(1);
    p.setPen(QPen(QColor(0, 90, 220), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(-2, -2, 1, 1));
    p.restore();
}

void PlanningPainter::paintBlock(QPainter &p, const PlanningBlock &b, const QRectF &r, const Style &style, bool selected)
{
    const QFontMetricsF m(style.blockFont);
    const qreal lineHeight = m.height();
    p.fillRect(r, colourFromValue(b.background));
    p.setPen(selected ? QPen(QColor(0, 90, 220), 2) : QPen(darker(b.background)));
    p.drawRect(r.adjusted(0, 0, -1, -1));

    // Marks in the top-right corner, as many as fit.
    const qreal side = qMin<qreal>(12, qMin(r.height() - 2, r.width() / 3));
    qreal right = r.right() - 2;
    if (side >= 6) {
        const auto mark = [&](Mark kind) {
            if (right - side < r.left() + 2)
                return;
            paintMark(p, kind, QRectF(right - side, r.top() + 1, side, side));
            right -= side + 1;
        };
        if (b.adminLocked)
            mark(Mark::AdminLock);
        else if (b.blocage == 1)
            mark(Mark::Lock);
        if (b.alert != 0)
            mark(Mark::Alert);
        if (b.isOccurrence())
            mark(Mark::Periodic);
        else if (b.isDetached())
            mark(Mark::Detached);
    }

    if (b.text.isEmpty() || r.width() < 8 || r.height() < lineHeight * 0.7)
        return;
    p.setPen(colourFromValue(b.textColour));
    const qreal width = r.width() - 4;
    const QStringList lines = b.text.split(QLatin1Char('\n'));
    const int fit = qMax(1, qMin(int(lines.size()), int((r.height() - 2) / lineHeight)));
    qreal y = r.top() + qMax<qreal>(1, (r.height() - fit * lineHeight) / 2);
    for (int l = 0; l < fit; ++l) {
        // The first line leaves room for the marks.
        const qreal w = l == 0 ? qMin(width, right - r.left() - 3) : width;
        if (w > 4)
            p.drawText(QRectF(r.left() + 2, y, w, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       cut(m, lines.at(l), w));
        y += lineHeight;
    }
}
