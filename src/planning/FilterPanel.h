#pragma once

#include "planning/FilterLayout.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningSettings.h"

#include <QDate>
#include <QHash>
#include <QWidget>

class DateField;
class MultiChoiceButton;
class Prompter;
class QComboBox;
class QGridLayout;
class QSpinBox;
class QToolButton;
class Session;

// The planning's filter panel: presentation, first day and number of days,
// and the twelve filters, placed in rows as the "Filtres" settings say.
class FilterPanel : public QWidget
{
    Q_OBJECT
public:
    FilterPanel(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    // Reads the lists from the database and lays the panel out again.
    void rebuild();

    FilterChoice choice() const;
    Presentation presentation() const;
    void setPresentation(Presentation presentation);
    QDate startDate() const;
    void setStartDate(const QDate &date);
    int nbJours() const;
    void setNbJours(int days);

    // The controls, for the window and for tests.
    DateField *dateField() const { return m_date; }
    QSpinBox *daysField() const { return m_days; }
    QComboBox *presentationList() const { return m_presentation; }
    QComboBox *list(FilterId id) const { return m_lists.value(id); }
    MultiChoiceButton *resourceKinds() const { return m_kinds; }
    MultiChoiceButton *taskTypes() const { return m_types; }
    QToolButton *dateButton(int which) const { return m_dateButtons[which]; } // 0 <<, 1 <, 2 >, 3 >>

signals:
    void filtersChanged();
    void presentationChanged(Presentation presentation);
    void startDateChanged(const QDate &date);
    void nbJoursChanged(int days);
    // -2 far back, -1 back, 1 on, 2 far on
    void dateStep(int step);

private:
    QComboBox *makeList(FilterId id, const QString &all);
    bool fill(QComboBox *list, const QString &sql, const QString &error, bool coloured, bool numeric);
    QWidget *cell(FilterId id);
    void layOut();

    Session &m_session;
    Prompter &m_prompter;
    QGridLayout *m_grid;
    QComboBox *m_presentation;
    DateField *m_date;
    QDate m_lastDate;
    QSpinBox *m_days;
    QToolButton *m_dateButtons[4];
    QHash<FilterId, QComboBox *> m_lists;
    MultiChoiceButton *m_kinds;
    MultiChoiceButton *m_types;
    QHash<FilterId, QWidget *> m_cells;
    bool m_filling = false;
};
