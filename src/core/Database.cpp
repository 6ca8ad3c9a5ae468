#include "core/Database.h"

int ResultSet::toInt(int row, int column) const
{
    return int(toLongLong(row, column));
}

qint64 ResultSet::toLongLong(int row, int column) const
{
    const QString text = value(row, column);
    const QStringView v = QStringView(text).trimmed();
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    // Some back ends hand integers back as "3.0".
    return qint64(v.toDouble());
}

double ResultSet::toDouble(int row, int column) const
{
    QString v = value(row, column).trimmed();
    v.replace(QLatin1Char(','), QLatin1Char('.'));
    return v.toDouble();
}

void ResultSet::clear()
{
    m_columns.clear();
    m_values.clear();
    m_nulls.clear();
    m_rowCount = 0;
}
