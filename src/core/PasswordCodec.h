#pragma once

#include <QString>

// The reversible scrambling of user codes, passwords and stored secrets: three
// decimal digits per character, keyed by a fixed phrase. Characters are taken
// as Windows-1252 codes so that values written by other workstations read back.
namespace PasswordCodec {

QString encode(const QString &text);
QString decode(const QString &digits);

// Why `text`, named `what` ("Le libellé utilisateur"), cannot be kept
// scrambled in a column `width` digits wide; empty when it can. A character
// outside Windows-1252 would come back as "?", so it is refused rather than
// lost.
QString refusal(const QString &text, int width, const QString &what);

} // namespace PasswordCodec
