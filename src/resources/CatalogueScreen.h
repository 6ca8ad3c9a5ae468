#pragma once

#include <QDialog>
#include <QVariant>

class Outcome;
class QFormLayout;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class Prompter;
class Session;

// The shape shared by the small catalogue screens: the list on the left, the
// entry zone of the selected line on the right, and the buttons below.
// A screen fills the list, shows a line in its fields and saves them.
class CatalogueScreen : public QDialog
{
    Q_OBJECT
public:
    QTreeWidget *list() const { return m_list; }
    QPushButton *newButton() const { return m_new; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }

    // Selects the line holding this key and shows it.
    void select(const QVariant &key);

protected:
    CatalogueScreen(Session &session, Prompter &prompter, const QString &title, const QStringList &columns,
                    QWidget *parent);

    // Called once the fields are in the form.
    void finishSetup();

    // Fills the list (addLine for each line).
    virtual void fill() = 0;
    virtual void showLine(const QVariant &key) = 0;
    virtual void clearFields() = 0;
    virtual void save() = 0;
    virtual void remove() {}

    QTreeWidgetItem *addLine(const QStringList &texts, const QVariant &key, int background = -1, int text = -1);
    // Refills the list and selects the line of `key` (the first one when absent).
    void refill(const QVariant &key = {});
    // Reads the lines again from the database; screens holding them override it.
    virtual void reload(const QVariant &key = {}) { refill(key); }
    // False, with the message shown, when a line could not be read; a line
    // deleted meanwhile on another workstation makes the list reload.
    bool lineRead(const Outcome &loaded);
    QVariant currentKey() const;

    QFormLayout *form() const { return m_form; }
    Session &m_session;
    Prompter &m_prompter;

private:
    QTreeWidget *m_list;
    QFormLayout *m_form;
    QPushButton *m_new;
    QPushButton *m_save;
    QPushButton *m_delete;
};
