#pragma once

#include <QString>
#include <QStringList>

class Database;
class Terms;

// The items a block phrase or a tool-tip phrase is made of, as the
// parameters dialog lists them. A phrase is stored as a code: one letter per
// item, "A" for the first, in the order of texts() (see BlockText).
class PhraseItems
{
public:
    // prospect: the request module is configured, which adds M to V.
    PhraseItems(const Terms &terms, bool prospect);

    const QStringList &texts() const { return m_texts; }
    static QChar letter(int index) { return QChar(char16_t(u'A' + index)); }

    // The item of each letter; letters naming no item are left out.
    QStringList decode(const QString &code) const;
    // The letter of each entry, matched by its text whatever its case;
    // unknown entries are left out.
    QString encode(const QStringList &entries) const;

    // kp_tableprospect names a request table; a failed read means no.
    static bool prospectConfigured(Database &db);

private:
    QStringList m_texts;
};
