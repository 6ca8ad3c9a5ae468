#include "messaging/Frm_BoiteLettres.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/Buttons.h"
#include "messaging/Frm_Message.h"
#include "messaging/Frm_Note.h"
#include "reports/ReportTable.h"
#include "reports/apercu.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString shownDate(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString when(const QDate &date, const QString &time)
{
    return date.isValid() ? shownDate(date) + QStringLiteral(" à ") + time : QStringLiteral("Non lu");
}

} // namespace

// The mailbox lines, sorted in place on a click on a column title.
class MailboxModel : public QAbstractTableModel
{
public:
    enum Column { Direction, Date, Time, Correspondent, Title, Count };

    explicit MailboxModel(QObject *parent) : QAbstractTableModel(parent) {}

    void setEntries(const QList<MailboxEntry> &entries)
    {
        beginResetModel();
        m_entries = entries;
        endResetModel();
    }
    const QList<MailboxEntry> &entries() const { return m_entries; }
    const MailboxEntry *entry(int row) const { return row >= 0 && row < m_entries.size() ? &m_entries.at(row) : nullptr; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_entries.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : Count; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const MailboxEntry *e = entry(index.row());
        if (!e)
            return {};
        if (role == Qt::DecorationRole && index.column() == Direction)
            return QIcon::fromTheme(e->received ? QStringLiteral("mail-read") : QStringLiteral("mail-send"));
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case Direction: return e->received ? QStringLiteral("Reçu") : QStringLiteral("Envoyé");
        case Date: return shownDate(e->date);
        case Time: return e->time;
        case Correspondent: return e->correspondent;
        case Title: return e->title;
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const QStringList titles = {QStringLiteral("Sens"), QStringLiteral("Date"), QStringLiteral("Heure"),
                                           QStringLiteral("De / A"), QStringLiteral("Titre")};
        return titles.value(section);
    }

    void sort(int column, Qt::SortOrder order) override
    {
        auto text = [column](const MailboxEntry &e) -> QString {
            switch (column) {
            case Direction: return e.received ? QStringLiteral("1") : QStringLiteral("0");
            case Correspondent: return e.correspondent.toLower();
            case Title: return e.title.toLower();
            default: return e.sortKey(); // the date and time, through "yyyymmdd"
            }
        };
        emit layoutAboutToBeChanged();
        std::stable_sort(m_entries.begin(), m_entries.end(), [&](const MailboxEntry &a, const MailboxEntry &b) {
            const QString ka = text(a), kb = text(b);
            if (ka == kb)
                return a.number > b.number;
            return order == Qt::AscendingOrder ? ka < kb : ka > kb;
        });
        emit layoutChanged();
    }

private:
    QList<MailboxEntry> m_entries;
};

Frm_BoiteLettres::Frm_BoiteLettres(Session &session, Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_prompter(prompter), m_model(new MailboxModel(this)),
      m_view(new QTableView(this)), m_detail(new QTreeWidget(this)), m_text(new QPlainTextEdit(this)),
      m_reply(plainButton(QStringLiteral("&Répondre"), this))
{
    setWindowTitle(QStringLiteral("Boite aux Lettres") + QStringLiteral(" - Utilisateur : ") + session.userCode());
    resize(820, 600);

    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(true);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(true);

    m_detail->setColumnCount(3);
    m_detail->setHeaderLabels({QStringLiteral("Utilisateur"), QStringLiteral("Envoyé le"), QStringLiteral("Lu le")});
    m_detail->setRootIsDecorated(false);
    m_detail->setMaximumHeight(110);
    m_text->setReadOnly(true);

    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(new QLabel(QStringLiteral("Lecture :"), lower));
    lowerLayout->addWidget(m_detail);
    lowerLayout->addWidget(m_text, 1);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_view);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto *readAgainButton = plainButton(QStringLiteral("Re&lire"), this, QStringLiteral("Afficher le message comme à sa réception"));
    auto *forwardButton = plainButton(QStringLiteral("&Transférer"), this);
    auto *removeButton = plainButton(QStringLiteral("&Supprimer"), this);
    auto *printButton = plainButton(QStringLiteral("&Imprimer"), this);
    auto *refreshButton = plainButton(QStringLiteral("&Actualiser"), this);
    auto *closeButton = new QPushButton(QStringLiteral("&Fermer"), this);
    m_needSelection = {readAgainButton, m_reply, forwardButton, removeButton};
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {readAgainButton, m_reply, forwardButton, removeButton, printButton, refreshButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    m_composer = [this](const OutgoingNote &preset) { Frm_Message::open(m_session, m_prompter, preset); };
    m_previewer = [this](const ReportTable &table) { apercu::preview(m_session, m_prompter, table, this); };
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Frm_BoiteLettres::showDetail);
    connect(m_view, &QTableView::doubleClicked, this, &Frm_BoiteLettres::readAgain);
    connect(readAgainButton, &QPushButton::clicked, this, &Frm_BoiteLettres::readAgain);
    connect(m_reply, &QPushButton::clicked, this, &Frm_BoiteLettres::reply);
    connect(forwardButton, &QPushButton::clicked, this, &Frm_BoiteLettres::forward);
    connect(removeButton, &QPushButton::clicked, this, &Frm_BoiteLettres::removeCurrent);
    connect(printButton, &QPushButton::clicked, this, &Frm_BoiteLettres::print);
    connect(refreshButton, &QPushButton::clicked, this, &Frm_BoiteLettres::refresh);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    refresh();
    m_view->setFocus();
}

Frm_BoiteLettres::~Frm_BoiteLettres() = default;

void Frm_BoiteLettres::refresh()
{
    QList<MailboxEntry> entries;
    const Outcome read = Mailbox::list(m_session, &entries);
    if (!read)
        m_prompter.show(read);
    m_model->setEntries(entries);
    m_view->horizontalHeader()->setSortIndicator(MailboxModel::Date, Qt::DescendingOrder);
    m_view->resizeColumnsToContents();
    select(0);
}

int Frm_BoiteLettres::count() const
{
    return m_model->rowCount();
}

const MailboxEntry *Frm_BoiteLettres::entryAt(int row) const
{
    return m_model->entry(row);
}

const MailboxEntry *Frm_BoiteLettres::current() const
{
    return m_model->entry(m_view->currentIndex().row());
}

void Frm_BoiteLettres::select(int row)
{
    if (row >= 0 && row < count())
        m_view->setCurrentIndex(m_model->index(row, 0));
    showDetail();
}

void Frm_BoiteLettres::showDetail()
{
    m_detail->clear();
    m_text->clear();
    const MailboxEntry *e = current();
    for (QPushButton *b : std::as_const(m_needSelection))
        b->setEnabled(e != nullptr);
    if (!e)
        return;
    m_reply->setEnabled(e->received && !e->alert);
    QList<MailboxDetail> lines;
    const Outcome read = Mailbox::detail(m_session, *e, &lines);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    for (const MailboxDetail &line : std::as_const(lines))
        new QTreeWidgetItem(m_detail, {line.user, when(line.sentDate, line.sentTime), when(line.readDate, line.readTime)});
    for (int c = 0; c < m_detail->columnCount(); ++c)
        m_detail->resizeColumnToContents(c);
    m_text->setPlainText(QString(e->text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool Frm_BoiteLettres::readCurrent(Note *note)
{
    const MailboxEntry *e = current();
    if (!e)
        return false;
    const Outcome read = Mailbox::read(m_session, *e, note);
    if (!read) {
        m_prompter.show(read);
        return false;
    }
    return true;
}

Frm_Note *Frm_BoiteLettres::readAgain()
{
    Note note;
    if (!readCurrent(&note))
        return nullptr;
    auto *window = new Frm_Note(m_session, m_prompter, note, false, this);
    window->show();
    return window;
}

void Frm_BoiteLettres::reply()
{
    Note note;
    if (current() && current()->received && readCurrent(&note) && !note.isAlert())
        m_composer(MessageStore::replyTo(note));
}

void Frm_BoiteLettres::forward()
{
    Note note;
    if (readCurrent(&note))
        m_composer(MessageStore::forwardOf(note));
}

void Frm_BoiteLettres::removeCurrent()
{
    const MailboxEntry *e = current();
    if (!e)
        return;
    if (!m_prompter.ask(QStringLiteral("Continuer"),
                        QStringLiteral("Attention vous allez supprimer le message sélectionné") + QStringLiteral("\nContinuer ?"), false))
        return;
    const int row = m_view->currentIndex().row();
    const Outcome removed = Mailbox::remove(m_session, *e);
    if (!removed)
        m_prompter.show(removed);
    refresh();
    select(qMin(row, count() - 1));
}

void Frm_BoiteLettres::print()
{
    m_previewer(Mailbox::report(m_model->entries(), m_session.userCode()));
}

void Frm_BoiteLettres::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}
