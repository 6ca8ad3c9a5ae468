#include "reports/ReportTable.h"

namespace {

quint64 memoKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

} // namespace

CellFormat CellFormat::parse(const QString &cellText)
{
    CellFormat format;
    const qsizetype bar = cellText.indexOf(QLatin1Char('|'));
    format.text = bar < 0 ? cellText : cellText.left(bar);
    if (bar < 0)
        return format;
    const QString letters = cellText.mid(bar + 1);
    format.bold = letters.contains(QLatin1Char('B'));
    format.italic = letters.contains(QLatin1Char('I'));
    format.right = letters.contains(QLatin1Char('R'));
    format.shaded = letters.contains(QLatin1Char('O'));
    format.hidden = letters.contains(QLatin1Char('X'));
    return format;
}

QString CellFormat::plainText(const QString &cellText)
{
    return cellText.section(QLatin1Char('|'), 0, 0);
}

void ReportTable::clear()
{
    m_title.clear();
    m_widths.clear();
    m_rows.clear();
    m_memos.clear();
    centred = noHeader = multi = false;
}

QStringList ReportTable::titleLines() const
{
    QString t = m_title;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

void ReportTable::setColumns(const QList<int> &widthsInTwips)
{
    m_widths = widthsInTwips;
}

void ReportTable::setColumnWidth(int column, int twips)
{
    while (m_widths.size() <= column)
        m_widths.append(0);
    m_widths[column] = twips;
}

int ReportTable::totalWidth() const
{
    int total = 0;
    for (int w : m_widths)
        total += qMax(0, w);
    return total;
}

int ReportTable::addRow(const QStringList &cells)
{
    m_rows.append(cells);
    return int(m_rows.size()) - 1;
}

void ReportTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0)
        return;
    QStringList &cells = m_rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
}

QString ReportTable::cell(int row, int column) const
{
    return m_rows.value(row).value(column);
}

void ReportTable::setMemo(int row, int column, const QString &text)
{
    m_memos.insert(memoKey(row, column), text);
}

QString ReportTable::memo(int row, int column) const
{
    return m_memos.value(memoKey(row, column));
}

bool ReportTable::hasMemo(int row, int column) const
{
    return m_memos.contains(memoKey(row, column));
}

QStringList ReportTable::exportLines() const
{
    QStringList lines;
    lines.reserve(m_rows.size());
    for (int row = 0; row < m_rows.size(); ++row) {
        QStringList cells;
        for (int column = 0; column < m_widths.size(); ++column)
            if (m_widths[column] >= 1)
                cells.append(hasMemo(row, column) ? memo(row, column) : CellFormat::plainText(cell(row, column)));
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines;
}
