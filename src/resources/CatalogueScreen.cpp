#include "resources/CatalogueScreen.h"

#include "core/Outcome.h"
#include "core/Prompter.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/FieldNavigation.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

CatalogueScreen::CatalogueScreen(Session &session, Prompter &prompter, const QString &title, const QStringList &columns,
                                 QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_list(new QTreeWidget(this)), m_form(new QFormLayout),
      m_new(new QPushButton(QStringLiteral("&Nouveau"), this)), m_save(new QPushButton(QStringLiteral("&Enregistrer"), this)),
      m_delete(new QPushButton(QStringLiteral("&Supprimer"), this))
{
    setWindowTitle(title);
    resize(760, 420);
    m_list->setHeaderLabels(columns);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showLine(item->data(0, Qt::UserRole));
    });

    auto *right = new QVBoxLayout;
    right->addLayout(m_form);
    right->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(m_list, 3);
    top->addLayout(right, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {m_new, m_save, m_delete, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(m_new, &QPushButton::clicked, this, [this] {
        m_list->setCurrentItem(nullptr);
        clearFields();
    });
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CatalogueScreen::finishSetup()
{
    FieldNavigation::install(this);
    refill();
}

QTreeWidgetItem *CatalogueScreen::addLine(const QStringList &texts, const QVariant &key, int background, int text)
{
    auto *item = new QTreeWidgetItem(m_list, texts);
    item->setData(0, Qt::UserRole, key);
    if (background >= 0)
        for (int c = 0; c < texts.size(); ++c) {
            item->setBackground(c, colourFromValue(background));
            item->setForeground(c, colourFromValue(text < 0 ? 0 : text));
        }
    return item;
}

void CatalogueScreen::refill(const QVariant &key)
{
    m_list->clear();
    fill();
    if (key.isValid())
        select(key);
    if (!m_list->currentItem()) {
        if (m_list->topLevelItemCount() > 0)
            m_list->setCurrentItem(m_list->topLevelItem(0));
        else
            clearFields();
    }
}

void CatalogueScreen::select(const QVariant &key)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->data(0, Qt::UserRole) == key) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            return;
        }
}

bool CatalogueScreen::lineRead(const Outcome &loaded)
{
    if (loaded)
        return true;
    m_prompter.show(loaded);
    clearFields();
    // Not from inside the list's own signal: the list is rebuilt.
    if (loaded.title() == QLatin1String("Disparition"))
        QTimer::singleShot(0, this, [this] { reload(); });
    return false;
}

QVariant CatalogueScreen::currentKey() const
{
    return m_list->currentItem() ? m_list->currentItem()->data(0, Qt::UserRole) : QVariant();
}
