#include "planning/PhraseItems.h"

#include "core/Database.h"
#include "core/Terms.h"

PhraseItems::PhraseItems(const Terms &terms, bool prospect)
{
    const QString task = terms.article(Entity::Tache) + terms.singular(Entity::Tache);
    // Addresses, postcodes and towns come from the linked client and resources.
    const QString linked = terms.article(Entity::Client) + terms.singular(Entity::Client) + QStringLiteral("/des ")
                           + terms.plural(Entity::Ressource);
    m_texts = {
        QStringLiteral("Date et heure Début"),
        QStringLiteral("Date et heure Fin"),
        QStringLiteral("Saut de ligne"),
        QStringLiteral("Durée ") + task,
        QStringLiteral("Libellé ") + task,
        QStringLiteral("Commentaire"),
        QStringLiteral("Liste des ") + terms.plural(Entity::Client) + QLatin1Char('/') + terms.plural(Entity::Ressource),
        QStringLiteral("Adresse ") + linked,
        QStringLiteral("Code Postal ") + linked,
        QStringLiteral("Ville ") + linked,
        QStringLiteral("Libellé de l'urgence"),
        QStringLiteral("Libellé du projet"),
    };
    if (prospect)
        m_texts << QStringLiteral("Numéro Prospect") << QStringLiteral("Nom Prénom Prospect") << QStringLiteral("Adresse Prospect")
                << QStringLiteral("Code Postal Prospect") << QStringLiteral("Ville Prospect") << QStringLiteral("Tel Prospect")
                << QStringLiteral("Mob Prospect") << QStringLiteral("Fax Prospect") << QStringLiteral("Objet Prospect")
                << QStringLiteral("Commentaire Prospect");
}

QStringList PhraseItems::decode(const QString &code) const
{
    QStringList entries;
    for (const QChar c : code) {
        const int index = c.unicode() - u'A';
        if (index >= 0 && index < m_texts.size())
            entries.append(m_texts.at(index));
    }
    return entries;
}

QString PhraseItems::encode(const QStringList &entries) const
{
    QString code;
    for (const QString &entry : entries)
        for (int i = 0; i < m_texts.size(); ++i)
            if (m_texts.at(i).compare(entry, Qt::CaseInsensitive) == 0) {
                code.append(letter(i));
                break;
            }
    return code;
}

bool PhraseItems::prospectConfigured(Database &db)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select nomtable from kp_tableprospect"), rows))
        return false;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString table = rows.value(r, 0).trimmed();
        if (!table.isEmpty() && table != QLatin1String("/"))
            return true;
    }
    return false;
}
