#pragma once

#include "planning/PlanningModel.h"
#include "planning/PlanningPages.h"
#include "planning/PlanningPeriod.h"
#include "planning/PlanningSettings.h"

#include <QMainWindow>
#include <QTime>

class FilterPanel;
class PlanningCommand;
class PlanningView;
struct GridPoint;
class QMenu;
class Prompter;
class QActionGroup;
class QLabel;
class QScrollBar;
class QTimer;
class Session;

// The planning window: the filter panel, the planning picture with its row
// scroll bar, the period, colour and refresh menus, and the automatic
// refresh that reloads when another workstation changed tasks.
class FrmPlanning : public QMainWindow
{
    Q_OBJECT
public:
    FrmPlanning(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    ~FrmPlanning() override;

    // Reads the rows and blocks again; false (previous picture kept) on failure.
    bool reload();
    // One tick of the refresh timer; true when it reloaded.
    bool refreshTick(const QTime &now = QTime::currentTime());

    void setPeriod(Period period);
    Period period() const { return m_period; }
    void setStartDate(const QDate &date);
    QDate startDate() const { return m_start; }
    int dayCount() const;
    void setColourSource(ColourSource source);
    void setRefreshSeconds(int seconds);
    // Re-reads the planning parameters (after the parameter dialog) and redraws.
    void applySettings();

    const PlanningModel &model() const { return m_model; }
    FilterPanel *filterPanel() const { return m_panel; }
    PlanningView *view() const { return m_view; }
    QScrollBar *rowScroll() const { return m_scroll; }
    QString statusText() const;
    // How many loads reached the database (a scroll must not add one).
    int loadCount() const { return m_loads; }

    // Opens the record of a block or of a row (read and edited by their own screens).
    void openBlock(int block);
    void openRow(int row);

    PlanningCommand *command() const { return m_command; }
    // The context menu of a block (-1: an empty place) at a grid place; its
    // actions carry the command codes as data.
    QMenu *contextMenu(int block, const GridPoint &at);
    // The conflict note shown after the last edit, empty when none.
    QString conflictNote() const;
    QString pointerText() const;

    // What the print window and the exports are handed: the planning shown,
    // with its presentation, period, colours and filters.
    PlanningPrint printInput() const;
    // The HTML export of the workstation's settings, from the days shown;
    // its end is told through the prompter.
    void exportHtml();
    // The resources shown (by resource) as iCalendar files, one per resource,
    // over the days shown, into `folder`; its end is told through the prompter.
    void exportIcs(const QString &folder);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void showFrame();
    bool loadedCovers(const QDate &start, int days) const;
    void step(int step);
    void updateScroll();
    void updateStatus();
    void connectEditing();
    void showConflict(const QString &text);
    QString rowTerm() const;
    // "Aucune ressource à afficher" and the like.
    QString emptyText() const;

    Session &m_session;
    Prompter &m_prompter;
    PlanningSettings m_settings;
    Period m_period = Period::NbDays;
    QDate m_start;
    PlanningModel m_model;
    QDate m_loadedFirst;
    int m_loadedDays = 0;
    QString m_loadedStamp;
    int m_loads = 0;
    bool m_opened = false;

    FilterPanel *m_panel;
    PlanningView *m_view;
    QScrollBar *m_scroll;
    QLabel *m_pointer;
    QLabel *m_summary;
    QTimer *m_timer;
    PlanningCommand *m_command;
    QLabel *m_note;
    QTimer *m_noteTimer;
    QAction *m_undo = nullptr;
    QTime m_lastRefresh;
    QActionGroup *m_periods = nullptr;
    QActionGroup *m_colours = nullptr;
    QActionGroup *m_refresh = nullptr;
};
