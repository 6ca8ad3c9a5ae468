#pragma once

#include <QStringList>

class QTextStream;

// quenzo-cli init-db: creates (or opens) a database and runs its schema check.
int runInitDb(const QStringList &arguments, QTextStream &out, QTextStream &err);
