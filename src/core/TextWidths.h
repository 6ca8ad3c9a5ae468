#pragma once

#include <QString>
#include <QStringView>

// Every back end must keep the same texts: MariaDB refuses a text longer than
// its column, the embedded engine would store it whole. Checking each insert
// and update against the schema's widths before it reaches any engine makes
// both refuse it, with the same French text.
namespace TextWidths {

// The widest text a LongText column keeps on a server (bytes of UTF-8).
constexpr int LongTextBytes = 65535;

// Empty when the statement may run; otherwise why it is refused. Only quoted
// texts given to a known column of an insert or update are measured (in
// characters, as a server counts them); a nul character is refused anywhere,
// since it would cut the statement short on the way to the engine.
QString refusal(QStringView sql);

} // namespace TextWidths
