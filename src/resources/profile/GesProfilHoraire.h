#pragma once

#include "resources/profile/ProfileStore.h"

#include <QDialog>

class ColourSwatch;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class Prompter;
class Session;
class WeekPicture;

// An hour profile: its label and its week of working ranges, drawn with the
// mouse on the week picture. Validating saves it and closes the screen.
class GesProfilHoraire : public QDialog
{
    Q_OBJECT
public:
    // profileNumber 0 creates a new profile.
    GesProfilHoraire(Session &session, Prompter &prompter, int profileNumber, QWidget *parent = nullptr);

    // False when the profile could not be read: the screen then closes by itself.
    bool isLoaded() const { return m_loaded; }
    // The number given, or the one a new profile got when it was saved.
    qint64 profileNumber() const { return m_number; }
    const QList<ProfileRange> &ranges() const { return m_ranges; }

    QLineEdit *labelField() const { return m_label; }
    QComboBox *firstDayList() const { return m_firstDay; }
    QComboBox *precisionList() const { return m_precision; }
    ColourSwatch *activeSwatch() const { return m_activeSwatch; }
    ColourSwatch *backgroundSwatch() const { return m_backgroundSwatch; }
    WeekPicture *picture() const { return m_picture; }
    QTreeWidget *detail() const { return m_detail; }
    QLabel *total() const { return m_total; }

    void accept() override;

private:
    void changeRange(int index, const ProfileRange &range);
    void deleteRange(int index);
    // Sorts the ranges and rewrites the picture, the detail and the total.
    void refresh(const ProfileRange *select = nullptr);
    void preferencesChanged();

    Session &m_session;
    Prompter &m_prompter;
    qint64 m_number;
    bool m_loaded = true;
    QList<ProfileRange> m_ranges;
    ProfilePreferences m_preferences;

    QLineEdit *m_label;
    QComboBox *m_firstDay;
    QComboBox *m_precision;
    ColourSwatch *m_activeSwatch;
    ColourSwatch *m_backgroundSwatch;
    WeekPicture *m_picture;
    QTreeWidget *m_detail;
    QLabel *m_total;
};
