#pragma once

#include "core/Outcome.h"

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

    // Shows every message of an outcome, in order.
    void show(const Outcome &outcome)
    {
        for (const Message &m : outcome.messages())
            show(m.title, m.text, outcome.ok() ? Icon::Information : Icon::Critical);
    }
};
