#include "clients/SubRecordPanel.h"

#include "core/Prompter.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/DateField.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

SubRecordPanel::SubRecordPanel(Session &session, Prompter &prompter, const ClientSubKind &kind, const QStringList &listColumns,
                               QWidget *parent)
    : QWidget(parent), m_session(session), m_prompter(prompter), m_kind(kind), m_list(new QTreeWidget(this)),
      m_form(new QFormLayout), m_buttons(new QHBoxLayout)
{
    m_list->setHeaderLabels(listColumns);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);

    QToolButton *up = arrowButton(Qt::UpArrow, QStringLiteral("Monter"), this);
    QToolButton *down = arrowButton(Qt::DownArrow, QStringLiteral("Descendre"), this);
    auto *order = new QVBoxLayout;
    order->addWidget(up);
    order->addWidget(down);
    order->addStretch();

    auto *entry = new QGroupBox(QStringLiteral("Saisie"), this);
    auto *entryLayout = new QVBoxLayout(entry);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    entryLayout->addLayout(m_form, 1);
    m_new = plainButton(QStringLiteral("Nouveau"), entry);
    m_save = plainButton(QStringLiteral("Enregistrer"), entry);
    m_remove = plainButton(QStringLiteral("Supprimer"), entry);
    m_buttons->addWidget(m_new);
    m_buttons->addWidget(m_save);
    m_buttons->addWidget(m_remove);
    m_buttons->addStretch();
    entryLayout->addLayout(m_buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 5);
    layout->addLayout(order);
    layout->addWidget(entry, 4);

    connect(m_new, &QPushButton::clicked, this, &SubRecordPanel::clearEntry);
    connect(m_save, &QPushButton::clicked, this, &SubRecordPanel::save);
    connect(m_remove, &QPushButton::clicked, this, &SubRecordPanel::remove);
    connect(up, &QToolButton::clicked, this, [this] { move(-1); });
    connect(down, &QToolButton::clicked, this, [this] { move(1); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, &SubRecordPanel::chosen);
}

void SubRecordPanel::addField(const QString &label, QWidget *field, const QString &column)
{
    const int index = m_kind.indexOf(column);
    Q_ASSERT(index >= 0);
    field->setParent(this);
    field->setObjectName(column);
    if (auto *date = qobject_cast<DateField *>(field))
        date->setPrompter(&m_prompter);
    m_bindings.append({column, m_kind.fields.value(index).type, field});
    m_form->addRow(label, field);
}

void SubRecordPanel::setFieldLabel(const QString &column, const QString &label)
{
    if (QWidget *w = field(column))
        if (auto *l = qobject_cast<QLabel *>(m_form->labelForField(w)))
            l->setText(label);
}

void SubRecordPanel::setFieldVisible(const QString &column, bool visible)
{
    if (QWidget *w = field(column))
        m_form->setRowVisible(w, visible);
}

void SubRecordPanel::setListHeaders(const QStringList &headers)
{
    m_list->setHeaderLabels(headers);
}

QPushButton *SubRecordPanel::addButton(const QString &text, const QString &tip)
{
    QPushButton *b = plainButton(text, m_save->parentWidget(), tip);
    m_buttons->insertWidget(m_buttons->count() - 1, b);
    return b;
}

QWidget *SubRecordPanel::field(const QString &column) const
{
    for (const Binding &b : m_bindings)
        if (b.column == column)
            return b.widget;
    return nullptr;
}

ClientSubRow SubRecordPanel::entry() const
{
    ClientSubRow row;
    row.number = m_current;
    row.values = QList<QVariant>(m_kind.fields.size());
    for (const Binding &b : m_bindings) {
        QVariant value;
        if (auto *date = qobject_cast<DateField *>(b.widget))
            value = date->date();
        else if (auto *line = qobject_cast<QLineEdit *>(b.widget))
            value = line->text();
        else if (auto *text = qobject_cast<QPlainTextEdit *>(b.widget))
            value = text->toPlainText();
        else if (auto *combo = qobject_cast<QComboBox *>(b.widget))
            value = b.type == ClientSubKind::Type::Number ? QVariant(std::max(0, combo->currentIndex()))
                                                          : QVariant(combo->currentData().toString());
        row.values[m_kind.indexOf(b.column)] = value;
    }
    return row;
}

void SubRecordPanel::show(const ClientSubRow &row)
{
    m_current = row.number;
    for (const Binding &b : m_bindings) {
        const QVariant value = row.values.value(m_kind.indexOf(b.column));
        if (auto *date = qobject_cast<DateField *>(b.widget)) {
            date->setDate(value.toDate());
        } else if (auto *line = qobject_cast<QLineEdit *>(b.widget)) {
            line->setText(value.toString());
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(b.widget)) {
            text->setPlainText(value.toString());
        } else if (auto *combo = qobject_cast<QComboBox *>(b.widget)) {
            if (b.type == ClientSubKind::Type::Number) {
                combo->setCurrentIndex(std::clamp(value.toInt(), 0, std::max(0, combo->count() - 1)));
                continue;
            }
            // A code no longer in its table is kept rather than lost at the next save.
            const QString code = value.toString();
            int index = combo->findData(code);
            if (index < 0) {
                combo->addItem(code, code);
                index = combo->count() - 1;
            }
            combo->setCurrentIndex(index);
        }
    }
}

void SubRecordPanel::reload(qint64 select)
{
    QList<ClientSubRow> rows;
    const qint64 client = m_client ? m_client() : 0;
    if (client) {
        const Outcome read = ClientSubRecords::list(m_session, m_kind, client, &rows);
        if (!read)
            m_prompter.show(read);
    }
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const ClientSubRow &row : std::as_const(rows)) {
            auto *item = new QTreeWidgetItem(m_list, m_rowTexts ? m_rowTexts(row) : QStringList());
            item->setData(0, Qt::UserRole, row.number);
            if (row.number == select)
                m_list->setCurrentItem(item);
        }
    }
    if (m_list->currentItem())
        chosen(); // the entry shows the row as stored
    else
        clearEntry();
}

void SubRecordPanel::clearEntry()
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentItem(nullptr);
        m_list->clearSelection();
    }
    ClientSubRow empty;
    for (const ClientSubKind::Field &f : std::as_const(m_kind.fields))
        empty.values.append(f.type == ClientSubKind::Type::Date ? QVariant(QDate())
                            : f.type == ClientSubKind::Type::Number ? QVariant(0)
                                                                    : QVariant(QString()));
    show(empty);
}

void SubRecordPanel::chosen()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    ClientSubRow row;
    const Outcome read = ClientSubRecords::read(m_session, m_kind, m_client(), item->data(0, Qt::UserRole).toLongLong(), &row);
    if (!read) {
        m_prompter.show(read);
        reload();
        return;
    }
    show(row);
}

void SubRecordPanel::save()
{
    if (m_check && !m_check())
        return;
    const qint64 client = m_owner();
    if (!client)
        return;
    ClientSubRow row = entry();
    const Outcome saved = ClientSubRecords::save(m_session, m_kind, client, &row);
    m_prompter.show(saved);
    reload(saved ? row.number : 0);
}

void SubRecordPanel::remove()
{
    if (!m_current || !m_prompter.ask(QStringLiteral("Suppression"), m_kind.question, false))
        return;
    m_prompter.show(ClientSubRecords::remove(m_session, m_kind, m_client(), m_current));
    reload();
}

void SubRecordPanel::move(int direction)
{
    if (!m_current)
        return;
    ClientSubRow row;
    Outcome moved = ClientSubRecords::read(m_session, m_kind, m_client(), m_current, &row);
    if (moved)
        moved = ClientSubRecords::move(m_session, m_kind, m_client(), m_current, direction);
    m_prompter.show(moved);
    reload(moved ? m_current : 0);
}
