#pragma once

#include "clients/ClientSubRecords.h"

#include <QWidget>
#include <functional>

class Prompter;
class QFormLayout;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QTreeWidget;
class Session;

// One tab of rows hung on a client: the list on the left (with the order
// arrows), the entry of the selected row on the right, and the buttons that
// start a new row, write it and delete it. The screen gives the fields, the
// texts of a list line, its own checks and the client the rows belong to.
class SubRecordPanel : public QWidget
{
    Q_OBJECT
public:
    SubRecordPanel(Session &session, Prompter &prompter, const ClientSubKind &kind, const QStringList &listColumns,
                   QWidget *parent = nullptr);

    // A field bound to a column of the kind: a QLineEdit (DateField for
    // dates), a QPlainTextEdit, or a QComboBox holding codes as item data (a
    // number column takes the combo's position: civilities).
    void addField(const QString &label, QWidget *field, const QString &column);
    void setFieldLabel(const QString &column, const QString &label);
    void setFieldVisible(const QString &column, bool visible);
    // An extra button of the entry (print, open ...).
    QPushButton *addButton(const QString &text, const QString &tip = {});

    // The texts of a row in the list.
    void setRowTexts(const std::function<QStringList(const ClientSubRow &)> &texts) { m_rowTexts = texts; }
    // Checks of the kind before anything is written; false when refused (the
    // message has been shown).
    void setCheck(const std::function<bool()> &check) { m_check = check; }
    // The client the rows belong to, 0 when it is not saved.
    void setClient(const std::function<qint64()> &client) { m_client = client; }
    // Saves the client first; its number, 0 when refused.
    void setOwner(const std::function<qint64()> &owner) { m_owner = owner; }
    void setListHeaders(const QStringList &headers);

    const ClientSubKind &kind() const { return m_kind; }
    QTreeWidget *list() const { return m_list; }
    QWidget *field(const QString &column) const;
    QPushButton *saveButton() const { return m_save; }
    QPushButton *removeButton() const { return m_remove; }
    // The row being edited, 0 for a new one.
    qint64 current() const { return m_current; }
    // The entry as a row to write.
    ClientSubRow entry() const;

public slots:
    // Rereads the list, keeping `select` selected when it is still there.
    void reload(qint64 select = 0);
    void clearEntry();
    void save();
    void remove();
    void move(int direction);

private:
    struct Binding
    {
        QString column;
        ClientSubKind::Type type;
        QWidget *widget;
    };
    void chosen();
    void show(const ClientSubRow &row);

    Session &m_session;
    Prompter &m_prompter;
    ClientSubKind m_kind;
    QList<Binding> m_bindings;
    qint64 m_current = 0;
    std::function<QStringList(const ClientSubRow &)> m_rowTexts;
    std::function<bool()> m_check;
    std::function<qint64()> m_client;
    std::function<qint64()> m_owner;

    QTreeWidget *m_list;
    QFormLayout *m_form;
    QHBoxLayout *m_buttons;
    QPushButton *m_new;
    QPushButton *m_save;
    QPushButton *m_remove;
};
