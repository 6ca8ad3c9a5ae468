#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A language file: one section per screen, one "key=value" line per text.
// Values are kept on one line by escaping backslashes, CR and LF, and are read
// whole, however long.
class LanguageFile
{
public:
    using Entry = QPair<QString, QString>; // key, unescaped value

    static QString escape(const QString &text);
    static QString unescape(const QString &value);

    // "lang" beside the program when that folder exists, otherwise "lang"
    // under the user's data folder ($XDG_DATA_HOME/Quenzo, ~/.local/share/Quenzo).
    static QString folder(const QString &programFolder);
    // The languages of a folder: its ".ini" files, without the extension, sorted.
    static QStringList languages(const QString &folder);

    // Reads a file written in UTF-8 or Latin-1. A missing, empty or binary
    // file fails with a message saying so, and nothing is read.
    Outcome load(const QString &path);
    // Writes every section, UTF-8.
    Outcome save(const QString &path) const;

    QStringList sections() const;
    QList<Entry> entries(const QString &section) const;
    // The value of a key, empty when the file has none.
    QString value(const QString &section, const QString &key) const;
    // Replaces a section's entries.
    void setEntries(const QString &section, const QList<Entry> &entries);
    bool isEmpty() const { return m_sections.isEmpty(); }

private:
    QList<QPair<QString, QList<Entry>>> m_sections;
};
