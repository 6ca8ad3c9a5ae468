#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class Database;

// A priced item charged on tasks (kp_couts).
struct CostItem
{
    enum Kind { Income = 0, Expense = 1 };

    qint64 number = 0; // 0: not saved yet
    QString label;
    int kind = Income;  // typecout
    QString unitAmount; // a number text, "," or "." as separator
};

class CostItemStore
{
public:
    explicit CostItemStore(Database &db) : m_db(db) {}

    // The items of one kind, by label.
    Outcome list(int kind, QList<CostItem> *items) const;
    // "Disparition" when another workstation deleted it.
    Outcome load(qint64 number, CostItem *item) const;
    // A new item gets its number.
    Outcome save(CostItem *item) const;

    // "Produit" or "Charge".
    static QString kindName(int kind);

private:
    Database &m_db;
};
