#include "reports/MemoWords.h"

QStringList MemoWords::split(const QString &text)
{
    QStringList words;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        QString marker;
        qsizetype skip = 1;
        if (c == QLatin1Char(' ')) {
            marker = QStringLiteral("$ES");
        } else if (c == QLatin1Char('-')) {
            marker = QStringLiteral("$TI");
        } else if (c == QLatin1Char('\r')) {
            marker = QStringLiteral("$RC");
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                skip = 2;
        } else if (c == QLatin1Char('\n')) {
            marker = QStringLiteral("$RC");
        }
        if (marker.isEmpty()) {
            ++i;
            continue;
        }
        words.append(text.mid(start, i - start).trimmed());
        words.append(marker);
        i += skip;
        start = i;
    }
    words.append(text.mid(start).trimmed());
    words.append(QStringLiteral("$FI"));
    words.append(QStringLiteral("$XX"));
    return words;
}

QStringList MemoWords::lines(const QStringList &words, double maxWidth, const std::function<double(const QString &)> &width)
{
    QStringList result;
    QString line;
    QString pending; // the separator owed before the next word on this line
    bool lineOpen = false;
    for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
        const QString &word = words.at(i);
        const QString &marker = words.at(i + 1);
        if (!lineOpen) {
            line = word;
            lineOpen = true;
        } else {
            const QString candidate = line + pending + word;
            if (width(candidate) <= maxWidth) {
                line = candidate;
            } else {
                // A hyphen stays at the end of the line it breaks.
                result.append(pending == QLatin1String("-") ? line + pending : line);
                line = word;
            }
        }
        if (marker == QLatin1String("$RC") || marker == QLatin1String("$FI") || marker == QLatin1String("$XX")) {
            result.append(line);
            line.clear();
            pending.clear();
            lineOpen = false;
            if (marker != QLatin1String("$RC"))
                break;
        } else {
            pending = marker == QLatin1String("$TI") ? QStringLiteral("-") : QStringLiteral(" ");
        }
    }
    if (lineOpen)
        result.append(line);
    return result;
}
