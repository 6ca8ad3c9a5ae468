#include "resources/GesCivilites.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"
#include "resources/ReferenceLists.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

GesCivilites::GesCivilites(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("Civilités"));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Abréviation"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Forme complète"), this), 0, 2);
    for (int n = 0; n < 3; ++n) {
        m_short[n] = new QLineEdit(session.civilities()[n].shortName, this);
        m_full[n] = new QLineEdit(session.civilities()[n].fullName, this);
        limitToColumn(m_short[n], QStringLiteral("kp_civilites"), QStringLiteral("racc"));
        limitToColumn(m_full[n], QStringLiteral("kp_civilites"), QStringLiteral("comp"));
        m_short[n]->setMaximumWidth(80);
        m_full[n]->setMinimumWidth(200);
        grid->addWidget(new QLabel(QStringLiteral("Civilité %1 :").arg(n + 1), this), n + 1, 0);
        grid->addWidget(m_short[n], n + 1, 1);
        grid->addWidget(m_full[n], n + 1, 2);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(okCancelButtons(this));
    FieldNavigation::install(this);
}

void GesCivilites::accept()
{
    Civilities civilities;
    for (int n = 0; n < 3; ++n)
        civilities[n] = {m_short[n]->text().trimmed(), m_full[n]->text().trimmed()};
    const Outcome saved = ReferenceLists::saveCivilities(m_session, civilities);
    m_prompter.show(saved);
    if (saved)
        QDialog::accept();
}
