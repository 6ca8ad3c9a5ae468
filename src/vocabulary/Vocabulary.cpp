#include "vocabulary/Vocabulary.h"

#include "core/Session.h"
#include "core/SqlText.h"

namespace {

// "1" when the stored flag is 1; anything else reads as 0.
QString flag(const QString &value)
{
    return value.trimmed() == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Outcome Vocabulary::load(Session &session)
{
    Terms &terms = session.terms();
    terms.loadBuiltIn();
    Database *db = session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select code,genre,voyelle,libsing,libplur from kp_remplacement"), rows))
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Erreur lors de la lecture des champs de remplacement"),
                                db ? db->lastError() : QString());
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (Entity entity : Terms::all()) {
            if (rows.value(r, 0) == Terms::code(entity))
                terms.setTerm(entity, {rows.value(r, 3), rows.value(r, 4), flag(rows.value(r, 1)), flag(rows.value(r, 2))});
        }
    }
    return Outcome::success();
}

Outcome Vocabulary::save(Session &session)
{
    Database *db = session.database();
    const QString error = QStringLiteral("Erreur lors de la mise à jour des champs de remplacement");
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), error);
    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), error, db->lastError());
    for (Entity entity : Terms::all()) {
        const Terms::Term &term = session.terms().term(entity);
        const QString code = Terms::code(entity);
        ResultSet rows;
        if (!db->query(QStringLiteral("select code from kp_remplacement where  code = '") + code + QLatin1Char('\''), rows))
            return Outcome::failure(QStringLiteral("Erreur"), error, db->lastError());
        const QString gender = flag(term.gender);
        const QString elision = flag(term.elision);
        const QString sql =
            rows.isEmpty()
                ? QStringLiteral("insert into kp_remplacement (code,genre,voyelle,libsing,libplur) values ('%1',%2,%3,'%4','%5')")
                      .arg(code, gender, elision, sqlText(term.singular), sqlText(term.plural))
                : QStringLiteral("update kp_remplacement set  genre = %2, voyelle = %3, libsing = '%4', libplur = '%5'  "
                                 "where code = '%1'")
                      .arg(code, gender, elision, sqlText(term.singular), sqlText(term.plural));
        if (!db->exec(sql))
            return Outcome::failure(QStringLiteral("Erreur"), error, db->lastError());
    }
    if (!transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), error, db->lastError());
    return load(session);
}
