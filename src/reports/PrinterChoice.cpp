#include "reports/PrinterChoice.h"

#include "reports/PaperFormats.h"

#include <QComboBox>
#include <QPageSize>
#include <QPrinterInfo>
#include <QSignalBlocker>

QString PrinterChoice::pdfPrinterName()
{
    return QStringLiteral("Fichier PDF");
}

void PrinterChoice::fillPrinters(QComboBox *printers, const QString &saved)
{
    const QSignalBlocker quiet(printers);
    printers->clear();
    for (const QPrinterInfo &printer : QPrinterInfo::availablePrinters())
        printers->addItem(printer.printerName());
    printers->addItem(pdfPrinterName());
    int index = saved.isEmpty() ? -1 : printers->findText(saved);
    if (index < 0 && !QPrinterInfo::defaultPrinterName().isEmpty())
        index = printers->findText(QPrinterInfo::defaultPrinterName());
    printers->setCurrentIndex(qMax(0, index));
}

void PrinterChoice::fillFormats(QComboBox *formats, const QString &printer, int savedCode)
{
    const QSignalBlocker quiet(formats);
    formats->clear();
    QList<PaperFormat> offered;
    if (printer == pdfPrinterName()) {
        offered = PaperFormats::all();
    } else {
        const QList<QPageSize> supported = QPrinterInfo::printerInfo(printer).supportedPageSizes();
        for (const PaperFormat &f : PaperFormats::all())
            for (const QPageSize &size : supported)
                if (size.id() == f.size) {
                    offered.append(f);
                    break;
                }
    }
    if (offered.isEmpty()) {
        formats->addItem(QStringLiteral("<Aucun format de papier défini>"), 0);
        return;
    }
    for (const PaperFormat &f : offered)
        formats->addItem(f.name, f.code);
    int index = formats->findData(savedCode);
    if (index < 0)
        index = formats->findData(PaperFormats::DefaultCode);
    formats->setCurrentIndex(qMax(0, index));
}
