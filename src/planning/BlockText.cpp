#include "planning/BlockText.h"

#include "planning/PlanningModel.h"

namespace {

QString number(double v, QChar separator)
{
    QString text = QString::number(v, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), separator);
}

QString listed(const QStringList &values)
{
    QStringList kept;
    for (const QString &v : values)
        if (!v.isEmpty() && v != QLatin1String("/"))
            kept.append(v);
    return kept.join(QStringLiteral(", "));
}

} // namespace

QString BlockText::duration(double days, double hours, QChar separator)
{
    QString text;
    if (days > 0)
        text = number(days, separator) + QStringLiteral(" jour") + (days > 1 ? QStringLiteral("s") : QString());
    if (hours > 0) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += number(hours, separator) + QStringLiteral(" heure") + (hours > 1 ? QStringLiteral("s") : QString());
    }
    return text;
}

QString BlockText::compose(const QString &phrase, const PlanningBlock &b, const QStringList &prospect, QChar separator)
{
    QString text;
    bool lineStart = true; // nothing written on the current line yet
    for (const QChar letter : phrase) {
        if (letter < QLatin1Char('A') || letter > QLatin1Char('W'))
            continue;
        QString item;
        switch (letter.toLatin1()) {
        case 'A': item = b.startText(); break;
        case 'B': item = b.endText(); break;
        case 'C':
            text += QLatin1Char('\n');
            lineStart = true;
            continue;
        case 'D': item = duration(b.nbjours, b.nbheures, separator); break;
        case 'E': item = b.typeLabel; break;
        case 'F': item = b.comment; break;
        case 'G': item = listed(b.linkNames); break;
        case 'H': item = listed(b.addresses); break;
        case 'I': item = listed(b.postcodes); break;
        case 'J': item = listed(b.towns); break;
        case 'K': item = b.urgencyLabel; break;
        case 'L': item = b.projectLabel; break;
        case 'W': break;
        default: item = prospect.value(letter.toLatin1() - 'M'); break;
        }
        item = item.trimmed();
        if (item.isEmpty() || item == QLatin1String("/"))
            continue;
        if (!lineStart)
            text += QLatin1Char(' ');
        text += item;
        lineStart = false;
    }
    return text;
}

bool BlockText::usesComment(const QString &phrase)
{
    return phrase.contains(QLatin1Char('F'));
}

bool BlockText::usesProspect(const QString &phrase)
{
    for (const QChar c : phrase)
        if (c >= QLatin1Char('M') && c <= QLatin1Char('V'))
            return true;
    return false;
}

bool BlockText::usesLinks(const QString &phrase)
{
    for (const QChar c : phrase)
        if (c >= QLatin1Char('G') && c <= QLatin1Char('J'))
            return true;
    return false;
}
