#pragma once

class QLineEdit;
class QString;

// Caps a line edit at the width of a text column of the schema, so nothing
// typed is ever cut by the database. Long texts stay unlimited. False (and
// the edit untouched) when the table or column is unknown.
bool limitToColumn(QLineEdit *edit, const QString &table, const QString &column);
// A new line edit capped that way.
QLineEdit *columnLineEdit(const QString &table, const QString &column);
