#pragma once

#include "reports/HistoryReport.h"

#include <QAbstractTableModel>
#include <QDialog>

class DateField;
class Prompter;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;
class Session;

// The lines of a report as the on-screen list shows them: the cell texts
// without their formatting letters, figures on the right, totals in bold.
class HistoryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(const ReportTable &table);
    const ReportTable &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QString text(int row, int column) const; // row 0 is the first line under the titles

private:
    ReportTable m_table;
};

// What both history windows share: the period, the report type, the state,
// project and comment filters, the list, and the run with its progress and
// stop button. Each window adds its own choice of resources or clients.
class HistoryScreen : public QDialog
{
    Q_OBJECT
public:
    ~HistoryScreen() override;

    QComboBox *presetList() const { return m_preset; }
    DateField *startField() const { return m_start; }
    DateField *endField() const { return m_end; }
    QComboBox *typeList() const { return m_type; }
    QComboBox *stateList() const { return m_state; }
    QComboBox *projectList() const { return m_project; }
    QLineEdit *commentField() const { return m_comment; }
    QPushButton *runButton() const { return m_run; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *stopButton() const { return m_stop; }
    QPushButton *quitButton() const { return m_quit; }
    QLabel *statusLabel() const { return m_status; }
    QTableView *view() const { return m_view; }
    HistoryListModel *model() const { return m_model; }
    bool isRunning() const { return m_running; }
    // The lines between two looks at the stop button.
    void setProgressStep(int lines) { m_progressStep = qMax(1, lines); }

public slots:
    // "Valider": runs the chosen report into the list.
    void runReport();
    // "Imprimer": the list in the table print preview.
    void print();
    // The stop button: asks, then ends the running report.
    void askStop();

protected:
    HistoryScreen(Session &session, Prompter &prompter, HistoryKind kind, QWidget *parent);

    // Builds the window; the window's own filters go into `filters`.
    void build(const QString &caption);
    virtual void addFilters(QFormLayout *filters) = 0;
    // The window's own part of the parameters.
    virtual void fillParameters(HistoryParameters *p) const = 0;
    // Fills a combo box from "code, label" rows, after a first "all" entry.
    bool fillChoice(QComboBox *box, const QString &sql, const QString &all, const QString &failure);
    void setControlsEnabled(bool enabled);
    virtual QList<QWidget *> ownControls() const = 0;

    void closeEvent(QCloseEvent *event) override;
    void reject() override;

    Session &m_session;
    Prompter &m_prompter;

private:
    void presetChosen(int preset);
    void showMessages(const Outcome &outcome);

    HistoryKind m_kind;
    QComboBox *m_preset = nullptr;
    DateField *m_start = nullptr;
    DateField *m_end = nullptr;
    QComboBox *m_type = nullptr;
    QComboBox *m_state = nullptr;
    QComboBox *m_project = nullptr;
    QLineEdit *m_comment = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_quit = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_waiting = nullptr;
    QTableView *m_view = nullptr;
    HistoryListModel *m_model = nullptr;
    bool m_running = false;
    bool m_stopAsked = false;
    int m_progressStep = 500;
};

// Fills a list with choices (label, number), selecting the numbers given.
void fillChoiceList(QListWidget *list, const QList<QPair<QString, qint64>> &choices, const QList<qint64> &selected);
QList<qint64> selectedNumbers(const QListWidget *list);
