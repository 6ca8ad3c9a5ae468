#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A time of day as an hour box, ":", a minute box and an up/down spinner.
// Each box takes two digits and is clamped on leaving it: hours to 00-23,
// minutes to 00-59, padded to two digits.
//
// The spinner (and the Up/Down keys in a box) steps the box last used: one
// hour at a time from the hour box, minuteStep() minutes from the minute box,
// landing on multiples of the step. It stops at 00:00 and 23:59.
class HourMinuteEdit;

// A date field with its time beside it, as one row of a form.
QWidget *dateTimeRow(QWidget *date, HourMinuteEdit *time);

class HourMinuteEdit : public QWidget
{
    Q_OBJECT
public:
    explicit HourMinuteEdit(QWidget *parent = nullptr);

    // "hh:mm", each box read as leaving it would read it.
    QString time() const;
    // Takes "hh:mm" and clamps it like typed boxes; a text without ":" is an hour.
    void setTime(const QString &time);

    // Default 5: fine enough for appointments without a click per minute.
    void setMinuteStep(int minutes);
    int minuteStep() const { return m_minuteStep; }

    QLineEdit *hourBox() const { return m_hour; }
    QLineEdit *minuteBox() const { return m_minute; }

    // Anything not a number, or 0 or less, is "00"; above the top, the top.
    static QString clampHour(const QString &text);
    static QString clampMinute(const QString &text);

public slots:
    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }
    void stepBy(int steps);

signals:
    void timeChanged(const QString &time);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void settle(QLineEdit *box);
    void display(int minutes);
    void announce();

    QLineEdit *m_hour;
    QLineEdit *m_minute;
    QToolButton *m_up;
    QToolButton *m_down;
    QLineEdit *m_stepped; // the box the spinner steps
    int m_minuteStep = 5;
    QString m_announced;
};
