#pragma once

#include <QList>
#include <QString>

// One message box to show: a short title and a French text.
struct Message
{
    QString title;
    QString text;
    bool operator==(const Message &other) const = default;
};

// What a piece of logic hands back to its screen: success or failure, and the
// messages the screen must show, in order. Logic never opens a dialog itself.
class Outcome
{
public:
    static Outcome success() { return Outcome(true); }

    // A failure with nothing to show (the person declined).
    static Outcome failure() { return Outcome(false); }

    // A failure; when the database gave an error text it is shown first,
    // under "Erreur", then the operation's own text.
    static Outcome failure(const QString &title, const QString &text, const QString &dbError = {})
    {
        Outcome o(false);
        if (!dbError.isEmpty())
            o.m_messages.append({QStringLiteral("Erreur"), dbError});
        o.m_messages.append({title, text});
        o.m_dbError = dbError;
        return o;
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }

    // A message shown even though the operation goes on (or succeeded).
    Outcome &notice(const QString &title, const QString &text)
    {
        m_messages.append({title, text});
        return *this;
    }
    // Appends another outcome's messages; fails when it failed.
    Outcome &merge(const Outcome &other)
    {
        m_messages.append(other.m_messages);
        if (!other.m_ok) {
            m_ok = false;
            m_dbError = other.m_dbError;
        }
        return *this;
    }

    const QList<Message> &messages() const { return m_messages; }
    // The last message: the operation's own text on a failure.
    QString title() const { return m_messages.isEmpty() ? QString() : m_messages.last().title; }
    QString text() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    QString dbError() const { return m_dbError; }

private:
    explicit Outcome(bool ok) : m_ok(ok) {}
    bool m_ok;
    QList<Message> m_messages;
    QString m_dbError;
};
