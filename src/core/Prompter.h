#pragma once

#include "core/Outcome.h"

#include <QStringList>

// The one way a screen shows a message or asks a yes/no question. The desktop
// program uses message boxes; tests install a scripted prompter.
class Prompter
{
public:
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~Prompter() = default;
    virtual void show(const QString &title, const QString &text, Icon icon = Icon::Information) = 0;
    // yes/no; defaultYes tells which button Enter presses.
    virtual bool ask(const QString &title, const QString &text, bool defaultYes = true) = 0;

    // Shows every message of an outcome, in order, with the icon its title calls for.
    void show(const Outcome &outcome)
    {
        for (const Message &m : outcome.messages())
            show(m.title, m.text, iconFor(m.title));
    }

    // Failures are errors; refusals and input problems are warnings.
    static Icon iconFor(const QString &title)
    {
        static const QStringList errors = {QStringLiteral("Erreur"), QStringLiteral("Erreur SQL"), QStringLiteral("Incorrect")};
        static const QStringList warnings = {QStringLiteral("Désolé"),      QStringLiteral("Attention"),
                                             QStringLiteral("Incomplet"),   QStringLiteral("Incohérence"),
                                             QStringLiteral("Impossible"),  QStringLiteral("Disparition"),
                                             QStringLiteral("Disparu"),     QStringLiteral("Annulation"),
                                             QStringLiteral("Mauvaise confirmation")};
        if (errors.contains(title))
            return Icon::Critical;
        return warnings.contains(title) ? Icon::Warning : Icon::Information;
    }
};
