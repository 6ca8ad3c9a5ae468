#pragma once

#include "core/Prompter.h"

class QWidget;

// Messages and questions as modal message boxes over a parent window.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    using Prompter::show;
    void show(const QString &title, const QString &text, Icon icon = Icon::Information) override;
    bool ask(const QString &title, const QString &text, bool defaultYes = true) override;

private:
    QWidget *m_parent;
};
