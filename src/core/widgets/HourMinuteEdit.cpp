#include "core/widgets/HourMinuteEdit.h"

#include "core/widgets/FieldWidth.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int LastMinuteOfDay = 23 * 60 + 59;

// A two-digit box no wider than two digits.
class DigitBox : public QLineEdit
{
public:
    explicit DigitBox(QWidget *parent)
        : QLineEdit(parent)
    {
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), this));
        setMaxLength(2);
        setAlignment(Qt::AlignCenter);
        setText(QStringLiteral("00"));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override
    {
        return {fittedLineEditWidth(this, QStringLiteral("00")), QLineEdit::sizeHint().height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

QString clamp(const QString &text, int top)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value <= 0)
        return QStringLiteral("00");
    return QStringLiteral("%1").arg(qMin(value, top), 2, 10, QLatin1Char('0'));
}

QToolButton *arrowButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // Kept out of the tab chain: Enter and Tab go from the minute box to the
    // next field, and the focus stays in the box being stepped.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

HourMinuteEdit::HourMinuteEdit(QWidget *parent)
    : QWidget(parent)
    , m_hour(new DigitBox(this))
    , m_minute(new DigitBox(this))
    , m_up(arrowButton(Qt::UpArrow, this))
    , m_down(arrowButton(Qt::DownArrow, this))
    , m_stepped(m_hour)
    , m_announced(QStringLiteral("00:00"))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));

    // The spinner is as tall as a box, each arrow half of it.
    const int boxHeight = m_hour->sizeHint().height();
    for (QToolButton *button : {m_up, m_down})
        button->setFixedSize(boxHeight * 3 / 4, boxHeight / 2);

    auto *spinner = new QVBoxLayout;
    spinner->setSpacing(0);
    spinner->addWidget(m_up);
    spinner->addWidget(m_down);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_hour);
    layout->addWidget(new QLabel(QStringLiteral(":"), this));
    layout->addWidget(m_minute);
    layout->addLayout(spinner);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    setFocusProxy(m_hour);
    m_hour->installEventFilter(this);
    m_minute->installEventFilter(this);
    connect(m_up, &QToolButton::clicked, this, &HourMinuteEdit::stepUp);
    connect(m_down, &QToolButton::clicked, this, &HourMinuteEdit::stepDown);
}

QString HourMinuteEdit::time() const
{
    return clampHour(m_hour->text()) + QLatin1Char(':') + clampMinute(m_minute->text());
}

void HourMinuteEdit::setTime(const QString &time)
{
    m_hour->setText(clampHour(time.section(QLatin1Char(':'), 0, 0)));
    m_minute->setText(clampMinute(time.section(QLatin1Char(':'), 1, 1)));
    announce();
}

void HourMinuteEdit::setMinuteStep(int minutes)
{
    m_minuteStep = qBound(1, minutes, 60);
}

QString HourMinuteEdit::clampHour(const QString &text)
{
    return clamp(text, 23);
}

QString HourMinuteEdit::clampMinute(const QString &text)
{
    return clamp(text, 59);
}

void HourMinuteEdit::stepBy(int steps)
{
    const QString now = time();
    const int minutes = now.left(2).toInt() * 60 + now.mid(3, 2).toInt();
    int target;
    if (m_stepped == m_hour) {
        target = minutes + 60 * steps;
    } else {
        // From 09:07 by 5: up to 09:10, down to 09:05.
        const int base = steps > 0 ? minutes / m_minuteStep : (minutes + m_minuteStep - 1) / m_minuteStep;
        target = (base + steps) * m_minuteStep;
    }
    display(qBound(0, target, LastMinuteOfDay));
    announce();
}

void HourMinuteEdit::display(int minutes)
{
    m_hour->setText(QStringLiteral("%1").arg(minutes / 60, 2, 10, QLatin1Char('0')));
    m_minute->setText(QStringLiteral("%1").arg(minutes % 60, 2, 10, QLatin1Char('0')));
}

void HourMinuteEdit::settle(QLineEdit *box)
{
    const QString clamped = box == m_hour ? clampHour(box->text()) : clampMinute(box->text());
    if (clamped != box->text())
        box->setText(clamped);
    announce();
}

void HourMinuteEdit::announce()
{
    const QString current = time();
    if (current == m_announced)
        return;
    m_announced = current;
    emit timeChanged(current);
}

bool HourMinuteEdit::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = static_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        m_stepped = box;
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            settle(box);
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            m_stepped = box;
            stepBy(key == Qt::Key_Up ? 1 : -1);
            box->selectAll();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            settle(box);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QWidget *dateTimeRow(QWidget *date, HourMinuteEdit *time)
{
    auto *row = new QWidget(date->parentWidget());
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(date);
    layout->addWidget(time);
    layout->addStretch();
    return row;
}
