#include "reports/ReportPages.h"

#include "reports/MemoWords.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

const QColor Shade(217, 217, 217);
constexpr int PenTwips = 15;
constexpr int HeaderGap = 240;

} // namespace

ReportPages::ReportPages(const ReportTable &table, const PageSetup &setup, const QDate &today)
    : m_table(table), m_setup(setup), m_today(today)
{
    const QSizeF points = setup.size.size(QPageSize::Point);
    m_pageSize = setup.orientation == QPageLayout::Landscape ? QSizeF(points.height(), points.width()) * 20
                                                             : points * 20;
}

QFont ReportPages::font(int sizeTwips, bool bold, bool italic)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(sizeTwips);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting); // the same widths on screen and on paper
    return f;
}

int ReportPages::lineHeight() const
{
    static const int height = int(QFontMetricsF(font(CellFontTwips)).lineSpacing() + 0.5);
    return height;
}

QString ReportPages::fitText(const QString &text, double width, bool right, const QFont &font)
{
    if (width < 1)
        return {};
    const QFontMetricsF metrics(font);
    QString fitted = text;
    while (!fitted.isEmpty() && metrics.horizontalAdvance(fitted) > width) {
        if (right)
            fitted.remove(0, 1);
        else
            fitted.chop(1);
    }
    return fitted;
}

QStringList ReportPages::cellLines(int row, int column) const
{
    if (!m_table.hasMemo(row, column))
        return {CellFormat::parse(m_table.cell(row, column)).text};
    const QFontMetricsF metrics(font(CellFontTwips));
    const double width = m_table.columnWidth(column) - 2 * TextLeft;
    return MemoWords::lines(MemoWords::split(m_table.memo(row, column)), width,
                            [&metrics](const QString &s) { return metrics.horizontalAdvance(s); });
}

Outcome ReportPages::layout()
{
    m_pages.clear();
    const int margin = m_setup.marginTwips;
    const int width = int(m_pageSize.width());
    const int bottom = int(m_pageSize.height()) - margin;
    m_left = m_table.centred ? qMax(margin, (width - m_table.totalWidth()) / 2) : margin;

    int top = margin;
    if (!m_table.noHeader)
        top += int(QFontMetricsF(font(DateFontTwips)).lineSpacing())
               + int(m_table.titleLines().size() * QFontMetricsF(font(TitleFontTwips, true)).lineSpacing()) + HeaderGap;
    m_bodyTop = top;

    const int line = lineHeight();
    const int rows = m_table.rowCount();
    // Memo rows are as tall as their longest memo.
    m_memoLines.clear();
    m_rowLines = QList<int>(rows, 1);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < m_table.columnCount(); ++column)
            if (m_table.hasMemo(row, column)) {
                const QStringList lines = cellLines(row, column);
                m_memoLines.insert(key(row, column), lines);
                m_rowLines[row] = qMax(m_rowLines[row], int(lines.size()));
            }
    auto linesOf = [this](int row) { return m_rowLines[row]; };

    const int titleHeight = rows > 0 ? linesOf(0) * line + 2 * TextTop : 0;
    const int space = bottom - top - titleHeight;
    if (space < line + 2 * TextTop)
        return Outcome::failure(QStringLiteral("Attention"), QStringLiteral("Probleme"));

    auto newPage = [&]() -> int {
        QList<Segment> page;
        if (rows > 0)
            page.append({0, 0, linesOf(0), top, titleHeight, QStringLiteral("S")});
        m_pages.append(page);
        return top + titleHeight;
    };
    int y = newPage();
    for (int row = 1; row < rows; ++row) {
        const int total = linesOf(row);
        int done = 0;
        while (done < total) {
            const int fit = (bottom - y - 2 * TextTop) / line;
            const int remaining = total - done;
            // A row that would fit on a page of its own is never split.
            if (fit < remaining && (done > 0 || remaining * line <= space - 2 * TextTop || fit < 1)
                && m_pages.last().size() > 1) {
                y = newPage();
                continue;
            }
            const int count = qMin(remaining, qMax(1, fit));
            QString borders = QStringLiteral("S");
            if (count < total)
                borders = done == 0 ? QStringLiteral(" GDH") : done + count == total ? QStringLiteral(" GDB") : QStringLiteral("  GD");
            const int height = count * line + 2 * TextTop;
            m_pages.last().append({row, done, count, y, height, borders});
            y += height;
            done += count;
        }
    }
    if (m_pages.isEmpty())
        newPage();
    return Outcome::success();
}

void ReportPages::paint(QPainter &painter, int page, double scale) const
{
    if (page < 0 || page >= m_pages.size())
        return;
    painter.save();
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), m_pageSize), Qt::white);
    painter.setPen(QPen(Qt::black, PenTwips));
    if (!m_table.noHeader)
        paintHeader(painter, page);
    for (const Segment &segment : m_pages.at(page))
        paintSegment(painter, segment);
    painter.restore();
}

void ReportPages::paintHeader(QPainter &painter, int page) const
{
    const int margin = m_setup.marginTwips;
    const double width = m_pageSize.width();
    const QFont small = font(DateFontTwips);
    const QFontMetricsF smallMetrics(small);
    painter.setFont(small);
    double y = margin + smallMetrics.ascent();
    painter.drawText(QPointF(margin, y), QStringLiteral("Page %1 / %2").arg(page + 1).arg(m_pages.size()));
    const QString date = QStringLiteral("Date : ") + m_today.toString(QStringLiteral("dd/MM/yyyy"));
    painter.drawText(QPointF(width - margin - smallMetrics.horizontalAdvance(date), y), date);

    const QFont title = font(TitleFontTwips, true);
    const QFontMetricsF titleMetrics(title);
    painter.setFont(title);
    y = margin + smallMetrics.lineSpacing();
    for (const QString &line : m_table.titleLines()) {
        painter.drawText(QPointF((width - titleMetrics.horizontalAdvance(line)) / 2, y + titleMetrics.ascent()), line);
        y += titleMetrics.lineSpacing();
    }
}

void ReportPages::paintSegment(QPainter &painter, const Segment &segment) const
{
    const int line = lineHeight();
    int x = m_left;
    for (int column = 0; column < m_table.columnCount(); ++column) {
        const int width = m_table.columnWidth(column);
        if (width < 1)
            continue;
        const CellFormat format = CellFormat::parse(m_table.cell(segment.row, column));
        const QRectF cell(x, segment.y, width, segment.height);
        if (format.shaded) {
            painter.fillRect(cell, Shade);
        } else {
            const QString &b = segment.borders;
            const bool all = b.trimmed() == QLatin1String("S");
            if (all || b.contains(QLatin1Char('H')))
                painter.drawLine(cell.topLeft(), cell.topRight());
            if (all || b.contains(QLatin1Char('G')))
                painter.drawLine(cell.topLeft(), cell.bottomLeft());
            if (all || b.contains(QLatin1Char('D')))
                painter.drawLine(cell.topRight(), cell.bottomRight());
            if (all || b.contains(QLatin1Char('B')))
                painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
        if (!format.hidden) {
            const QFont f = font(CellFontTwips, format.bold, format.italic);
            const QFontMetricsF metrics(f);
            painter.setFont(f);
            const QStringList lines = m_table.hasMemo(segment.row, column) ? m_memoLines.value(key(segment.row, column))
                                                                            : QStringList{format.text};
            for (int i = 0; i < segment.lineCount; ++i) {
                const QString text = fitText(lines.value(segment.firstLine + i), width - 2 * TextLeft, format.right, f);
                const double tx = format.right ? x + width - TextLeft - metrics.horizontalAdvance(text) : x + TextLeft;
                painter.drawText(QPointF(tx, segment.y + TextTop + i * line + metrics.ascent()), text);
            }
        }
        x += width;
    }
}

bool ReportPages::print(QPagedPaintDevice &device, int from, int to) const
{
    from = qMax(1, from);
    to = qMax(from, to);
    to = qMin(to, pageCount());
    if (from > to)
        return false;
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    const double scale = double(device.logicalDpiX()) / TwipsPerInch;
    for (int page = from; page <= to; ++page) {
        if (page > from)
            device.newPage();
        paint(painter, page - 1, scale);
    }
    return painter.end();
}
