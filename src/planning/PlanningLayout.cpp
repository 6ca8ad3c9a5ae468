#include "planning/PlanningLayout.h"

#include "planning/PlanningModel.h"

#include <QFontMetricsF>
#include <cmath>

using WorkingTime::minutesOfDay;

QString GridPoint::time() const
{
    return WorkingTime::timeOfDay(minutes);
}

void PlanningLayout::compute(const PlanningSettings &settings, Presentation presentation, const Frame &frame)
{
    m_frame = frame;
    m_frame.days = qMax(1, frame.days);
    const CompanyHours hours = m_model ? m_model->hours() : CompanyHours();
    m_hordeb = minutesOfDay(hours.hordeb);
    m_span = minutesOfDay(hours.horfin) - m_hordeb;
    // A working day of no hours is drawn as the whole day.
    if (m_span <= 0) {
        m_hordeb = 0;
        m_span = 1440;
    }
    const double spanHours = double(minutesOfDay(hours.horfin) - minutesOfDay(hours.hordeb)) / 60.0;
    const int periodDays = frame.periodDays > 0 ? frame.periodDays : m_frame.days;
    m_cells = PlanningPeriod::cellsPerDay(frame.period, periodDays, spanHours);
    m_step = PlanningPeriod::stepMinutes(frame.period, periodDays);

    const qreal pageHeader = qBound<qreal>(0, frame.pageHeader, frame.area.height());
    m_pageHeader = pageHeader > 0 ? QRectF(frame.area.left(), frame.area.top(), frame.area.width(), pageHeader) : QRectF();
    const QRectF area = frame.area.adjusted(0, pageHeader, 0, 0);

    // Header bands: months, weeks, days, and hours when a day holds more than two cells.
    const qreal labelWidth = std::floor(area.width() * settings.labelWidth(presentation) / 100.0);
    m_headerFont = frame.headerFont;
    if (m_cells > 2) {
        const qreal hourWidth = (area.width() - labelWidth) / m_frame.days * 60.0 / m_span;
        // Paper fonts are sized in pixels, screen fonts in points.
        const bool pixels = m_headerFont.pixelSize() > 0;
        const auto size = [&] { return pixels ? qreal(m_headerFont.pixelSize()) : m_headerFont.pointSizeF(); };
        while (size() > (pixels ? 8 : 6) && QFontMetricsF(m_headerFont).horizontalAdvance(QStringLiteral("00h")) > hourWidth) {
            if (pixels)
                m_headerFont.setPixelSize(m_headerFont.pixelSize() - 1);
            else
                m_headerFont.setPointSizeF(m_headerFont.pointSizeF() - 0.5);
        }
    }
    const QFontMetricsF metrics(m_headerFont);
    const qreal band = std::ceil(metrics.height() * 1.35);
    m_bandHeights = {band, band, std::ceil(band * 1.1), m_cells > 2 ? band : 0};
    qreal headerHeight = 0;
    for (qreal h : m_bandHeights)
        headerHeight += h;

    m_header = QRectF(area.left() + labelWidth, area.top(), area.width() - labelWidth, headerHeight);
    m_labels = QRectF(area.left(), area.top() + headerHeight, labelWidth, qMax<qreal>(0, area.height() - headerHeight));
    m_grid = QRectF(m_header.left(), m_labels.top(), m_header.width(), m_labels.height());
    m_dayWidth = m_grid.width() / m_frame.days;

    const int rows = rowCount();
    // On paper the rows of a page share its height; a page that holds a
    // given number of rows (rowsPerPage) keeps that height on its last page.
    const int shown = frame.allRows ? (frame.rowsPerPage > 0 ? frame.rowsPerPage : qMax(1, rows - frame.firstRow))
                      : frame.rowsPerPage > 0 ? frame.rowsPerPage
                                              : settings.rowsPerScreen;
    const qreal height = m_grid.height();
    if (frame.allRows) {
        m_rowHeight = height / shown;
    } else {
        m_rowHeight = rows >= shown || rows == 0 ? height / shown : height / rows;
        m_rowHeight = qMin<qreal>(m_rowHeight, settings.maxRowHeightTwips * frame.dpi / 1440.0);
    }
    m_rowHeight = qMax<qreal>(m_rowHeight, 1);
    m_frame.firstRow = qBound(0, frame.firstRow, qMax(0, rows - 1));
    m_visibleRows = qMin(rows - m_frame.firstRow, int(std::ceil(height / m_rowHeight - 1e-6)));
    m_visibleRows = qMax(0, m_visibleRows);

    if (!m_model) {
        m_places.clear();
        return;
    }
    computeBands();

    const int lastRow = m_frame.firstRow + m_visibleRows;
    const QList<PlanningBlock> &blocks = m_model->blocks();
    for (int i = 0; i < m_places.size(); ++i) {
        BlockPlace &p = m_places[i];
        p.rect = QRectF();
        if (!p.inDays || p.row < m_frame.firstRow || p.row >= lastRow)
            continue;
        const PlanningBlock &b = blocks.at(i);
        const qreal x1 = xOf(int(m_frame.start.daysTo(b.startDate)), b.startMinutes);
        const qreal x2 = xOf(int(m_frame.start.daysTo(b.endDate)), b.endMinutes);
        const qreal left = qMax(x1, m_grid.left());
        const qreal right = qMin(x2, m_grid.right());
        const qreal top = rowTop(p.row) + p.level * m_rowHeight / p.bands();
        p.rect = QRectF(left, top, qMax<qreal>(right - left, 1), m_rowHeight / p.bands());
    }
}

int PlanningLayout::rowCount() const
{
    return m_model ? int(m_model->rows().size()) : 0;
}

int PlanningLayout::rowsPerScreen() const
{
    return qMax(1, int(std::floor(m_grid.height() / m_rowHeight + 1e-6)));
}

qreal PlanningLayout::xOf(int day, int minutes) const
{
    const double f = qBound(0.0, double(minutes - m_hordeb) / m_span, 1.0);
    return m_grid.left() + day * m_dayWidth + f * m_dayWidth;
}

qreal PlanningLayout::rowTop(int row) const
{
    return m_grid.top() + (row - m_frame.firstRow) * m_rowHeight;
}

void PlanningLayout::computeBands()
{
    const BandKey key{m_model, m_model ? m_model->generation() : 0, m_frame.start, m_frame.days, m_hordeb, m_span};
    if (key == m_bandsFor)
        return;
    m_bandsFor = key;
    const QList<PlanningBlock> &blocks = m_model->blocks();
    m_places = QList<BlockPlace>(blocks.size());
    const QDate last = m_frame.start.addDays(m_frame.days - 1);

    // Positions in days from the first day shown: the same order as x.
    struct Span
    {
        double x1, x2;
        int index;
    };
    QHash<int, QList<Span>> byRow; // earlier blocks of each row
    QList<QList<int>> overlaps(blocks.size());
    const auto at = [this](const QDate &date, int minutes) {
        return double(m_frame.start.daysTo(date)) + qBound(0.0, double(minutes - m_hordeb) / m_span, 1.0);
    };
    for (int i = 0; i < blocks.size(); ++i) {
        const PlanningBlock &b = blocks.at(i);
        BlockPlace &p = m_places[i];
        p.row = m_model->rowOf(b.rowKey);
        p.inDays = p.row >= 0 && b.endDate >= m_frame.start && b.startDate <= last;
        if (!p.inDays)
            continue;
        const double x1 = at(b.startDate, b.startMinutes);
        const double x2 = at(b.endDate, b.endMinutes);
        QList<Span> &earlier = byRow[p.row];
        QList<int> used;
        int highest = -1;
        for (const Span &j : std::as_const(earlier)) {
            const bool overlap = (x1 < j.x1 && j.x1 < x2) || (j.x1 <= x1 && j.x2 >= x2) || (x1 < j.x2 && j.x2 < x2);
            if (!overlap)
                continue;
            const int level = m_places.at(j.index).level;
            used.append(level);
            highest = qMax(highest, level);
            overlaps[j.index].append(i);
            overlaps[i].append(j.index);
        }
        if (!used.isEmpty()) {
            int level = 0;
            while (used.contains(level))
                ++level;
            p.level = level;
            // The block shares its row with every band it overlaps.
            p.maxLevel = qMax(p.maxLevel, qMax(level, highest));
            for (int j : std::as_const(overlaps[i]))
                m_places[j].maxLevel = qMax(m_places[j].maxLevel, level);
        }
        earlier.append({x1, x2, i});
    }
}

int PlanningLayout::blockAt(const QPointF &point) const
{
    for (int i = 0; i < m_places.size(); ++i) {
        const QRectF &r = m_places.at(i).rect;
        if (!r.isEmpty() && point.x() >= r.left() && point.x() <= r.right() && point.y() >= r.top() && point.y() <= r.bottom())
            return i;
    }
    return -1;
}

bool PlanningLayout::pointAt(const QPointF &point, GridPoint *where) const
{
    if (!m_grid.contains(point))
        return false;
    const double offset = point.x() - m_grid.left();
    const int day = qBound(0, int(std::floor(offset / m_dayWidth)), m_frame.days - 1);
    const double within = (offset - day * m_dayWidth) / m_dayWidth;
    const int minutes = int(std::floor(within * m_span / m_step + 1e-9)) * m_step;
    where->row = m_frame.firstRow + int(std::floor((point.y() - m_grid.top()) / m_rowHeight));
    if (where->row >= rowCount())
        where->row = -1;
    where->date = m_frame.start.addDays(day);
    where->minutes = m_hordeb + qMin(minutes, m_span);
    return true;
}

QPointF PlanningLayout::pointOf(const GridPoint &where) const
{
    return QPointF(xOf(int(m_frame.start.daysTo(where.date)), where.minutes), rowTop(where.row));
}
