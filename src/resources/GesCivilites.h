#pragma once

#include <QDialog>

class QLineEdit;
class Prompter;
class Session;

// The three civilities side by side, abbreviation and full form.
class GesCivilites : public QDialog
{
    Q_OBJECT
public:
    GesCivilites(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QLineEdit *shortField(int n) const { return m_short[n]; }
    QLineEdit *fullField(int n) const { return m_full[n]; }
    void accept() override;

private:
    Session &m_session;
    Prompter &m_prompter;
    QLineEdit *m_short[3];
    QLineEdit *m_full[3];
};
