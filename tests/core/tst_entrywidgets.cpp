#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Lays the widgets out one under another in the active window: focus events
// only reach widgets of the active window.
bool showActive(QWidget &window, std::initializer_list<QWidget *> widgets = {})
{
    if (widgets.size()) {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : widgets)
            layout->addWidget(w);
    }
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Runs `answer` on the colour chooser once it is open.
template<typename Answer>
void whenColourChooserOpens(Answer answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        if (auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget()))
            answer(dialog);
    });
}

// "MM" and "YYYY" stand for today's month and year.
QString withToday(QString text)
{
    const QDate today = QDate::currentDate();
    return text.replace("MM", today.toString("MM")).replace("YYYY", today.toString("yyyy"));
}

} // namespace

class TestEntryWidgets : public QObject
{
    Q_OBJECT
private slots:
    void dateCompletedOnLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("dayMonthOnly");
        QTest::addColumn<bool>("leaveByEnter");
        QTest::addColumn<QString>("expected");

        QTest::newRow("day alone") << "3" << false << false << "03/MM/YYYY";
        QTest::newRow("ddmm, Enter") << "2512" << false << true << "25/12/YYYY";
        QTest::newRow("ddmmyy") << "311299" << false << false << "31/12/1999";
        QTest::newRow("letters refused") << "a3b" << false << false << "03/MM/YYYY";
        QTest::newRow("no such day") << "31/04/2004" << false << false << "";
        QTest::newRow("1850 refused") << "01/01/1850" << false << true << "!range";
        QTest::newRow("2100 accepted") << "01/01/2100" << false << false << "01/01/2100";
        QTest::newRow("day-month, leap day") << "2902" << true << false << "29/02";
        QTest::newRow("day-month, year dropped") << "25/12/2004" << true << true << "25/12";
    }

    void dateCompletedOnLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(bool, dayMonthOnly);
        QFETCH(bool, leaveByEnter);
        QFETCH(QString, expected);
        const bool refused = expected == QLatin1String("!range");
        expected = refused ? QString() : withToday(expected);

        QWidget form;
        auto *field = new DateField;
        ScriptedPrompter prompter;
        field->setPrompter(&prompter);
        field->setDayMonthOnly(dayMonthOnly);
        field->setDate(QDate(2001, 2, 3));
        QVERIFY(showActive(form, {field, new QLineEdit}));
        QSignalSpy changed(field, &DateField::dateChanged);

        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, leaveByEnter ? Qt::Key_Return : Qt::Key_Tab);

        QCOMPARE(field->text(), expected);
        const QDate date = QDate::fromString(dayMonthOnly ? expected + "/2000" : expected, "dd/MM/yyyy");
        QCOMPARE(field->date(), date);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toDate(), date);
        QCOMPARE(prompter.texts(), refused ? QStringList{"Date incorrecte 1850 -> 2100"} : QStringList());
        if (refused)
            QCOMPARE(prompter.shown().at(0).title, QStringLiteral("Attention"));
    }

    // Typed into a box and left with Tab, or given to setTime(); from 10:30.
    void timeClamping_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");

        QTest::newRow("hour 7") << "hour" << "7" << "07:30";
        QTest::newRow("hour 24") << "hour" << "24" << "23:30";
        QTest::newRow("hour empty") << "hour" << "" << "00:30";
        QTest::newRow("hour letter refused") << "hour" << "a5" << "05:30";
        QTest::newRow("hour two digits at most") << "hour" << "123" << "12:30";
        QTest::newRow("minute 75") << "minute" << "75" << "10:59";
        QTest::newRow("minute 5") << "minute" << "5" << "10:05";
        QTest::newRow("minute empty") << "minute" << "" << "10:00";
        QTest::newRow("set -3:75") << "set" << "-3:75" << "00:59";
        QTest::newRow("set 24:00") << "set" << "24:00" << "23:00";
        QTest::newRow("set 7:5") << "set" << "7:5" << "07:05";
        QTest::newRow("set nonsense") << "set" << "abc" << "00:00";
    }

    void timeClamping()
    {
        QFETCH(QString, box);
        QFETCH(QString, input);
        QFETCH(QString, expected);

        QWidget form;
        auto *edit = new HourMinuteEdit;
        edit->setTime("10:30");
        QVERIFY(showActive(form, {edit, new QLineEdit}));
        QSignalSpy changed(edit, &HourMinuteEdit::timeChanged);

        if (box == QLatin1String("set")) {
            edit->setTime(input);
        } else {
            QLineEdit *typedIn = box == QLatin1String("hour") ? edit->hourBox() : edit->minuteBox();
            typedIn->setFocus();
            typedIn->clear();
            QTest::keyClicks(typedIn, input);
            QTest::keyClick(typedIn, Qt::Key_Tab);
        }
        QCOMPARE(edit->time(), expected);
        QCOMPARE(edit->hourBox()->text() + ":" + edit->minuteBox()->text(), expected);
        QCOMPARE(changed.size(), 1);
    }

    void spinnerSteps_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("minuteBox");
        QTest::addColumn<int>("minuteStep");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("expected");

        QTest::newRow("hour up") << "09:15" << false << 5 << 2 << "11:15";
        QTest::newRow("hour up stops at 23:59") << "23:30" << false << 5 << 1 << "23:59";
        QTest::newRow("hour down stops at 00:00") << "00:30" << false << 5 << -1 << "00:00";
        QTest::newRow("minute up to a multiple") << "09:07" << true << 5 << 1 << "09:10";
        QTest::newRow("minute down to a multiple") << "09:07" << true << 5 << -1 << "09:05";
        QTest::newRow("minute across the hour") << "09:55" << true << 15 << 1 << "10:00";
        QTest::newRow("minute down stops at 00:00") << "00:03" << true << 5 << -1 << "00:00";
        QTest::newRow("already at the top") << "23:59" << true << 1 << 1 << "23:59";
    }

    // Clicks on the spinner, then the same with the arrow keys.
    void spinnerSteps()
    {
        QFETCH(QString, start);
        QFETCH(bool, minuteBox);
        QFETCH(int, minuteStep);
        QFETCH(int, steps);
        QFETCH(QString, expected);

        HourMinuteEdit edit;
        edit.setMinuteStep(minuteStep);
        QVERIFY(showActive(edit));
        QLineEdit *box = minuteBox ? edit.minuteBox() : edit.hourBox();
        auto *button = edit.findChild<QToolButton *>(steps > 0 ? "up" : "down");
        for (bool byKeys : {false, true}) {
            edit.setTime(start);
            box->setFocus();
            QSignalSpy changed(&edit, &HourMinuteEdit::timeChanged);
            for (int i = 0; i < qAbs(steps); ++i) {
                if (byKeys)
                    QTest::keyClick(box, steps > 0 ? Qt::Key_Up : Qt::Key_Down);
                else
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            QCOMPARE(edit.time(), expected);
            QCOMPARE(changed.isEmpty(), expected == start);
            // The spinner never takes the focus from the box being edited.
            QCOMPARE(QApplication::focusWidget(), box);
        }
    }

    // Stored colours have red in the low byte.
    void swatchChoosesThroughTheChooser()
    {
        QCOMPARE(colourFromValue(12632319), QColor(255, 192, 192));
        QCOMPARE(valueFromColour(QColor(0x56, 0x34, 0x12)), 0x123456);

        ColourSwatch swatch;
        swatch.setValue(12632319);
        QSignalSpy changed(&swatch, &ColourSwatch::valueChanged);
        QString title;
        QColor offered;
        whenColourChooserOpens([&](QColorDialog *dialog) {
            title = dialog->windowTitle();
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x56, 0x34, 0x12));
            dialog->accept();
        });
        QTest::mouseClick(&swatch, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Couleur"));
        QCOMPARE(offered, QColor(255, 192, 192));
        QCOMPARE(swatch.value(), 0x123456);

        // Cancelling keeps the colour.
        whenColourChooserOpens([](QColorDialog *dialog) {
            dialog->setCurrentColor(Qt::black);
            dialog->reject();
        });
        QTest::mouseClick(&swatch, Qt::LeftButton);
        QCOMPARE(swatch.value(), 0x123456);
        QCOMPARE(changed.size(), 1);
    }

    // The form holds every entry widget, and is grabbed for a look at sizes
    // and texts when QUENZO_SCREENSHOT_DIR is set.
    void enterAndEscapeMoveBetweenFields()
    {
        auto *first = new QLineEdit("Lyon et agglomération");
        limitToColumn(first, "kp_zones", "libzone");
        auto *date = new DateField;
        auto *birthday = new DateField;
        birthday->setDayMonthOnly(true);
        birthday->setDate(QDate(2000, 2, 29));
        auto *time = new HourMinuteEdit;
        time->setTime("18:45");
        auto *colour = new ColourSwatch;
        colour->setValue(12632319);
        auto *memo = new QPlainTextEdit;
        memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 4);
        auto *search = new QLineEdit;
        auto *save = new QPushButton("Enregistrer");
        save->setDefault(true);

        QDialog dialog;
        auto *layout = new QFormLayout(&dialog);
        const std::pair<const char *, QWidget *> rows[] = {
            {"Libellé :", first},  {"Date de début :", date}, {"Anniversaire :", birthday},
            {"Heure de fin :", time}, {"Couleur de fond :", colour}, {"Commentaire :", memo},
            {"Recherche :", search}, {"", save}};
        for (const auto &[caption, widget] : rows)
            layout->addRow(QString::fromUtf8(caption), widget);
        dialog.resize(dialog.sizeHint().expandedTo(QSize(420, 0)));
        QVERIFY(showActive(dialog));
        FieldNavigation::install(&dialog);
        FieldNavigation::install(&dialog); // a second call changes nothing
        FieldNavigation::keepEnter(search);
        QSignalSpy searched(search, &QLineEdit::returnPressed);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        auto press = [](QWidget *at, Qt::Key key, QWidget *landsOn) {
            QTest::keyClick(at, key);
            return QApplication::focusWidget() == landsOn;
        };

        first->setFocus();
        QVERIFY(press(first, Qt::Key_Return, date));
        QTest::keyClicks(date, "3");
        QVERIFY(press(date, Qt::Key_Enter, birthday));
        QCOMPARE(date->text(), withToday("03/MM/YYYY"));
        QVERIFY(press(birthday, Qt::Key_Return, time->hourBox()));
        QVERIFY(press(time->hourBox(), Qt::Key_Return, time->minuteBox()));
        // The swatch is a button: it keeps Enter, which opens the chooser.
        QVERIFY(press(time->minuteBox(), Qt::Key_Return, colour));
        QVERIFY(press(colour, Qt::Key_Tab, memo));
        // A multi-line text takes Enter as a new line.
        QTest::keyClicks(memo, "ab");
        QVERIFY(press(memo, Qt::Key_Return, memo));
        QCOMPARE(memo->toPlainText(), QStringLiteral("ab\n"));

        QVERIFY(press(memo, Qt::Key_Escape, colour));
        time->minuteBox()->setFocus();
        QVERIFY(press(time->minuteBox(), Qt::Key_Escape, time->hourBox()));
        QVERIFY(press(time->hourBox(), Qt::Key_Escape, birthday));

        search->setFocus();
        QVERIFY(press(search, Qt::Key_Return, search));
        QCOMPARE(searched.size(), 1);

        const QString shots = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            date->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(dialog.grab().save(shots + "/entrywidgets.png"));
        }

        // A field added after the install is covered too.
        auto *late = new QLineEdit;
        layout->addRow("Note :", late);
        late->show();
        late->setFocus();
        QVERIFY(press(late, Qt::Key_Escape, save));

        QVERIFY(dialog.isVisible());
        QVERIFY(accepted.isEmpty());
    }

    void entrySelectsWholeText_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Tab") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("mouse click") << 2;
    }

    void entrySelectsWholeText()
    {
        QFETCH(int, way);
        QWidget form;
        auto *first = new QLineEdit("Dupont");
        auto *second = new QLineEdit("Marseille");
        QVERIFY(showActive(form, {first, second}));
        FieldNavigation::install(&form);
        first->setFocus();

        if (way == 2)
            QTest::mouseClick(second, Qt::LeftButton, {}, second->rect().center());
        else
            QTest::keyClick(first, way == 0 ? Qt::Key_Tab : Qt::Key_Return);
        QCoreApplication::processEvents();

        QCOMPARE(QApplication::focusWidget(), second);
        QCOMPARE(second->selectedText(), QStringLiteral("Marseille"));
    }

    void columnLimits_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("zone label") << "kp_zones" << "libzone" << 120;
        QTest::newRow("task-type duration") << "kp_taches" << "duree" << 5;
        QTest::newRow("long text unlimited") << "kp_societes" << "commentsoc" << 32767;
        QTest::newRow("unknown column untouched") << "kp_zones" << "nosuch" << 7;
    }

    void columnLimits()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, maxLength);
        QLineEdit edit;
        edit.setMaxLength(7);
        const bool known = column != QLatin1String("nosuch");
        if (!known)
            QTest::ignoreMessage(QtWarningMsg, "limitToColumn: no column kp_zones.nosuch");
        QCOMPARE(limitToColumn(&edit, table, column), known);
        QCOMPARE(edit.maxLength(), maxLength);
    }
};

QTEST_MAIN(TestEntryWidgets)
#include "tst_entrywidgets.moc"
