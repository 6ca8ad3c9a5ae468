#include "clients/ClientSearch.h"

#include "core/Database.h"
#include "core/Dialect.h"
#include "core/SqlText.h"
#include "reports/ReportTable.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>

namespace {

QString shown(const QString &value)
{
    return value == QLatin1String("/") ? QString() : value;
}

QString quoted(const QString &value)
{
    return QLatin1Char('\'') + sqlText(value) + QLatin1Char('\'');
}

QString joined(const QString &a, const QString &b)
{
    return (a + QLatin1Char(' ') + b).trimmed();
}

QIcon badge(const QString &letter, const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

} // namespace

QList<ClientSearch::Field> ClientSearch::standardFields()
{
    static const QList<Field> fields = {
        {QStringLiteral("Libellé"), FieldKind::Standard, QStringLiteral("libsoc")},
        {QStringLiteral("Nom contact"), FieldKind::Standard, QStringLiteral("nomcont")},
        {QStringLiteral("Prénom contact"), FieldKind::Standard, QStringLiteral("prenomcont")},
        {QStringLiteral("Adresse"), FieldKind::Standard, QStringLiteral("adrsoc")},
        {QStringLiteral("Code Postal"), FieldKind::Standard, QStringLiteral("cpsoc")},
        {QStringLiteral("Ville"), FieldKind::Standard, QStringLiteral("villesoc")},
        {QStringLiteral("Pays"), FieldKind::Standard, QStringLiteral("payssoc")},
        {QStringLiteral("Etat"), FieldKind::Standard, QStringLiteral("etatsoc")},
        {QStringLiteral("Téléphone"), FieldKind::Standard, QStringLiteral("telsoc")},
        {QStringLiteral("Mobile"), FieldKind::Standard, QStringLiteral("mobsoc")},
        {QStringLiteral("Fax"), FieldKind::Standard, QStringLiteral("faxsoc")},
        {QStringLiteral("Mail"), FieldKind::Standard, QStringLiteral("mailsoc")},
        {QStringLiteral("commentaire"), FieldKind::Standard, QStringLiteral("commentsoc")},
    };
    return fields;
}

Outcome ClientSearch::fields(Database &db, QList<Field> &out)
{
    out = standardFields();
    ResultSet free;
    if (!db.query(QStringLiteral("select ch1,visch1,ch2,visch2,ch3,visch3,ch4,visch4,ch5,visch5,ch6,visch6,ch7,visch7,"
                                 "tb1,vistb1,tb2,vistb2,tb3,vistb3,tb4,vistb4 from kp_chlibres where typechlibre = 0"),
                  free))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des paramètres"), db.lastError());
    if (!free.isEmpty()) {
        for (int i = 0; i < 11; ++i) {
            const QString label = shown(free.value(0, 2 * i)).trimmed();
            if (free.toInt(0, 2 * i + 1) == 1 && !label.isEmpty())
                out.append({label, FieldKind::FreeField, i < 7 ? QStringLiteral("ch%1").arg(i + 1) : QStringLiteral("tb%1").arg(i - 6)});
        }
    }
    ResultSet data;
    if (!db.query(QStringLiteral("select ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8,ch9 from kp_donneeslibres where typedonnee = 0"), data))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des paramètres"), db.lastError());
    if (!data.isEmpty()) {
        for (int i = 0; i < 9; ++i) {
            const QString label = shown(data.value(0, i)).trimmed();
            if (!label.isEmpty())
                out.append({label, FieldKind::DataColumn, QStringLiteral("ch%1").arg(i + 1)});
        }
    }
    return Outcome::success();
}

QString ClientSearch::pattern(Match match, const QString &value) const
{
    const QString w = m_dialect.wildcard();
    // "%" or "_" typed in a field is looked for as it is.
    const QString text = sqlLikeText(value);
    switch (match) {
    case Match::Contains: return w + text + w;
    case Match::StartsWith: return text + w;
    case Match::EndsWith: return w + text;
    }
    return text;
}

QString ClientSearch::condition(const Criterion &criterion) const
{
    if (sqlText(criterion.value).isEmpty())
        return {};
    // Columns only ever come from our own field list, never from typed text.
    static const QRegularExpression safeColumn(QStringLiteral("^[a-z0-9]+$"));
    if (!safeColumn.match(criterion.field.column).hasMatch())
        return {};
    const QString like = criterion.field.column + QStringLiteral(" like '") + pattern(criterion.match, criterion.value) + QLatin1Char('\'')
                         + likeEscape();
    switch (criterion.field.kind) {
    case FieldKind::Standard: return like;
    case FieldKind::FreeField: return QStringLiteral("noidsoc in (select noidsoc from kp_libresoc where ") + like + QLatin1Char(')');
    case FieldKind::DataColumn: return QStringLiteral("noidsoc in (select noidsoc from kp_donneesoc where ") + like + QLatin1Char(')');
    }
    return {};
}

QString ClientSearch::whereClause(const Filters &filters) const
{
    QStringList conditions;
    const bool all = filters.types.contains(QStringLiteral("/"));
    const bool companies = filters.types.contains(QStringLiteral("0"));
    const bool individuals = filters.types.contains(QStringLiteral("1"));
    if (!all && companies != individuals)
        conditions.append(companies ? QStringLiteral("typesoc = 0") : QStringLiteral("typesoc = 1"));
    if (!filters.sectors.isEmpty()) {
        QStringList codes;
        for (const QString &code : filters.sectors)
            codes.append(quoted(code));
        conditions.append(QStringLiteral("secteursoc in (") + codes.join(QLatin1Char(',')) + QLatin1Char(')'));
    }
    if (filters.closure != Closure::All)
        conditions.append(filters.closure == Closure::Closed ? QStringLiteral("cloture = 1") : QStringLiteral("cloture = 0"));
    for (const Criterion &criterion : filters.criteria) {
        const QString c = condition(criterion);
        if (!c.isEmpty())
            conditions.append(c);
    }
    return conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
}

QString ClientSearch::query(const Filters &filters) const
{
    return QStringLiteral("select typesoc,libsoc,nomcont,prenomcont,telsoc,noidsoc,sexecont,nomico,faxsoc,mobsoc,adrsoc,"
                          "adrcompsoc,cpsoc,villesoc from kp_societes")
           + whereClause(filters) + QStringLiteral(" order by libsoc,nomcont");
}

QString ClientSearch::dateConditions(const Filters &filters) const
{
    // Stored values may carry a time: a day's upper bound is "before the next day".
    QStringList c;
    const auto bounds = [&](const QString &column, const QDate &from, const QDate &to) {
        if (from.isValid())
            c.append(column + QStringLiteral(" >= ") + m_dialect.dateFilter(from));
        if (to.isValid())
            c.append(column + QStringLiteral(" < ") + m_dialect.dateFilter(to.addDays(1)));
    };
    switch (filters.dateRule) {
    case DateRule::ActiveOn:
        if (filters.from.isValid()) {
            c.append(QStringLiteral("dtdeb < ") + m_dialect.dateFilter(filters.from.addDays(1)));
            c.append(QStringLiteral("dtfin >= ") + m_dialect.dateFilter(filters.from));
        }
        break;
    case DateRule::StartingBetween: bounds(QStringLiteral("dtdeb"), filters.from, filters.to); break;
    case DateRule::EndingBetween: bounds(QStringLiteral("dtfin"), filters.from, filters.to); break;
    }
    return c.isEmpty() ? QString() : QStringLiteral(" and ") + c.join(QStringLiteral(" and "));
}

QString ClientSearch::contractQuery(const Filters &filters) const
{
    if (filters.contract == ContractMode::Off)
        return {};
    const QString listed = QStringLiteral(" where noidsoc in (select noidsoc from kp_societes") + whereClause(filters) + QLatin1Char(')');
    if (filters.contract == ContractMode::Without)
        return QStringLiteral("select distinct noidsoc from kp_contratsoc") + listed;
    QString sql = QStringLiteral("select noidsoc,codecontrat from kp_contratsoc") + listed + dateConditions(filters);
    if (filters.contract == ContractMode::OfType)
        sql += QStringLiteral(" and codecontrat = ") + quoted(filters.contractCode);
    return sql + QStringLiteral(" order by noidsoc,hierar,rgpcont");
}

Outcome ClientSearch::run(Database &db, const Filters &filters, const QString &clientPlural, QList<ClientRow> &rows) const
{
    rows.clear();
    ResultSet result;
    if (!db.query(query(filters), result))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des ") + clientPlural, db.lastError());

    // One statement for the contracts of all listed clients, not one per client.
    QHash<qint64, QString> contracts;
    if (filters.contract != ContractMode::Off) {
        ResultSet found;
        if (!db.query(contractQuery(filters), found))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur de lecture des contrats"), db.lastError());
        for (int r = 0; r < found.rowCount(); ++r) {
            const qint64 client = found.toLongLong(r, 0);
            if (!contracts.contains(client))
                contracts.insert(client, found.columnCount() > 1 ? shown(found.value(r, 1)) : QString());
        }
    }

    rows.reserve(result.rowCount());
    for (int r = 0; r < result.rowCount(); ++r) {
        ClientRow row;
        row.number = result.toLongLong(r, 5);
        if (filters.contract == ContractMode::Without && contracts.contains(row.number))
            continue;
        if ((filters.contract == ContractMode::Any || filters.contract == ContractMode::OfType) && !contracts.contains(row.number))
            continue;
        row.contract = contracts.value(row.number);
        row.type = result.toInt(r, 0);
        row.label = shown(result.value(r, 1));
        row.surname = shown(result.value(r, 2));
        row.firstName = shown(result.value(r, 3));
        row.phone = shown(result.value(r, 4));
        row.civility = result.toInt(r, 6);
        row.icon = result.isNull(r, 7) ? QString() : shown(result.value(r, 7));
        row.fax = shown(result.value(r, 8));
        row.mobile = shown(result.value(r, 9));
        row.address = shown(result.value(r, 10));
        row.complement = shown(result.value(r, 11));
        row.postcode = shown(result.value(r, 12));
        row.town = shown(result.value(r, 13));
        rows.append(row);
    }
    return Outcome::success();
}

ReportTable ClientSearch::printTable(const QList<ClientRow> &rows, bool addresses, const QString &title,
                                     const Civilities &civilities, bool namesForIndividuals)
{
    ReportTable table;
    table.setTitle(title);
    table.setColumns({4600, 5600});
    table.addRow({QStringLiteral("Libellé|B"), QStringLiteral("Contact|B")});
    for (const ClientRow &row : rows) {
        const QString civility = row.civility >= 0 && row.civility < int(civilities.size()) ? civilities[row.civility].shortName : QString();
        const QString contact = joined(civility, joined(row.surname, row.firstName));
        table.addRow({ClientListModel::label(row, namesForIndividuals) + QStringLiteral("|BO"), contact + QStringLiteral("|BO")});
        if (addresses) {
            table.addRow({QStringLiteral("Adresse : |BR"), row.address});
            if (!row.complement.isEmpty())
                table.addRow({QStringLiteral("|BR"), row.complement});
            table.addRow({QStringLiteral("|BR"), joined(row.postcode, row.town)});
        }
        table.addRow({QStringLiteral("Tel : |BR"), row.phone});
        table.addRow({QStringLiteral("Fax : |BR"), row.fax});
        table.addRow({QStringLiteral("Mob : |BR"), row.mobile});
    }
    return table;
}

ClientListModel::ClientListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

Outcome ClientListModel::load(Database &db, const ClientSearch &search, const ClientSearch::Filters &filters, const QString &clientPlural)
{
    QList<ClientRow> rows;
    const Outcome outcome = search.run(db, filters, clientPlural, rows);
    setRows(rows);
    return outcome;
}

void ClientListModel::setRows(const QList<ClientRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void ClientListModel::setTypeNames(const QString &company, const QString &individual)
{
    m_typeNames[0] = company;
    m_typeNames[1] = individual;
    m_typeIcons[0] = m_typeIcons[1] = QIcon();
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, ColumnCount - 1));
}

void ClientListModel::setNamesForIndividuals(bool names)
{
    if (names == m_names)
        return;
    m_names = names;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, Label), index(int(m_rows.size()) - 1, Label), {Qt::DisplayRole});
}

void ClientListModel::setImagesFolder(const QString &folder)
{
    if (folder != m_imagesFolder)
        m_icons.clear();
    m_imagesFolder = folder;
}

QString ClientListModel::label(const ClientRow &row, bool namesForIndividuals)
{
    QString text = row.label;
    // An individual without an employer would otherwise show an empty line.
    if (row.type == 1 && (namesForIndividuals || text.isEmpty()))
        text = joined(row.surname, row.firstName);
    if (!row.contract.isEmpty())
        text += QStringLiteral(" (") + row.contract + QLatin1Char(')');
    return text;
}

int ClientListModel::rowOf(qint64 number) const
{
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].number == number)
            return r;
    return -1;
}

int ClientListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClientListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QIcon ClientListModel::iconOf(const ClientRow &row) const
{
    if (!m_imagesFolder.isEmpty() && !row.icon.isEmpty()) {
        const QString key = row.icon.toLower();
        auto found = m_icons.constFind(key);
        if (found == m_icons.constEnd())
            found = m_icons.insert(key, QIcon(QDir(m_imagesFolder).filePath(row.icon)));
        if (!found->isNull() && !found->availableSizes().isEmpty())
            return *found;
    }
    const int type = row.type == 1 ? 1 : 0;
    if (m_typeIcons[type].isNull())
        m_typeIcons[type] = badge(m_typeNames[type].left(1).toUpper(), type == 0 ? QColor(46, 110, 160) : QColor(60, 140, 80));
    return m_typeIcons[type];
}

QVariant ClientListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ClientRow &row = m_rows[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Label: return label(row, m_names);
        case Phone: return row.phone;
        case Number: return row.number;
        case Type: return m_typeNames[row.type == 1 ? 1 : 0];
        case Hierar: return index.row();
        case Mobile: return row.mobile;
        case Address: return row.address;
        case Complement: return row.complement;
        case Town: return joined(row.postcode, row.town);
        }
    }
    if (role == Qt::DecorationRole && index.column() == Label)
        return iconOf(row);
    return {};
}

QVariant ClientListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles = {QStringLiteral("Libellé"), QStringLiteral("Téléphone"), QStringLiteral("NoId"),
                                       QStringLiteral("Type"),    QStringLiteral("Hierar"),    QStringLiteral("Mobile"),
                                       QStringLiteral("Adresse"), QStringLiteral("Complément"), QStringLiteral("Ville")};
    return titles.value(section);
}
