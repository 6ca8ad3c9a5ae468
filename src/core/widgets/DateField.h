#pragma once

#include <QDate>
#include <QLineEdit>

class Prompter;

// A date typed "dd/mm/yyyy" or shortened ("3", "2512", "311299" ...): on
// leaving the field (focus out or Enter) the text is completed from today,
// emptied when it is no date, and a full date outside 1850-2100 is refused
// with a message.
class DateField : public QLineEdit
{
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);

    // Shows the range message; without one the refusal is silent.
    void setPrompter(Prompter *prompter);

    // Day and month only ("dd/mm"), for dates that come back every year.
    void setDayMonthOnly(bool dayMonthOnly);
    bool isDayMonthOnly() const { return m_dayMonthOnly; }

    // Invalid when empty or not a date. Text still being typed is read as
    // leaving the field would read it, without any message. A day-and-month
    // field gives its day in 2000, a leap year, so 29/02 holds.
    QDate date() const;
    void setDate(const QDate &date);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Completes and checks the text now, as leaving the field does.
    void normalise();

signals:
    // The date read from the field changed (typed and left, or set).
    void dateChanged(const QDate &date);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void announce();

    Prompter *m_prompter = nullptr;
    bool m_dayMonthOnly = false;
    QDate m_announced;
};
