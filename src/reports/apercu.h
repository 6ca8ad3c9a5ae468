#pragma once

#include "reports/ReportTable.h"

#include <QDialog>

class Prompter;
class Session;

// The table print preview: pages of a ReportTable, zoom, printing of a page
// range, save as a text file, copy for a spreadsheet.
class apercu : public QDialog
{
    Q_OBJECT
public:
    apercu(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent = nullptr);
    ~apercu() override;

    // Shows the preview modally over parent.
    static void preview(Session &session, Prompter &prompter, const ReportTable &table, QWidget *parent = nullptr);

private:
    Session &m_session;
    Prompter &m_prompter;
    ReportTable m_table;
};
