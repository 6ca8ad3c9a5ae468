#include "tasks/SaisCoutTache.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldWidth.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

const QString Incomplete = QStringLiteral("Incomplet");

QLineEdit *numberField(QWidget *parent, const QString &pattern, const QString &widest)
{
    auto *edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(fittedLineEditWidth(edit, widest));
    return edit;
}

// An amount in cents, exact whatever its size (no floating point on the way).
qint64 cents(const QString &amount)
{
    return sqlNumber(amount, 2).remove(QLatin1Char('.')).toLongLong();
}

QString amountText(qint64 cents)
{
    const qint64 magnitude = std::llabs(cents);
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) + QLatin1Char('.')
           + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

SaisCoutTache::SaisCoutTache(Session &session, Prompter &prompter, int kind, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter),
      m_kind(kind == TaskCostLine::Income ? TaskCostLine::Income : TaskCostLine::Expense), m_form(new QFormLayout),
      m_item(new QComboBox(this)), m_date(new DateField(this)), m_label(new QLineEdit(this)), m_resource(new QComboBox(this)),
      m_invoice(new QLineEdit(this)),
      m_quantity(numberField(this, QStringLiteral("-?[0-9]{0,9}"), QStringLiteral("999999999"))),
      m_unitAmount(numberField(this, QStringLiteral("-?[0-9]{0,12}([.,][0-9]{0,2})?"), QStringLiteral("-999999999999,99"))),
      m_total(numberField(this, QStringLiteral("-?[0-9]{0,15}([.,][0-9]{0,2})?"), QStringLiteral("-999999999999,99"))),
      m_save(new QPushButton(QStringLiteral("Valider"), this)), m_cancel(new QPushButton(QStringLiteral("Annuler"), this))
{
    const bool expense = m_kind == TaskCostLine::Expense;
    setCaption(0);
    m_date->setPrompter(&prompter);
    limitToColumn(m_label, QStringLiteral("kp_taches_couts"), QStringLiteral("libelle"));
    limitToColumn(m_invoice, QStringLiteral("kp_taches_couts"), QStringLiteral("nofact"));
    m_invoice->setMaximumWidth(fittedLineEditWidth(m_invoice, QString(20, QLatin1Char('0'))));
    m_item->setMinimumContentsLength(30);
    m_resource->setMinimumContentsLength(30);

    const Terms &terms = session.terms();
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->addRow(expense ? QStringLiteral("&Charge :") : QStringLiteral("&Produit :"), m_item);
    m_form->addRow(QStringLiteral("&Date :"), m_date);
    m_form->addRow(QStringLiteral("&Libellé :"), m_label);
    m_form->addRow(terms.singular(Entity::Ressource) + QStringLiteral(" :"), m_resource);
    m_form->addRow(QStringLiteral("N° de &facture :"), m_invoice);
    m_form->addRow(QStringLiteral("&Quantité :"), m_quantity);
    m_form->addRow(QStringLiteral("&Montant unitaire :"), m_unitAmount);
    m_form->addRow(QStringLiteral("&Total :"), m_total);
    // Income is never charged to a resource.
    m_form->setRowVisible(m_resource, expense);
    m_resource->setEnabled(expense);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addStretch();
    layout->addLayout(buttons);

    // Enter validates from any field, Escape cancels (QDialog's own key).
    m_save->setDefault(true);
    m_cancel->setAutoDefault(false);
    QWidget *order[] = {m_item, m_date, m_label, m_resource, m_invoice, m_quantity, m_unitAmount, m_total, m_save, m_cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_save, &QPushButton::clicked, this, &SaisCoutTache::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_item, &QComboBox::currentIndexChanged, this, &SaisCoutTache::applyItem);
    connect(m_quantity, &QLineEdit::textEdited, this, &SaisCoutTache::recomputeTotal);
    connect(m_unitAmount, &QLineEdit::textEdited, this, &SaisCoutTache::recomputeTotal);
    connect(m_quantity, &QLineEdit::editingFinished, this, &SaisCoutTache::fixQuantity);
    // Reformatting does not change the value, so a total typed over stays.
    for (QLineEdit *amount : {m_unitAmount, m_total})
        connect(amount, &QLineEdit::editingFinished, this, [this, amount] {
            const QString text = shown(amount->text());
            if (text != amount->text())
                amount->setText(text);
        });

    loadItems();
    if (expense)
        loadResources();
    setLine(TaskCostLine{});
    setMinimumWidth(sizeHint().width());
    resize(sizeHint().width() + 40, sizeHint().height());
}

void SaisCoutTache::loadItems()
{
    m_item->addItem(QString(), 0);
    const Outcome read = CostItemStore(*m_session.database()).list(m_kind, &m_items);
    if (!read) {
        m_prompter.show(read);
        m_items.clear();
        return;
    }
    for (const CostItem &item : std::as_const(m_items))
        m_item->addItem(item.label, item.number);
}

void SaisCoutTache::loadResources()
{
    const Terms &terms = m_session.terms();
    m_resource->addItem(terms.feminine(Entity::Ressource) ? QStringLiteral("Aucune") : QStringLiteral("Aucun"), 0);
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid,libelle from kp_ressources order by libelle"), rows)) {
        m_prompter.show(Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des ") +
                                                                       terms.plural(Entity::Ressource).toLower(),
                                         db.lastError()));
        return;
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        m_resource->addItem(rows.value(r, 1), rows.toLongLong(r, 0));
}

void SaisCoutTache::setCaption(int rank)
{
    setWindowTitle((m_kind == TaskCostLine::Income ? QStringLiteral("Recette") : QStringLiteral("Charge")) +
                   (rank == 0 ? QStringLiteral(" - CREATION") : QStringLiteral(" - MODIFICATION")));
}

QString SaisCoutTache::shown(const QString &number) const
{
    const QChar separator = m_session.shownDecimalSeparator();
    return displayNumber(number, 2, separator);
}

void SaisCoutTache::setLine(const TaskCostLine &line)
{
    m_filling = true;
    m_rank = line.rank;
    setCaption(line.rank);
    // An item deleted since the line was written shows as none, to be chosen again.
    m_item->setCurrentIndex(std::max(0, m_item->findData(line.item)));
    m_date->setDate(line.date);
    m_label->setText(line.label);
    m_resource->setCurrentIndex(m_kind == TaskCostLine::Expense ? std::max(0, m_resource->findData(line.resource)) : 0);
    m_invoice->setText(line.invoice);
    m_quantity->setText(QString::number(line.quantity > 0 ? line.quantity : 1));
    m_unitAmount->setText(shown(line.unitAmount));
    m_total->setText(shown(line.total));
    m_filling = false;
}

TaskCostLine SaisCoutTache::line() const
{
    TaskCostLine l;
    l.rank = m_rank;
    l.kind = m_kind;
    l.item = m_item->currentData().toLongLong();
    l.date = m_date->date();
    l.label = m_label->text();
    l.resource = m_kind == TaskCostLine::Expense ? m_resource->currentData().toLongLong() : 0;
    l.invoice = m_invoice->text();
    l.quantity = quantity();
    l.unitAmount = sqlNumber(m_unitAmount->text(), 2);
    l.total = sqlNumber(m_total->text(), 2);
    return l;
}

int SaisCoutTache::quantity() const
{
    const int typed = m_quantity->text().toInt();
    return typed > 0 ? typed : 1;
}

void SaisCoutTache::applyItem(int index)
{
    if (m_filling || index <= 0 || index > m_items.size())
        return;
    const CostItem &item = m_items.at(index - 1);
    m_unitAmount->setText(shown(item.unitAmount));
    if (m_label->text().trimmed().isEmpty())
        m_label->setText(item.label);
    recomputeTotal();
}

void SaisCoutTache::fixQuantity()
{
    const QString fixed = QString::number(quantity());
    if (m_quantity->text() == fixed)
        return;
    m_quantity->setText(fixed);
    recomputeTotal();
}

void SaisCoutTache::recomputeTotal()
{
    if (m_filling)
        return;
    m_total->setText(shown(amountText(cents(m_unitAmount->text()) * quantity())));
}

void SaisCoutTache::accept()
{
    fixQuantity();
    if (m_item->currentIndex() <= 0) {
        m_prompter.show(Incomplete,
                        m_kind == TaskCostLine::Income ? QStringLiteral("Vous devez choisir un produit")
                                                       : QStringLiteral("Vous devez choisir une charge"),
                        Prompter::Icon::Warning);
        m_item->setFocus();
        return;
    }
    if (!m_date->date().isValid()) {
        m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner la date"), Prompter::Icon::Warning);
        m_date->setFocus();
        return;
    }
    QDialog::accept();
}
