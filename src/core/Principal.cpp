#include "core/Principal.h"

#include "core/Session.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>

Principal::Principal(Session &session, QWidget *parent) : QMainWindow(parent), m_session(session)
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("&Menu"));
    menu->addAction(QStringLiteral("&Quitter"), this, &QWidget::close);
    m_status = new QLabel(this);
    m_status->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_status);
    resize(800, 500);
    updateTitle();
}

QString Principal::titleFor(const Session &session)
{
    const QString app = QStringLiteral("Quenzo");
    if (!session.isDatabaseOpen())
        return app + QStringLiteral(" - Non connecté");
    const QString description = session.description().text;
    if (description.isEmpty() || description == QLatin1String("/"))
        return app;
    return app + QStringLiteral(" - ") + description;
}

void Principal::updateTitle()
{
    setWindowTitle(titleFor(m_session));
    m_status->setText(m_session.isDatabaseOpen() ? QStringLiteral("Base de données ouverte")
                                                 : QStringLiteral("Aucune base de données ouverte"));
}
