#include "access/OpenPrompts.h"

#include "access/SaisMotDePasse.h"
#include "core/Prompter.h"

OpenCallbacks openPrompts(Prompter &prompter, QWidget *parent)
{
    OpenCallbacks callbacks;
    callbacks.confirm = [&prompter](const QString &title, const QString &text) { return prompter.ask(title, text); };
    callbacks.askPassword = [&prompter, parent] {
        return SaisMotDePasse::ask(SaisMotDePasse::Mode::ExistingFile, prompter, parent);
    };
    callbacks.askNewPassword = [&prompter, parent] {
        return SaisMotDePasse::ask(SaisMotDePasse::Mode::NewPassword, prompter, parent);
    };
    return callbacks;
}
