#pragma once

#include "resources/CatalogueScreen.h"
#include "tasks/CostItemStore.h"

class QLineEdit;

// The cost items of one kind: income ("Produit", 0) or expense ("Charge", 1).
class GesCouts : public CatalogueScreen
{
    Q_OBJECT
public:
    GesCouts(Session &session, Prompter &prompter, int kind, QWidget *parent = nullptr);

    QLineEdit *labelField() const { return m_label; }
    QLineEdit *amountField() const { return m_amount; }
    void save() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;
    // Reads the items again; on failure the list stays as it was.
    void reload(const QVariant &key = {}) override;
    QString shownAmount(const QString &amount) const;

    int m_kind;
    CostItemStore m_store;
    QList<CostItem> m_items; // as last read
    qint64 m_number = 0;     // the item shown, 0 for a new one
    QLineEdit *m_label;
    QLineEdit *m_amount;
};
