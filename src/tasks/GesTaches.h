#pragma once

#include "core/widgets/RecordScreen.h"
#include "reports/ListRequest.h"
#include "resources/RangeEntry.h"
#include "tasks/TaskAlerts.h"
#include "tasks/TaskLinks.h"
#include "tasks/TaskStore.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class DateField;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class Session;

// The task form: one task with its type, urgency and project, its range or
// split ranges, its resources and clients, its comment and outcome, its
// periodicity, its alert and its income and expense lines. An existing task
// is locked for this workstation while the form is open.
class GesTaches : public RecordScreen
{
    Q_OBJECT
public:
    GesTaches(Session &session, Prompter &prompter, qint64 task /*0 = new*/, QWidget *parent = nullptr);

    // Opens the form modally; the task number saved last, 0 when nothing was.
    static qint64 edit(Session &session, Prompter &prompter, qint64 task, QWidget *parent = nullptr);

    // The planning row a new task was drawn on.
    enum class Row { Resource, Client, TaskType };
    // A new task drawn on the planning: its row and its range preselected.
    void setPresets(Row row, qint64 number, const QDate &startDate, const QString &startTime, const QDate &endDate,
                    const QString &endTime);

    // The administrative lock keeps this user from changing the task.
    bool isReadOnly() const { return m_readOnly; }
    // The task as the controls hold it now.
    Task gathered() const;

    // Replaceable windows (tests open no modal window).
    using Chooser = std::function<ListAnswer(const ListRequest &)>;
    using TeamChooser = std::function<qint64()>; // 0: none chosen
    // The rule as edited; none when the person gave up.
    using RuleEditor = std::function<std::optional<PeriodRule>(const PeriodRule &current, bool isNew)>;
    using LineEditor = std::function<std::optional<TaskCostLine>(const TaskCostLine &line)>;
    using MailSender = std::function<void(const QString &recipients, const QString &subject, const QString &body)>;
    using ClientOpener = std::function<void(qint64 number, int typesoc)>;
    using TypeEditor = std::function<void()>;
    void setChooser(const Chooser &f) { m_chooser = f; }
    void setTeamChooser(const TeamChooser &f) { m_teamChooser = f; }
    void setRuleEditor(const RuleEditor &f) { m_ruleEditor = f; }
    void setLineEditor(const LineEditor &f) { m_lineEditor = f; }
    void setMailSender(const MailSender &f) { m_mailSender = f; }
    void setClientOpener(const ClientOpener &f) { m_clientOpener = f; }
    void setTypeEditor(const TypeEditor &f) { m_typeEditor = f; }

    QLabel *numberLabel() const { return m_numberLabel; }
    QComboBox *typeList() const { return m_type; }
    QComboBox *urgencyList() const { return m_urgency; }
    QComboBox *projectList() const { return m_project; }
    QTabWidget *tabs() const { return m_tabs; }
    QCheckBox *splitBox() const { return m_split; }
    RangeEntry *range() const { return m_range; }
    QTreeWidget *rangeList() const { return m_ranges; }
    QListWidget *resourceList() const { return m_resources; }
    QListWidget *clientList() const { return m_clients; }
    QPlainTextEdit *commentField() const { return m_comment; }
    QCheckBox *doneBox() const { return m_done; }
    DateField *doneDate() const { return m_doneDate; }
    QPlainTextEdit *doneCommentField() const { return m_doneComment; }
    QCheckBox *adminLockBox() const { return m_adminLock; }
    QCheckBox *periodicBox() const { return m_periodic; }
    QLabel *ruleText() const { return m_ruleText; }
    QComboBox *alertOffset() const { return m_alertOffset; }
    QLineEdit *alertComment() const { return m_alertComment; }
    QListWidget *recipientList() const { return m_recipients; }
    QTreeWidget *costList(int kind) const { return m_costs[kind]; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }

public slots:
    void save();
    void remove();
    void addRange();
    void modifyRange();
    void removeRange();
    void addResource();
    void addTeam();
    void removeResource();
    void addClient();
    void openClient();
    void removeClient();
    void definePeriodicity();
    void cancelPeriodicity();
    void addRecipient();
    void removeRecipient();
    void addCostLine(int kind);
    void modifyCostLine(int kind);
    void removeCostLine(int kind);
    void sendMail();
    void editTypes();

private:
    QWidget *datesTab();
    QWidget *linksTab();
    QWidget *commentTab();
    QWidget *periodicityTab();
    QWidget *alertTab();
    QWidget *costsTab();
    QWidget *costPanel(int kind);

    void loadLists();
    void loadTypes(qint64 select);
    void fill(const Task &task);
    void fillAlert();
    void setCaption();
    void showSplit();
    void showRule();
    void showRanges();
    void showLinks();
    void showCosts();
    void showRecipients();
    void setRangeFields(const TaskRange &range);
    TaskRange rangeFields() const;
    bool checkRange(const TaskRange &range, int ignoredRow);
    QString number(double value) const;
    QString shownNumber(const QString &stored) const;
    QString costItemLabel(qint64 item) const;

    Task m_task;
    bool m_readOnly = false;
    std::optional<PeriodRule> m_rule; // the rule shown, for a periodic task
    QList<LinkedItem> m_resourceItems;
    QList<LinkedItem> m_clientItems;
    QList<TaskAlerts::Choice> m_choices;
    QList<TaskAlerts::Choice> m_listedRecipients;
    QHash<qint64, QString> m_costItems;
    QHash<qint64, QString> m_resourceNames;

    Chooser m_chooser;
    TeamChooser m_teamChooser;
    RuleEditor m_ruleEditor;
    LineEditor m_lineEditor;
    MailSender m_mailSender;
    ClientOpener m_clientOpener;
    TypeEditor m_typeEditor;

    QLabel *m_numberLabel;
    QComboBox *m_type;
    QComboBox *m_urgency;
    QComboBox *m_project;
    QTabWidget *m_tabs;
    QCheckBox *m_split;
    RangeEntry *m_range;
    QGroupBox *m_rangeBox;
    QTreeWidget *m_ranges;
    QListWidget *m_resources;
    QListWidget *m_clients;
    QLabel *m_noClient;
    QPlainTextEdit *m_comment;
    QCheckBox *m_done;
    DateField *m_doneDate;
    QPlainTextEdit *m_doneComment;
    QCheckBox *m_adminLock;
    QCheckBox *m_periodic;
    QLabel *m_ruleText;
    QPushButton *m_defineRule;
    QComboBox *m_alertOffset;
    QLineEdit *m_alertComment;
    QListWidget *m_recipients;
    QTreeWidget *m_costs[2];
    QLabel *m_costTotals[2];
    QPushButton *m_save;
    QPushButton *m_delete;
};
