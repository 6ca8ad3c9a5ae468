#pragma once

#include <QString>

// The reversible scrambling of user codes, passwords and stored secrets: three
// decimal digits per character, keyed by a fixed phrase. Characters are taken
// as Windows-1252 codes so that values written by other workstations read back.
namespace PasswordCodec {

QString encode(const QString &text);
QString decode(const QString &digits);

} // namespace PasswordCodec
