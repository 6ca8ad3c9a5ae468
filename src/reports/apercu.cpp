#include "reports/apercu.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "reports/PaperFormats.h"
#include "reports/PrinterChoice.h"
#include "reports/apercupagede.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString Section = QStringLiteral("Impressionstd");
constexpr int ScreenDpi = 96;

QToolButton *navButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

apercu::apercu(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_table(table),
      m_first(navButton(QStringLiteral("|<"), QStringLiteral("Première page"), this)),
      m_previous(navButton(QStringLiteral("<"), QStringLiteral("Page précédente"), this)), m_pageLabel(new QLabel(this)),
      m_next(navButton(QStringLiteral(">"), QStringLiteral("Page suivante"), this)),
      m_last(navButton(QStringLiteral(">|"), QStringLiteral("Dernière page"), this)), m_zoomList(new QComboBox(this)),
      m_centre(new QCheckBox(QStringLiteral("&Centrer"), this)),
      m_noHeader(new QCheckBox(QStringLiteral("Pas d'&en-tête"), this)),
      m_multi(new QCheckBox(QStringLiteral("&Multi"), this)), m_printers(new QComboBox(this)),
      m_formats(new QComboBox(this)), m_orientation(new QComboBox(this)), m_scroll(new QScrollArea(this)),
      m_view(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    resize(1000, 760);
    setSizeGripEnabled(true);

    m_zoomList->addItems({QStringLiteral("200%"), QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("50%"),
                          QStringLiteral("25%")});
    m_zoomList->setCurrentIndex(1);
    m_centre->setChecked(table.centred);
    m_noHeader->setChecked(table.noHeader);
    m_multi->setChecked(table.multi);
    m_orientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Paysage")});

    auto *navigation = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{m_first, m_previous, m_pageLabel, m_next, m_last})
        navigation->addWidget(w);
    navigation->addSpacing(16);
    navigation->addWidget(new QLabel(QStringLiteral("Zoom :"), this));
    navigation->addWidget(m_zoomList);
    navigation->addSpacing(16);
    navigation->addWidget(m_centre);
    navigation->addWidget(m_noHeader);
    navigation->addWidget(m_multi);
    navigation->addStretch();

    auto *printing = new QHBoxLayout;
    printing->addWidget(new QLabel(QStringLiteral("Imprimante :"), this));
    printing->addWidget(m_printers, 2);
    printing->addWidget(new QLabel(QStringLiteral("Format :"), this));
    printing->addWidget(m_formats, 2);
    printing->addWidget(m_orientation);
    auto *printButton = new QPushButton(QStringLiteral("&Imprimer..."), this);
    auto *saveButton = new QPushButton(QStringLiteral("&Enregistrer..."), this);
    auto *copyButton = new QPushButton(QStringLiteral("Co&pier"), this);
    auto *closeButton = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {printButton, saveButton, copyButton, closeButton}) {
        b->setAutoDefault(false);
        printing->addWidget(b);
    }

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
    connect(m_zoomList, &QComboBox::activated, this, [this](int index) {
        static const double zooms[] = {2, 1, 0.75, 0.5, 0.25};
        setZoom(zooms[qBound(0, index, 4)]);
    });
    connect(m_centre, &QCheckBox::toggled, this, [this](bool on) {
        m_table.centred = on;
        relayout();
    });
    connect(m_noHeader, &QCheckBox::toggled, this, [this](bool on) {
        m_table.noHeader = on;
        relayout();
    });
    connect(m_multi, &QCheckBox::toggled, this, [this](bool on) { m_table.multi = on; });
    connect(m_orientation, &QComboBox::activated, this, [this](int index) {
        m_setup.orientation = index == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
        relayout();
    });
    connect(printButton, &QPushButton::clicked, this, &apercu::print);
    connect(saveButton, &QPushButton::clicked, this, &apercu::save);
    connect(copyButton, &QPushButton::clicked, this, &apercu::copyToClipboard);
    connect(closeButton, &QPushButton::clicked, this, &apercu::reject);

    // Page keys leaf through the pages wherever the focus is.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); }},
        {QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(0); }},
        {QKeySequence(Qt::CTRL | Qt::Key_End), [this] { showPage(pageCount() - 1); }},
    };
    for (const auto &[sequence, action] : keys)
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);

    fillPrinters();
    connect(m_printers, &QComboBox::activated, this, &apercu::printerChosen);
    connect(m_formats, &QComboBox::activated, this, &apercu::formatChosen);
    relayout();
}

apercu::~apercu() = default;

void apercu::preview(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent)
{
    apercu window(session, prompter, table, parent);
    window.exec();
}

int apercu::pageCount() const
{
    return m_pages ? m_pages->pageCount() : 0;
}

void apercu::relayout()
{
    m_pages = std::make_unique<ReportPages>(m_table, m_setup);
    const Outcome laid = m_pages->layout();
    if (!laid)
        m_prompter.show(laid);
    showPage(qMin(m_page, pageCount() - 1));
}

void apercu::showPage(int page)
{
    m_page = qBound(0, page, qMax(0, pageCount() - 1));
    refresh();
}

void apercu::setZoom(double zoom)
{
    m_zoom = zoom;
    refresh();
}

QImage apercu::pageImage(int page, double zoom) const
{
    const double scale = zoom * ScreenDpi / ReportPages::TwipsPerInch;
    const QSizeF size = m_pages->pageSize() * scale;
    QImage image(size.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_pages->paint(painter, page, scale);
    return image;
}

void apercu::refresh()
{
    const int count = pageCount();
    m_pageLabel->setText(QStringLiteral("Page %1 / %2").arg(count ? m_page + 1 : 0).arg(count));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < count);
    m_last->setEnabled(m_page + 1 < count);
    if (count)
        m_view->setPixmap(QPixmap::fromImage(pageImage(m_page, m_zoom)));
}

void apercu::fillPrinters()
{
    PrinterChoice::fillPrinters(m_printers, m_session.settings().read(Section, QStringLiteral("Nom")));
    fillFormats();
}

void apercu::fillFormats()
{
    const int code = m_session.settings().read(Section, QStringLiteral("Format"), QString::number(PaperFormats::DefaultCode)).toInt();
    PrinterChoice::fillFormats(m_formats, m_printers->currentText(), code);
    if (const int chosen = m_formats->currentData().toInt(); chosen != 0)
        m_setup.size = QPageSize(PaperFormats::byCode(chosen).size);
}

void apercu::printerChosen()
{
    m_session.settings().write(Section, QStringLiteral("Nom"), m_printers->currentText());
    fillFormats();
    relayout();
}

void apercu::formatChosen()
{
    const int code = m_formats->currentData().toInt();
    if (code == 0) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur de format de papier"), Prompter::Icon::Critical);
        return;
    }
    m_session.settings().write(Section, QStringLiteral("Format"), QString::number(code));
    m_setup.size = QPageSize(PaperFormats::byCode(code).size);
    relayout();
}

void apercu::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_noPrinterShown && QPrinterInfo::availablePrinters().isEmpty()) {
        m_noPrinterShown = true;
        m_prompter.show(QStringLiteral("Impression"), QStringLiteral("Aucune imprimante définie"), Prompter::Icon::Warning);
    }
}

void apercu::print()
{
    const auto range = apercupagede::ask(1, pageCount(), this);
    if (!range)
        return;
    if (m_printers->currentText() == pdfPrinterName()) {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Imprimer dans un fichier PDF"), QString(),
                                                          QStringLiteral("Fichier PDF (*.pdf)"));
        if (!path.isEmpty())
            printPdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf"),
                     range->first, range->second);
        return;
    }
    printOnPrinter(m_printers->currentText(), range->first, range->second);
}

bool apercu::printPdf(const QString &path, int from, int to)
{
    m_busy = true;
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(m_setup.size, m_setup.orientation, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(m_table.titleLines().join(QLatin1Char(' ')));
    writer.setCreator(QStringLiteral("Quenzo"));
    const bool ok = m_pages->print(writer, from, to);
    m_busy = false;
    if (!ok)
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur imprimante"), Prompter::Icon::Critical);
    return ok;
}

bool apercu::printOnPrinter(const QString &name, int from, int to)
{
    m_busy = true;
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    printer.setFullPage(true);
    bool ok = printer.setPageLayout(QPageLayout(m_setup.size, m_setup.orientation, QMarginsF(0, 0, 0, 0)));
    if (!ok) {
        m_busy = false;
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur de format de papier"), Prompter::Icon::Critical);
        return false;
    }
    printer.setDocName(m_table.titleLines().join(QLatin1Char(' ')));
    ok = m_pages->print(printer, from, to);
    m_busy = false;
    if (!ok)
        m_prompter.show(QStringLiteral("Erreur imprimante"), QStringLiteral("Erreur : ") + QStringLiteral("impression impossible sur ") + name,
                        Prompter::Icon::Critical);
    return ok;
}

void apercu::save()
{
    QFileDialog dialog(this, QStringLiteral("Enregistrer le tableau"), QString(), QStringLiteral("fichier texte (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the question below is ours
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveText(dialog.selectedFiles().first());
}

bool apercu::saveText(const QString &path)
{
    if (QFileInfo(path).isFile()
        && !m_prompter.ask(QStringLiteral("Confirmation"),
                           QStringLiteral("Ce fichier existe déjà\r\nVoulez-vous le remplacer ?"), false))
        return false;
    m_busy = true;
    const QStringList lines = m_table.exportLines();
    QProgressDialog progress(QStringLiteral("Enregistrement du tableau..."), QString(), 0, int(lines.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text);
    for (int i = 0; ok && i < lines.size(); ++i) {
        ok = file.write((lines[i] + QLatin1Char('\n')).toUtf8()) >= 0;
        if (i % 200 == 0)
            progress.setValue(i);
    }
    ok = ok && file.commit();
    progress.setValue(int(lines.size()));
    m_busy = false;
    if (!ok) {
        m_prompter.show(QStringLiteral("Erreur"),
                        QStringLiteral("Erreur : ") + file.errorString() + QStringLiteral(" (%1)").arg(int(file.error())),
                        Prompter::Icon::Critical);
        return false;
    }
    m_prompter.show(QStringLiteral("Réussi"), QStringLiteral("Les données du tableau sont enregistrées"));
    return true;
}

void apercu::copyToClipboard()
{
    m_busy = true;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_table.exportLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
    m_busy = false;
    m_prompter.show(QStringLiteral("Réussi"), QStringLiteral("Les données du tableau sont copiées\r\n"
                                                             "Allez dans un tableur et faites :\r\n"
                                                             "1 : 'FICHIER' -> 'NOUVEAU DOCUMENT'\r\n"
                                                             "2 : 'EDITION' -> 'COLLER'"));
}

void apercu::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous ne pouvez pas quitter"), Prompter::Icon::Warning);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void apercu::reject()
{
    if (m_busy) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous ne pouvez pas quitter"), Prompter::Icon::Warning);
        return;
    }
    QDialog::reject();
}
