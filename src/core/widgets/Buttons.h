#pragma once

#include <Qt>

class QPushButton;
class QString;
class QToolButton;
class QWidget;

// A form's side button: Enter presses it only when it has the focus, so a
// stray Enter never runs it in place of the dialog's default button.
QPushButton *plainButton(const QString &text, QWidget *parent, const QString &tip = {});
// A small arrow that moves the current line of a list up or down.
QToolButton *arrowButton(Qt::ArrowType type, const QString &tip, QWidget *parent);
