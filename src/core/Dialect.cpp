#include "core/Dialect.h"

#include "core/SqlText.h"

#include <QDate>
#include <QDateTime>

Backend Dialect::backendFor(bool odbc, const QString &driver)
{
    if (!odbc)
        return Backend::File;
    const QString upper = driver.toUpper();
    // MariaDB speaks MySQL's dialect; its drivers are named after it here.
    if (upper.contains(QLatin1String("MYSQL")) || upper.contains(QLatin1String("MARIADB")))
        return Backend::MySql;
    return Backend::OtherOdbc;
}

QString Dialect::typeName(ColumnType type, int length) const
{
    switch (type) {
    case ColumnType::ShortText:
        return QStringLiteral("varchar(%1)").arg(length);
    case ColumnType::LongText:
        return QStringLiteral("text");
    case ColumnType::Amount:
        return m_backend == Backend::OtherOdbc ? QStringLiteral("money") : QStringLiteral("double");
    case ColumnType::SmallInt:
        return QStringLiteral("smallint");
    case ColumnType::Int:
        return isFile() ? QStringLiteral("integer") : QStringLiteral("int");
    case ColumnType::DateTime:
        return QStringLiteral("datetime");
    }
    return {};
}

QString Dialect::wildcard() const
{
    // "*" is a Jet wildcard only: with it no LIKE would ever match on MySQL.
    return QStringLiteral("%");
}

QString Dialect::dateValueFormat() const
{
    return m_backend == Backend::OtherOdbc ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("yyyy-mm-dd");
}

QString Dialect::dateFilterFormat() const
{
    return dateValueFormat();
}

QString Dialect::dateDelimiter() const
{
    return QStringLiteral("'");
}

QString Dialect::orderedJoin() const
{
    return isMySql() ? QStringLiteral(" straight_join ") : QStringLiteral(" cross join ");
}

QString Dialect::concat(const QStringList &parts) const
{
    switch (m_backend) {
    case Backend::File:
        return parts.join(QStringLiteral(" || "));
    case Backend::MySql:
        return QStringLiteral("concat(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
    case Backend::OtherOdbc:
        return parts.join(QStringLiteral(" + "));
    }
    return {};
}

QString Dialect::addedNotNull() const
{
    return QStringLiteral(" not null default 0");
}

namespace {

QString inFormat(const QDate &date, const QString &format)
{
    return convertDate(date.toString(QStringLiteral("dd/MM/yyyy")), QStringLiteral("dd/mm/yyyy"), format);
}

QString timeOf(const QDateTime &dateTime)
{
    return QLatin1Char(' ') + dateTime.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString Dialect::dateValue(const QString &ddmmyyyy) const
{
    return QLatin1Char('\'') + convertDate(ddmmyyyy, QStringLiteral("dd/mm/yyyy"), dateValueFormat())
           + QLatin1Char('\'');
}

QString Dialect::dateValue(const QDate &date) const
{
    return QLatin1Char('\'') + inFormat(date, dateValueFormat()) + QLatin1Char('\'');
}

QString Dialect::dateTimeValue(const QDateTime &dateTime) const
{
    return QLatin1Char('\'') + inFormat(dateTime.date(), dateValueFormat()) + timeOf(dateTime) + QLatin1Char('\'');
}

QString Dialect::unsetDateValue() const
{
    return dateValue(QStringLiteral("01/01/1900"));
}

QString Dialect::dateFilter(const QDate &date) const
{
    return dateDelimiter() + inFormat(date, dateFilterFormat()) + dateDelimiter();
}

QString Dialect::dateTimeFilter(const QDateTime &dateTime) const
{
    return dateDelimiter() + inFormat(dateTime.date(), dateFilterFormat()) + timeOf(dateTime) + dateDelimiter();
}
