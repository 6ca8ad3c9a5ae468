#include "planning/MultiChoiceButton.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

MultiChoiceButton::MultiChoiceButton(const QString &title, QWidget *parent) : QPushButton(parent), m_title(title)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &MultiChoiceButton::choose);
    updateText();
}

void MultiChoiceButton::setChoices(const QList<QPair<QString, qint64>> &choices)
{
    m_choices = choices;
    QList<qint64> kept;
    for (const auto &c : choices)
        if (m_checked.contains(c.second))
            kept.append(c.second);
    m_checked = kept;
    updateText();
}

void MultiChoiceButton::setChecked(const QList<qint64> &values)
{
    if (values == m_checked)
        return;
    m_checked = values;
    updateText();
    emit changed();
}

QString MultiChoiceButton::checkedText() const
{
    QStringList labels;
    for (const auto &c : m_choices)
        if (m_checked.contains(c.second))
            labels.append(c.first);
    return labels.join(QStringLiteral(", "));
}

void MultiChoiceButton::updateText()
{
    const QString text = checkedText();
    setText(text.isEmpty() ? QStringLiteral("Tous") : fontMetrics().elidedText(text, Qt::ElideRight, 160));
    setToolTip(text.isEmpty() ? QStringLiteral("Tous") : text);
}

void MultiChoiceButton::choose()
{
    QDialog dialog(this);
    dialog.setWindowTitle(m_title);
    auto *list = new QListWidget(&dialog);
    for (const auto &c : std::as_const(m_choices)) {
        auto *item = new QListWidgetItem(c.first, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(m_checked.contains(c.second) ? Qt::Checked : Qt::Unchecked);
    }
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Valider"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(280, 320);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QList<qint64> values;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            values.append(m_choices.at(i).second);
    setChecked(values);
}
