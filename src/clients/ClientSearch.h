#pragma once

#include "core/Civilities.h"
#include "core/Outcome.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QStringList>

class Database;
class Dialect;
class ReportTable;

// One client as the list shows it ("/" already turned into empty texts).
struct ClientRow
{
    qint64 number = 0;
    int type = 0; // 0 company, 1 individual
    int civility = 0;
    QString label, surname, firstName, phone, fax, mobile, address, complement, postcode, town, icon;
    QString contract; // code of the contract that let the client through
};

// The client list's filters turned into SQL, and the search itself.
class ClientSearch
{
public:
    enum class FieldKind { Standard, FreeField, DataColumn };
    // A searchable field: a column of kp_societes, of kp_libresoc or of kp_donneesoc.
    struct Field
    {
        QString label;
        FieldKind kind = FieldKind::Standard;
        QString column;
        bool operator==(const Field &other) const = default;
    };
    enum class Match { Contains, StartsWith, EndsWith };
    struct Criterion
    {
        Field field;
        Match match = Match::Contains;
        QString value; // empty: the row is ignored
    };
    enum class Closure { Open, Closed, All };
    enum class ContractMode { Off, Any, Without, OfType };
    enum class DateRule { ActiveOn, StartingBetween, EndingBetween };

    struct Filters
    {
        QStringList types;   // "/", "0", "1"; none, "/" or both: every client
        QStringList sectors; // codes; none: any sector
        Closure closure = Closure::All;
        QList<Criterion> criteria;
        ContractMode contract = ContractMode::Off;
        QString contractCode; // OfType
        DateRule dateRule = DateRule::ActiveOn;
        QDate from, to; // an invalid date leaves that bound open
    };

    explicit ClientSearch(const Dialect &dialect) : m_dialect(dialect) {}

    // The fields of kp_societes offered in every criteria row.
    static QList<Field> standardFields();
    // Standard fields, then the visible free fields, then the data columns.
    static Outcome fields(Database &db, QList<Field> &out);

    QString condition(const Criterion &criterion) const;
    QString whereClause(const Filters &filters) const;
    QString query(const Filters &filters) const;
    // The contracts of every listed client in one statement; empty when the
    // contract filter is off.
    QString contractQuery(const Filters &filters) const;

    // Runs the search: rows in list order, the contract filter applied.
    Outcome run(Database &db, const Filters &filters, const QString &clientPlural, QList<ClientRow> &rows) const;

    // The printed list: per client its label and contact, the address lines
    // when asked for, then the telephone, fax and mobile lines.
    static ReportTable printTable(const QList<ClientRow> &rows, bool addresses, const QString &title,
                                  const Civilities &civilities, bool namesForIndividuals);

private:
    QString pattern(Match match, const QString &value) const;
    QString dateConditions(const Filters &filters) const;

    const Dialect &m_dialect;
};

// The rows of the client list screen.
class ClientListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Label, Phone, Number, Type, Hierar, Mobile, Address, Complement, Town, ColumnCount };

    explicit ClientListModel(QObject *parent = nullptr);

    Outcome load(Database &db, const ClientSearch &search, const ClientSearch::Filters &filters, const QString &clientPlural);
    void setRows(const QList<ClientRow> &rows);
    const QList<ClientRow> &rows() const { return m_rows; }

    // The singular terms shown in the type column (their initials mark the icons).
    void setTypeNames(const QString &company, const QString &individual);
    // Individuals by surname and first name instead of their label.
    void setNamesForIndividuals(bool names);
    bool namesForIndividuals() const { return m_names; }
    // Icon files come from here (each loaded once); empty: icons by type.
    void setImagesFolder(const QString &folder);

    // What the label column shows for a row, contract included.
    static QString label(const ClientRow &row, bool namesForIndividuals);

    qint64 clientAt(int row) const { return m_rows.value(row).number; }
    int typeAt(int row) const { return m_rows.value(row).type; }
    int rowOf(qint64 number) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QIcon iconOf(const ClientRow &row) const;

    QList<ClientRow> m_rows;
    QString m_typeNames[2] = {QStringLiteral("Société"), QStringLiteral("Particulier")};
    bool m_names = false;
    QString m_imagesFolder;
    mutable QHash<QString, QIcon> m_icons;
    mutable QIcon m_typeIcons[2];
};
