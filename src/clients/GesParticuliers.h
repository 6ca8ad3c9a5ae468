#pragma once

#include "clients/ClientScreen.h"

class QComboBox;

// A private individual client: civility, names, birth date, employer,
// address, dependents and everything the client screens share. Opening an
// existing individual locks it for this workstation until the screen closes.
class GesParticuliers : public ClientScreen
{
    Q_OBJECT
public:
    // number 0: a new individual.
    GesParticuliers(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    // Opens the screen modally; the number it ended on, 0 when nothing was saved.
    static qint64 edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    QLineEdit *surnameField() const { return lineField(QStringLiteral("nomcont")); }
    QLineEdit *firstNameField() const { return lineField(QStringLiteral("prenomcont")); }
    // Typed, or chosen among the names already entered.
    QComboBox *employerList() const { return m_employer; }
    DateField *birthField() const { return m_birth; }
    SubRecordPanel *dependentPanel() const { return m_dependents; }

protected:
    void gatherOwn(Client &client) const override;
    void showOwn(const Client &client) override;
    QList<QWidget *> nameFields() const override;
    QString displayName() const override;
    void fillOwnLists() override;

private:
    QWidget *head();
    QWidget *identityTab();
    void buildDependents();

    QComboBox *m_employer;
    DateField *m_birth;
    SubRecordPanel *m_dependents = nullptr;
};
