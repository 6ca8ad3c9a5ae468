#pragma once

#include "core/Prompter.h"

#include <QList>
#include <QQueue>

// Stands in for the person at the keyboard: records every message and
// question, and answers questions from a queue given by the test.
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        QString title;
        QString text;
        bool question = false;
    };

    using Prompter::show;
    void show(const QString &title, const QString &text, Icon = Icon::Information) override
    {
        m_shown.append({title, text, false});
    }
    // An unexpected question (empty queue) is answered "no" and recorded.
    bool ask(const QString &title, const QString &text, bool defaultYes = true) override
    {
        m_shown.append({title, text, true});
        m_defaults.append(defaultYes);
        return m_answers.isEmpty() ? false : m_answers.dequeue();
    }

    void answer(std::initializer_list<bool> answers)
    {
        for (bool a : answers)
            m_answers.enqueue(a);
    }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const
    {
        QStringList t;
        for (const Shown &s : m_shown)
            t.append(s.text);
        return t;
    }
    // The default button of each question asked, in order (true: Yes).
    const QList<bool> &defaults() const { return m_defaults; }
    int unanswered() const { return int(m_answers.size()); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_defaults.clear();
    }

private:
    QList<Shown> m_shown;
    QQueue<bool> m_answers;
    QList<bool> m_defaults;
};
