#include "messaging/Frm_EnvoiMailClient.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/OkCancel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

Frm_EnvoiMailClient::Frm_EnvoiMailClient(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_list(new QTreeWidget(this))
{
    const Terms &terms = session.terms();
    setWindowTitle(QStringLiteral("Adresses des ") + terms.plural(Entity::Client));
    resize(560, 420);
    m_list->setHeaderLabels({terms.singular(Entity::Client), QStringLiteral("Adresse e-mail")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    // Companies by name, individuals by surname and first name; only those with an address.
    ResultSet rows;
    const QString sql = QStringLiteral("select typesoc,libsoc,nomcont,prenomcont,mailsoc from kp_societes "
                                       "where mailsoc <> '/' and mailsoc <> '' order by libsoc,nomcont,prenomcont");
    if (!session.database()->query(sql, rows))
        prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des mails"), Prompter::Icon::Critical);
    for (int r = 0; r < rows.rowCount(); ++r) {
        const bool company = rows.toInt(r, 0) == 0;
        QString name = company ? rows.value(r, 1) : rows.value(r, 2) + QLatin1Char(' ') + rows.value(r, 3);
        name = name.replace(QLatin1Char('/'), QString()).trimmed();
        new QTreeWidgetItem(m_list, {name, rows.value(r, 4).trimmed()});
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(okCancelButtons(this));
}

QString Frm_EnvoiMailClient::recipients() const
{
    QStringList addresses;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            addresses.append(m_list->topLevelItem(i)->text(1));
    return addresses.join(QStringLiteral(" ;"));
}
