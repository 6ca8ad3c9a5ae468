#include "planning/ParamPlanning.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/FieldWidth.h"
#include "planning/PlanningLayout.h"
#include "planning/PlanningPainter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

// A whole number kept within its range: a value out of it is replaced by the
// nearest bound when the field is left.
class RangeField : public QLineEdit
{
public:
    RangeField(const QString &name, int low, int high, QWidget *parent)
        : QLineEdit(parent), m_low(low), m_high(high)
    {
        setObjectName(name);
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this));
        setAlignment(Qt::AlignRight);
        setFixedWidth(fittedLineEditWidth(this, QStringLiteral("00000")));
        connect(this, &QLineEdit::editingFinished, this, [this] { setValue(value()); });
    }
    int value() const { return qBound(m_low, text().toInt(), m_high); }
    void setValue(int v)
    {
        const QString shown = QString::number(qBound(m_low, v, m_high));
        if (shown != text())
            setText(shown);
    }

private:
    int m_low, m_high;
};

// The header bands and day columns of a planning, painted as the planning
// paints them, so that colours and the header font can be judged at once.
class PlanningPreview : public QWidget
{
public:
    explicit PlanningPreview(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("preview"));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    void setSettings(const PlanningSettings &settings)
    {
        m_settings = settings;
        m_settings.labelWidthPercent[int(Presentation::ByResource)] = 0;
        updateGeometry();
        update();
    }
    PlanningSettings &settings() { return m_settings; }
    QSize sizeHint() const override
    {
        const QFontMetrics m(PlanningPainter::headerFont(m_settings, font()));
        return {480, int(m.height() * 4.6) + 48};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Two weeks across a change of month and week, with two public holidays.
        const QDate start(2026, 4, 27);
        const QList<QDate> holidays = {QDate(2026, 5, 1), QDate(2026, 5, 8)};
        PlanningLayout layout;
        PlanningLayout::Frame frame;
        frame.period = Period::Month;
        frame.start = start;
        frame.days = 14;
        frame.area = QRectF(rect().adjusted(0, 0, -1, -1));
        frame.headerFont = PlanningPainter::headerFont(m_settings, font());
        layout.compute(m_settings, Presentation::ByResource, frame);
        PlanningPainter::Style style;
        style.settings = m_settings;
        style.rowFont = PlanningPainter::rowFont(m_settings, font());

        QPainter p(this);
        PlanningPainter::paintHeader(p, layout, style);
        const QRectF grid = layout.gridRect();
        for (int day = 0; day < frame.days; ++day) {
            const QDate d = start.addDays(day);
            int fill = d.toJulianDay() % 2 == 0 ? m_settings.evenDay : m_settings.oddDay;
            if (d.dayOfWeek() > 5)
                fill = m_settings.dayOff;
            if (holidays.contains(d))
                fill = m_settings.holiday;
            const QRectF column(grid.left() + day * layout.dayWidth(), grid.top(), layout.dayWidth(), grid.height());
            p.fillRect(column, colourFromValue(fill));
            p.setPen(QColor(90, 90, 90));
            p.drawRect(column);
        }
    }

private:
    PlanningSettings m_settings;
};

// A phrase as an ordered list of items, built from the items on offer. An
// item may appear more than once.
class PhraseEditor : public QGroupBox
{
public:
    PhraseEditor(const QString &title, const QString &name, const QStringList &items, QWidget *parent)
        : QGroupBox(title, parent)
    {
        setObjectName(name);
        m_available = new QListWidget(this);
        m_available->setObjectName(QStringLiteral("available"));
        m_available->addItems(items);
        m_available->setCurrentRow(0);
        m_phrase = new QListWidget(this);
        m_phrase->setObjectName(QStringLiteral("phrase"));
        m_add = plainButton(QStringLiteral("Ajouter >"), this, QStringLiteral("Ajouter l'élément choisi à la phrase"));
        m_add->setObjectName(QStringLiteral("add"));
        m_remove = plainButton(QStringLiteral("< Retirer"), this, QStringLiteral("Retirer l'élément choisi de la phrase"));
        m_remove->setObjectName(QStringLiteral("remove"));
        m_up = arrowButton(Qt::UpArrow, QStringLiteral("Monter"), this);
        m_up->setObjectName(QStringLiteral("up"));
        m_down = arrowButton(Qt::DownArrow, QStringLiteral("Descendre"), this);
        m_down->setObjectName(QStringLiteral("down"));

        auto *availableLabel = new QLabel(QStringLiteral("Eléments disponibles :"), this);
        availableLabel->setBuddy(m_available);
        auto *phraseLabel = new QLabel(QStringLiteral("Composition :"), this);
        phraseLabel->setBuddy(m_phrase);
        auto *middle = new QVBoxLayout;
        middle->addStretch();
        middle->addWidget(m_add);
        middle->addWidget(m_remove);
        middle->addStretch();
        auto *arrows = new QVBoxLayout;
        arrows->addStretch();
        arrows->addWidget(m_up);
        arrows->addWidget(m_down);
        arrows->addStretch();
        auto *grid = new QGridLayout(this);
        grid->addWidget(availableLabel, 0, 0);
        grid->addWidget(phraseLabel, 0, 2);
        grid->addWidget(m_available, 1, 0);
        grid->addLayout(middle, 1, 1);
        grid->addWidget(m_phrase, 1, 2);
        grid->addLayout(arrows, 1, 3);
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(2, 1);

        connect(m_add, &QPushButton::clicked, this, [this] { add(); });
        connect(m_remove, &QPushButton::clicked, this, [this] { removeCurrent(); });
        connect(m_up, &QToolButton::clicked, this, [this] { move(-1); });
        connect(m_down, &QToolButton::clicked, this, [this] { move(1); });
        // Enter or a double click on an item adds it; in the phrase, Delete
        // removes and Ctrl+arrows move, so that the mouse is never needed.
        connect(m_available, &QListWidget::itemActivated, this, [this] { add(); });
        shortcut(QKeySequence::Delete, [this] { removeCurrent(); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { move(-1); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { move(1); });
        connect(m_available, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
        connect(m_phrase, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
        updateButtons();
    }

    void setEntries(const QStringList &entries)
    {
        m_phrase->clear();
        m_phrase->addItems(entries);
        m_phrase->setCurrentRow(entries.isEmpty() ? -1 : 0);
        updateButtons();
    }
    QStringList entries() const
    {
        QStringList texts;
        for (int i = 0; i < m_phrase->count(); ++i)
            texts.append(m_phrase->item(i)->text());
        return texts;
    }

private:
    template<typename F>
    void shortcut(const QKeySequence &keys, F action)
    {
        auto *s = new QShortcut(keys, m_phrase);
        s->setContext(Qt::WidgetShortcut);
        connect(s, &QShortcut::activated, this, action);
    }
    void add()
    {
        const QListWidgetItem *item = m_available->currentItem();
        if (!item)
            return;
        m_phrase->addItem(item->text());
        m_phrase->setCurrentRow(m_phrase->count() - 1);
    }
    void removeCurrent()
    {
        const int row = m_phrase->currentRow();
        if (row < 0)
            return;
        delete m_phrase->takeItem(row);
        m_phrase->setCurrentRow(qMin(row, m_phrase->count() - 1));
        updateButtons();
    }
    void move(int by)
    {
        const int row = m_phrase->currentRow();
        const int to = row + by;
        if (row < 0 || to < 0 || to >= m_phrase->count())
            return;
        m_phrase->insertItem(to, m_phrase->takeItem(row));
        m_phrase->setCurrentRow(to);
    }
    void updateButtons()
    {
        const int row = m_phrase->currentRow();
        m_add->setEnabled(m_available->currentRow() >= 0);
        m_remove->setEnabled(row >= 0);
        m_up->setEnabled(row > 0);
        m_down->setEnabled(row >= 0 && row < m_phrase->count() - 1);
    }

    QListWidget *m_available, *m_phrase;
    QPushButton *m_add, *m_remove;
    QToolButton *m_up, *m_down;
};

namespace {

// Header bands, then their texts, then the day columns.
const auto &Colours = PlanningSettings::ColourKeys;
const char *const FontKeys[3] = {"DateFont", "DateRess", "DateDet"};
const auto &LabelWidthKeys = PlanningSettings::LabelWidthKeys;

QString &fontOf(PlanningSettings &s, int i)
{
    return i == 0 ? s.headerFont : i == 1 ? s.rowFont : s.blockFont;
}

QString refreshText(int seconds)
{
    if (seconds == 0)
        return QStringLiteral("Jamais");
    if (seconds < 60)
        return QString::number(seconds) + QStringLiteral(" secondes");
    return seconds == 60 ? QStringLiteral("1 minute") : QString::number(seconds / 60) + QStringLiteral(" minutes");
}

QCheckBox *checkBox(const QString &text, const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

ParamPlanning::ParamPlanning(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_read(PlanningSettings::read(session.settings())),
      m_items(session.terms(), session.database() && PhraseItems::prospectConfigured(*session.database()))
{
    setWindowTitle(QStringLiteral("Paramètres du planning"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(coloursTab(), QStringLiteral("Couleurs"));
    tabs->addTab(fontsTab(), QStringLiteral("Polices"));
    tabs->addTab(displayTab(), QStringLiteral("Affichage"));
    tabs->addTab(textsTab(), QStringLiteral("Textes"));
    tabs->addTab(tasksTab(), QStringLiteral("Tâches"));

    QPushButton *valider = plainButton(QStringLiteral("&Valider"), this);
    valider->setObjectName(QStringLiteral("valider"));
    QPushButton *abandonner = plainButton(QStringLiteral("&Abandonner"), this);
    abandonner->setObjectName(QStringLiteral("abandonner"));
    QPushButton *quitter = plainButton(QStringLiteral("&Quitter"), this);
    quitter->setObjectName(QStringLiteral("quitter"));
    connect(valider, &QPushButton::clicked, this, &ParamPlanning::validate);
    connect(abandonner, &QPushButton::clicked, this, &QDialog::reject);
    connect(quitter, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(valider);
    buttons->addWidget(abandonner);
    buttons->addWidget(quitter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    // Tall enough for the twelve phrase items without scrolling.
    resize(780, 590);
    FieldNavigation::install(this);
}

ParamPlanning::~ParamPlanning() = default;

QWidget *ParamPlanning::coloursTab()
{
    auto *tab = new QWidget(this);
    for (int i = 0; i < 14; ++i) {
        m_swatches[i] = new ColourSwatch(tab);
        m_swatches[i]->setObjectName(QLatin1String(Colours[i].key));
        m_swatches[i]->setValue(m_read.*Colours[i].field);
    }

    auto *header = new QGroupBox(QStringLiteral("En-tête des dates"), tab);
    auto *bands = new QGridLayout(header);
    bands->addWidget(new QLabel(QStringLiteral("Fond"), header), 0, 1, Qt::AlignHCenter);
    bands->addWidget(new QLabel(QStringLiteral("Texte"), header), 0, 2, Qt::AlignHCenter);
    const QStringList bandNames = {QStringLiteral("Mois pairs"), QStringLiteral("Mois impairs"), QStringLiteral("Semaines paires"),
                                   QStringLiteral("Semaines impaires"), QStringLiteral("Jours")};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(bandNames[i] + QStringLiteral(" :"), header);
        label->setBuddy(m_swatches[i]);
        bands->addWidget(label, i + 1, 0);
        bands->addWidget(m_swatches[i], i + 1, 1);
        bands->addWidget(m_swatches[i + 5], i + 1, 2);
    }
    bands->setColumnStretch(3, 1);

    auto *days = new QGroupBox(QStringLiteral("Colonnes des jours"), tab);
    auto *dayForm = new QFormLayout(days);
    const QStringList dayNames = {QStringLiteral("Jours pairs :"), QStringLiteral("Jours impairs :"), QStringLiteral("Jours fériés :"),
                                  QStringLiteral("Jours non travaillés :")};
    for (int i = 0; i < 4; ++i)
        dayForm->addRow(dayNames[i], m_swatches[10 + i]);

    auto *preview = new QGroupBox(QStringLiteral("Aperçu"), tab);
    m_preview = new PlanningPreview(preview);
    m_preview->setSettings(m_read);
    (new QVBoxLayout(preview))->addWidget(m_preview);
    for (int i = 0; i < 14; ++i)
        connect(m_swatches[i], &ColourSwatch::valueChanged, this, [this, i](int value) {
            m_preview->settings().*Colours[i].field = value;
            m_preview->update();
        });

    auto *top = new QHBoxLayout;
    top->addWidget(header);
    top->addWidget(days, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(preview);
    layout->addStretch();
    return tab;
}

QWidget *ParamPlanning::fontsTab()
{
    auto *tab = new QWidget(this);
    auto *grid = new QGridLayout(tab);
    const QStringList labels = {QStringLiteral("En-tête des dates :"), QStringLiteral("Libellés des lignes :"),
                                QStringLiteral("Texte des blocs :")};
    const QStringList samples = {QStringLiteral("LUNDI 27 - Semaine 18"), m_session.terms().singular(Entity::Ressource) + QStringLiteral(" 1"),
                                 QStringLiteral("09:00 11:30 ") + m_session.terms().singular(Entity::Tache)};
    grid->addWidget(new QLabel(QStringLiteral("Exemple"), tab), 0, 2);
    for (int i = 0; i < 3; ++i) {
        m_fonts[i] = new QFontComboBox(tab);
        m_fonts[i]->setObjectName(QLatin1String(FontKeys[i]));
        const QString family = fontOf(m_read, i);
        m_fonts[i]->setCurrentFont(family.isEmpty() ? QApplication::font() : QFont(family));
        m_fontsShown[i] = m_fonts[i]->currentFont().family();
        auto *label = new QLabel(labels[i], tab);
        label->setBuddy(m_fonts[i]);
        // The sample shows the font at the size the planning gives it.
        auto *sample = new QLabel(samples[i], tab);
        const auto showSample = [this, sample, i](const QFont &font) {
            PlanningSettings s;
            fontOf(s, i) = font.family();
            const QFont fallback = QApplication::font();
            sample->setFont(i == 0   ? PlanningPainter::headerFont(s, fallback)
                            : i == 1 ? PlanningPainter::rowFont(s, fallback)
                                     : PlanningPainter::blockFont(s, fallback));
        };
        showSample(m_fonts[i]->currentFont());
        connect(m_fonts[i], &QFontComboBox::currentFontChanged, sample, showSample);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(m_fonts[i], i + 1, 1);
        grid->addWidget(sample, i + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(2, 200);
    grid->setRowStretch(4, 1);
    connect(m_fonts[0], &QFontComboBox::currentFontChanged, this, [this](const QFont &font) {
        m_preview->settings().headerFont = font.family();
        m_preview->updateGeometry();
        m_preview->update();
    });
    return tab;
}

QWidget *ParamPlanning::displayTab()
{
    auto *tab = new QWidget(this);
    const Terms &terms = m_session.terms();

    auto *rows = new QGroupBox(QStringLiteral("Lignes"), tab);
    m_rows = new RangeField(QStringLiteral("NbRessMax"), 5, 50, rows);
    m_rows->setValue(m_read.rowsPerScreen);
    m_rowHeight = new RangeField(QStringLiteral("HautMaxRess"), 200, 5000, rows);
    m_rowHeight->setValue(m_read.maxRowHeightTwips);
    auto *rowForm = new QFormLayout(rows);
    rowForm->addRow(QStringLiteral("Nombre de lignes par écran :"), m_rows);
    rowForm->addRow(QStringLiteral("Hauteur maximum d'une ligne (twips) :"), m_rowHeight);

    auto *widths = new QGroupBox(QStringLiteral("Largeur de la colonne des libellés (%)"), tab);
    auto *widthForm = new QFormLayout(widths);
    const Entity byPresentation[3] = {Entity::Ressource, Entity::Client, Entity::Tache};
    for (int i = 0; i < 3; ++i) {
        m_labelWidths[i] = new RangeField(QLatin1String(LabelWidthKeys[i]), 5, 95, widths);
        m_labelWidths[i]->setValue(m_read.labelWidthPercent[i]);
        widthForm->addRow(QStringLiteral("Planning par ") + terms.plural(byPresentation[i]) + QStringLiteral(" :"), m_labelWidths[i]);
    }

    auto *scrolling = new QGroupBox(QStringLiteral("Défilement"), tab);
    m_wheelRows = new QRadioButton(QStringLiteral("La molette fait défiler les lignes"), scrolling);
    m_wheelRows->setObjectName(QStringLiteral("WheelAction0"));
    m_wheelDays = new QRadioButton(QStringLiteral("La molette fait défiler les jours"), scrolling);
    m_wheelDays->setObjectName(QStringLiteral("WheelAction1"));
    (m_read.wheelAction == 1 ? m_wheelDays : m_wheelRows)->setChecked(true);
    m_fastScrolling = checkBox(QStringLiteral("Défilemenent rapide"), "DefilRapide", scrolling);
    m_fastScrolling->setChecked(m_read.fastScrolling);
    auto *scrollLayout = new QVBoxLayout(scrolling);
    scrollLayout->addWidget(m_wheelRows);
    scrollLayout->addWidget(m_wheelDays);
    scrollLayout->addWidget(m_fastScrolling);

    auto *blocks = new QGroupBox(QStringLiteral("Blocs et rafraîchissement"), tab);
    m_colourSource = new QComboBox(blocks);
    m_colourSource->setObjectName(QStringLiteral("CoulAffTache"));
    m_colourSource->addItems({terms.singular(Entity::Tache), terms.singular(Entity::Client), QStringLiteral("Urgence"),
                              QStringLiteral("Zone")});
    m_colourSource->setCurrentIndex(int(m_read.colourSource));
    m_refresh = new QComboBox(blocks);
    m_refresh->setObjectName(QStringLiteral("Raffraichissement"));
    for (int seconds : PlanningSettings::RefreshChoices) {
        m_refresh->addItem(refreshText(seconds), seconds);
        if (seconds == m_read.refreshSeconds)
            m_refresh->setCurrentIndex(m_refresh->count() - 1);
    }
    m_refreshInBackground =
        checkBox(QStringLiteral("Rafraîchir aussi quand le planning n'est pas au premier plan"), "RaffAuto", blocks);
    m_refreshInBackground->setChecked(m_read.refreshInBackground);
    auto *blockForm = new QFormLayout(blocks);
    blockForm->addRow(QStringLiteral("Couleur des blocs :"), m_colourSource);
    blockForm->addRow(QStringLiteral("Rafraîchissement :"), m_refresh);
    blockForm->addRow(m_refreshInBackground);

    auto *grid = new QGridLayout(tab);
    grid->addWidget(rows, 0, 0);
    grid->addWidget(widths, 1, 0);
    grid->addWidget(scrolling, 0, 1);
    grid->addWidget(blocks, 1, 1);
    grid->setRowStretch(2, 1);
    return tab;
}

QWidget *ParamPlanning::textsTab()
{
    auto *tab = new QWidget(this);
    m_blockPhrase = new PhraseEditor(QStringLiteral("Texte affiché dans les blocs"), QStringLiteral("PhrAffTache"), m_items.texts(), tab);
    m_blockPhrase->setEntries(m_items.decode(m_read.blockPhrase));
    m_tooltipPhrase = new PhraseEditor(QStringLiteral("Texte des bulles d'aide"), QStringLiteral("PhrAffBulle"), m_items.texts(), tab);
    m_tooltipPhrase->setEntries(m_items.decode(m_read.tooltipPhrase));
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(m_blockPhrase);
    layout->addWidget(m_tooltipPhrase);
    return tab;
}

QWidget *ParamPlanning::tasksTab()
{
    auto *tab = new QWidget(this);
    const Terms &terms = m_session.terms();
    const bool feminine = terms.feminine(Entity::Tache);
    m_lockNewTasks = checkBox(QStringLiteral("Créer les ") + (feminine ? QStringLiteral("nouvelles ") : QStringLiteral("nouveaux "))
                                  + terms.plural(Entity::Tache)
                                  + (feminine ? QStringLiteral(" verrouillées") : QStringLiteral(" verrouillés")),
                              "BlocAuto", tab);
    m_lockNewTasks->setChecked(m_read.lockNewTasks);
    m_taskType = new QComboBox(tab);
    m_taskType->setObjectName(QStringLiteral("TacheDef"));
    m_taskType->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_taskType->setMinimumContentsLength(20);
    m_history = new RangeField(QStringLiteral("NbHisto"), 5, 50, tab);
    m_history->setValue(m_read.historyLength);
    auto *form = new QFormLayout(tab);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(m_lockNewTasks);
    form->addRow(QStringLiteral("Type ") + (terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de "))
                     + terms.singular(Entity::Tache) + QStringLiteral(" par défaut :"),
                 m_taskType);
    form->addRow(QStringLiteral("Nombre d'opérations conservées dans l'historique :"), m_history);
    loadTaskTypes();
    return tab;
}

void ParamPlanning::loadTaskTypes()
{
    Database *db = m_session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select noidtache,libtache from kp_taches order by libtache"), rows)) {
        m_prompter.show(Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des types de tâches"),
                                         db ? db->lastError() : QString()));
        return;
    }
    m_taskTypesRead = true;
    m_taskType->addItem(QString(), QString());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString number = rows.value(r, 0).trimmed();
        m_taskType->addItem(rows.value(r, 1), number);
        if (number == m_read.defaultTaskType)
            m_taskType->setCurrentIndex(m_taskType->count() - 1);
    }
}

void ParamPlanning::validate()
{
    PlanningSettings s = m_read;
    for (int i = 0; i < 14; ++i)
        s.*Colours[i].field = m_swatches[i]->value();
    // A font left as it was shown keeps its setting, even an empty one or a
    // family this workstation lacks.
    for (int i = 0; i < 3; ++i) {
        const QString family = m_fonts[i]->currentFont().family();
        if (family != m_fontsShown[i])
            fontOf(s, i) = family;
    }
    s.rowsPerScreen = m_rows->value();
    s.maxRowHeightTwips = m_rowHeight->value();
    for (int i = 0; i < 3; ++i)
        s.labelWidthPercent[i] = m_labelWidths[i]->value();
    s.wheelAction = m_wheelDays->isChecked() ? 1 : 0;
    s.fastScrolling = m_fastScrolling->isChecked();
    s.colourSource = ColourSource(m_colourSource->currentIndex());
    s.refreshSeconds = m_refresh->currentData().toInt();
    s.refreshInBackground = m_refreshInBackground->isChecked();
    s.blockPhrase = m_items.encode(m_blockPhrase->entries());
    s.tooltipPhrase = m_items.encode(m_tooltipPhrase->entries());
    s.lockNewTasks = m_lockNewTasks->isChecked();
    // Types that could not be read leave the default type as it was.
    if (m_taskTypesRead)
        s.defaultTaskType = m_taskType->currentData().toString();
    s.historyLength = m_history->value();
    s.write(m_session.settings());
    accept();
}
