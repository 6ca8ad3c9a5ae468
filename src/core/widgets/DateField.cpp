#include "core/widgets/DateField.h"

#include "core/Prompter.h"
#include "core/SqlText.h"
#include "core/widgets/FieldWidth.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace {

QString displayFormat(bool dayMonthOnly)
{
    return dayMonthOnly ? QStringLiteral("dd/MM") : QStringLiteral("dd/MM/yyyy");
}

} // namespace

DateField::DateField(QWidget *parent)
    : QLineEdit(parent)
{
    // Digits and the separators the completion understands; 10 is the longest form.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/.-]*")), this));
    setMaxLength(10);
    setPlaceholderText(QStringLiteral("jj/mm/aaaa"));
    setSizePolicy(QSizePolicy::Fixed, sizePolicy().verticalPolicy());
}

void DateField::setPrompter(Prompter *prompter)
{
    m_prompter = prompter;
}

void DateField::setDayMonthOnly(bool dayMonthOnly)
{
    if (dayMonthOnly == m_dayMonthOnly)
        return;
    const QDate current = date();
    m_dayMonthOnly = dayMonthOnly;
    setPlaceholderText(dayMonthOnly ? QStringLiteral("jj/mm") : QStringLiteral("jj/mm/aaaa"));
    setDate(current);
    updateGeometry();
}

QDate DateField::date() const
{
    const DateEntry entry = normaliseDateEntry(text(), !m_dayMonthOnly);
    if (entry.text.isEmpty())
        return {};
    if (m_dayMonthOnly)
        return QDate::fromString(entry.text + QStringLiteral("/2000"), QStringLiteral("dd/MM/yyyy"));
    return QDate::fromString(entry.text, QStringLiteral("dd/MM/yyyy"));
}

void DateField::setDate(const QDate &date)
{
    setText(date.isValid() ? date.toString(displayFormat(m_dayMonthOnly)) : QString());
    announce();
}

void DateField::normalise()
{
    const DateEntry entry = normaliseDateEntry(text(), !m_dayMonthOnly);
    if (entry.text != text())
        setText(entry.text);
    announce();
    // Emptied before the message, so a focus change caused by the message box
    // finds nothing left to refuse.
    if (entry.outOfRange && m_prompter)
        m_prompter->show(DateEntry::rangeTitle(), DateEntry::rangeMessage(), Prompter::Icon::Warning);
}

void DateField::announce()
{
    const QDate current = date();
    if (current == m_announced)
        return;
    m_announced = current;
    emit dateChanged(current);
}

QSize DateField::sizeHint() const
{
    const QString sample = m_dayMonthOnly ? QStringLiteral("00/00") : QStringLiteral("00/00/0000");
    const QString widest = fontMetrics().horizontalAdvance(placeholderText()) > fontMetrics().horizontalAdvance(sample)
                               ? placeholderText()
                               : sample;
    return {fittedLineEditWidth(this, widest), QLineEdit::sizeHint().height()};
}

QSize DateField::minimumSizeHint() const
{
    return sizeHint();
}

void DateField::focusOutEvent(QFocusEvent *event)
{
    // A context menu or a switch to another window does not leave the field:
    // the user comes back to it with the text as typed.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        normalise();
    QLineEdit::focusOutEvent(event);
}

void DateField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        normalise();
    QLineEdit::keyPressEvent(event);
}
