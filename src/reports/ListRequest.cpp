#include "reports/ListRequest.h"

#include "core/PasswordCodec.h"
#include "core/Outcome.h"
#include "core/SqlText.h"

#include <QCollator>
#include <QDir>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

const QString Slash = QStringLiteral("/");

bool isNumeric(const QString &format)
{
    return format == QLatin1String("D") || format == QLatin1String("M") || format == QLatin1String("I");
}

bool isPlainText(const QString &format)
{
    return format == QLatin1String("L") || format == QLatin1String("R") || format == QLatin1String("C")
           || format.startsWith(QLatin1String("SPE"));
}

// A "|" in a cell would start formatting letters in the print preview.
QString printable(QString text)
{
    return text.replace(QLatin1Char('|'), QChar(0x00A6));
}

} // namespace

int ListRequest::addColumn(const QString &title, int widthTwips, const QString &format)
{
    if (m_columns.size() >= MaxColumns)
        return -1;
    m_columns.append({title, qMax(0, widthTwips), format.trimmed().toUpper(), true});
    return int(m_columns.size()) - 1;
}

int ListRequest::skipField()
{
    if (m_columns.size() >= MaxColumns)
        return -1;
    m_columns.append(ListColumn());
    return int(m_columns.size()) - 1;
}

ListModel::ListModel(const ListRequest &request, QObject *parent)
    : QAbstractTableModel(parent), m_caption(request.caption), m_query(request.query),
      m_requestColumns(request.columns())
{
    m_nextOrder.fill(Qt::AscendingOrder);
    bool special = false;
    for (int i = 0; i < m_requestColumns.size(); ++i) {
        if (!m_requestColumns.at(i).inUse)
            continue;
        m_fields.append(i);
        special = special || m_requestColumns.at(i).format.startsWith(QLatin1String("SPE"));
    }
    if (special) {
        m_groupIcon = QIcon::fromTheme(QStringLiteral("system-users"));
        m_userIcon = QIcon::fromTheme(QStringLiteral("avatar-default"));
        m_resourceIcon = QIcon::fromTheme(QStringLiteral("user-info"));
        m_clientIcon = QIcon::fromTheme(QStringLiteral("x-office-address-book"));
    }
}

ListModel::~ListModel() = default;

QString ListModel::shown(const QString &raw, bool isNull, const QString &format) const
{
    if (isNull)
        return {};
    if (isPlainText(format))
        return raw == Slash ? QString() : raw;
    if (format == QLatin1String("D")) {
        const QDateTime when = parseDbDateTime(raw);
        // The entry fields' rule keeps dates within 1850 -> 2100.
        return when.isValid() ? normaliseDateEntry(when.date().toString(QStringLiteral("dd/MM/yyyy"))).text : QString();
    }
    if (format == QLatin1String("M"))
        return raw.trimmed().isEmpty() ? QString() : displayNumber(raw, 2, m_separator);
    if (format == QLatin1String("I")) {
        QString digits;
        for (QChar c : raw)
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                digits.append(c);
        return digits;
    }
    return PasswordCodec::decode(raw);
}

Outcome ListModel::load(Database &db, QChar decimalSeparator)
{
    beginResetModel();
    m_result.clear();
    m_shown.clear();
    m_order.clear();
    m_iconField = -1;
    m_separator = decimalSeparator.isNull() ? QLatin1Char(',') : decimalSeparator;

    ResultSet result;
    Outcome outcome = Outcome::success();
    int needed = 0;
    for (int field : std::as_const(m_fields))
        needed = qMax(needed, field + 1);

    if (!db.query(m_query, result)) {
        outcome = Outcome::failure().notice(QStringLiteral("Erreur de lecture"),
                                            QStringLiteral("Erreur lors de la lecture\nMessage : ") + db.lastError());
    } else if (result.isEmpty()) {
        outcome.notice(QStringLiteral("Désolé"), QStringLiteral("Aucune réponse à votre demande"));
    } else if (result.columnCount() < needed) {
        outcome = Outcome::failure().notice(QStringLiteral("Erreur"),
                                            QStringLiteral("Erreur lors le la lecture du tableau"));
    } else {
        m_result = std::move(result);
        const int rows = m_result.rowCount();
        m_shown.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            QStringList line;
            line.reserve(m_fields.size());
            for (int field : std::as_const(m_fields)) {
                const QString &format = m_requestColumns.at(field).format;
                line.append(shown(m_result.value(r, field), m_result.isNull(r, field), format));
            }
            m_shown.append(line);
        }
        m_order.resize(rows);
        std::iota(m_order.begin(), m_order.end(), 0);
        for (int c = 0; c < m_result.columnCount(); ++c)
            if (m_result.columns().at(c).compare(QLatin1String("nomico"), Qt::CaseInsensitive) == 0)
                m_iconField = c;
    }
    endResetModel();
    return outcome;
}

void ListModel::setImagesFolder(const QString &folder)
{
    m_imagesFolder = folder;
    m_imageFiles.clear();
    m_imageIcons.clear();
    if (folder.isEmpty())
        return;
    // Names are matched without regard to case, as the files were named elsewhere.
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString &name : files)
        m_imageFiles.insert(name.toLower(), name);
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

const ListColumn &ListModel::column(int modelColumn) const
{
    return m_requestColumns.at(m_fields.at(modelColumn));
}

bool ListModel::isRightAligned(int modelColumn) const
{
    const QString &format = column(modelColumn).format;
    return format == QLatin1String("R") || format == QLatin1String("M") || format == QLatin1String("I");
}

QString ListModel::text(int row, int modelColumn) const
{
    if (row < 0 || row >= rowCount() || modelColumn < 0 || modelColumn >= columnCount())
        return {};
    return m_shown.at(m_order[std::size_t(row)]).at(modelColumn);
}

int ListModel::alignment(int modelColumn) const
{
    if (isRightAligned(modelColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (column(modelColumn).format == QLatin1String("C"))
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
}

ListModel::Kind ListModel::kindOf(int modelColumn) const
{
    const QString &format = column(modelColumn).format;
    if (format == QLatin1String("SPEGROUPE"))
        return Kind::Group;
    if (format == QLatin1String("SPERESS"))
        return Kind::Resource;
    if (format == QLatin1String("SPECLI"))
        return Kind::Client;
    return Kind::None;
}

QIcon ListModel::lineIcon(int sourceRow, int modelColumn) const
{
    const Kind kind = kindOf(modelColumn);
    if (kind == Kind::None)
        return {};
    if (kind == Kind::Group) {
        const QString raw = m_result.value(sourceRow, m_fields.at(modelColumn)).trimmed();
        return raw.compare(QLatin1String("GROUPE"), Qt::CaseInsensitive) == 0 ? m_groupIcon : m_userIcon;
    }
    if (m_iconField >= 0 && !m_imageFiles.isEmpty()) {
        const QString name = m_result.value(sourceRow, m_iconField).trimmed().toLower();
        const auto file = m_imageFiles.constFind(name);
        if (!name.isEmpty() && name != Slash && file != m_imageFiles.constEnd()) {
            auto icon = m_imageIcons.find(name);
            if (icon == m_imageIcons.end())
                icon = m_imageIcons.insert(name, QIcon(QDir(m_imagesFolder).filePath(file.value())));
            return icon.value();
        }
    }
    return kind == Kind::Resource ? m_resourceIcon : m_clientIcon;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int source = m_order[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return m_shown.at(source).at(index.column());
    case Qt::TextAlignmentRole:
        return alignment(index.column());
    case Qt::DecorationRole: {
        const QIcon icon = lineIcon(source, index.column());
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return column(section).title;
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    return {};
}

Qt::SortOrder ListModel::sortNext(int modelColumn)
{
    if (modelColumn < 0 || modelColumn >= columnCount())
        return Qt::AscendingOrder;
    const Qt::SortOrder order = m_nextOrder[std::size_t(modelColumn)];
    sort(modelColumn, order);
    return order;
}

void ListModel::sort(int modelColumn, Qt::SortOrder order)
{
    if (modelColumn < 0 || modelColumn >= columnCount())
        return;
    m_nextOrder[std::size_t(modelColumn)] = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sourceOf;
    sourceOf.reserve(before.size());
    for (const QModelIndex &index : before)
        sourceOf.push_back(m_order[std::size_t(index.row())]);

    const bool ascending = order == Qt::AscendingOrder;
    const int rows = rowCount();
    const int field = m_fields.at(modelColumn);
    const QString &format = column(modelColumn).format;
    // Keys are worked out once per sort, then compared: stable, so lines
    // with equal keys keep their previous order.
    if (isNumeric(format)) {
        std::vector<double> keys(std::size_t(rows), -std::numeric_limits<double>::infinity());
        for (int s = 0; s < rows; ++s) {
            const QString &text = m_shown.at(s).at(modelColumn);
            if (text.isEmpty())
                continue;
            if (format == QLatin1String("D")) {
                const QDateTime when = parseDbDateTime(m_result.value(s, field));
                keys[std::size_t(s)] =
                    double(when.date().toJulianDay()) * 86400.0 + when.time().msecsSinceStartOfDay() / 1000.0;
            } else if (format == QLatin1String("M")) {
                keys[std::size_t(s)] = sqlNumber(m_result.value(s, field), 2).toDouble();
            } else {
                keys[std::size_t(s)] = text.toDouble();
            }
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const double x = keys[std::size_t(a)];
            const double y = keys[std::size_t(b)];
            return ascending ? x < y : y < x;
        });
    } else {
        QCollator collator{QLocale(QLocale::French, QLocale::France)};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(true); // "Ressource 2" before "Ressource 10"
        std::vector<QCollatorSortKey> keys;
        keys.reserve(std::size_t(rows));
        for (int s = 0; s < rows; ++s)
            keys.push_back(collator.sortKey(m_shown.at(s).at(modelColumn)));
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const int c = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
            return ascending ? c < 0 : c > 0;
        });
    }

    std::vector<int> rowOf(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        rowOf[std::size_t(m_order[std::size_t(r)])] = r;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rowOf[std::size_t(sourceOf[std::size_t(i)])], before.at(i).column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

ListAnswer ListModel::answer(int row) const
{
    ListAnswer answer;
    if (row < 0 || row >= rowCount())
        return answer;
    answer.chosen = true;
    const int source = m_order[std::size_t(row)];
    for (int i = 0; i < m_requestColumns.size(); ++i)
        answer.texts.append(QString());
    for (int c = 0; c < columnCount(); ++c) {
        const int field = m_fields.at(c);
        const bool slash = !m_result.isNull(source, field) && m_result.value(source, field) == Slash;
        answer.texts[field] = slash ? Slash : m_shown.at(source).at(c);
    }
    return answer;
}

ReportTable ListModel::reportTable() const
{
    ReportTable table;
    table.setTitle(m_caption);
    QList<int> widths;
    QStringList titles;
    for (int c = 0; c < columnCount(); ++c) {
        widths.append(column(c).widthTwips);
        titles.append(printable(column(c).title) + QStringLiteral("|B"));
    }
    table.setColumns(widths);
    table.addRow(titles);
    for (int r = 0; r < rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columnCount(); ++c)
            cells.append(printable(text(r, c)) + (isRightAligned(c) ? QStringLiteral("|R") : QString()));
        table.addRow(cells);
    }
    return table;
}
