#pragma once

#include <QStringList>

class QTextStream;

// quenzo-cli export-html, export-jpeg and export-pdf: the planning of a
// presentation, a period and filters as an HTML site, JPEG pages or a PDF
// file, drawn without a display, for a job run at set times.
int runExportHtml(const QStringList &arguments, QTextStream &out, QTextStream &err);
int runExportJpeg(const QStringList &arguments, QTextStream &out, QTextStream &err);
int runExportPdf(const QStringList &arguments, QTextStream &out, QTextStream &err);
