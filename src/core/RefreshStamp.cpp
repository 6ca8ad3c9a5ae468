#include "core/RefreshStamp.h"

#include "core/Session.h"
#include "core/SqlText.h"

#include <QTime>

namespace {

const QString ReadError = QStringLiteral("Erreur lors de la lecture de la base");
const QString WriteError = QStringLiteral("Erreur lors de la mise à jour du refresh");

QString newStamp(const Session &session)
{
    return RefreshStamp::make(session.workstation(), QTime::currentTime(), session.decimalSeparator());
}

Outcome insertStamp(Database &db, const QString &stamp)
{
    if (!db.exec(QStringLiteral("insert into kp_refresh(utilmaj) values ('") + stamp + QStringLiteral("')")))
        return Outcome::failure(QStringLiteral("Erreur"), WriteError, db.lastError());
    return Outcome::success();
}

} // namespace

QString RefreshStamp::make(const QString &workstation, const QTime &time, QChar decimalSeparator)
{
    // Seconds as a single-precision number with hundredths, the way the stamp has always been written.
    const float seconds = float(time.msecsSinceStartOfDay() / 10) / 100.0f;
    QString tag = QString::number(seconds, 'f', 2);
    while (tag.contains(QLatin1Char('.')) && (tag.endsWith(QLatin1Char('0')) || tag.endsWith(QLatin1Char('.'))))
        tag.chop(1);
    tag.replace(QLatin1Char('.'), decimalSeparator);
    tag = (QStringLiteral("00000000") + tag).right(8);
    return sqlText(workstation, QStringLiteral("/")) + tag;
}

Outcome RefreshStamp::read(Session &session, QString *stamp)
{
    Database *db = session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select utilmaj from kp_refresh"), rows))
        return Outcome::failure(QStringLiteral("Erreur"), ReadError, db ? db->lastError() : QString());
    QString value;
    if (rows.isEmpty()) {
        value = newStamp(session);
        const Outcome inserted = insertStamp(*db, value);
        if (!inserted)
            return inserted;
    } else {
        value = rows.value(0, 0);
    }
    session.setLastStamp(value);
    if (stamp)
        *stamp = value;
    return Outcome::success();
}

Outcome RefreshStamp::write(Session &session)
{
    Database *db = session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select utilmaj from kp_refresh"), rows))
        return Outcome::failure(QStringLiteral("Erreur"), ReadError, db ? db->lastError() : QString());
    const QString stamp = newStamp(session);
    if (rows.isEmpty()) {
        const Outcome inserted = insertStamp(*db, stamp);
        if (!inserted)
            return inserted;
    } else if (!db->exec(QStringLiteral("update kp_refresh set  utilmaj = '") + stamp + QLatin1Char('\''))) {
        return Outcome::failure(QStringLiteral("Erreur"), WriteError, db->lastError());
    }
    session.setLastStamp(session.workstation());
    return Outcome::success();
}
