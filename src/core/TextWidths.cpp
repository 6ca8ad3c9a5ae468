#include "core/TextWidths.h"

#include "core/Schema.h"

#include <QList>

namespace {

// A cursor over one statement, aware of quoted texts and parentheses.
class Scanner
{
public:
    explicit Scanner(QStringView sql) : m_sql(sql) {}

    bool atEnd() const { return m_pos >= m_sql.size(); }
    void skipBlanks()
    {
        while (!atEnd() && m_sql[m_pos].isSpace())
            ++m_pos;
    }
    // Consumes a keyword (any letter case) followed by a blank or the end.
    bool keyword(QLatin1StringView word)
    {
        skipBlanks();
        const QStringView rest = m_sql.sliced(m_pos);
        if (!rest.startsWith(word, Qt::CaseInsensitive))
            return false;
        if (rest.size() > word.size() && !rest[word.size()].isSpace() && rest[word.size()] != QLatin1Char('('))
            return false;
        m_pos += word.size();
        return true;
    }
    bool symbol(QChar c)
    {
        skipBlanks();
        if (atEnd() || m_sql[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    QString identifier()
    {
        skipBlanks();
        const qsizetype from = m_pos;
        while (!atEnd() && (m_sql[m_pos].isLetterOrNumber() || m_sql[m_pos] == QLatin1Char('_')))
            ++m_pos;
        return m_sql.sliced(from, m_pos - from).toString().toLower();
    }
    // One expression, up to a comma or closing parenthesis at its own level,
    // or (stopAtWhere) a " where " outside any quote or parenthesis.
    QStringView expression(bool stopAtWhere = false)
    {
        skipBlanks();
        const qsizetype from = m_pos;
        int depth = 0;
        while (!atEnd()) {
            const QChar c = m_sql[m_pos];
            if (c == QLatin1Char('\'')) {
                skipQuoted();
                continue;
            }
            if (c == QLatin1Char('('))
                ++depth;
            else if (c == QLatin1Char(')')) {
                if (depth == 0)
                    break;
                --depth;
            } else if (c == QLatin1Char(',') && depth == 0)
                break;
            else if (stopAtWhere && depth == 0 && c.isSpace()
                     && m_sql.sliced(m_pos + 1).startsWith(QLatin1StringView("where"), Qt::CaseInsensitive))
                break;
            ++m_pos;
        }
        return m_sql.sliced(from, m_pos - from).trimmed();
    }

private:
    void skipQuoted()
    {
        ++m_pos;
        while (!atEnd()) {
            if (m_sql[m_pos] == QLatin1Char('\'')) {
                if (m_pos + 1 < m_sql.size() && m_sql[m_pos + 1] == QLatin1Char('\'')) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return;
            }
            ++m_pos;
        }
    }

    QStringView m_sql;
    qsizetype m_pos = 0;
};

// The text of an expression that is one quoted literal and nothing else.
bool literal(QStringView expression, QString *text)
{
    if (expression.size() < 2 || expression.front() != QLatin1Char('\'') || expression.back() != QLatin1Char('\''))
        return false;
    QString value;
    value.reserve(expression.size() - 2);
    for (qsizetype i = 1; i < expression.size() - 1; ++i) {
        if (expression[i] == QLatin1Char('\'')) {
            if (i + 1 >= expression.size() - 1 || expression[i + 1] != QLatin1Char('\''))
                return false; // two literals joined by something else
            ++i;
        }
        value.append(expression[i]);
    }
    *text = value;
    return true;
}

qsizetype characters(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text[i].isLowSurrogate())
            ++count;
    return count;
}

QString measure(const TableSpec &table, const QString &column, QStringView expression)
{
    const ColumnSpec *definition = table.column(column);
    QString text;
    if (!definition || !literal(expression, &text))
        return {};
    if (definition->type == ColumnType::ShortText && definition->length > 0) {
        const qsizetype count = characters(text);
        if (count > definition->length)
            return QStringLiteral("Le texte de la zone %1 (%2) est trop long : %3 caractères pour %4 au plus")
                .arg(column, QLatin1StringView(table.name))
                .arg(count)
                .arg(definition->length);
    } else if (definition->type == ColumnType::LongText) {
        const qsizetype bytes = text.toUtf8().size();
        if (bytes > TextWidths::LongTextBytes)
            return QStringLiteral("Le texte de la zone %1 (%2) est trop long : %3 octets pour %4 au plus")
                .arg(column, QLatin1StringView(table.name))
                .arg(bytes)
                .arg(TextWidths::LongTextBytes);
    }
    return {};
}

QString checkInsert(Scanner &s)
{
    const TableSpec *table = schemaTable(s.identifier());
    if (!table || !s.symbol(QLatin1Char('(')))
        return {};
    QStringList columns;
    do
        columns.append(s.identifier());
    while (s.symbol(QLatin1Char(',')));
    if (!s.symbol(QLatin1Char(')')) || !s.keyword(QLatin1StringView("values")))
        return {};
    do {
        if (!s.symbol(QLatin1Char('(')))
            return {};
        for (int i = 0;; ++i) {
            const QStringView value = s.expression();
            if (i < columns.size()) {
                const QString refused = measure(*table, columns[i], value);
                if (!refused.isEmpty())
                    return refused;
            }
            if (!s.symbol(QLatin1Char(',')))
                break;
        }
        if (!s.symbol(QLatin1Char(')')))
            return {};
    } while (s.symbol(QLatin1Char(',')));
    return {};
}

QString checkUpdate(Scanner &s)
{
    const TableSpec *table = schemaTable(s.identifier());
    if (!table || !s.keyword(QLatin1StringView("set")))
        return {};
    do {
        const QString column = s.identifier();
        if (column.isEmpty() || !s.symbol(QLatin1Char('=')))
            return {};
        const QString refused = measure(*table, column, s.expression(true));
        if (!refused.isEmpty())
            return refused;
    } while (s.symbol(QLatin1Char(',')));
    return {};
}

} // namespace

QString TextWidths::refusal(QStringView sql)
{
    if (sql.contains(QChar(0)))
        return QStringLiteral("Un texte contient un caractère nul, qui ne peut être ni enregistré ni cherché");
    Scanner s(sql);
    if (s.keyword(QLatin1StringView("insert")))
        return s.keyword(QLatin1StringView("into")) ? checkInsert(s) : QString();
    if (s.keyword(QLatin1StringView("update")))
        return checkUpdate(s);
    return {};
}
