#include "resources/ListRessources.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "resources/ResourceListModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QListWidgetItem *checkItem(QListWidget *list, const QString &text, const QString &code)
{
    auto *item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, code);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

} // namespace

ListRessources::ListRessources(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_rights(Access::lookup(session, QStringLiteral("RESSOURCES"))),
      m_types(new QListWidget(this)), m_services(new QListWidget(this)), m_view(new QTableView(this)),
      m_model(new ResourceListModel(this))
{
    const Terms &terms = session.terms();
    const QString term = terms.singular(Entity::Ressource);
    const QString plural = terms.plural(Entity::Ressource);
    setWindowTitle(QStringLiteral("Gestion des ") + plural + QStringLiteral(" - Utilisateur : ") + session.userCode());
    resize(820, 520);

    checkItem(m_types, QStringLiteral("Toutes les ") + plural, QStringLiteral("/"));
    checkItem(m_types, term + QStringLiteral(" Humain"), QStringLiteral("0"));
    checkItem(m_types, term + QStringLiteral(" Matériel"), QStringLiteral("1"));
    checkItem(m_types, term + QStringLiteral(" à définir"), QStringLiteral("2"));
    ResultSet services;
    if (session.database()->query(QStringLiteral("select code,libelle from kp_services order by libelle"), services))
        for (int r = 0; r < services.rowCount(); ++r)
            checkItem(m_services, services.value(r, 1), services.value(r, 0));
    m_types->setMaximumHeight(m_types->sizeHintForRow(0) * 4 + 8);
    m_services->setMaximumHeight(m_types->maximumHeight() * 2);

    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(true);
    m_view->setToolTip(QStringLiteral("Double-Cliquez pour modifier les ") + plural);
    const QString images = session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images"));
    m_model->setImagesFolder(images);

    auto *filters = new QVBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Type :"), this));
    filters->addWidget(m_types);
    filters->addWidget(new QLabel(QStringLiteral("Services :"), this));
    filters->addWidget(m_services);
    auto *run = new QPushButton(QStringLiteral("&Lancer"), this);
    filters->addWidget(run);
    filters->addStretch();

    auto *top = new QHBoxLayout;
    top->addLayout(filters, 1);
    top->addWidget(m_view, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Double-Cliquez pour modifier les ") + plural, this));
    buttons->addStretch();
    auto *add = new QPushButton(QStringLiteral("&Ajouter"), this);
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    add->setEnabled(m_rights.create);
    for (QPushButton *b : {run, add, close})
        b->setAutoDefault(false);
    buttons->addWidget(add);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(run, &QPushButton::clicked, this, &ListRessources::refresh);
    connect(add, &QPushButton::clicked, this, [this] { open(0); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_view, &QTableView::activated, this, [this](const QModelIndex &index) { open(m_model->resourceAt(index.row())); });
    refresh();
}

QStringList ListRessources::checked(QListWidget *list) const
{
    QStringList codes;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            codes.append(list->item(i)->data(Qt::UserRole).toString());
    return codes;
}

void ListRessources::refresh()
{
    QStringList types = checked(m_types);
    if (types.contains(QStringLiteral("/")))
        types.clear(); // every type
    const Outcome loaded = m_model->load(*m_session.database(), types, checked(m_services), m_session.terms().plural(Entity::Ressource));
    if (!loaded)
        m_prompter.show(loaded);
    m_view->resizeColumnsToContents();
}

void ListRessources::open(qint64 number)
{
    if (number == 0 && !m_rights.create) {
        m_prompter.show(QStringLiteral("Désolé"),
                        QStringLiteral("Vous n'avez pas le droit de créer des ") + m_session.terms().plural(Entity::Ressource),
                        Prompter::Icon::Warning);
        return;
    }
    if (!m_opener)
        return;
    const qint64 shown = m_opener(number);
    refresh();
    const int row = m_model->rowOf(shown ? shown : number);
    if (row >= 0)
        m_view->selectRow(row);
}
