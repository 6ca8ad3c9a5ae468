#include "core/widgets/ColumnLimit.h"

#include "core/Schema.h"

#include <QLineEdit>

bool limitToColumn(QLineEdit *edit, const QString &table, const QString &column)
{
    const TableSpec *described = schemaTable(table);
    const ColumnSpec *col = described ? described->column(column) : nullptr;
    if (!col) {
        qWarning("limitToColumn: no column %s.%s", qPrintable(table), qPrintable(column));
        return false;
    }
    // QLineEdit's own default, i.e. no practical limit.
    constexpr int Unlimited = 32767;
    edit->setMaxLength(col->type == ColumnType::ShortText && col->length > 0 ? col->length : Unlimited);
    return true;
}

QLineEdit *columnLineEdit(const QString &table, const QString &column)
{
    auto *edit = new QLineEdit;
    limitToColumn(edit, table, column);
    return edit;
}
