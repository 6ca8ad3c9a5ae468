#pragma once

#include "planning/PlanningPages.h"

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>
#include <optional>
#include <utility>

class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QScrollArea;
class QToolButton;
class Session;

// The planning's print and image window: the pages of the planning handed
// over by the planning window, previewed one at a time at a chosen zoom on
// the chosen paper, printed (on a printer or into a PDF file) and saved as
// JPEG images.
class DessineImgPicture : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Preview, Print, Jpeg };

    DessineImgPicture(Session &session, Prompter &prompter, const PlanningPrint &input, QWidget *parent = nullptr);

    // Opens the window for a preview (modal), or straight for printing or an image export.
    static void open(Session &session, Prompter &prompter, const PlanningPrint &input, Mode mode, QWidget *parent = nullptr);

    // False when the planning could not be read (the message was shown).
    bool isLoaded() const { return m_loaded; }
    int pageCount() const { return m_pages.pageCount(); }
    int currentPage() const { return m_page; } // 0-based
    void showPage(int page);
    qreal zoom() const { return m_zoom; }
    const PlanningPages &pages() const { return m_pages; }
    QImage pageImage() const;

    // The entry of the printer list that prints into a PDF file.
    static QString pdfPrinterName();

    QLineEdit *pageField() const { return m_current; }
    QLabel *pageTotal() const { return m_total; }
    QComboBox *zoomList() const { return m_zoomList; }
    QComboBox *printerList() const { return m_printers; }
    QComboBox *formatList() const { return m_formats; }
    QComboBox *orientationList() const { return m_orientation; }

    // The steps behind the buttons, once their file or range is chosen.
    bool printPdf(const QString &path, int from, int to);
    bool exportJpeg(const QString &chosenFile);
    // The page range to print: the whole planning when it is one page, else asked.
    std::optional<std::pair<int, int>> askRange();

public slots:
    void print();
    void saveJpeg();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillPrinters();
    void fillFormats();
    void printerChosen();
    void formatChosen();
    void pageEntered();
    void repaginate();
    void refresh();
    bool printOn(QPagedPaintDevice &device, int from, int to);
    QPageSize pageSize() const;
    QPageLayout::Orientation orientation() const;

    Session &m_session;
    Prompter &m_prompter;
    PlanningPages m_pages;
    bool m_loaded = false;
    int m_page = 0;
    qreal m_zoom = 0.7;
    bool m_noPrinterShown = false;

    QToolButton *m_first;
    QToolButton *m_previous;
    QLineEdit *m_current;
    QLabel *m_total;
    QToolButton *m_next;
    QToolButton *m_last;
    QComboBox *m_zoomList;
    QComboBox *m_printers;
    QComboBox *m_formats;
    QComboBox *m_orientation;
    QScrollArea *m_scroll;
    QLabel *m_view;
};
