#pragma once

#include <QStringList>

class QTextStream;

// quenzo-cli report: a history report written as a text file or a PDF file.
int runReport(const QStringList &arguments, QTextStream &out, QTextStream &err);
