#include "tasks/CostItemStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");
const QString Columns = QStringLiteral("select noid,libcout,typecout,mtunit from kp_couts");

Outcome readFailure(Database &db)
{
    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des couts"), db.lastError());
}

CostItem itemAt(const ResultSet &rows, int r)
{
    return {rows.toLongLong(r, 0), rows.value(r, 1), rows.toInt(r, 2), rows.value(r, 3)};
}

} // namespace

Outcome CostItemStore::list(int kind, QList<CostItem> *items) const
{
    items->clear();
    ResultSet rows;
    if (!m_db.query(Columns + QStringLiteral(" where typecout = %1 order by libcout").arg(kind), rows))
        return readFailure(m_db);
    for (int r = 0; r < rows.rowCount(); ++r)
        items->append(itemAt(rows, r));
    return Outcome::success();
}

Outcome CostItemStore::load(qint64 number, CostItem *item) const
{
    ResultSet rows;
    if (!m_db.query(Columns + QStringLiteral(" where noid = %1").arg(number), rows))
        return readFailure(m_db);
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce coût n'est plus défini"));
    *item = itemAt(rows, 0);
    return Outcome::success();
}

Outcome CostItemStore::save(CostItem *item) const
{
    if (item->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner un libellé !"));
    const QString failed = QStringLiteral("Erreur lors de la mise à jour des coûts");
    Transaction transaction(m_db);
    if (!transaction.isActive())
        return Outcome::failure(Error, failed, m_db.lastError());
    qint64 number = item->number;
    bool exists = false;
    if (number == 0) {
        const Outcome allocated = NumberAllocator::next(m_db, {{QStringLiteral("kp_couts"), QStringLiteral("noid"), {}}},
                                                        NumberAllocator::IntMax, &number);
        if (!allocated)
            return allocated;
    } else {
        ResultSet rows;
        if (!m_db.query(QStringLiteral("select noid from kp_couts where noid = %1").arg(number), rows))
            return Outcome::failure(Error, failed, m_db.lastError());
        exists = !rows.isEmpty();
    }
    const QString label = sqlText(item->label);
    const QString kind = QString::number(item->kind == CostItem::Expense ? 1 : 0);
    const QString amount = sqlNumber(item->unitAmount, 2);
    const QString sql = exists ? QStringLiteral("update kp_couts set libcout = '%2', typecout = %3, mtunit = %4 where noid = %1")
                                     .arg(QString::number(number), label, kind, amount)
                               : QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (%1,'%2',%3,%4)")
                                     .arg(QString::number(number), label, kind, amount);
    if (!m_db.exec(sql) || !transaction.commit())
        return Outcome::failure(Error, failed, m_db.lastError());
    item->number = number;
    return Outcome::success();
}

QString CostItemStore::kindName(int kind)
{
    return kind == CostItem::Income ? QStringLiteral("Produit") : QStringLiteral("Charge");
}
