#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One cell text split into what is shown and how: everything from the first
// "|" on is formatting letters, never printed nor exported.
struct CellFormat
{
    QString text;
    bool bold = false;
    bool italic = false;
    bool right = false;  // right-aligned
    bool shaded = false; // a filled cell, without border lines
    bool hidden = false; // "X": the cell is drawn empty

    static CellFormat parse(const QString &cellText);
    // The text alone, cut at the first "|".
    static QString plainText(const QString &cellText);
};

// The table a screen hands to the print preview: column widths in twips
// (1440 to the inch), rows of cell texts carrying their formatting letters,
// a title and the layout options. Row 0 holds the column titles.
//
//   ReportTable table;
//   table.setTitle(QStringLiteral("Liste des Clients"));
//   table.setColumns({3000, 7500});
//   table.addRow({QStringLiteral("Code|B"), QStringLiteral("Libellé|B")});
//   table.addRow({QStringLiteral("12|R"), QStringLiteral("Durand")});
//   table.setMemo(1, 1, longText); // laid out over as many lines as it needs
class ReportTable
{
public:
    void clear();

    // A title of one or two lines (separated by "\r" or "\n").
    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }
    QStringList titleLines() const;

    void setColumns(const QList<int> &widthsInTwips);
    int columnCount() const { return int(m_widths.size()); }
    int columnWidth(int column) const { return m_widths.value(column); }
    void setColumnWidth(int column, int twips);
    int totalWidth() const;

    // Appends a row; missing cells are empty. Returns its index.
    int addRow(const QStringList &cells = {});
    int rowCount() const { return int(m_rows.size()); }
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const;

    // A long text for a cell, wrapped over several lines when laid out.
    void setMemo(int row, int column, const QString &text);
    QString memo(int row, int column) const;
    bool hasMemo(int row, int column) const;

    // Options of the preview window.
    bool centred = false;  // "Centrer": the table centred on the page
    bool noHeader = false; // "PasAffEntete": no page header
    bool multi = false;    // "ChkMulti"

    // The texts of the columns of width 1 or more, cut at their first "|",
    // TAB between cells, one line per row (for a text file or a spreadsheet).
    QStringList exportLines() const;

private:
    QString m_title;
    QList<int> m_widths;
    QList<QStringList> m_rows;
    QHash<quint64, QString> m_memos;
};
