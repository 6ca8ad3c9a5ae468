#include "core/SqlText.h"

#include <QLocale>

#include <algorithm>

namespace {

QString trimBlanks(const QString &value)
{
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && value.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && value.at(end - 1) == QLatin1Char(' '))
        --end;
    return value.mid(start, end - start);
}

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (!c.isDigit() || c.unicode() > 127)
            return false;
    return true;
}

bool isDateSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

// Two-digit years as the desktop reads them: 00-29 are 2000s, 30-99 1900s.
int expandYear(const QString &year)
{
    const int y = year.toInt();
    if (year.size() > 2)
        return y;
    return y < 30 ? 2000 + y : 1900 + y;
}

// Adds one unit to the last digit of a string of decimal digits.
QString incrementDigits(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) == QLatin1Char('9')) {
            digits[i] = QLatin1Char('0');
        } else {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
    }
    return QLatin1Char('1') + digits;
}

QString formatNumber(const QString &text, int decimals, QChar separator)
{
    QString t = text.trimmed();
    const bool negative = t.startsWith(QLatin1Char('-'));
    t.remove(QLatin1Char('-'));

    QString whole;
    QString fraction;
    bool inFraction = false;
    for (QChar c : std::as_const(t)) {
        if (c.isDigit() && c.unicode() < 128) {
            (inFraction ? fraction : whole).append(c);
        } else if (!inFraction && (c == QLatin1Char(',') || c == QLatin1Char('.'))) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (decimals < 0)
        decimals = 0;

    if (fraction.size() > decimals) {
        const bool roundUp = fraction.at(decimals) >= QLatin1Char('5');
        fraction.truncate(decimals);
        if (roundUp) {
            QString digits = incrementDigits(whole + fraction);
            whole = digits.left(digits.size() - decimals);
            fraction = digits.right(decimals);
        }
    }
    while (fraction.size() < decimals)
        fraction.append(QLatin1Char('0'));

    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");

    const bool zero = whole == QLatin1String("0")
                      && std::all_of(fraction.cbegin(), fraction.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    QString result = (negative && !zero) ? QStringLiteral("-") + whole : whole;
    if (decimals > 0)
        result += separator + fraction;
    return result;
}

} // namespace

QString sqlText(const QString &value, const QString &defaultValue)
{
    QString t = trimBlanks(value);
    if (t.isEmpty() && !defaultValue.isEmpty())
        return defaultValue;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return t;
}

QString sqlLikeText(const QString &value)
{
    QString t = sqlText(value);
    QString escaped;
    escaped.reserve(t.size());
    for (const QChar c : t) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped.append(QLatin1Char('!'));
        escaped.append(c);
    }
    return escaped;
}

QString convertDate(const QString &text, const QString &fromFormat, const QString &toFormat)
{
    const bool knownTarget = toFormat == QLatin1String("dd/mm/yyyy") || toFormat == QLatin1String("mm/dd/yyyy")
                             || toFormat == QLatin1String("yyyy-mm-dd");
    if (!knownTarget)
        return text;

    QString day, month, year;
    if (fromFormat == QLatin1String("yyyy-mm-dd")) {
        year = text.mid(0, 4);
        month = text.mid(5, 2);
        day = text.mid(8, 2);
    } else if (fromFormat == QLatin1String("mm/dd/yyyy")) {
        month = text.mid(0, 2);
        day = text.mid(3, 2);
        year = text.mid(6, 4);
    } else {
        day = text.mid(0, 2);
        month = text.mid(3, 2);
        year = text.mid(6, 4);
    }

    if (toFormat == QLatin1String("yyyy-mm-dd"))
        return year + QLatin1Char('-') + month + QLatin1Char('-') + day;
    if (toFormat == QLatin1String("mm/dd/yyyy"))
        return month + QLatin1Char('/') + day + QLatin1Char('/') + year;
    return day + QLatin1Char('/') + month + QLatin1Char('/') + year;
}

DateEntry normaliseDateEntry(const QString &typed, bool full, const QDate &today)
{
    const QString t = typed.trimmed();
    QString day, month, year;
    const QString thisMonth = QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0'));
    const QString thisYear = QString::number(today.year());

    switch (t.size()) {
    case 1:
    case 2:
        day = t;
        month = thisMonth;
        year = thisYear;
        break;
    case 4:
        day = t.mid(0, 2);
        month = t.mid(2, 2);
        year = thisYear;
        break;
    case 5:
        if (!isDateSeparator(t.at(2)))
            return {};
        day = t.mid(0, 2);
        month = t.mid(3, 2);
        year = thisYear;
        break;
    case 6:
        day = t.mid(0, 2);
        month = t.mid(2, 2);
        year = t.mid(4, 2);
        break;
    case 8:
        if (t.contains(QLatin1Char('/'))) {
            if (!isDateSeparator(t.at(2)) || !isDateSeparator(t.at(5)))
                return {};
            day = t.mid(0, 2);
            month = t.mid(3, 2);
            year = t.mid(6, 2);
        } else {
            day = t.mid(0, 2);
            month = t.mid(2, 2);
            year = t.mid(4, 4);
        }
        break;
    case 10:
        if (!isDateSeparator(t.at(2)) || !isDateSeparator(t.at(5)))
            return {};
        day = t.mid(0, 2);
        month = t.mid(3, 2);
        year = t.mid(6, 4);
        break;
    default:
        return {};
    }
    if (!allDigits(day) || !allDigits(month) || !allDigits(year))
        return {};

    // A day and month alone stand for every year: 29/02 is a valid birthday.
    const QDate date(full ? expandYear(year) : 2000, month.toInt(), day.toInt());
    if (!date.isValid())
        return {};

    DateEntry entry;
    if (!full) {
        entry.text = date.toString(QStringLiteral("dd/MM"));
        return entry;
    }
    if (date <= QDate(1850, 1, 1) || date > QDate(2100, 1, 1)) {
        entry.outOfRange = true;
        return entry;
    }
    entry.text = date.toString(QStringLiteral("dd/MM/yyyy"));
    return entry;
}

QString sqlNumber(const QString &text, int decimals)
{
    return formatNumber(text, decimals, QLatin1Char('.'));
}

QString displayNumber(const QString &text, int decimals, QChar separator)
{
    return formatNumber(text, decimals, separator);
}

QChar systemDecimalSeparator()
{
    bool ok = false;
    QLocale::system().toDouble(QStringLiteral("0,1"), &ok);
    return ok ? QLatin1Char(',') : QLatin1Char('.');
}

QDateTime parseDbDateTime(const QString &text)
{
    const QString t = text.trimmed();
    // The stored shapes "yyyy-mm-dd", "yyyy-mm-dd hh:mm" and "yyyy-mm-dd hh:mm:ss",
    // read without the format parser (which costs more than the query).
    const qsizetype n = t.size();
    if ((n == 10 || n == 16 || n == 19) && t.at(4) == u'-' && t.at(7) == u'-'
        && (n == 10 || (t.at(10) == u' ' && t.at(13) == u':')) && (n != 19 || t.at(16) == u':')) {
        bool digits = true;
        const auto number = [&](int from, int count) {
            int v = 0;
            for (int i = from; i < from + count; ++i) {
                const char16_t c = t.at(i).unicode();
                digits = digits && c >= u'0' && c <= u'9';
                v = v * 10 + (c - u'0');
            }
            return v;
        };
        const QDate date(number(0, 4), number(5, 2), number(8, 2));
        const QTime time(n > 10 ? number(11, 2) : 0, n > 10 ? number(14, 2) : 0, n > 16 ? number(17, 2) : 0);
        if (digits && date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    QDate date;
    if (t.size() >= 10 && t.at(4) == QLatin1Char('-'))
        date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    else if (t.size() >= 10 && t.at(2) == QLatin1Char('/'))
        date = QDate::fromString(t.left(10), QStringLiteral("dd/MM/yyyy"));
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    const QString rest = t.mid(11);
    if (!rest.isEmpty()) {
        const QStringList parts = rest.section(QLatin1Char('.'), 0, 0).split(QLatin1Char(':'));
        time = QTime(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt());
        if (!time.isValid())
            time = QTime(0, 0);
    }
    return QDateTime(date, time);
}

QString slashLiteral(const QString &value)
{
    return QLatin1Char('\'') + sqlText(value, QStringLiteral("/")) + QLatin1Char('\'');
}

QString slashToEmpty(const QString &stored)
{
    return stored == QLatin1String("/") ? QString() : stored;
}

QString numberList(const QList<qint64> &numbers, const QString &whenEmpty)
{
    if (numbers.isEmpty())
        return whenEmpty;
    QString list;
    list.reserve(numbers.size() * 7);
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            list += QLatin1Char(',');
        list += QString::number(numbers.at(i));
    }
    return list;
}
