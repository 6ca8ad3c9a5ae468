#include "tasks/GesCouts.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldWidth.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QTreeWidget>

GesCouts::GesCouts(Session &session, Prompter &prompter, int kind, QWidget *parent)
    : CatalogueScreen(session, prompter,
                      kind == CostItem::Income ? QStringLiteral("Gestion des produits") : QStringLiteral("Gestion des charges"),
                      {QStringLiteral("Libellé"), QStringLiteral("Type"), QStringLiteral("Montant unitaire")}, parent),
      m_kind(kind == CostItem::Income ? CostItem::Income : CostItem::Expense), m_store(*session.database()),
      m_label(new QLineEdit(this)), m_amount(new QLineEdit(this))
{
    limitToColumn(m_label, QStringLiteral("kp_couts"), QStringLiteral("libcout"));
    m_amount->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,12}([.,][0-9]{0,2})?")), m_amount));
    m_amount->setAlignment(Qt::AlignRight);
    m_amount->setMaximumWidth(fittedLineEditWidth(m_amount, QStringLiteral("-999999999,99")));
    connect(m_amount, &QLineEdit::editingFinished, this, [this] { m_amount->setText(shownAmount(m_amount->text())); });
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("&Montant unitaire :"), m_amount);
    // Items stay: task cost lines point to them.
    deleteButton()->hide();

    const Outcome read = m_store.list(m_kind, &m_items);
    if (!read)
        m_prompter.show(read);
    finishSetup();
}

QString GesCouts::shownAmount(const QString &amount) const
{
    return displayNumber(amount, 2, m_session.decimalSeparator());
}

void GesCouts::reload(const QVariant &key)
{
    QList<CostItem> items;
    const Outcome read = m_store.list(m_kind, &items);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_items = items;
    refill(key);
}

void GesCouts::fill()
{
    for (const CostItem &item : std::as_const(m_items)) {
        QTreeWidgetItem *line = addLine({item.label, CostItemStore::kindName(item.kind), shownAmount(item.unitAmount)}, item.number);
        line->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void GesCouts::showLine(const QVariant &key)
{
    CostItem item;
    const Outcome loaded = m_store.load(key.toLongLong(), &item);
    if (!lineRead(loaded))
        return;
    m_number = item.number;
    m_label->setText(item.label);
    m_amount->setText(shownAmount(item.unitAmount));
}

void GesCouts::clearFields()
{
    m_number = 0;
    m_label->clear();
    m_amount->setText(shownAmount(QStringLiteral("0")));
    m_label->setFocus();
}

void GesCouts::save()
{
    CostItem item{m_number, m_label->text(), m_kind, m_amount->text()};
    const Outcome saved = m_store.save(&item);
    m_prompter.show(saved);
    if (saved)
        reload(item.number);
}
