#pragma once

#include "core/Outcome.h"
#include "reports/ReportTable.h"

#include <QDate>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>

class QPainter;
class QPagedPaintDevice;

// The paper a report is laid out on.
struct PageSetup
{
    QPageSize size = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int marginTwips = 567; // 1 cm
};

// A ReportTable laid out in pages and drawn on any paint device (the preview
// image, a printer, a PDF file). Everything is measured in twips.
//
// Paging: the column titles (row 0) are repeated at the top of every page
// and a row is never split over two pages, except a memo taller than a whole
// page, which goes on over the following pages.
class ReportPages
{
public:
    static constexpr int TwipsPerInch = 1440;
    static constexpr int CellFontTwips = 180;   // 9 pt
    static constexpr int DateFontTwips = 200;   // 10 pt
    static constexpr int TitleFontTwips = 300;  // 15 pt
    static constexpr int TextLeft = 50;         // text inset from the cell's left (or right) edge
    static constexpr int TextTop = 20;          // and from its top

    // One piece of a row on a page. borders: "S" all four sides, otherwise
    // H top, G left, D right, B bottom (a memo going on over pages).
    struct Segment
    {
        int row = 0;
        int firstLine = 0;
        int lineCount = 1;
        int y = 0;
        int height = 0;
        QString borders = QStringLiteral("S");
    };

    ReportPages(const ReportTable &table, const PageSetup &setup, const QDate &today = QDate::currentDate());

    // Lays the table out; "Probleme" when a page cannot hold even one row.
    Outcome layout();
    int pageCount() const { return int(m_pages.size()); }
    const QList<Segment> &segments(int page) const { return m_pages.at(page); }
    QSizeF pageSize() const { return m_pageSize; } // in twips
    int tableLeft() const { return m_left; }

    // Draws one page (0-based); scale = device units per twip.
    void paint(QPainter &painter, int page, double scale) const;
    // Prints pages from..to (1-based; to below from prints `from` alone) on
    // a device whose page matches the setup. False when nothing was printed.
    bool print(QPagedPaintDevice &device, int from, int to) const;

    // The text as it fits in `width` twips: characters are dropped at its end
    // (left-aligned) or at its start (right-aligned) until it fits.
    static QString fitText(const QString &text, double width, bool right, const QFont &font);
    // The lines of a cell's text (a memo wraps, anything else is one line).
    QStringList cellLines(int row, int column) const;

    static QFont font(int sizeTwips, bool bold = false, bool italic = false);

private:
    void paintHeader(QPainter &painter, int page) const;
    void paintSegment(QPainter &painter, const Segment &segment) const;
    int lineHeight() const;
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }

    const ReportTable &m_table;
    PageSetup m_setup;
    QDate m_today;
    QSizeF m_pageSize;
    int m_left = 0;
    int m_bodyTop = 0;
    QList<QList<Segment>> m_pages;
    QHash<quint64, QStringList> m_memoLines; // wrapped lines of each memo cell
    QList<int> m_rowLines;                   // lines of each row (its longest memo)
};
