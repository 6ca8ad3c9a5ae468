#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "core/Database.h"
#include "reports/ReportTable.h"

class Outcome;

// One column of a selection list.
struct ListColumn
{
    QString title;
    int widthTwips = 0; // 0: not shown, yet returned with the chosen line
    // "L", "R", "C": text (left, right, centred), "/" shown empty; "D": date
    // "dd/mm/yyyy"; "M": amount, 2 decimals; "I": digits only; anything else
    // ("*"): a scrambled text shown decoded. Amounts and integers stand right.
    //
    // "SPEGROUPE", "SPERESS", "SPECLI": the text as "L", led by an icon of the
    // desktop's theme telling the kind of line: a group when the text is
    // "GROUPE" (else a user), a resource, a client. When the workstation has
    // an images folder and the query has a "nomico" field, a resource or
    // client line shows that icon file instead.
    QString format;
    bool inUse = false;
};

// What a screen asks of the selection list: a caption, a query and up to
// eleven columns, fed by the query's fields in order (column i shows field i).
//
//   ListRequest request(QStringLiteral("Liste des Services"),
//                       QStringLiteral("select code,libelle from kp_services order by libelle"));
//   request.addColumn(QStringLiteral("Code"), 1200, QStringLiteral("L"));
//   request.addColumn(QStringLiteral("Libellé"), 3600, QStringLiteral("L"));
//   const ListAnswer answer = Liste::choose(session, prompter, request, this);
//   if (answer.chosen) use(answer.text(0), answer.text(1));
class ListRequest
{
public:
    static constexpr int MaxColumns = 11;

    ListRequest() = default;
    ListRequest(const QString &caption, const QString &query) : caption(caption), query(query) {}

    QString caption;
    QString query;

    // The next column, fed by the next field. Returns its index, -1 past the
    // eleventh column.
    int addColumn(const QString &title, int widthTwips, const QString &format = QStringLiteral("L"));
    // Passes over the next field: neither shown nor returned.
    int skipField();

    const QList<ListColumn> &columns() const { return m_columns; }

private:
    QList<ListColumn> m_columns;
};

// What the list hands back: whether a line was chosen and, for every column
// in use, its text on that line as shown ("/" stays "/").
struct ListAnswer
{
    bool chosen = false;
    QStringList texts; // by column index; empty for columns not in use

    QString text(int column) const { return texts.value(column); }
};

// The lines of a selection list, formatted once when read and sorted in
// place. Only the columns in use are model columns.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ListModel(const ListRequest &request, QObject *parent = nullptr);
    ~ListModel() override;

    // Runs the request's query. Fails when the query or the reading of its
    // fields fails; no line is a success carrying the "Désolé" notice.
    Outcome load(Database &db, QChar decimalSeparator);

    // Lines with an icon file (field "nomico") take it from this folder.
    void setImagesFolder(const QString &folder);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ListColumn &column(int modelColumn) const;
    bool isRightAligned(int modelColumn) const;
    QString text(int row, int modelColumn) const;

    // Each column remembers its own direction: ascending on the first sort,
    // then alternating. sortNext() sorts in the direction due and returns it.
    Qt::SortOrder sortNext(int modelColumn);
    void sort(int modelColumn, Qt::SortOrder order = Qt::AscendingOrder) override;

    ListAnswer answer(int row) const;
    // The lines in their present order for the print preview.
    ReportTable reportTable() const;

private:
    enum class Kind { None, Group, Resource, Client };
    Kind kindOf(int modelColumn) const;
    int alignment(int modelColumn) const;
    QString shown(const QString &raw, bool isNull, const QString &format) const;
    QIcon lineIcon(int sourceRow, int modelColumn) const;

    QString m_caption;
    QString m_query;
    QList<ListColumn> m_requestColumns;
    QList<int> m_fields; // field of each model column
    ResultSet m_result;
    QList<QStringList> m_shown; // by source line
    std::vector<int> m_order;   // source line of each model row
    std::array<Qt::SortOrder, ListRequest::MaxColumns> m_nextOrder;
    QChar m_separator = QLatin1Char(',');

    int m_iconField = -1;
    QString m_imagesFolder;
    QHash<QString, QString> m_imageFiles; // lower-case name -> file name
    mutable QHash<QString, QIcon> m_imageIcons;
    QIcon m_groupIcon, m_userIcon, m_resourceIcon, m_clientIcon;
};
