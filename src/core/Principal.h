#pragma once

#include <QMainWindow>

class QLabel;
class Session;

// The program's main window: its title tells which database is open.
class Principal : public QMainWindow
{
    Q_OBJECT
public:
    explicit Principal(Session &session, QWidget *parent = nullptr);

    // "Quenzo - description", or "Quenzo - Non connecté" without a database.
    static QString titleFor(const Session &session);
    void updateTitle();

private:
    Session &m_session;
    QLabel *m_status;
};
