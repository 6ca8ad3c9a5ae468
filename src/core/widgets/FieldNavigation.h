#pragma once

#include <QObject>

class QWidget;

// Keyboard habits of every form:
// - entering a line field selects its whole text, by mouse click too;
// - Enter moves to the next field in tab order, Escape to the previous one.
//
// Enter moves on even in a dialog with a default button: the button reacts
// to Enter only when it has the focus, so a stray Enter never validates a
// half-filled form. Likewise Escape from a field goes back, it does not
// close the dialog. Multi-line texts keep Enter for new lines; buttons,
// lists and tables keep both keys. Fields added to the form later are
// covered as they are created.
class FieldNavigation : public QObject
{
    Q_OBJECT
public:
    // Covers the form and everything in it; installing twice does nothing more.
    static FieldNavigation *install(QWidget *form);

    // Enter stays with this field (a search box that runs on Enter); Escape
    // still moves back.
    static void keepEnter(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FieldNavigation(QWidget *form);
    void watch(QObject *object);
};
