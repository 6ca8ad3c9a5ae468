#include "core/widgets/Buttons.h"

#include <QPushButton>
#include <QToolButton>

QPushButton *plainButton(const QString &text, QWidget *parent, const QString &tip)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QToolButton *arrowButton(Qt::ArrowType type, const QString &tip, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setArrowType(type);
    b->setToolTip(tip);
    return b;
}
