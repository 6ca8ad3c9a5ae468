#pragma once

#include "planning/PhraseItems.h"
#include "planning/PlanningSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QRadioButton;
class ColourSwatch;
class PhraseEditor;
class PlanningPreview;
class Prompter;
class RangeField;
class Session;

// The workstation's planning parameters (section "Planning"), in tabs.
// "Valider" writes every one of them; "Abandonner" and "Quitter" write
// nothing. The planning window reads them again once the dialog is accepted.
class ParamPlanning : public QDialog
{
    Q_OBJECT
public:
    ParamPlanning(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    ~ParamPlanning() override;

private:
    QWidget *coloursTab();
    QWidget *fontsTab();
    QWidget *displayTab();
    QWidget *textsTab();
    QWidget *tasksTab();
    void loadTaskTypes();
    void validate();

    Session &m_session;
    Prompter &m_prompter;
    PlanningSettings m_read;
    PhraseItems m_items;
    bool m_taskTypesRead = false;

    ColourSwatch *m_swatches[14];
    PlanningPreview *m_preview;
    QFontComboBox *m_fonts[3];
    QString m_fontsShown[3]; // what each combo showed on opening
    RangeField *m_rows, *m_rowHeight, *m_labelWidths[3], *m_history;
    QRadioButton *m_wheelRows, *m_wheelDays;
    QCheckBox *m_fastScrolling, *m_refreshInBackground, *m_lockNewTasks;
    QComboBox *m_colourSource, *m_refresh, *m_taskType;
    PhraseEditor *m_blockPhrase, *m_tooltipPhrase;
};
