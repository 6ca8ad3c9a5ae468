#pragma once

#include <QDialog>

class QListWidget;
class QRadioButton;
class Session;

// The layout of the planning's filter panel: which filters show, in which
// order, and in how many columns. "Valider" writes it; "Quitter" writes
// nothing.
class Frm_Param : public QDialog
{
    Q_OBJECT
public:
    explicit Frm_Param(Session &session, QWidget *parent = nullptr);

private:
    void move(int by);
    void validate();

    Session &m_session;
    QListWidget *m_filters;
    QRadioButton *m_threeColumns, *m_fourColumns;
};
