#pragma once

#include <QStringList>

class QTextStream;

// quenzo-cli seed: fills an empty database (created when missing) with a
// reproducible demonstration data set.
int runSeed(const QStringList &arguments, QTextStream &out, QTextStream &err);
