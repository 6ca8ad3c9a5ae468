#pragma once

#include "tasks/CostItemStore.h"
#include "tasks/TaskStore.h"

#include <QDialog>

class DateField;
class Prompter;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class Session;

// One income or expense line charged on a task. The dialog only edits the
// line: the task form keeps it and saves it with the task.
class SaisCoutTache : public QDialog
{
    Q_OBJECT
public:
    // kind: TaskCostLine::Income or TaskCostLine::Expense.
    SaisCoutTache(Session &session, Prompter &prompter, int kind, QWidget *parent = nullptr);

    // Shows a line; its rank tells a new line (0) from one being changed.
    void setLine(const TaskCostLine &line);
    // The line as entered; amounts with "." as separator.
    TaskCostLine line() const;

    int kind() const { return m_kind; }
    // The items of the dialog's kind by label, an empty first entry for none.
    QComboBox *itemList() const { return m_item; }
    DateField *dateField() const { return m_date; }
    QLineEdit *labelField() const { return m_label; }
    // Expenses only; first entry "Aucune" (0).
    QComboBox *resourceList() const { return m_resource; }
    QLineEdit *invoiceField() const { return m_invoice; }
    QLineEdit *quantityField() const { return m_quantity; }
    QLineEdit *unitAmountField() const { return m_unitAmount; }
    QLineEdit *totalField() const { return m_total; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }

public slots:
    // Checks the line; closes only when it is complete.
    void accept() override;

private:
    void loadItems();
    void loadResources();
    void applyItem(int index);
    void fixQuantity();
    void recomputeTotal();
    int quantity() const;
    QString shown(const QString &number) const;
    void setCaption(int rank);

    Session &m_session;
    Prompter &m_prompter;
    int m_kind;
    int m_rank = 0;
    QList<CostItem> m_items; // in the list's order, after the empty entry
    bool m_filling = false;

    QFormLayout *m_form;
    QComboBox *m_item;
    DateField *m_date;
    QLineEdit *m_label;
    QComboBox *m_resource;
    QLineEdit *m_invoice;
    QLineEdit *m_quantity;
    QLineEdit *m_unitAmount;
    QLineEdit *m_total;
    QPushButton *m_save;
    QPushButton *m_cancel;
};
