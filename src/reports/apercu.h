#pragma once

#include "reports/PrinterChoice.h"
#include "reports/ReportPages.h"
#include "reports/ReportTable.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QToolButton;
class Prompter;
class Session;

// The table print preview: the pages of a ReportTable with zoom, printing of
// a page range (on a printer or into a PDF file), save as a text file and
// copy for a spreadsheet. Modal over the screen that fills it.
class apercu : public QDialog
{
    Q_OBJECT
public:
    apercu(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent = nullptr);
    ~apercu() override;

    // Shows the preview modally over parent.
    static void preview(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent = nullptr);

    // The entry of the printer list that prints into a PDF file.
    static QString pdfPrinterName() { return PrinterChoice::pdfPrinterName(); }

    int pageCount() const;
    int currentPage() const { return m_page; } // 0-based
    void showPage(int page);
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    QImage pageImage(int page, double zoom) const;
    const PageSetup &pageSetup() const { return m_setup; }

    QComboBox *printerList() const { return m_printers; }
    QComboBox *formatList() const { return m_formats; }
    QCheckBox *centreOption() const { return m_centre; }
    QCheckBox *noHeaderOption() const { return m_noHeader; }

    // The steps behind the buttons, once their file or range is chosen.
    bool printPdf(const QString &path, int from, int to);
    bool saveText(const QString &path);
    void copyToClipboard();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void relayout();
    void refresh();
    void fillPrinters();
    void fillFormats();
    void printerChosen();
    void formatChosen();
    void print();
    void save();
    bool printOnPrinter(const QString &printer, int from, int to);

    Session &m_session;
    Prompter &m_prompter;
    ReportTable m_table;
    PageSetup m_setup;
    std::unique_ptr<ReportPages> m_pages;
    int m_page = 0;
    double m_zoom = 1.0;
    bool m_busy = false;
    bool m_noPrinterShown = false;

    QToolButton *m_first;
    QToolButton *m_previous;
    QLabel *m_pageLabel;
    QToolButton *m_next;
    QToolButton *m_last;
    QComboBox *m_zoomList;
    QCheckBox *m_centre;
    QCheckBox *m_noHeader;
    QCheckBox *m_multi;
    QComboBox *m_printers;
    QComboBox *m_formats;
    QComboBox *m_orientation;
    QScrollArea *m_scroll;
    QLabel *m_view;
};
