#pragma once

#include <QDate>
#include <QList>
#include <QDateTime>
#include <QString>

// Text helpers shared by every statement and every entry field.

// A text value ready to stand between single quotes: trimmed of blanks, every
// quote doubled; an empty value gives defaultValue.
QString sqlText(const QString &value, const QString &defaultValue = {});

// A typed text searched for as it is inside a LIKE pattern: quoted as
// sqlText() does, with "%", "_" and the escape character "!" escaped. The
// pattern must be followed by likeEscape(); the escape is given explicitly
// because the back ends disagree on the default one.
QString sqlLikeText(const QString &value);
inline QString likeEscape() { return QStringLiteral(" escape '!'"); }

// Many text columns store "/" for an empty value: the quoted literal of a
// value for them, and what such a column holds once "/" is read as empty.
QString slashLiteral(const QString &value);
QString slashToEmpty(const QString &stored);

// Moves day, month and year between "dd/mm/yyyy", "mm/dd/yyyy" and
// "yyyy-mm-dd", cut from fixed positions. An unknown target format returns
// the text unchanged.
QString convertDate(const QString &text, const QString &fromFormat, const QString &toFormat);

// A typed date completed and checked as entry fields do it.
struct DateEntry
{
    QString text;            // "dd/mm/yyyy" (or "dd/mm"), empty when invalid
    bool outOfRange = false; // a full date not after 01/01/1850 or after 01/01/2100
    static QString rangeTitle() { return QStringLiteral("Attention"); }
    static QString rangeMessage() { return QStringLiteral("Date incorrecte 1850 -> 2100"); }
};
// full: the result is "dd/mm/yyyy"; otherwise "dd/mm" (day and month only).
DateEntry normaliseDateEntry(const QString &typed, bool full = true, const QDate &today = QDate::currentDate());

// A number text with exactly `decimals` decimals, for SQL (decimal point ".")
// or for the screen (the workstation's separator). Either "," or "." is read as
// the separator; reading stops at the first character that cannot belong to the
// number. Extra decimals are rounded half away from zero.
QString sqlNumber(const QString &text, int decimals);
QString displayNumber(const QString &text, int decimals, QChar separator);

// Numbers comma-separated, for "in (...)"; `whenEmpty` for no number.
QString numberList(const QList<qint64> &numbers, const QString &whenEmpty = {});

// "," when "0,1" reads as a number on this machine, else ".".
QChar systemDecimalSeparator();

// A date or date-time as a back end returns it ("yyyy-mm-dd[ hh:mm[:ss]]" or
// "dd/mm/yyyy[ hh:mm[:ss]]"); invalid when it is neither.
QDateTime parseDbDateTime(const QString &text);
