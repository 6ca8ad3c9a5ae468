#include "core/Database.h"

#include <cmath>
#include <cstring>

namespace {

// A plain decimal number ("-12", "3.50", with "," too when allowed), the
// shape nearly every value has, read without the general conversions, which
// copy the text and weigh every notation. Up to 15 digits, so that the
// mantissa and the power of ten are exact doubles and one division gives the
// correctly rounded value; false for anything else.
bool readPlain(QStringView v, bool comma, double *value, qint64 *whole)
{
    qsizetype i = 0;
    const bool negative = !v.isEmpty() && v.front() == u'-';
    if (negative || (!v.isEmpty() && v.front() == u'+'))
        ++i;
    qint64 mantissa = 0;
    int digits = 0;
    int decimals = -1;
    for (; i < v.size(); ++i) {
        const char16_t c = v.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            if (++digits > 15)
                return false;
            mantissa = mantissa * 10 + (c - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if ((c == u'.' || (comma && c == u',')) && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    static constexpr double Powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double magnitude = decimals > 0 ? double(mantissa) / Powers[decimals] : double(mantissa);
    *value = negative ? -magnitude : magnitude;
    if (whole) // as a conversion of the value would cut it
        *whole = decimals > 0 ? qint64(*value) : (negative ? -mantissa : mantissa);
    return true;
}

} // namespace

int ResultSet::toInt(int row, int column) const
{
    return int(toLongLong(row, column));
}

qint64 ResultSet::toLongLong(int row, int column) const
{
    const QStringView v = view(row, column).trimmed();
    double value = 0;
    qint64 whole = 0;
    if (readPlain(v, false, &value, &whole))
        return whole;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    // Some back ends hand integers back as "3.0".
    return qint64(v.toDouble());
}

double ResultSet::toDouble(int row, int column) const
{
    const QStringView t = view(row, column).trimmed();
    double value = 0;
    if (readPlain(t, true, &value, nullptr))
        return value;
    QString v = t.toString();
    v.replace(QLatin1Char(','), QLatin1Char('.'));
    return v.toDouble();
}

void ResultSet::appendUtf8(const char *data, qsizetype size)
{
    // Numbers, dates and most codes are plain ASCII: widened in place.
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = uchar(data[i]) < 0x80;
    if (ascii)
        m_text.append(QLatin1StringView(data, size));
    else
        m_text.append(QString::fromUtf8(data, size));
    endValue(false);
}

namespace {

// The decimal digits of a magnitude, written backwards ending at `end`.
char *writeDigits(quint64 magnitude, char *end)
{
    char *p = end;
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    return p;
}

} // namespace

void ResultSet::appendInteger(qint64 value)
{
    char text[24];
    // Counted on the magnitude as unsigned, so that the lowest value has one too.
    char *p = writeDigits(value < 0 ? 0 - quint64(value) : quint64(value), text + sizeof text);
    if (value < 0)
        *--p = '-';
    m_text.append(QLatin1StringView(p, text + sizeof text - p));
    endValue(false);
}

bool ResultSet::appendQuarter(double value)
{
    const double quarters = value * 4;
    // Below 2^40 every whole number of quarters is exact and has at most 15 digits.
    if (!(std::fabs(quarters) < 1099511627776.0) || quarters != std::floor(quarters) || (value == 0 && std::signbit(value)))
        return false;
    const quint64 q = quint64(std::fabs(quarters));
    static constexpr const char *Fractions[] = {".0", ".25", ".5", ".75"};
    char text[32];
    char *end = text + 24;
    char *p = writeDigits(q / 4, end);
    if (value < 0)
        *--p = '-';
    const char *fraction = Fractions[q % 4];
    const qsizetype length = qsizetype(std::strlen(fraction));
    std::memcpy(end, fraction, std::size_t(length));
    m_text.append(QLatin1StringView(p, end + length - p));
    endValue(false);
    return true;
}

void ResultSet::clear()
{
    m_columns.clear();
    m_text.clear();
    m_ends.clear();
    m_nulls.clear();
    m_rowCount = 0;
}
