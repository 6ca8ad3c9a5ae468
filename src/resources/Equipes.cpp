#include "resources/Equipes.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"
#include "reports/Liste.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString numbers(const QList<qint64> &list)
{
    QStringList texts;
    for (qint64 n : list)
        texts.append(QString::number(n));
    return texts.isEmpty() ? QStringLiteral("-1") : texts.join(QLatin1Char(','));
}

} // namespace

GesEquipes::GesEquipes(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_label(new QLineEdit(this)),
      m_members(new QListWidget(this))
{
    setWindowTitle(number ? QStringLiteral("Equipe - Modification") : QStringLiteral("Equipe - Création"));
    resize(460, 420);
    limitToColumn(m_label, QStringLiteral("kp_equipes"), QStringLiteral("libequipe"));
    m_chooser = [this](const ListRequest &request) { return Liste::choose(m_session, m_prompter, request, this); };

    const QString plural = session.terms().plural(Entity::Ressource);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Libellé :"), m_label);
    auto *membersRow = new QHBoxLayout;
    membersRow->addWidget(m_members, 1);
    auto *side = new QVBoxLayout;
    QPushButton *add = plainButton(QStringLiteral("&Ajouter..."), this);
    QPushButton *remove = plainButton(QStringLiteral("&Retirer"), this);
    side->addWidget(add);
    side->addWidget(remove);
    side->addStretch();
    membersRow->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(plural + QStringLiteral(" de l'équipe :"), this));
    layout->addLayout(membersRow, 1);
    layout->addWidget(okCancelButtons(this));
    connect(add, &QPushButton::clicked, this, &GesEquipes::addMember);
    connect(remove, &QPushButton::clicked, this, &GesEquipes::removeMember);

    if (number) {
        const Outcome loaded = ReferenceLists::loadTeam(*session.database(), number, &m_team);
        if (!loaded)
            m_prompter.show(loaded);
        m_label->setText(m_team.label);
    }
    showMembers();
    FieldNavigation::install(this);
}

void GesEquipes::showMembers()
{
    ResultSet rows;
    m_session.database()->query(QStringLiteral("select noid,libelle from kp_ressources where noid in (") + numbers(m_team.members)
                                    + QStringLiteral(") order by libelle"),
                                rows);
    m_labels.clear();
    for (int r = 0; r < rows.rowCount(); ++r)
        m_labels.insert(rows.toLongLong(r, 0), rows.value(r, 1));
    m_members->clear();
    for (qint64 member : std::as_const(m_team.members)) {
        auto *item = new QListWidgetItem(m_labels.value(member, QStringLiteral("(%1)").arg(member)), m_members);
        item->setData(Qt::UserRole, member);
    }
    m_members->sortItems();
}

void GesEquipes::addMember()
{
    const Terms &terms = m_session.terms();
    ListRequest request(QStringLiteral("Liste des ") + terms.plural(Entity::Ressource),
                        QStringLiteral("Select libelle,noid,typeressource,nomico from kp_ressources  where noid not in (")
                            + numbers(m_team.members) + QStringLiteral(") order by typeressource,libelle"));
    request.addColumn(terms.singular(Entity::Ressource), 4000, QStringLiteral("SPERESS"));
    request.addColumn(QStringLiteral("N°"), 0, QStringLiteral("I"));
    const ListAnswer answer = m_chooser(request);
    if (!answer.chosen || answer.text(1).isEmpty())
        return;
    m_team.members.append(answer.text(1).toLongLong());
    showMembers();
}

void GesEquipes::removeMember()
{
    QListWidgetItem *item = m_members->currentItem();
    if (!item)
        return;
    const Terms &terms = m_session.terms();
    const QString question = QStringLiteral("Supprimer l") + terms.articleEnding(Entity::Ressource)
                             + terms.singular(Entity::Ressource) + QStringLiteral(" sélectionné")
                             + (terms.feminine(Entity::Ressource) ? QStringLiteral("e") : QString())
                             + QStringLiteral(" de l'équipe ?");
    if (!m_prompter.ask(QStringLiteral("Confirmation"), question, false))
        return;
    m_team.members.removeAll(item->data(Qt::UserRole).toLongLong());
    showMembers();
}

void GesEquipes::accept()
{
    m_team.label = m_label->text();
    const Outcome saved = ReferenceLists::saveTeam(*m_session.database(), &m_team);
    m_prompter.show(saved);
    if (saved)
        QDialog::accept();
}

ListEquipes::ListEquipes(Session &session, Prompter &prompter, bool handBack, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_rights(Access::lookup(session, QStringLiteral("EQUIPE"))),
      m_handBack(handBack), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Liste des équipes"));
    resize(380, 420);
    auto *buttons = new QHBoxLayout;
    QPushButton *add = plainButton(QStringLiteral("&Nouvelle"), this);
    QPushButton *open = plainButton(QStringLiteral("&Modifier"), this);
    QPushButton *remove = plainButton(QStringLiteral("&Supprimer"), this);
    QPushButton *close = plainButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {add, open, remove})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, [this] { openTeam(0); });
    connect(open, &QPushButton::clicked, this, [this] {
        if (m_list->currentItem())
            openTeam(m_list->currentItem()->data(Qt::UserRole).toLongLong());
    });
    connect(remove, &QPushButton::clicked, this, &ListEquipes::removeTeam);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const qint64 team = item->data(Qt::UserRole).toLongLong();
        if (m_handBack) {
            m_chosen = team;
            accept();
        } else {
            openTeam(team);
        }
    });
    add->setEnabled(m_rights.create);
    remove->setEnabled(m_rights.remove);
    fill();
}

void ListEquipes::fill(qint64 select)
{
    QList<ReferenceLists::Team> teams;
    const Outcome read = ReferenceLists::teams(*m_session.database(), &teams);
    if (!read)
        m_prompter.show(read);
    m_list->clear();
    for (const ReferenceLists::Team &team : teams) {
        auto *item = new QListWidgetItem(team.label, m_list);
        item->setData(Qt::UserRole, team.number);
        if (team.number == select)
            m_list->setCurrentItem(item);
    }
}

bool ListEquipes::allowed(bool right, const QString &action)
{
    if (!right)
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez pas le droit de ") + action + QStringLiteral(" équipes"),
                        Prompter::Icon::Warning);
    return right;
}

void ListEquipes::openTeam(qint64 number)
{
    if (!allowed(number ? m_rights.modify : m_rights.create, number ? QStringLiteral("modifier les") : QStringLiteral("créer des")))
        return;
    GesEquipes screen(m_session, m_prompter, number, this);
    if (screen.exec() == QDialog::Accepted)
        fill(screen.number());
}

void ListEquipes::removeTeam()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !allowed(m_rights.remove, QStringLiteral("supprimer les")))
        return;
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer l'équipe sélectionnée ?"), false))
        return;
    m_prompter.show(ReferenceLists::removeTeam(*m_session.database(), item->data(Qt::UserRole).toLongLong()));
    fill();
}

QList<qint64> ListEquipes::membersOf(Session &session, qint64 team)
{
    QList<qint64> members;
    ResultSet rows;
    if (session.database()
        && session.database()->query(QStringLiteral("select noressource from kp_equipes_ress where noequipe = %1").arg(team), rows))
        for (int r = 0; r < rows.rowCount(); ++r)
            members.append(rows.toLongLong(r, 0));
    return members;
}
