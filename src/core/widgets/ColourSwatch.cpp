#include "core/widgets/ColourSwatch.h"

#include "core/widgets/ColourValue.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

ColourSwatch::ColourSwatch(QWidget *parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &ColourSwatch::choose);
}

void ColourSwatch::setValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    update();
    emit valueChanged(value);
}

QColor ColourSwatch::colour() const
{
    return colourFromValue(m_value);
}

void ColourSwatch::choose()
{
    const QColor chosen = QColorDialog::getColor(colour(), this, QStringLiteral("Couleur"));
    if (chosen.isValid())
        setValue(valueFromColour(chosen));
}

QSize ColourSwatch::sizeHint() const
{
    // As tall as a push button, wide enough to read as a sample of colour.
    const int height = QPushButton::sizeHint().height();
    return {qMax(height * 2, fontMetrics().horizontalAdvance(QStringLiteral("0000000"))), height};
}

QSize ColourSwatch::minimumSizeHint() const
{
    return sizeHint();
}

void ColourSwatch::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);

    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
    QPainter painter(this);
    QColor fill = colour();
    if (!isEnabled())
        fill.setAlpha(96);
    painter.fillRect(inside, fill);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawRect(inside.adjusted(0, 0, -1, -1));
}
