#include "resources/ResourceListModel.h"

#include "core/Database.h"
#include "core/SqlText.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

namespace {

QString shown(const QString &value)
{
    return value == QLatin1String("/") ? QString() : value;
}

// The desktop's icon when it has one, else a small badge with a letter.
QIcon typeIcon(const QString &themeName, const QString &letter, const QColor &colour)
{
    const QIcon themed = QIcon::fromTheme(themeName);
    if (!themed.isNull())
        return themed;
    QPixmap badge(16, 16);
    badge.fill(Qt::transparent);
    QPainter painter(&badge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(0, 0, 16, 16);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    return QIcon(badge);
}

} // namespace

ResourceListModel::ResourceListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

QString ResourceListModel::query(const QStringList &types, const QStringList &services)
{
    QString sql = QStringLiteral("select libelle,typeressource,nomressource,prenomressource,noid,nomico from kp_ressources  where noid >= 0 ");
    QStringList chosen;
    for (const QString &t : types)
        if (t == QLatin1String("0") || t == QLatin1String("1") || t == QLatin1String("2"))
            chosen.append(t);
    chosen.removeDuplicates();
    if (!chosen.isEmpty() && chosen.size() < 3)
        sql += QStringLiteral(" and typeressource in (") + chosen.join(QLatin1Char(',')) + QStringLiteral(") ");
    if (!services.isEmpty()) {
        QStringList quoted;
        for (const QString &s : services)
            quoted.append(QLatin1Char('\'') + sqlText(s) + QLatin1Char('\''));
        sql += QStringLiteral(" and noid in (select noressource from kp_ressserv where codeserv in (") + quoted.join(QLatin1Char(','))
               + QStringLiteral("))");
    }
    return sql + QStringLiteral(" order by typeressource,libelle");
}

Outcome ResourceListModel::load(Database &db, const QStringList &types, const QStringList &services, const QString &plural)
{
    ResultSet result;
    if (!db.query(query(types, services), result))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des ") + plural, db.lastError());
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(result.rowCount());
    for (int r = 0; r < result.rowCount(); ++r)
        m_rows.append({result.value(r, 0), shown(result.value(r, 2)), shown(result.value(r, 3)),
                       result.isNull(r, 5) ? QString() : shown(result.value(r, 5)), result.toInt(r, 1), result.toLongLong(r, 4)});
    endResetModel();
    return Outcome::success();
}

int ResourceListModel::rowOf(qint64 number) const
{
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].number == number)
            return r;
    return -1;
}

int ResourceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResourceListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QIcon ResourceListModel::iconOf(const Row &row) const
{
    if (!m_imagesFolder.isEmpty() && !row.icon.isEmpty()) {
        const QString key = row.icon.toLower();
        if (!m_icons.contains(key))
            m_icons.insert(key, QIcon(QDir(m_imagesFolder).filePath(row.icon)));
        const QIcon icon = m_icons.value(key);
        if (!icon.isNull() && !icon.availableSizes().isEmpty())
            return icon;
    }
    static const QIcon human = typeIcon(QStringLiteral("user-identity"), QStringLiteral("H"), QColor(70, 130, 180));
    static const QIcon material = typeIcon(QStringLiteral("applications-engineering"), QStringLiteral("M"), QColor(205, 133, 63));
    static const QIcon undefined = typeIcon(QStringLiteral("dialog-question"), QStringLiteral("?"), QColor(150, 150, 150));
    return row.type == 0 ? human : row.type == 1 ? material : undefined;
}

QVariant ResourceListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0: return row.code;
        case 1: return row.surname;
        case 2: return row.firstName;
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return iconOf(row);
    return {};
}

QVariant ResourceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles = {QStringLiteral("Code"), QStringLiteral("Nom"), QStringLiteral("Prénom")};
    return titles.value(section);
}
