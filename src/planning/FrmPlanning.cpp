#include "planning/FrmPlanning.h"

#include "planning/IcsExport.h"

#include "clients/GesParticuliers.h"
#include "clients/GesSocietes.h"
#include "core/Prompter.h"
#include "core/RecordLocks.h"
#include "core/RefreshStamp.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "planning/DessineImgPicture.h"
#include "planning/FilterPanel.h"
#include "planning/IcsExport.h"
#include "planning/Frm_Param.h"
#include "planning/PlanningCommand.h"
#include "planning/PlanningExport.h"
#include "planning/ParamPlanning.h"
#include "planning/PlanningView.h"
#include "resources/CatalogueScreens.h"
#include "resources/GesHoraires.h"
#include "resources/GesIndispo.h"
#include "resources/GesRessources.h"
#include "resources/ReferenceLists.h"
#include "resources/profile/GesProfilHoraire.h"
#include "tasks/DefTaches.h"
#include "tasks/GesCouts.h"
#include "tasks/GesTaches.h"
#include "tasks/ListEtapes.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Days read on each side of the days shown, so that moving by a day or so
// only moves the picture.
constexpr int Margin = 7;

} // namespace

FrmPlanning::FrmPlanning(Session &session, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_prompter(prompter), m_panel(new FilterPanel(session, prompter, this)),
      m_view(new PlanningView(this)), m_scroll(new QScrollBar(Qt::Vertical, this)), m_pointer(new QLabel(this)),
      m_summary(new QLabel(this)), m_timer(new QTimer(this)), m_command(new PlanningCommand(session, prompter, this)),
      m_note(new QLabel(m_view)), m_noteTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("FrmPlanning"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_settings = PlanningSettings::read(session.settings());
    m_period = PlanningPeriod::fromCaption(m_settings.periode, Period::NbDays);
    m_start = QDate::currentDate();

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_panel);
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(m_view, 1);
    m_scroll->setObjectName(QStringLiteral("VscrollRessources"));
    row->addWidget(m_scroll);
    column->addLayout(row, 1);
    setCentralWidget(central);
    m_view->setObjectName(QStringLiteral("PicDetail"));
    m_view->setModel(&m_model);
    m_view->setTooltipSource([this](int block) { return m_model.tooltip(m_session, block); });
    statusBar()->addWidget(m_pointer, 1);
    statusBar()->addPermanentWidget(m_summary);

    m_panel->setPresentation(m_settings.presentation);
    m_panel->setStartDate(m_start);
    m_panel->setNbJours(m_settings.nbJours);
    m_panel->rebuild();

    connect(m_panel, &FilterPanel::filtersChanged, this, [this] {
        m_scroll->setValue(0);
        reload();
    });
    connect(m_panel, &FilterPanel::presentationChanged, this, [this](Presentation p) {
        m_settings.presentation = p;
        m_session.settings().write(planningSection(), QStringLiteral("Presentation"), QString::number(int(p)));
        m_scroll->setValue(0);
        reload();
    });
    connect(m_panel, &FilterPanel::startDateChanged, this, &FrmPlanning::setStartDate);
    connect(m_panel, &FilterPanel::nbJoursChanged, this, [this](int days) {
        m_settings.nbJours = days;
        m_session.settings().write(planningSection(), QStringLiteral("NbJours"), QString::number(days));
        if (m_period == Period::NbDays)
            showFrame();
    });
    connect(m_panel, &FilterPanel::dateStep, this, &FrmPlanning::step);
    connect(m_scroll, &QScrollBar::valueChanged, m_view, &PlanningView::setFirstRow);
    connect(m_view, &PlanningView::rowsPerScreenChanged, this, &FrmPlanning::updateScroll);
    connect(m_view, &PlanningView::hovered, m_pointer, &QLabel::setText);
    connect(m_view, &PlanningView::scrollRows, this, [this](int rows) { m_scroll->setValue(m_scroll->value() + rows); });
    connect(m_view, &PlanningView::scrollDays, this, [this](int days) { setStartDate(m_start.addDays(days)); });
    connect(m_view, &PlanningView::blockActivated, this, &FrmPlanning::openBlock);
    connect(m_view, &PlanningView::rowActivated, this, &FrmPlanning::openRow);
    connectEditing();

    buildMenus();
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] { refreshTick(); });
    m_lastRefresh = QTime::currentTime();
    m_timer->start();
    resize(1280, 780);
    reload();
}

FrmPlanning::~FrmPlanning() = default;

QString FrmPlanning::rowTerm() const
{
    return m_session.terms().singular(rowEntity(m_settings.presentation));
}

QString FrmPlanning::emptyText() const
{
    const bool feminine = m_session.terms().feminine(rowEntity(m_settings.presentation));
    return QStringLiteral("Aucun") + (feminine ? QStringLiteral("e ") : QStringLiteral(" ")) + rowTerm().toLower()
           + QStringLiteral(" à afficher");
}

void FrmPlanning::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    file->setObjectName(QStringLiteral("MenuFichier"));
    const auto output = [this](DessineImgPicture::Mode mode) {
        return [this, mode] { DessineImgPicture::open(m_session, m_prompter, printInput(), mode, this); };
    };
    file->addAction(QStringLiteral("&Aperçu"), this, output(DessineImgPicture::Mode::Preview))->setObjectName(QStringLiteral("Apercu"));
    QAction *printing = file->addAction(QStringLiteral("&Imprimer"), this, output(DessineImgPicture::Mode::Print));
    printing->setObjectName(QStringLiteral("Imprimer"));
    printing->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    file->addAction(QStringLiteral("Exporter en &JPEG"), this, output(DessineImgPicture::Mode::Jpeg))->setObjectName(QStringLiteral("ExportJpeg"));
    file->addAction(QStringLiteral("Export &HTML"), this, &FrmPlanning::exportHtml)->setObjectName(QStringLiteral("ExportHtml"));
    file->addAction(QStringLiteral("Exporter en i&Calendar..."), this, [this] {
            const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Exporter en iCalendar"));
            if (!folder.isEmpty())
                exportIcs(folder);
        })->setObjectName(QStringLiteral("ExportIcs"));

    QMenu *display = menuBar()->addMenu(QStringLiteral("&Affichage"));
    m_periods = new QActionGroup(this);
    for (Period p : PlanningPeriod::all()) {
        QAction *a = display->addAction(PlanningPeriod::caption(p));
        a->setCheckable(true);
        a->setChecked(p == m_period);
        a->setData(int(p));
        m_periods->addAction(a);
        connect(a, &QAction::triggered, this, [this, p] { setPeriod(p); });
    }
    display->addSeparator();
    QMenu *colours = display->addMenu(QStringLiteral("&Couleur des blocs"));
    m_colours = new QActionGroup(this);
    const Terms &terms = m_session.terms();
    const QStringList sources = {terms.singular(Entity::Tache), terms.singular(Entity::Client), QStringLiteral("Urgence"),
                                 QStringLiteral("Zone")};
    for (int i = 0; i < sources.size(); ++i) {
        QAction *a = colours->addAction(sources.at(i));
        a->setCheckable(true);
        a->setChecked(int(m_settings.colourSource) == i);
        m_colours->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { setColourSource(ColourSource(i)); });
    }
    QMenu *refresh = display->addMenu(QStringLiteral("&Rafraîchissement"));
    m_refresh = new QActionGroup(this);
    for (int seconds : PlanningSettings::RefreshChoices) {
        QAction *a = refresh->addAction(seconds == 0 ? QStringLiteral("Jamais") : QString::number(seconds) + QStringLiteral(" secondes"));
        a->setCheckable(true);
        a->setChecked(m_settings.refreshSeconds == seconds);
        m_refresh->addAction(a);
        connect(a, &QAction::triggered, this, [this, seconds] { setRefreshSeconds(seconds); });
    }
    refresh->addSeparator();
    QAction *background = refresh->addAction(QStringLiteral("Aussi quand le planning n'est pas au premier plan"));
    background->setCheckable(true);
    background->setChecked(m_settings.refreshInBackground);
    connect(background, &QAction::toggled, this, [this](bool on) {
        m_settings.refreshInBackground = on;
        m_session.settings().write(planningSection(), QStringLiteral("RaffAuto"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    display->addSeparator();
    QAction *again = display->addAction(QStringLiteral("&Actualiser"), this, [this] { reload(); });
    again->setShortcut(QKeySequence::Refresh);
    QAction *back = display->addAction(QStringLiteral("Jour précédent"), this, [this] { step(-1); });
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    QAction *on = display->addAction(QStringLiteral("Jour suivant"), this, [this] { step(1); });
    on->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    QAction *today = display->addAction(QStringLiteral("Aujourd'hui"), this, [this] { setStartDate(QDate::currentDate()); });
    today->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    display->addSeparator();
    QAction *close = display->addAction(QStringLiteral("&Fermer"), this, &QWidget::close);
    close->setShortcut(QKeySequence::Close);
    file->addSeparator();
    file->addAction(close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edition"));
    m_undo = edit->addAction(QStringLiteral("Annuler"), this, [this] { m_command->undo(); });
    m_undo->setObjectName(QStringLiteral("Annuler"));
    m_undo->setShortcut(QKeySequence::Undo);
    QAction *band = edit->addAction(QStringLiteral("Mode &sélection"));
    band->setCheckable(true);
    band->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    connect(band, &QAction::toggled, m_view, &PlanningView::setSelectionMode);

    QMenu *settings = menuBar()->addMenu(QStringLiteral("&Paramètres"));
    settings->setObjectName(QStringLiteral("MenuParametres"));
    const auto modal = [this](auto make) {
        return [this, make] {
            auto screen = make();
            screen->exec();
            m_panel->rebuild();
            reload();
        };
    };
    Session &s = m_session;
    Prompter &p = m_prompter;
    QAction *parameters = settings->addAction(QStringLiteral("&Paramètres du planning..."), this, [this] {
        ParamPlanning dialog(m_session, m_prompter, this);
        if (dialog.exec() == QDialog::Accepted)
            applySettings();
    });
    parameters->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    settings->addAction(QStringLiteral("&Disposition des filtres..."), this, [this] {
        Frm_Param dialog(m_session, this);
        if (dialog.exec() == QDialog::Accepted)
            m_panel->rebuild();
    });
    settings->addSeparator();
    settings->addAction(QStringLiteral("&Horaires et créneaux"), this,
                        modal([&s, &p, this] { return std::make_unique<GesHoraires>(s, p, this); }));
    settings->addAction(QStringLiteral("&Nouveau profil horaire"), this,
                        modal([&s, &p, this] { return std::make_unique<GesProfilHoraire>(s, p, 0, this); }));
    settings->addAction(QStringLiteral("&Jours fériés"), this, modal([&s, &p, this] { return std::make_unique<GesJoursFer>(s, p, this); }));
    settings->addAction(QStringLiteral("Types de &congés"), this, modal([&s, &p, this] { return std::make_unique<GesConges>(s, p, this); }));
    settings->addAction(QStringLiteral("&Urgences"), this, modal([&s, &p, this] { return std::make_unique<GesUrgences>(s, p, this); }));
    settings->addAction(QStringLiteral("&Zones"), this, modal([&s, &p, this] { return std::make_unique<DefZones>(s, p, this); }));
    settings->addSeparator();
    settings->addAction(QStringLiteral("&Types de ") + m_session.terms().plural(Entity::Tache).toLower(), this,
                        modal([&s, &p, this] { return std::make_unique<DefTaches>(s, p, this); }));
    settings->addAction(QStringLiteral("&Etapes"), this, modal([&s, &p, this] { return std::make_unique<ListEtapes>(s, p, this); }));
    settings->addAction(QStringLiteral("&Recettes"), this, modal([&s, &p, this] { return std::make_unique<GesCouts>(s, p, 0, this); }));
    settings->addAction(QStringLiteral("C&harges"), this, modal([&s, &p, this] { return std::make_unique<GesCouts>(s, p, 1, this); }));
    QMenu *codes = settings->addMenu(QStringLiteral("Tables de &codes"));
    for (const QString &table : {QStringLiteral("kp_projets"), QStringLiteral("kp_secteurs"), QStringLiteral("kp_services"),
                                 QStringLiteral("kp_fonctions"), QStringLiteral("kp_typedoc"), QStringLiteral("kp_typememo")})
        codes->addAction(ReferenceLists::caption(*m_session.database(), table), this,
                         modal([&s, &p, this, table] { return std::make_unique<SaisTables>(s, p, table, this); }));
}

void FrmPlanning::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    const Outcome locked = PlanningModel::applyAdminLocks(m_session);
    if (!locked)
        m_prompter.show(locked);
    else if (m_session.description().blocauto && m_session.description().geslogin)
        reload();
}

int FrmPlanning::dayCount() const
{
    return PlanningPeriod::dayCount(m_period, m_start, m_settings.nbJours);
}

bool FrmPlanning::loadedCovers(const QDate &start, int days) const
{
    return m_loadedFirst.isValid() && start >= m_loadedFirst && start.addDays(days) <= m_loadedFirst.addDays(m_loadedDays);
}

bool FrmPlanning::reload()
{
    if (!m_session.database())
        return false;
    PlanningRequest request;
    const Outcome built = PlanningFilters::build(*m_session.database(), m_panel->choice(), &request.fragments);
    if (!built) {
        m_prompter.show(built);
        return false;
    }
    QString stamp;
    if (!RefreshStamp::read(m_session, &stamp))
        stamp.clear();
    request.presentation = m_settings.presentation;
    request.first = m_start.addDays(-Margin);
    request.days = dayCount() + 2 * Margin;
    request.colours = m_settings.colourSource;
    request.blockPhrase = m_settings.blockPhrase;
    request.tooltipPhrase = m_settings.tooltipPhrase;
    request.imagesFolder = m_session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images"));

    ++m_loads;
    PlanningModel next = m_model;
    const Outcome calendar = next.loadCalendar(m_session);
    if (!calendar)
        m_prompter.show(calendar);
    Outcome loaded = next.loadRows(m_session, request);
    if (loaded)
        loaded = next.loadBlocks(m_session, request);
    if (!loaded) {
        // The last good picture stays; the next refresh tries again.
        m_prompter.show(loaded);
        m_loadedStamp.clear();
        return false;
    }
    const int selected = m_view->selectedBlock();
    const PlanningBlock kept = selected >= 0 && selected < m_model.blocks().size() ? m_model.blocks().at(selected) : PlanningBlock();
    m_model = std::move(next);
    // The blocks' row keys are of this presentation's kind.
    m_command->setPresentation(request.presentation);
    m_loadedFirst = request.first;
    m_loadedDays = request.days;
    m_loadedStamp = stamp;
    setWindowTitle(PlanningModel::caption(m_session));
    m_view->refresh();
    showFrame();
    if (kept.noid > 0)
        m_view->selectTask(kept.noid, kept.dateLine, kept.rowKey);
    return true;
}

void FrmPlanning::showFrame()
{
    const int days = dayCount();
    if (!loadedCovers(m_start, days) || m_model.request().presentation != m_settings.presentation) {
        reload();
        return;
    }
    m_view->setTexts(PlanningPeriod::caption(m_period), emptyText());
    m_view->setRowTip(QStringLiteral("Double cliquez pour modifier ") + m_session.terms().article(rowEntity(m_settings.presentation))
                      + rowTerm().toLower() + QStringLiteral(" : "));
    m_view->setFrame(m_settings, m_settings.presentation, m_period, m_start, days);
    updateScroll();
    updateStatus();
}

void FrmPlanning::updateScroll()
{
    const int rows = int(m_model.rows().size());
    const int page = m_view->layout().rowsPerScreen();
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setRange(0, qMax(0, rows - page));
    m_scroll->setPageStep(page);
    m_scroll->setSingleStep(1);
    m_scroll->setValue(m_view->firstRow());
    m_view->setFirstRow(m_scroll->value());
}

void FrmPlanning::updateStatus()
{
    const int rows = int(m_model.rows().size());
    int shown = 0;
    for (const BlockPlace &p : m_view->layout().places())
        shown += p.inDays ? 1 : 0;
    if (rows == 0)
        m_summary->setText(emptyText());
    else
        m_summary->setText(QStringLiteral("%1 ligne%2, %3 bloc%4 du %5 au %6")
                               .arg(rows)
                               .arg(rows > 1 ? QStringLiteral("s") : QString())
                               .arg(shown)
                               .arg(shown > 1 ? QStringLiteral("s") : QString())
                               .arg(m_start.toString(QStringLiteral("dd/MM/yyyy")),
                                    m_start.addDays(dayCount() - 1).toString(QStringLiteral("dd/MM/yyyy"))));
}

QString FrmPlanning::statusText() const
{
    return m_summary->text();
}

void FrmPlanning::setPeriod(Period period)
{
    m_period = period;
    m_settings.periode = PlanningPeriod::caption(period);
    m_session.settings().write(planningSection(), QStringLiteral("Periode"), m_settings.periode);
    for (QAction *a : m_periods->actions())
        a->setChecked(a->data().toInt() == int(period));
    showFrame();
}

void FrmPlanning::setStartDate(const QDate &date)
{
    if (!date.isValid())
        return;
    m_start = date;
    m_panel->setStartDate(date);
    showFrame();
}

void FrmPlanning::step(int how)
{
    if (how == -1 || how == 1)
        setStartDate(m_start.addDays(how));
    else
        setStartDate(PlanningPeriod::shifted(m_period, m_start, m_settings.nbJours, 0, how / 2));
}

void FrmPlanning::setColourSource(ColourSource source)
{
    m_settings.colourSource = source;
    m_session.settings().write(planningSection(), QStringLiteral("CoulAffTache"), QString::number(int(source)));
    reload();
}

void FrmPlanning::setRefreshSeconds(int seconds)
{
    m_settings.refreshSeconds = seconds;
    m_session.settings().write(planningSection(), QStringLiteral("Raffraichissement"), QString::number(seconds));
}

void FrmPlanning::applySettings()
{
    const PlanningSettings fresh = PlanningSettings::read(m_session.settings());
    const bool texts = fresh.blockPhrase != m_settings.blockPhrase || fresh.tooltipPhrase != m_settings.tooltipPhrase
                       || fresh.colourSource != m_settings.colourSource;
    m_settings = fresh;
    if (texts)
        reload();
    else
        showFrame();
}

bool FrmPlanning::refreshTick(const QTime &now)
{
    if (m_settings.refreshSeconds <= 0)
        return false;
    int elapsed = m_lastRefresh.secsTo(now);
    if (elapsed < 0)
        elapsed += 86400;
    if (elapsed < m_settings.refreshSeconds)
        return false;
    m_lastRefresh = now;
    if (!isActiveWindow() && !m_settings.refreshInBackground)
        return false;
    if (QApplication::activeModalWidget() || m_view->dragMode() != PlanningView::DragMode::None)
        return false;
    QString stamp;
    const Outcome read = RefreshStamp::read(m_session, &stamp);
    if (!read) {
        m_pointer->setText(read.text());
        return false;
    }
    if (stamp == m_loadedStamp)
        return false;
    m_pointer->clear();
    return reload();
}

void FrmPlanning::openBlock(int index)
{
    if (index < 0 || index >= m_model.blocks().size())
        return;
    m_command->open(m_model.blocks().at(index));
}

namespace {

QDateTime dateTimeOf(const GridPoint &at)
{
    return QDateTime(at.date, QTime(0, 0)).addSecs(qint64(at.minutes) * 60);
}

} // namespace

void FrmPlanning::connectEditing()
{
    m_note->setObjectName(QStringLiteral("NoteConflit"));
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("background:#fff4b0;color:#402000;border:1px solid #c0a000;padding:4px;"));
    m_note->hide();
    const auto valid = [this](int block) { return block >= 0 && block < m_model.blocks().size(); };
    connect(m_view, &PlanningView::blockMoved, this, [this, valid](int index, const GridPoint &start, bool copy) {
        if (!valid(index) || start.row < 0 || start.row >= m_model.rows().size())
            return;
        const PlanningBlock block = m_model.blocks().at(index);
        const QDateTime from = dateTimeOf(start);
        const BlockSpan span{from, from.addSecs(PlanningEdits::startOf(block).secsTo(PlanningEdits::endOf(block)))};
        m_command->drop(block, m_model.rows().at(start.row).key, span, copy);
    });
    connect(m_view, &PlanningView::blockStretched, this, [this, valid](int index, bool atStart, const GridPoint &at) {
        if (valid(index))
            m_command->stretch(m_model.blocks().at(index), atStart, dateTimeOf(at));
    });
    connect(m_view, &PlanningView::spanDrawn, this, [this](const GridPoint &from, const GridPoint &to) {
        if (from.row >= 0 && from.row < m_model.rows().size())
            m_command->create(m_model.rows().at(from.row).key, {dateTimeOf(from), dateTimeOf(to)}, false);
    });
    connect(m_view, &PlanningView::deleteRequested, this, [this, valid](int index) {
        if (valid(index))
            m_command->remove(m_model.blocks().at(index));
    });
    connect(m_view, &PlanningView::contextRequested, this, [this](int block, const GridPoint &at, const QPoint &global) {
        std::unique_ptr<QMenu> menu(contextMenu(block, at));
        menu->exec(global);
    });
    connect(m_view, &PlanningView::refused, m_pointer, &QLabel::setText);
    connect(m_command, &PlanningCommand::changed, this, [this](qint64 task, int line, qint64 row) {
        reload();
        if (task > 0)
            m_view->selectTask(task, line, row);
    });
    connect(m_command, &PlanningCommand::conflict, this, &FrmPlanning::showConflict);
    // The note stays a while, then goes by itself; it never takes the focus.
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(10000);
    connect(m_noteTimer, &QTimer::timeout, m_note, &QWidget::hide);
}

QMenu *FrmPlanning::contextMenu(int index, const GridPoint &at)
{
    auto *menu = new QMenu(this);
    const bool onBlock = index >= 0 && index < m_model.blocks().size();
    const PlanningBlock block = onBlock ? m_model.blocks().at(index) : PlanningBlock();
    const qint64 row = at.row >= 0 && at.row < m_model.rows().size() ? m_model.rows().at(at.row).key : 0;
    const QDateTime start = dateTimeOf(at);
    const BlockSpan span{start, start.addSecs(qint64(qMax(1, m_view->layout().stepMinutes())) * 60)};
    const Terms &terms = m_session.terms();
    const auto item = [&](const QString &text, const QString &code, bool enabled = true) {
        QAction *a = menu->addAction(text);
        a->setData(code);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [this, code, block, onBlock, row, span] {
            m_command->run(code, onBlock ? &block : nullptr, row, span);
        });
    };
    if (onBlock) {
        // The administrative lock keeps the two commands that change a block's state.
        const bool free = !block.adminLocked;
        item(QStringLiteral("Ouvrir"), QStringLiteral("MODIF"));
        if (block.blocage == 1)
            item(QStringLiteral("Déverrouiller"), QStringLiteral("DEVERROU"), free);
        else
            item(QStringLiteral("Verrouiller"), QStringLiteral("VERROU"), free);
        if (block.isOccurrence())
            item(QStringLiteral("Sortir la date de la périodicité"), QStringLiteral("DETACHE"), free && block.blocage != 1);
        item(QStringLiteral("Supprimer"), QStringLiteral("SUPP"), free && block.blocage != 1);
        menu->addSeparator();
    }
    if (row != 0) {
        item(QStringLiteral("Nouve") + (terms.feminine(Entity::Tache) ? QStringLiteral("lle ") : QStringLiteral("au ")) + terms.singular(Entity::Tache).toLower(),
             QStringLiteral("NOUVTACHE"));
        item(QStringLiteral("Nouveau congé"), QStringLiteral("NOUVCONG"), m_settings.presentation == Presentation::ByResource);
    }
    menu->addSeparator();
    menu->addAction(m_undo);
    return menu;
}

void FrmPlanning::showConflict(const QString &text)
{
    m_pointer->setText(QString(text).replace(QLatin1Char('\n'), QStringLiteral(" ; ")));
    m_note->setText(text);
    m_note->setMaximumWidth(qMax(200, m_view->width() / 2));
    m_note->adjustSize();
    m_note->move(qMax(0, m_view->width() - m_note->width() - 12), qMax(0, int(m_view->layout().gridRect().top()) + 8));
    m_note->show();
    m_note->raise();
    m_noteTimer->start();
}

QString FrmPlanning::conflictNote() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

QString FrmPlanning::pointerText() const
{
    return m_pointer->text();
}

void FrmPlanning::openRow(int index)
{
    if (index < 0 || index >= m_model.rows().size())
        return;
    const PlanningRow row = m_model.rows().at(index);
    switch (m_settings.presentation) {
    case Presentation::ByResource: GesRessources::edit(m_session, m_prompter, row.key, this); break;
    case Presentation::ByClient:
        if (row.kind == 1)
            GesParticuliers::edit(m_session, m_prompter, row.key, this);
        else
            GesSocietes::edit(m_session, m_prompter, row.key, this);
        break;
    case Presentation::ByTaskType: {
        DefTaches screen(m_session, m_prompter, this);
        screen.exec();
        break;
    }
    }
    m_panel->rebuild();
    reload();
}

void FrmPlanning::exportIcs(const QString &folder)
{
    // A calendar belongs to a person or a piece of equipment: the other
    // presentations have no resource to subscribe to.
    if (m_settings.presentation != Presentation::ByResource) {
        m_prompter.show(QStringLiteral("Attention"),
                        QStringLiteral("L'export iCalendar se fait depuis le planning par ")
                            + m_session.terms().singular(Entity::Ressource).toLower() + QLatin1Char('.'),
                        Prompter::Icon::Warning);
        return;
    }
    QList<qint64> resources;
    for (const PlanningRow &row : m_model.rows())
        resources.append(row.key);
    if (resources.isEmpty()) {
        m_prompter.show(QStringLiteral("Désolé"), emptyText(), Prompter::Icon::Warning);
        return;
    }
    QList<IcsCalendar> calendars;
    Outcome done = IcsExport::build(m_session, resources, m_start, dayCount(), &calendars);
    for (const IcsCalendar &calendar : std::as_const(calendars)) {
        if (!done)
            break;
        done = IcsExport::write(calendar, folder);
    }
    if (!done) {
        m_prompter.show(done);
        return;
    }
    m_prompter.show(QStringLiteral("Terminé"), QStringLiteral("%1 fichier(s) iCalendar écrit(s) dans %2").arg(calendars.size()).arg(folder));
}

PlanningPrint FrmPlanning::printInput() const
{
    PlanningPrint input;
    input.presentation = m_settings.presentation;
    input.period = m_period;
    input.start = m_start;
    input.nbJours = m_settings.nbJours;
    input.colours = m_settings.colourSource;
    input.fragments = m_model.request().fragments;
    input.title = PlanningPrint::titleFor(m_session.terms(), input.presentation, m_period, m_settings.nbJours);
    return input;
}

void FrmPlanning::exportHtml()
{
    HtmlExportOptions options = HtmlExportOptions::fromSettings(m_session.settings());
    options.start = m_start;
    options.fragments = m_model.request().fragments;
    if (options.presentations.isEmpty()) {
        m_prompter.show(QStringLiteral("Attention"), QStringLiteral("Vous n'avez paramétré aucun export !"), Prompter::Icon::Warning);
        return;
    }
    QStringList files;
    QString status;
    QProgressDialog progress(QStringLiteral("Export HTML..."), QStringLiteral("Arrêter"), 0, 0, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const Outcome written = HtmlSite::write(m_session, options, &files, &status, [&](int page, int pages, const QString &title) {
        progress.setLabelText(title + QStringLiteral(" : image %1 / %2").arg(page + 1).arg(pages));
        progress.setMaximum(pages);
        progress.setValue(page);
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!written)
        m_prompter.show(written);
    if (written && status.isEmpty())
        m_prompter.show(QStringLiteral("Terminé"), QStringLiteral("Export terminé"));
    else
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Export non réalisé\n") + status, Prompter::Icon::Warning);
}
