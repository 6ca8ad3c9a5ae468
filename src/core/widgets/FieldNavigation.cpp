#include "core/widgets/FieldNavigation.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

namespace {

const char KeepEnter[] = "quenzoKeepEnter";

bool isMultiLine(const QObject *o)
{
    return qobject_cast<const QPlainTextEdit *>(o) || qobject_cast<const QTextEdit *>(o);
}

// What a user fills in, as opposed to buttons, lists and tables.
bool isField(const QObject *o)
{
    return qobject_cast<const QLineEdit *>(o) || qobject_cast<const QAbstractSpinBox *>(o)
           || qobject_cast<const QComboBox *>(o) || qobject_cast<const QCheckBox *>(o)
           || qobject_cast<const QRadioButton *>(o) || isMultiLine(o);
}

// Moves the focus as Tab or Shift+Tab would, so each widget's own idea of
// the next field (composite fields, dialogs) is respected.
void moveFocus(QWidget *from, bool forward)
{
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(from, &tab);
}

} // namespace

FieldNavigation::FieldNavigation(QWidget *form)
    : QObject(form)
{
    watch(form);
}

FieldNavigation *FieldNavigation::install(QWidget *form)
{
    if (auto *existing = form->findChild<FieldNavigation *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new FieldNavigation(form);
}

void FieldNavigation::keepEnter(QWidget *field)
{
    field->setProperty(KeepEnter, true);
}

void FieldNavigation::watch(QObject *object)
{
    if (!object->isWidgetType())
        return;
    object->installEventFilter(this);
    for (QObject *child : object->children())
        watch(child);
}

bool FieldNavigation::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        // The child is still being built; only its address is kept here.
        watch(static_cast<QChildEvent *>(event)->child());
        break;
    case QEvent::FocusIn: {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (edit && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            // After the click that brought the focus has placed the cursor.
            QTimer::singleShot(0, edit, [edit] {
                if (edit->hasFocus())
                    edit->selectAll();
            });
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers != Qt::NoModifier || !isField(watched))
            break;
        if (key->key() == Qt::Key_Escape) {
            moveFocus(widget, false);
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !isMultiLine(watched)
            && !widget->property(KeepEnter).toBool()) {
            moveFocus(widget, true);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
