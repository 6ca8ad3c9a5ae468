#include "access/SaisMotDePasse.h"

#include "core/Prompter.h"

#include "core/widgets/OkCancel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *maskedField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(220);
    return field;
}

} // namespace

SaisMotDePasse::SaisMotDePasse(Mode mode, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_prompter(prompter), m_password(maskedField(this))
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    if (mode == Mode::NewPassword) {
        setWindowTitle(QStringLiteral("Mot de passe de la nouvelle base"));
        layout->addWidget(new QLabel(QStringLiteral("Laissez vide pour une base sans mot de passe."), this));
        m_confirmation = maskedField(this);
        form->addRow(QStringLiteral("Mot de passe :"), m_password);
        form->addRow(QStringLiteral("Confirmation :"), m_confirmation);
    } else {
        setWindowTitle(QStringLiteral("Base de données protégée"));
        form->addRow(QStringLiteral("Mot de passe de la base :"), m_password);
    }
    layout->addLayout(form);
    QDialogButtonBox *buttons = okCancelButtons(this);
    layout->addWidget(buttons);
}

QString SaisMotDePasse::password() const
{
    return m_password->text();
}

void SaisMotDePasse::accept()
{
    if (m_confirmation && m_confirmation->text() != m_password->text()) {
        m_prompter.show(QStringLiteral("Mauvaise confirmation"), QStringLiteral("Les mots de passe ne correspondent pas"),
                        Prompter::Icon::Warning);
        m_confirmation->clear();
        m_confirmation->setFocus();
        return;
    }
    QDialog::accept();
}

std::optional<QString> SaisMotDePasse::ask(Mode mode, Prompter &prompter, QWidget *parent)
{
    SaisMotDePasse dialog(mode, prompter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.password();
}
