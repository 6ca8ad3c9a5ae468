#pragma once

#include "access/Access.h"
#include "resources/CatalogueScreen.h"

class QComboBox;
class QLineEdit;
class ColourSwatch;

// The generic screen of a code/label table.
class SaisTables : public CatalogueScreen
{
    Q_OBJECT
public:
    SaisTables(Session &session, Prompter &prompter, const QString &table, QWidget *parent = nullptr);
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *labelField() const { return m_label; }
    void save() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;
    void codeTyped();

    QString m_table;
    QLineEdit *m_code;
    QLineEdit *m_label;
};

// Client contract types and their usual length.
class GesContrats : public CatalogueScreen
{
    Q_OBJECT
public:
    GesContrats(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *labelField() const { return m_label; }
    QComboBox *durationList() const { return m_duration; }
    void save() override;
    void remove() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    QLineEdit *m_code;
    QLineEdit *m_label;
    QComboBox *m_duration;
};

// Urgency levels of tasks, with the colours of urgent tasks on the planning.
class GesUrgences : public CatalogueScreen
{
    Q_OBJECT
public:
    GesUrgences(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *labelField() const { return m_label; }
    ColourSwatch *backgroundSwatch() const { return m_background; }
    void save() override;
    void remove() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    QLineEdit *m_code;
    QLineEdit *m_label;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
};

// Zones of clients, with their colours. Zones are never deleted.
class DefZones : public CatalogueScreen
{
    Q_OBJECT
public:
    DefZones(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QLineEdit *labelField() const { return m_label; }
    void save() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    Rights m_rights;
    qint64 m_number = 0;
    QLineEdit *m_label;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
};

// The skill catalogue: a domain and a label per skill. Skills are never deleted.
class GesCompetences : public CatalogueScreen
{
    Q_OBJECT
public:
    GesCompetences(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QComboBox *domainList() const { return m_domain; }
    QLineEdit *labelField() const { return m_label; }
    void save() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    qint64 m_number = 0;
    QComboBox *m_domain;
    QLineEdit *m_label;
};

class QCheckBox;
class QSpinBox;
class DateField;

// Public holidays, recurring ones applying every year.
class GesJoursFer : public CatalogueScreen
{
    Q_OBJECT
public:
    GesJoursFer(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    DateField *dateField() const { return m_date; }
    QLineEdit *labelField() const { return m_label; }
    QCheckBox *recurringBox() const { return m_recurring; }
    void save() override;
    void remove() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    Rights m_rights;
    qint64 m_number = 0;
    DateField *m_date;
    QLineEdit *m_label;
    QCheckBox *m_recurring;
};

// The kinds of leave, their yearly period and colours.
class GesConges : public CatalogueScreen
{
    Q_OBJECT
public:
    GesConges(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *labelField() const { return m_label; }
    DateField *fromField() const { return m_from; }
    DateField *toField() const { return m_to; }
    void save() override;
    void remove() override;

private:
    void fill() override;
    void showLine(const QVariant &key) override;
    void clearFields() override;

    Rights m_rights;
    QLineEdit *m_code;
    QLineEdit *m_label;
    DateField *m_from;
    DateField *m_to;
    QSpinBox *m_days;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
};
