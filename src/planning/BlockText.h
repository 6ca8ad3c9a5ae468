#pragma once

#include <QString>
#include <QStringList>

struct PlanningBlock;

// Composes the text of a block from a phrase code: each letter A to W picks
// one item (A start, B end, C line break, D duration, E type label, F
// comment, G linked rows, H addresses, I postcodes, J towns, K urgency, L
// project, M to V the prospect's fields). Items whose value is "/" or empty
// are skipped; the others are joined by blanks.
namespace BlockText {

// prospect: the ten prospect items M to V, empty when there is none.
QString compose(const QString &phrase, const PlanningBlock &block, const QStringList &prospect, QChar decimalSeparator);

// "2 jours 3 heures", "1 jour", "" for no duration.
QString duration(double days, double hours, QChar decimalSeparator);

bool usesComment(const QString &phrase);
// Whether the phrase shows a list of linked rows (G to J).
bool usesLinks(const QString &phrase);
bool usesProspect(const QString &phrase);

} // namespace BlockText
