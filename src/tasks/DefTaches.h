#pragma once

#include "access/Access.h"
#include "resources/CatalogueScreen.h"
#include "tasks/TaskTypeStore.h"

#include <array>

class ColourSwatch;
class HourMinuteEdit;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;

// The task types: their colours on the planning, their timing and the
// skills they require.
class DefTaches : public CatalogueScreen
{
    Q_OBJECT
public:
    DefTaches(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QLabel *hint() const { return m_hint; }
    QLineEdit *labelField() const { return m_label; }
    ColourSwatch *backgroundSwatch() const { return m_background; }
    ColourSwatch *textSwatch() const { return m_text; }
    // By typehor: 0 no set duration, 1 fixed duration, 2 fixed hours.
    QRadioButton *timingOption(int timing) const { return m_timing[timing]; }
    // 0 the duration, 1 the start hour, 2 the end hour.
    HourMinuteEdit *hourPair(int pair) const { return m_hours[pair]; }
    QTreeWidget *skillList() const { return m_skills; }
    QPushButton *addSkillButton() const { return m_addSkill; }
    QPushButton *removeSkillButton() const { return m_removeSkill; }

    void save() override;
    void remove() override;

public slots:
    // Picks a skill from those not listed yet.
    void addSkill();
    void removeSkill();

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;
    // Reads the types again; on failure the list stays as it was.
    void reload(const QVariant &key = {}) override;
    void setTiming(int timing);
    void addSkillLine(const RequiredSkill &skill);
    void refuse(const QString &action);

    Rights m_rights;
    TaskTypeStore m_store;
    QList<TaskType> m_types; // as last read
    qint64 m_number = 0;     // the type shown, 0 for a new one
    QLabel *m_hint;
    QLineEdit *m_label;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
    QButtonGroup *m_timingGroup;
    std::array<QRadioButton *, 3> m_timing;
    std::array<HourMinuteEdit *, 3> m_hours;
    std::array<QLabel *, 3> m_hourLabels;
    QTreeWidget *m_skills;
    QPushButton *m_addSkill;
    QPushButton *m_removeSkill;
};
