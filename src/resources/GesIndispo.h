#pragma once

#include "access/Access.h"
#include "resources/LeaveStore.h"
#include "resources/RangeEntry.h"

#include <QDialog>

class Prompter;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class Session;

// One resource's leave: its type, its range and its working days and hours.
// Opened on an existing leave (the caller holds the task lock, released when
// the screen closes) or for a new one.
class GesIndispo : public QDialog
{
    Q_OBJECT
public:
    GesIndispo(Session &session, Prompter &prompter, qint64 task /*0 = new*/, QWidget *parent = nullptr);

    // A new leave's resource and range, as drawn on the planning.
    void setPresets(qint64 resource, const QDate &startDate, const QString &startTime, const QDate &endDate,
                    const QString &endTime);

    QComboBox *resourceList() const { return m_resource; }
    QComboBox *typeList() const { return m_type; }
    RangeEntry *range() const { return m_range; }
    QPlainTextEdit *commentField() const { return m_comment; }
    QCheckBox *lockBox() const { return m_locked; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }

public slots:
    void save();
    void remove();

protected:
    void done(int result) override;

private:
    void loadLists();
    void fill(const LeaveEntry &entry);
    LeaveEntry gather() const;

    Session &m_session;
    Prompter &m_prompter;
    qint64 m_task;
    Rights m_rights;

    QComboBox *m_resource;
    QComboBox *m_type;
    RangeEntry *m_range;
    QPlainTextEdit *m_comment;
    QCheckBox *m_locked;
    QPushButton *m_save;
    QPushButton *m_delete;
};
