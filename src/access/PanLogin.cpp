#include "access/PanLogin.h"

#include "access/Access.h"
#include "core/PasswordCodec.h"
#include "core/Prompter.h"
#include "core/Session.h"

#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PanLogin::PanLogin(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_password(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Connexion à Quenzo"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    if (session.description().afflogin) {
        m_users = new QComboBox(this);
        m_users->setMinimumWidth(240);
        form->addRow(QStringLiteral("&Utilisateur :"), m_users);
    } else {
        m_code = new QLineEdit(session.userCode(), this);
        m_code->setMinimumWidth(240);
        form->addRow(QStringLiteral("&Utilisateur :"), m_code);
    }
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&Mot de passe :"), m_password);
    layout->addLayout(form);

    QDialogButtonBox *buttons = okCancelButtons(this);
    layout->addWidget(buttons);

    if (m_users)
        loadUsers();
    m_password->setFocus();
    // Enter in the password logs in.
    FieldNavigation::install(this);
    FieldNavigation::keepEnter(m_password);
}

void PanLogin::loadUsers()
{
    ResultSet rows;
    Database *db = m_session.database();
    if (!db || !db->query(QStringLiteral("select codeutil from kp_utilisateurs order by codeutil"), rows)) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("ERreur lors de la lecture des utilisateurs"),
                        Prompter::Icon::Critical);
        return;
    }
    if (rows.isEmpty()) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Aucun utilisateur enregristré !!"),
                        Prompter::Icon::Warning);
        return;
    }
    QStringList codes;
    for (int r = 0; r < rows.rowCount(); ++r)
        codes.append(PasswordCodec::decode(rows.value(r, 0)));
    codes.sort(Qt::CaseInsensitive);
    m_users->addItems(codes);
    const int current = codes.indexOf(m_session.userCode());
    if (current >= 0)
        m_users->setCurrentIndex(current);
}

void PanLogin::accept()
{
    const QString code = m_users ? m_users->currentText() : m_code->text();
    const Outcome outcome = Access::logIn(m_session, code, m_password->text());
    if (!outcome) {
        m_prompter.show(outcome);
        m_password->clear();
        m_password->setFocus();
        return;
    }
    QDialog::accept();
}
