#include "planning/Frm_Param.h"

#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/FieldNavigation.h"
#include "planning/FilterLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

Frm_Param::Frm_Param(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(QStringLiteral("Disposition des filtres"));
    setMinimumWidth(360);
    const FilterLayout layout = FilterLayout::read(session.settings());

    m_filters = new QListWidget(this);
    m_filters->setObjectName(QStringLiteral("filters"));
    for (FilterId id : layout.ordered()) {
        auto *item = new QListWidgetItem(FilterLayout::label(id, session.terms()), m_filters);
        item->setData(Qt::UserRole, int(id));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(layout.entry(id).visible ? Qt::Checked : Qt::Unchecked);
    }
    m_filters->setCurrentRow(0);
    // Every filter in sight: the list is short and its order is the point.
    const int frame = 2 * m_filters->frameWidth();
    m_filters->setMinimumSize(m_filters->sizeHintForColumn(0) + frame + 24,
                              m_filters->sizeHintForRow(0) * m_filters->count() + frame + 4);
    auto *listLabel = new QLabel(QStringLiteral("Ordre des filtres (cochés : affichés) :"), this);
    listLabel->setBuddy(m_filters);

    QToolButton *up = arrowButton(Qt::UpArrow, QStringLiteral("Monter (Ctrl+Haut)"), this);
    up->setObjectName(QStringLiteral("up"));
    QToolButton *down = arrowButton(Qt::DownArrow, QStringLiteral("Descendre (Ctrl+Bas)"), this);
    down->setObjectName(QStringLiteral("down"));
    connect(up, &QToolButton::clicked, this, [this] { move(-1); });
    connect(down, &QToolButton::clicked, this, [this] { move(1); });
    for (const auto &[keys, by] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | keys), m_filters);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, by = by] { move(by); });
    }
    const auto updateArrows = [this, up, down] {
        const int row = m_filters->currentRow();
        up->setEnabled(row > 0);
        down->setEnabled(row >= 0 && row < m_filters->count() - 1);
    };
    connect(m_filters, &QListWidget::currentRowChanged, this, updateArrows);
    updateArrows();

    auto *columns = new QGroupBox(QStringLiteral("Nombre de colonnes"), this);
    m_threeColumns = new QRadioButton(QStringLiteral("3 colonnes"), columns);
    m_threeColumns->setObjectName(QStringLiteral("NbCol3"));
    m_fourColumns = new QRadioButton(QStringLiteral("4 colonnes"), columns);
    m_fourColumns->setObjectName(QStringLiteral("NbCol4"));
    (layout.columns == 3 ? m_threeColumns : m_fourColumns)->setChecked(true);
    auto *columnRow = new QHBoxLayout(columns);
    columnRow->addWidget(m_threeColumns);
    columnRow->addWidget(m_fourColumns);
    columnRow->addStretch();

    QPushButton *valider = plainButton(QStringLiteral("&Valider"), this);
    valider->setObjectName(QStringLiteral("valider"));
    QPushButton *quitter = plainButton(QStringLiteral("&Quitter"), this);
    quitter->setObjectName(QStringLiteral("quitter"));
    connect(valider, &QPushButton::clicked, this, &Frm_Param::validate);
    connect(quitter, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(valider);
    buttons->addWidget(quitter);

    auto *arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(up);
    arrows->addWidget(down);
    arrows->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addWidget(listLabel, 0, 0, 1, 2);
    grid->addWidget(m_filters, 1, 0);
    grid->addLayout(arrows, 1, 1);
    grid->addWidget(columns, 2, 0, 1, 2);
    grid->addLayout(buttons, 3, 0, 1, 2);
    FieldNavigation::install(this);
}

void Frm_Param::move(int by)
{
    const int row = m_filters->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_filters->count())
        return;
    m_filters->insertItem(to, m_filters->takeItem(row));
    m_filters->setCurrentRow(to);
}

void Frm_Param::validate()
{
    QList<QPair<FilterId, bool>> order;
    for (int i = 0; i < m_filters->count(); ++i) {
        const QListWidgetItem *item = m_filters->item(i);
        order.append({FilterId(item->data(Qt::UserRole).toInt()), item->checkState() == Qt::Checked});
    }
    FilterLayout::write(m_session.settings(), m_threeColumns->isChecked() ? 3 : 4, order);
    accept();
}
