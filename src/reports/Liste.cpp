#include "reports/Liste.h"

#include "core/Outcome.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/OkCancel.h"
#include "reports/apercu.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

Liste::Liste(Session &session, Prompter &prompter, const ListRequest &request, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_model(new ListModel(request, this)),
      m_view(new QTableView(this)), m_printButton(new QPushButton(QStringLiteral("&Imprimer"), this))
{
    setWindowTitle(request.caption);
    setModal(true);
    m_model->setImagesFolder(session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images")));

    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->setWordWrap(false);
    m_view->setTabKeyNavigation(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->installEventFilter(this);

    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder); // no arrow before the first sort
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionClicked, this, &Liste::sortOn);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            accept();
    });

    const double dotsPerTwip = m_view->logicalDpiX() / 1440.0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int twips = m_model->column(c).widthTwips;
        // Width 0 carries a value (often a number) the person need not see.
        m_view->setColumnHidden(c, twips <= 0);
        header->resizeSection(c, qMax(qRound(twips * dotsPerTwip), header->sectionSizeHint(c)));
    }

    m_printButton->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    m_printButton->setAutoDefault(false);
    connect(m_printButton, &QPushButton::clicked, this, &Liste::print);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_printButton);
    buttons->addStretch();
    buttons->addWidget(okCancelButtons(this));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(buttons);
    fitToContents();
}

Liste::~Liste() = default;

ListAnswer Liste::choose(Session &session, Prompter &prompter, const ListRequest &request, QWidget *parent)
{
    Liste window(session, prompter, request, parent);
    if (window.load() == Load::NoLine)
        return {};
    window.exec();
    return window.answer();
}

Liste::Load Liste::load()
{
    m_answer = {};
    Database *db = m_session.database();
    const Outcome outcome = db ? m_model->load(*db, m_session.decimalSeparator())
                               : Outcome::failure().notice(QStringLiteral("Erreur de lecture"),
                                                           QStringLiteral("Erreur lors de la lecture\nMessage : "));
    for (const Message &m : outcome.messages())
        m_prompter.show(m.title, m.text, outcome.ok() ? Prompter::iconFor(m.title) : Prompter::Icon::Critical);
    if (!outcome.ok())
        return Load::Failed;
    if (m_model->rowCount() == 0)
        return Load::NoLine;
    m_view->setCurrentIndex(m_model->index(0, 0));
    m_view->setFocus();
    fitToContents();
    return Load::Ready;
}

void Liste::accept()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) {
        reject();
        return;
    }
    m_answer = m_model->answer(current.row());
    QDialog::accept();
}

void Liste::print()
{
    apercu::preview(m_session, m_prompter, m_model->reportTable(), this);
}

bool Liste::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Liste::sortOn(int column)
{
    const Qt::SortOrder order = m_model->sortNext(column);
    m_view->horizontalHeader()->setSortIndicator(column, order);
    m_view->scrollTo(m_view->currentIndex());
}

// Wide enough for every column shown, tall enough for a fair number of lines,
// never beyond the screen.
void Liste::fitToContents()
{
    const QHeaderView *header = m_view->horizontalHeader();
    int width = 2 * m_view->frameWidth() + m_view->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (!m_view->isColumnHidden(c))
            width += header->sectionSize(c);
    const int lines = qBound(8, m_model->rowCount(), 18);
    int height = header->sizeHint().height() + lines * m_view->verticalHeader()->defaultSectionSize()
                 + 2 * m_view->frameWidth() + m_printButton->sizeHint().height() + 3 * qMax(layout()->spacing(), 6);
    const QMargins margins = layout()->contentsMargins();
    width += margins.left() + margins.right();
    height += margins.top() + margins.bottom();

    QSize limit(1024, 768);
    if (const QScreen *s = screen())
        limit = s->availableGeometry().size() * 0.9;
    resize(qBound(420, width, limit.width()), qMin(height, limit.height()));
}
