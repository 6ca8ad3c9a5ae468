#include "reports/HistoryScreen.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/DateField.h"
#include "reports/apercu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

void HistoryListModel::setTable(const ReportTable &table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

int HistoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_table.rowCount() - 1);
}

int HistoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QString HistoryListModel::text(int row, int column) const
{
    return CellFormat::plainText(m_table.cell(row + 1, column));
}

QVariant HistoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const CellFormat format = CellFormat::parse(m_table.cell(index.row() + 1, index.column()));
    switch (role) {
    case Qt::DisplayRole: return format.hidden ? QString() : format.text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (format.right ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
        if (format.bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default: return {};
    }
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return CellFormat::plainText(m_table.cell(0, section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

void fillChoiceList(QListWidget *list, const QList<QPair<QString, qint64>> &choices, const QList<qint64> &selected)
{
    list->clear();
    for (const auto &choice : choices) {
        auto *item = new QListWidgetItem(choice.first, list);
        item->setData(Qt::UserRole, choice.second);
        item->setSelected(selected.contains(choice.second));
    }
    if (QListWidgetItem *first = list->selectedItems().value(0))
        list->scrollToItem(first);
}

QList<qint64> selectedNumbers(const QListWidget *list)
{
    QList<qint64> numbers;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            numbers.append(list->item(i)->data(Qt::UserRole).toLongLong());
    return numbers;
}

HistoryScreen::HistoryScreen(Session &session, Prompter &prompter, HistoryKind kind, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_kind(kind)
{
}

HistoryScreen::~HistoryScreen() = default;

void HistoryScreen::build(const QString &caption)
{
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    const Terms &terms = m_session.terms();

    m_preset = new QComboBox(this);
    m_preset->addItems(HistoryPeriod::presetNames());
    m_start = new DateField(this);
    m_end = new DateField(this);
    m_start->setPrompter(&m_prompter);
    m_end->setPrompter(&m_prompter);
    m_type = new QComboBox(this);
    m_type->addItems(HistoryReport::typeNames(m_kind, terms));
    m_state = new QComboBox(this);
    m_state->addItems(HistoryReport::stateNames(terms));
    m_project = new QComboBox(this);
    m_comment = new QLineEdit(this);
    fillChoice(m_project, QStringLiteral("select code,libelle from kp_projets order by libelle"),
               QStringLiteral("Tous les projets"), QStringLiteral("Erreur lors de la lecture des projets"));

    auto *dates = new QHBoxLayout;
    dates->addWidget(m_start);
    dates->addWidget(new QLabel(QStringLiteral("au"), this));
    dates->addWidget(m_end);
    dates->addStretch();

    auto *parameters = new QGroupBox(QStringLiteral("Paramètres"), this);
    auto *form = new QFormLayout(parameters);
    form->addRow(QStringLiteral("Période"), m_preset);
    form->addRow(QStringLiteral("Du"), dates);
    form->addRow(QStringLiteral("Etat"), m_type);
    form->addRow(terms.plural(Entity::Tache), m_state);
    form->addRow(QStringLiteral("Projet"), m_project);
    form->addRow(QStringLiteral("Commentaire"), m_comment);
    addFilters(form);

    m_run = new QPushButton(QStringLiteral("&Valider"), this);
    m_print = plainButton(QStringLiteral("&Imprimer"), this);
    m_stop = plainButton(QStringLiteral("&Arrêter"), this, QStringLiteral("Abandonner le traitement en cours"));
    m_quit = plainButton(QStringLiteral("&Quitter"), this);
    m_run->setDefault(true);
    m_run->setIcon(QIcon::fromTheme(QStringLiteral("dialog-ok")));
    m_print->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    m_stop->setIcon(QIcon::fromTheme(QStringLiteral("process-stop")));
    m_quit->setIcon(QIcon::fromTheme(QStringLiteral("application-exit")));
    m_stop->setEnabled(false);
    connect(m_run, &QPushButton::clicked, this, &HistoryScreen::runReport);
    connect(m_print, &QPushButton::clicked, this, &HistoryScreen::print);
    connect(m_stop, &QPushButton::clicked, this, &HistoryScreen::askStop);
    connect(m_quit, &QPushButton::clicked, this, &HistoryScreen::reject);

    m_status = new QLabel(this);
    m_waiting = new QProgressBar(this);
    m_waiting->setRange(0, 0); // turns while the report runs
    m_waiting->setTextVisible(false);
    m_waiting->setMaximumWidth(160);
    m_waiting->hide();

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_run, m_print, m_stop, m_quit})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(parameters, 1);
    top->addLayout(buttons);

    m_model = new HistoryListModel(this);
    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);

    auto *statusLine = new QHBoxLayout;
    statusLine->addWidget(m_waiting);
    statusLine->addWidget(m_status, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(statusLine);

    connect(m_preset, &QComboBox::activated, this, &HistoryScreen::presetChosen);
    m_preset->setCurrentIndex(HistoryPeriod::Month);
    presetChosen(HistoryPeriod::Month);
    resize(900, 640);
}

bool HistoryScreen::fillChoice(QComboBox *box, const QString &sql, const QString &all, const QString &failure)
{
    box->clear();
    box->addItem(all, QVariant());
    Database *db = m_session.database();
    ResultSet rs;
    if (!db || !db->query(sql, rs)) {
        if (db)
            m_prompter.show(QStringLiteral("Erreur"), db->lastError(), Prompter::Icon::Critical);
        m_prompter.show(QStringLiteral("Erreur"), failure, Prompter::Icon::Critical);
        return false;
    }
    for (int r = 0; r < rs.rowCount(); ++r)
        box->addItem(rs.value(r, rs.columnCount() > 1 ? 1 : 0).trimmed(), rs.value(r, 0).trimmed());
    return true;
}

void HistoryScreen::presetChosen(int preset)
{
    QDate first, last;
    HistoryPeriod::range(preset, QDate::currentDate(), HistoryPeriod::firstWeekday(m_session.settings()), &first, &last);
    m_start->setDate(first);
    m_end->setDate(last);
}

void HistoryScreen::setControlsEnabled(bool enabled)
{
    QList<QWidget *> controls{m_preset, m_start, m_end, m_type, m_state, m_project, m_comment, m_run, m_print};
    controls += ownControls();
    for (QWidget *w : controls)
        w->setEnabled(enabled);
    m_stop->setEnabled(!enabled);
    m_waiting->setVisible(!enabled);
}

void HistoryScreen::showMessages(const Outcome &outcome)
{
    for (const Message &m : outcome.messages())
        m_prompter.show(m.title, m.text, Prompter::iconFor(m.title));
}

void HistoryScreen::runReport()
{
    if (m_running)
        return;
    m_start->normalise();
    m_end->normalise();
    HistoryParameters p;
    p.kind = m_kind;
    p.type = m_type->currentIndex();
    p.start = m_start->date();
    p.end = m_end->date();
    p.state = m_state->currentIndex();
    p.project = m_project->currentData().toString();
    p.projectLabel = p.project.isEmpty() ? QString() : m_project->currentText();
    p.comment = m_comment->text();
    fillParameters(&p);

    HistoryReport report(m_session, p);
    // The event loop goes on between steps, so that the stop button answers.
    report.setProgress(
        [this](const QString &status) {
            m_status->setText(status);
            QApplication::processEvents();
            return !m_stopAsked;
        },
        m_progressStep);
    m_running = true;
    m_stopAsked = false;
    setControlsEnabled(false);
    HistoryOutput output;
    const Outcome outcome = report.run(&output);
    m_running = false;
    setControlsEnabled(true);
    m_status->setText(output.stopped ? QStringLiteral("Abandon du traitement")
                                     : QString::number(output.lines) + QStringLiteral(" ligne(s)"));
    // A failed read shows the lines read before it.
    if (outcome || output.lines > 0) {
        m_model->setTable(output.table);
        const double pixelsPerTwip = m_view->logicalDpiX() / 1440.0;
        // Fitting the columns to their texts reads every line: only for lists of a fair size.
        const bool fit = m_model->rowCount() <= 2000;
        if (fit)
            m_view->resizeColumnsToContents();
        for (int c = 0; c < output.table.columnCount(); ++c) {
            const int twips = output.table.columnWidth(c);
            m_view->setColumnHidden(c, twips <= 0); // "Tri" only orders the lines
            if (!fit)
                m_view->horizontalHeader()->resizeSection(c, qRound(twips * pixelsPerTwip * 1.3));
        }
    }
    showMessages(outcome);
}

void HistoryScreen::print()
{
    if (m_model->rowCount() == 0) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Rien à imprimer"), Prompter::Icon::Warning);
        return;
    }
    apercu::preview(m_session, m_prompter, m_model->table(), this);
}

void HistoryScreen::askStop()
{
    if (m_running && m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Abandonner le traitement en cours ?"), false))
        m_stopAsked = true;
}

void HistoryScreen::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        m_prompter.show(QStringLiteral("Traitement en cours"), QStringLiteral("Impossible de quitter"), Prompter::Icon::Warning);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void HistoryScreen::reject()
{
    if (m_running) {
        m_prompter.show(QStringLiteral("Traitement en cours"), QStringLiteral("Impossible de quitter"), Prompter::Icon::Warning);
        return;
    }
    QDialog::reject();
}
