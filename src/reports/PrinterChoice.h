#pragma once

#include <QString>

class QComboBox;

// The printer and paper lists of the print windows (table preview and
// planning): the installed printers and the PDF file, and the paper formats
// the chosen one supports.
namespace PrinterChoice {

// The PDF file, offered whether a printer is installed or not.
QString pdfPrinterName();

// The installed printers then the PDF file; `saved` is chosen while it still
// exists, otherwise the system's default printer, otherwise the first entry.
void fillPrinters(QComboBox *printers, const QString &saved);

// The formats `printer` supports (every one for the PDF file), or
// "<Aucun format de papier défini>"; `savedCode` is chosen when offered,
// otherwise A4.
void fillFormats(QComboBox *formats, const QString &printer, int savedCode);

} // namespace PrinterChoice
