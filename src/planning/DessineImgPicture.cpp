#include "planning/DessineImgPicture.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "planning/PlanningExport.h"
#include "reports/PaperFormats.h"
#include "reports/PrinterChoice.h"
#include "reports/apercu.h"
#include "reports/apercupagede.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString Util = QStringLiteral("UTIL");
const QList<int> Zooms = {200, 175, 150, 125, 100, 90, 80, 70, 60, 50, 40, 30};

QToolButton *navButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

// The busy pointer while pages are drawn or written.
struct Busy
{
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
};

} // namespace

QString DessineImgPicture::pdfPrinterName()
{
    return PrinterChoice::pdfPrinterName();
}

DessineImgPicture::DessineImgPicture(Session &session, Prompter &prompter, const PlanningPrint &input, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter),
      m_first(navButton(QStringLiteral("|<"), QStringLiteral("Première page"), this)),
      m_previous(navButton(QStringLiteral("<"), QStringLiteral("Page précédente"), this)), m_current(new QLineEdit(this)),
      m_total(new QLabel(this)), m_next(navButton(QStringLiteral(">"), QStringLiteral("Page suivante"), this)),
      m_last(navButton(QStringLiteral(">|"), QStringLiteral("Dernière page"), this)), m_zoomList(new QComboBox(this)),
      m_printers(new QComboBox(this)), m_formats(new QComboBox(this)), m_orientation(new QComboBox(this)),
      m_scroll(new QScrollArea(this)), m_view(new QLabel(this))
{
    setObjectName(QStringLiteral("DessineImgPicture"));
    setWindowTitle(input.title);
    resize(1100, 800);
    setSizeGripEnabled(true);

    m_current->setObjectName(QStringLiteral("PgEnCours"));
    m_current->setValidator(new QIntValidator(0, 99999, m_current));
    m_current->setFixedWidth(50);
    m_current->setAlignment(Qt::AlignRight);
    for (int z : Zooms)
        m_zoomList->addItem(QString::number(z) + QStringLiteral(" %"), z);
    m_zoomList->setCurrentIndex(int(Zooms.indexOf(70)));
    m_orientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Paysage")});
    m_orientation->setCurrentIndex(1); // a planning is wider than high

    auto *navigation = new QHBoxLayout;
    navigation->addWidget(m_first);
    navigation->addWidget(m_previous);
    navigation->addWidget(new QLabel(QStringLiteral("Page"), this));
    navigation->addWidget(m_current);
    navigation->addWidget(m_total);
    navigation->addWidget(m_next);
    navigation->addWidget(m_last);
    navigation->addSpacing(16);
    navigation->addWidget(new QLabel(QStringLiteral("Zoom :"), this));
    navigation->addWidget(m_zoomList);
    navigation->addStretch();
    auto *printButton = new QPushButton(QStringLiteral("&Imprimer..."), this);
    auto *jpegButton = new QPushButton(QStringLiteral("Exporter en &JPEG..."), this);
    auto *closeButton = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {printButton, jpegButton, closeButton}) {
        b->setAutoDefault(false);
        navigation->addWidget(b);
    }

    auto *printing = new QHBoxLayout;
    printing->addWidget(new QLabel(QStringLiteral("Imprimante :"), this));
    printing->addWidget(m_printers, 2);
    printing->addWidget(new QLabel(QStringLiteral("Format :"), this));
    printing->addWidget(m_formats, 2);
    printing->addWidget(new QLabel(QStringLiteral("Orientation :"), this));
    printing->addWidget(m_orientation);

    m_view->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(navigation);
    layout->addLayout(printing);
    layout->addWidget(m_scroll, 1);

    connect(m_first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QToolButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(m_current, &QLineEdit::editingFinished, this, &DessineImgPicture::pageEntered);
    connect(m_zoomList, &QComboBox::currentIndexChanged, this, [this] {
        m_zoom = m_zoomList->currentData().toInt() / 100.0;
        refresh();
    });
    connect(m_orientation, &QComboBox::currentIndexChanged, this, &DessineImgPicture::repaginate);
    connect(printButton, &QPushButton::clicked, this, &DessineImgPicture::print);
    connect(jpegButton, &QPushButton::clicked, this, &DessineImgPicture::saveJpeg);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); }},
        {QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(0); }},
        {QKeySequence(Qt::CTRL | Qt::Key_End), [this] { showPage(pageCount() - 1); }},
    };
    for (const auto &[sequence, action] : keys)
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);

    {
        Busy busy;
        const Outcome loaded = m_pages.load(session, input);
        m_loaded = bool(loaded);
        if (!loaded)
            m_prompter.show(loaded);
    }
    fillPrinters();
    connect(m_printers, &QComboBox::activated, this, &DessineImgPicture::printerChosen);
    connect(m_formats, &QComboBox::activated, this, &DessineImgPicture::formatChosen);
    repaginate();
}

void DessineImgPicture::open(Session &session, Prompter &prompter, const PlanningPrint &input, Mode mode, QWidget *parent)
{
    DessineImgPicture window(session, prompter, input, parent);
    if (!window.isLoaded())
        return;
    switch (mode) {
    case Mode::Preview: window.exec(); break;
    case Mode::Print: window.print(); break;
    case Mode::Jpeg: window.saveJpeg(); break;
    }
}

QPageSize DessineImgPicture::pageSize() const
{
    const int code = m_formats->currentData().toInt();
    return QPageSize(PaperFormats::byCode(code > 0 ? code : PaperFormats::DefaultCode).size);
}

QPageLayout::Orientation DessineImgPicture::orientation() const
{
    return m_orientation->currentIndex() == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
}

void DessineImgPicture::repaginate()
{
    const QSizeF points = pageSize().size(QPageSize::Point) * PlanningPages::Dpi / 72.0;
    m_pages.setPage(orientation() == QPageLayout::Landscape ? points.transposed() : points);
    showPage(m_page);
}

void DessineImgPicture::showPage(int page)
{
    m_page = qBound(0, page, qMax(0, pageCount() - 1));
    refresh();
}

QImage DessineImgPicture::pageImage() const
{
    return m_pages.image(m_page, m_zoom);
}

void DessineImgPicture::refresh()
{
    const int count = pageCount();
    m_current->setText(QString::number(count ? m_page + 1 : 0));
    m_total->setText(QStringLiteral(" / ") + QString::number(count));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < count);
    m_last->setEnabled(m_page + 1 < count);
    if (count) {
        Busy busy;
        m_view->setPixmap(QPixmap::fromImage(pageImage()));
    }
}

void DessineImgPicture::pageEntered()
{
    // A number outside the pages is replaced by the page shown.
    const int wanted = m_current->text().toInt();
    if (wanted < 1 || wanted > pageCount()) {
        m_current->setText(QString::number(m_page + 1));
        return;
    }
    if (wanted - 1 != m_page)
        showPage(wanted - 1);
}

void DessineImgPicture::fillPrinters()
{
    PrinterChoice::fillPrinters(m_printers, m_session.settings().read(Util, QStringLiteral("Printer")));
    fillFormats();
}

void DessineImgPicture::fillFormats()
{
    const int code = m_session.settings().read(Util, QStringLiteral("FormPrinter"), QString::number(PaperFormats::DefaultCode)).toInt();
    PrinterChoice::fillFormats(m_formats, m_printers->currentText(), code);
}

void DessineImgPicture::printerChosen()
{
    m_session.settings().write(Util, QStringLiteral("Printer"), m_printers->currentText());
    fillFormats();
    repaginate();
}

void DessineImgPicture::formatChosen()
{
    const int code = m_formats->currentData().toInt();
    if (code == 0) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur de format de papier"), Prompter::Icon::Critical);
        return;
    }
    m_session.settings().write(Util, QStringLiteral("FormPrinter"), QString::number(code));
    repaginate();
}

void DessineImgPicture::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_noPrinterShown && QPrinterInfo::availablePrinters().isEmpty()) {
        m_noPrinterShown = true;
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Aucune imprimante définie"), Prompter::Icon::Warning);
    }
}

std::optional<std::pair<int, int>> DessineImgPicture::askRange()
{
    if (pageCount() <= 1)
        return std::pair{1, 1};
    return apercupagede::ask(1, pageCount(), this);
}

void DessineImgPicture::print()
{
    if (!m_loaded)
        return;
    if (m_formats->currentData().toInt() == 0) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur de format de papier"), Prompter::Icon::Critical);
        return;
    }
    const auto range = askRange();
    if (!range)
        return;
    if (m_printers->currentText() == pdfPrinterName()) {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Imprimer dans un fichier PDF"),
                                                          PlanningExport::safeName(windowTitle()) + QStringLiteral(".pdf"),
                                                          QStringLiteral("Fichier PDF (*.pdf)"));
        if (!path.isEmpty())
            printPdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf"),
                     range->first, range->second);
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(m_printers->currentText()), QPrinter::HighResolution);
    printer.setFullPage(true);
    if (!printer.setPageLayout(QPageLayout(pageSize(), orientation(), QMarginsF(0, 0, 0, 0)))) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur de format de papier"), Prompter::Icon::Critical);
        return;
    }
    printer.setDocName(windowTitle());
    if (!printOn(printer, range->first, range->second))
        m_prompter.show(QStringLiteral("Erreur imprimante"),
                        QStringLiteral("Erreur : ") + QStringLiteral("impression impossible sur ") + m_printers->currentText(),
                        Prompter::Icon::Critical);
}

bool DessineImgPicture::printOn(QPagedPaintDevice &device, int from, int to)
{
    Busy busy;
    return m_pages.print(device, from, to);
}

bool DessineImgPicture::printPdf(const QString &path, int from, int to)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(pageSize(), orientation(), QMarginsF(0, 0, 0, 0)));
    writer.setTitle(windowTitle());
    writer.setCreator(QStringLiteral("Quenzo"));
    if (printOn(writer, from, to))
        return true;
    m_prompter.show(QStringLiteral("Erreur imprimante"), QStringLiteral("Erreur : impossible d'écrire le fichier ") + path,
                    Prompter::Icon::Critical);
    return false;
}

void DessineImgPicture::saveJpeg()
{
    if (!m_loaded)
        return;
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter en JPEG"), PlanningExport::safeName(windowTitle()),
                                                      QStringLiteral("Tous les fichiers (*.*)"));
    if (!file.isEmpty())
        exportJpeg(file);
}

bool DessineImgPicture::exportJpeg(const QString &chosenFile)
{
    // The chosen name is the pages' title, in the chosen folder: title_001.jpg ...
    const QFileInfo chosen(chosenFile);
    QString title = chosen.fileName();
    if (title.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        title.chop(4);
    QStringList files;
    QProgressDialog progress(QStringLiteral("Export JPEG..."), QStringLiteral("Arrêter"), 0, pageCount(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const Outcome written = PlanningExport::writeJpegPages(m_pages, chosen.absolutePath(), title, m_zoom, &files,
                                                           [&progress](int page, int pages, const QString &) {
                                                               progress.setLabelText(QStringLiteral("Page %1 / %2").arg(page + 1).arg(pages));
                                                               progress.setValue(page);
                                                               return !progress.wasCanceled();
                                                           });
    progress.reset();
    if (!written) {
        m_prompter.show(written);
        return false;
    }
    m_prompter.show(QStringLiteral("Terminé"), QStringLiteral("Export terminé"));
    return true;
}
