#pragma once

#include <QDialog>
#include <optional>

class QLineEdit;
class Prompter;

// Asks for a password: the new-password dialog (password and confirmation,
// for a database file about to be created) or the password of an existing
// protected file (one field).
class SaisMotDePasse : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { NewPassword, ExistingFile };
    SaisMotDePasse(Mode mode, Prompter &prompter, QWidget *parent = nullptr);

    QString password() const;

    // The typed password, or nullopt when the person cancelled.
    static std::optional<QString> ask(Mode mode, Prompter &prompter, QWidget *parent = nullptr);

    void accept() override;

private:
    Mode m_mode;
    Prompter &m_prompter;
    QLineEdit *m_password;
    QLineEdit *m_confirmation = nullptr;
};
