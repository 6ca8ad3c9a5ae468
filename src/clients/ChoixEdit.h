#pragma once

#include <QDialog>

class QRadioButton;

// Asks which client list to print: "0" the simple list, "1" the list with
// the addresses.
class ChoixEdit : public QDialog
{
    Q_OBJECT
public:
    explicit ChoixEdit(QWidget *parent = nullptr);

    // "0" or "1" once validated; the empty text when the dialog was closed.
    QString choice() const;
    // Runs the dialog modally and returns its choice.
    static QString choose(QWidget *parent = nullptr);

    QRadioButton *simpleOption() const { return m_simple; }
    QRadioButton *addressesOption() const { return m_addresses; }

private:
    QRadioButton *m_simple;
    QRadioButton *m_addresses;
};
