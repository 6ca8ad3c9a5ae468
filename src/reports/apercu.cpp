#include "reports/apercu.h"

apercu::apercu(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_table(table)
{
}

apercu::~apercu() = default;

void apercu::preview(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent)
{
    apercu window(session, prompter, table, parent);
    window.exec();
}
