#pragma once

#include <QDialog>

// Shown once, on the very first start of a workstation: a demonstration
// database to look around, the wizard to make one's own, or the empty
// database already made.
class Frm_Bienvenue : public QDialog
{
    Q_OBJECT
public:
    enum Choice { EmptyDatabase, Demo, Wizard };

    explicit Frm_Bienvenue(QWidget *parent = nullptr);
    Choice choice() const { return m_choice; }

private:
    Choice m_choice = EmptyDatabase;
};
