#include "core/widgets/ColourSwatch.h"
#include "planning/FilterLayout.h"
#include "planning/Frm_Param.h"
#include "planning/ParamPlanning.h"
#include "planning/PhraseItems.h"
#include "planning/PlanningSettings.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QStringList PlanningKeys = {
    "NbJours",     "Presentation", "Raffraichissement", "RaffAuto",     "CoulAffTache", "PhrAffTache",  "PhrAffBulle",
    "MoisPair",    "MoisImPair",   "SemPair",           "SemImPair",    "Jour",         "TxtMoisPair",  "TxtMoisImPair",
    "TxtSemPair",  "TxtSemImPair", "TxtJour",           "JoursPairs",   "JoursImpairs", "JoursFeries",  "JoursWeek",
    "DateFont",    "DateRess",     "DateDet",           "NbRessMax",    "HautMaxRess",  "LargMaxRessR", "LargMaxRessC",
    "LargMaxRessT", "WheelAction", "DefilRapide",       "BlocAuto",     "TacheDef",     "NbHisto"};

const QStringList ColourKeys = {"MoisPair",   "MoisImPair",   "SemPair", "SemImPair",  "Jour",
                                "TxtMoisPair", "TxtMoisImPair", "TxtSemPair", "TxtSemImPair", "TxtJour",
                                "JoursPairs", "JoursImpairs", "JoursFeries", "JoursWeek"};

template<typename T>
T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

int colourOf(const PlanningSettings &s, int i)
{
    const int *fields[] = {&s.evenMonth,     &s.oddMonth,     &s.evenWeek,    &s.oddWeek, &s.dayBand,
                           &s.evenMonthText, &s.oddMonthText, &s.evenWeekText, &s.oddWeekText, &s.dayText,
                           &s.evenDay,       &s.oddDay,       &s.holiday,     &s.dayOff};
    return *fields[i];
}

bool showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// Brings forward the tab holding a widget, so that it can be clicked or typed in.
void showTabOf(QWidget &dialog, QWidget *widget)
{
    auto *tabs = child<QTabWidget>(&dialog, "tabs");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(widget))
            tabs->setCurrentIndex(i);
}

// Check boxes and radio buttons answer only on their box and text, not on
// the whole width the layout gives them: click near the box.
void click(QWidget &dialog, QAbstractButton *button)
{
    showTabOf(dialog, button);
    const bool box = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, box ? QPoint(8, button->height() / 2) : QPoint());
}

// Replaces the field's text as a user would and leaves it with Tab.
void typeAndLeave(QWidget &dialog, QLineEdit *field, const QString &text)
{
    showTabOf(dialog, field);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

} // namespace

// The planning parameters and filter layout dialogs, the phrase items.
class TestParamPlanning : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    int m_workstations = 0;

    Settings &settings() { return m_ws->settings(); }
    QString planning(const QString &key) { return settings().read(planningSection(), key); }
    QStringList writtenKeys(const QString &section, const QStringList &keys)
    {
        QStringList written;
        for (const QString &k : keys)
            if (settings().contains(section, k))
                written.append(k);
        return written;
    }
    void exec(const QString &sql) { QVERIFY2(m_ws->db().exec(sql), qPrintable(m_ws->db().lastError())); }
    void addTaskType(int number, const QString &label)
    {
        QVERIFY(insertRow(m_ws->db(), m_ws->session().dialect(), "kp_taches",
                          {{"noidtache", QString::number(number)}, {"libtache", "'" + label + "'"}}));
    }
    void useCustomerWords()
    {
        Terms &t = m_ws->session().terms();
        t.setTerm(Entity::Tache, {"Intervention", "Interventions", "1", "1"});
        t.setTerm(Entity::Client, {"Patient", "Patients", "0", "0"});
        t.setTerm(Entity::Ressource, {"Technicien", "Techniciens", "0", "0"});
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("paramplanning"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        // A settings file of its own for each case: a new workstation.
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE%1").arg(++m_workstations));
        QVERIFY(m_ws->open());
        m_prompter.clear();
    }

    void newWorkstationShowsDefaults()
    {
        ParamPlanning dialog(m_ws->session(), m_prompter);
        const PlanningSettings defaults;
        for (int i = 0; i < ColourKeys.size(); ++i)
            QCOMPARE(child<ColourSwatch>(&dialog, ColourKeys[i])->value(), colourOf(defaults, i));
        for (const char *font : {"DateFont", "DateRess", "DateDet"})
            QCOMPARE(child<QFontComboBox>(&dialog, font)->currentFont().family(), QApplication::font().family());
        QCOMPARE(child<QLineEdit>(&dialog, "NbRessMax")->text(), QStringLiteral("20"));
        QCOMPARE(child<QLineEdit>(&dialog, "HautMaxRess")->text(), QStringLiteral("900"));
        for (const char *width : {"LargMaxRessR", "LargMaxRessC", "LargMaxRessT"})
            QCOMPARE(child<QLineEdit>(&dialog, width)->text(), QStringLiteral("20"));
        QCOMPARE(child<QLineEdit>(&dialog, "NbHisto")->text(), QStringLiteral("10"));
        QVERIFY(child<QRadioButton>(&dialog, "WheelAction0")->isChecked());
        QVERIFY(!child<QCheckBox>(&dialog, "DefilRapide")->isChecked());
        QCOMPARE(child<QCheckBox>(&dialog, "DefilRapide")->text(), QStringLiteral("Défilemenent rapide"));
        auto *colours = child<QComboBox>(&dialog, "CoulAffTache");
        QCOMPARE(colours->currentIndex(), 0);
        QCOMPARE(colours->itemText(0), QStringLiteral("Tâche"));
        QCOMPARE(colours->itemText(1), QStringLiteral("Client"));
        auto *refresh = child<QComboBox>(&dialog, "Raffraichissement");
        QCOMPARE(refresh->count(), 9);
        QCOMPARE(refresh->itemText(0), QStringLiteral("Jamais"));
        QCOMPARE(refresh->currentData().toInt(), 30);
        QVERIFY(!child<QCheckBox>(&dialog, "RaffAuto")->isChecked());
        QCOMPARE(child<QCheckBox>(&dialog, "BlocAuto")->text(), QStringLiteral("Créer les nouvelles Tâches verrouillées"));
        QCOMPARE(child<QComboBox>(&dialog, "TacheDef")->currentText(), QString());
        const PhraseItems items(m_ws->session().terms(), false);
        QCOMPARE(entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffTache"), "phrase")), QStringList{"Libellé la Tâche"});
        QCOMPARE(entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffBulle"), "phrase")), items.decode("ACBCECF"));
        QCOMPARE(entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffBulle"), "available")), items.texts());

        // Opening reads; only Valider writes.
        QCOMPARE(writtenKeys(planningSection(), PlanningKeys), QStringList());
        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(writtenKeys(planningSection(), PlanningKeys), PlanningKeys);
        QCOMPARE(planning("PhrAffTache"), QStringLiteral("E"));
        QCOMPARE(planning("PhrAffBulle"), QStringLiteral("ACBCECF"));
        QCOMPARE(planning("DateFont"), QString()); // still the application's font
        QCOMPARE(planning("JoursFeries"), QStringLiteral("255"));
    }

    void validateWritesEveryKey()
    {
        addTaskType(7, "Réunion");
        addTaskType(3, "Dépannage");
        settings().write(planningSection(), "NbJours", "45");
        settings().write(planningSection(), "Presentation", "2");
        settings().write(planningSection(), "TacheDef", "3");
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QVERIFY(showActive(dialog));

        for (int i = 0; i < ColourKeys.size(); ++i)
            child<ColourSwatch>(&dialog, ColourKeys[i])->setValue(0x010203 * (i + 1));
        QStringList families;
        for (const char *name : {"DateFont", "DateRess", "DateDet"}) {
            auto *font = child<QFontComboBox>(&dialog, name);
            QVERIFY(font->count() > 1);
            font->setCurrentIndex((font->currentIndex() + 1) % font->count());
            families.append(font->currentFont().family());
        }
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "NbRessMax"), "35");
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "HautMaxRess"), "1200");
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "LargMaxRessR"), "30");
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "LargMaxRessC"), "40");
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "NbHisto"), "25");
        // Typed but not left before Valider: still brought into its range.
        auto *lastWidth = child<QLineEdit>(&dialog, "LargMaxRessT");
        lastWidth->setText("99");
        click(dialog, child<QRadioButton>(&dialog, "WheelAction1"));
        click(dialog, child<QCheckBox>(&dialog, "DefilRapide"));
        child<QComboBox>(&dialog, "CoulAffTache")->setCurrentIndex(3);
        auto *refresh = child<QComboBox>(&dialog, "Raffraichissement");
        refresh->setCurrentIndex(refresh->findData(120));
        click(dialog, child<QCheckBox>(&dialog, "RaffAuto"));
        click(dialog, child<QCheckBox>(&dialog, "BlocAuto"));
        auto *types = child<QComboBox>(&dialog, "TacheDef");
        QCOMPARE(types->currentText(), QStringLiteral("Dépannage"));
        QCOMPARE(types->count(), 3);
        types->setCurrentIndex(types->findText("Réunion"));
        auto *block = child<QWidget>(&dialog, "PhrAffTache");
        child<QListWidget>(block, "available")->setCurrentRow(10);
        click(dialog, child<QPushButton>(block, "add"));
        auto *tip = child<QWidget>(&dialog, "PhrAffBulle");
        child<QListWidget>(tip, "phrase")->setCurrentRow(6);
        click(dialog, child<QPushButton>(tip, "remove"));

        click(dialog, child<QPushButton>(&dialog, "valider"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const PlanningSettings s = PlanningSettings::read(settings());
        for (int i = 0; i < ColourKeys.size(); ++i)
            QCOMPARE(colourOf(s, i), 0x010203 * (i + 1));
        QCOMPARE((QStringList{s.headerFont, s.rowFont, s.blockFont}), families);
        QCOMPARE(s.rowsPerScreen, 35);
        QCOMPARE(s.maxRowHeightTwips, 1200);
        QCOMPARE(s.labelWidthPercent[0], 30);
        QCOMPARE(s.labelWidthPercent[1], 40);
        QCOMPARE(s.labelWidthPercent[2], 95);
        QCOMPARE(s.historyLength, 25);
        QCOMPARE(s.wheelAction, 1);
        QVERIFY(s.fastScrolling);
        QCOMPARE(s.colourSource, ColourSource::Zone);
        QCOMPARE(s.refreshSeconds, 120);
        QVERIFY(s.refreshInBackground);
        QVERIFY(s.lockNewTasks);
        QCOMPARE(s.defaultTaskType, QStringLiteral("7"));
        QCOMPARE(s.blockPhrase, QStringLiteral("EK"));
        QCOMPARE(s.tooltipPhrase, QStringLiteral("ACBCEC"));
        // What the dialog does not show is kept.
        QCOMPARE(s.nbJours, 45);
        QCOMPARE(s.presentation, Presentation::ByTaskType);
    }

    void closingWritesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Abandonner") << "abandonner";
        QTest::newRow("Quitter") << "quitter";
    }
    void closingWritesNothing()
    {
        QFETCH(QString, button);
        settings().write(planningSection(), "NbRessMax", "12");
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QVERIFY(showActive(dialog));
        QCOMPARE(child<QLineEdit>(&dialog, "NbRessMax")->text(), QStringLiteral("12"));
        typeAndLeave(dialog, child<QLineEdit>(&dialog, "NbRessMax"), "40");
        child<ColourSwatch>(&dialog, "Jour")->setValue(0x123456);
        click(dialog, child<QPushButton>(child<QWidget>(&dialog, "PhrAffTache"), "add"));
        QTest::mouseClick(child<QPushButton>(&dialog, button), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(writtenKeys(planningSection(), PlanningKeys), QStringList{"NbRessMax"});
        QCOMPARE(planning("NbRessMax"), QStringLiteral("12"));
    }

    void rangesCorrectedOnLeaving_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rows below") << "NbRessMax" << "3" << "5";
        QTest::newRow("rows above") << "NbRessMax" << "51" << "50";
        QTest::newRow("rows within") << "NbRessMax" << "35" << "35";
        QTest::newRow("rows emptied") << "NbRessMax" << "" << "5";
        QTest::newRow("height below") << "HautMaxRess" << "150" << "200";
        QTest::newRow("height above") << "HautMaxRess" << "9999" << "5000";
        QTest::newRow("height within") << "HautMaxRess" << "4999" << "4999";
        QTest::newRow("width below") << "LargMaxRessC" << "3" << "5";
        QTest::newRow("width above") << "LargMaxRessT" << "96" << "95";
        QTest::newRow("history below") << "NbHisto" << "4" << "5";
        QTest::newRow("history above") << "NbHisto" << "120" << "50";
        QTest::newRow("letters refused") << "NbHisto" << "1a2" << "12";
    }
    void rangesCorrectedOnLeaving()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QVERIFY(showActive(dialog));
        auto *edit = child<QLineEdit>(&dialog, field);
        typeAndLeave(dialog, edit, typed);
        QVERIFY(!edit->hasFocus());
        QCOMPARE(edit->text(), shown);
    }

    void phraseEditing()
    {
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QVERIFY(showActive(dialog));
        auto *editor = child<QWidget>(&dialog, "PhrAffTache");
        auto *available = child<QListWidget>(editor, "available");
        auto *phrase = child<QListWidget>(editor, "phrase");
        auto *up = child<QToolButton>(editor, "up");
        auto *down = child<QToolButton>(editor, "down");
        const auto add = [&](int item) {
            available->setCurrentRow(item);
            click(dialog, child<QPushButton>(editor, "add"));
        };
        const PhraseItems items(m_ws->session().terms(), false);
        const auto code = [&] { return items.encode(entries(phrase)); };

        add(0);
        add(0); // an item may come twice
        add(2);
        QCOMPARE(code(), QStringLiteral("EAAC"));
        QCOMPARE(phrase->currentRow(), 3); // the added entry
        QVERIFY(!down->isEnabled());
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(code(), QStringLiteral("EACA"));
        phrase->setCurrentRow(0);
        QVERIFY(!up->isEnabled());
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(code(), QStringLiteral("AECA"));
        QCOMPARE(phrase->currentRow(), 1);
        QTest::mouseClick(child<QPushButton>(editor, "remove"), Qt::LeftButton);
        QCOMPARE(code(), QStringLiteral("ACA"));
        QCOMPARE(phrase->currentRow(), 1);
        // The keyboard does the same: Enter adds, Ctrl+Up moves, Delete removes.
        child<QTabWidget>(&dialog, "tabs")->setCurrentWidget(editor->parentWidget());
        available->setFocus();
        available->setCurrentRow(11);
        QTest::keyClick(available, Qt::Key_Return);
        QCOMPARE(code(), QStringLiteral("ACAL"));
        phrase->setFocus();
        QTest::keyClick(phrase, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(code(), QStringLiteral("ACLA"));
        QTest::keyClick(phrase, Qt::Key_Delete);
        QCOMPARE(code(), QStringLiteral("ACA"));

        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(planning("PhrAffTache"), QStringLiteral("ACA"));
        QCOMPARE(planning("PhrAffBulle"), QStringLiteral("ACBCECF"));
    }

    // An emptied phrase is saved as its default.
    void emptyPhrases()
    {
        settings().write(planningSection(), "PhrAffTache", "AKL");
        ParamPlanning dialog(m_ws->session(), m_prompter);
        for (const char *name : {"PhrAffTache", "PhrAffBulle"}) {
            auto *editor = child<QWidget>(&dialog, name);
            auto *remove = child<QPushButton>(editor, "remove");
            while (remove->isEnabled())
                QTest::mouseClick(remove, Qt::LeftButton);
            QCOMPARE(child<QListWidget>(editor, "phrase")->count(), 0);
        }
        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(planning("PhrAffTache"), QStringLiteral("E"));
        QCOMPARE(planning("PhrAffBulle"), QStringLiteral("ACBCE"));
    }

    void phraseItemTexts_data()
    {
        QTest::addColumn<bool>("customerWords");
        QTest::addColumn<QStringList>("expected"); // D, E, G, H, J
        QTest::newRow("built-in words") << false
                                        << QStringList{"Durée la Tâche", "Libellé la Tâche", "Liste des Clients/Ressources",
                                                       "Adresse le Client/des Ressources", "Ville le Client/des Ressources"};
        QTest::newRow("customer words") << true
                                        << QStringList{"Durée l'Intervention", "Libellé l'Intervention",
                                                       "Liste des Patients/Techniciens", "Adresse le Patient/des Techniciens",
                                                       "Ville le Patient/des Techniciens"};
    }
    void phraseItemTexts()
    {
        QFETCH(bool, customerWords);
        QFETCH(QStringList, expected);
        if (customerWords)
            useCustomerWords();
        const PhraseItems items(m_ws->session().terms(), false);
        QCOMPARE(items.texts().size(), 12);
        QCOMPARE(items.decode("DEGHJ"), expected);
        QCOMPARE(items.texts().at(8), "Code Postal " + expected.at(3).mid(8));
        QCOMPARE(items.encode(items.decode("ACBCEKLFGHIJD")), QStringLiteral("ACBCEKLFGHIJD"));
        // The dialog lists them in the customer's words.
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QCOMPARE(entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffTache"), "available")), items.texts());
        QCOMPARE(entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffTache"), "phrase")), QStringList{expected.at(1)});
    }

    void encodeAndDecode_data()
    {
        QTest::addColumn<bool>("prospect");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("decoded");
        QTest::newRow("letters beyond the items") << false << "EA-ZMxC" << QStringList{"Libellé l'Intervention", "Date et heure Début", "Saut de ligne"};
        QTest::newRow("prospect items") << true << "MNVW" << QStringList{"Numéro Prospect", "Nom Prénom Prospect", "Commentaire Prospect"};
        QTest::newRow("empty") << false << "" << QStringList();
    }
    void encodeAndDecode()
    {
        QFETCH(bool, prospect);
        QFETCH(QString, code);
        QFETCH(QStringList, decoded);
        useCustomerWords();
        const PhraseItems items(m_ws->session().terms(), prospect);
        QCOMPARE(items.texts().size(), prospect ? 22 : 12);
        QCOMPARE(items.decode(code), decoded);
        QCOMPARE(items.decode(items.encode(decoded)), decoded);
        // Matched whatever the case; unknown texts left out.
        QStringList typed;
        for (const QString &d : decoded)
            typed << d.toUpper() << QStringLiteral("Inconnu");
        QCOMPARE(items.encode(typed), items.encode(decoded));
    }

    void prospectModule_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("configured");
        QTest::newRow("no row") << "" << false;
        QTest::newRow("slash") << "insert into kp_tableprospect (nomtable) values ('/')" << false;
        QTest::newRow("blank") << "insert into kp_tableprospect (nomtable) values (' ')" << false;
        QTest::newRow("named table") << "insert into kp_tableprospect (nomtable) values ('kp_demandes')" << true;
        QTest::newRow("unreadable") << "drop table kp_tableprospect" << false;
    }
    void prospectModule()
    {
        QFETCH(QString, setup);
        QFETCH(bool, configured);
        if (!setup.isEmpty())
            exec(setup);
        QCOMPARE(PhraseItems::prospectConfigured(m_ws->db()), configured);
        ParamPlanning dialog(m_ws->session(), m_prompter);
        const QStringList available = entries(child<QListWidget>(child<QWidget>(&dialog, "PhrAffBulle"), "available"));
        QCOMPARE(available.size(), configured ? 22 : 12);
        QCOMPARE(available.contains("Mob Prospect"), configured);
        QCOMPARE(m_prompter.shown().size(), 0);
    }

    void unreadableTaskTypes()
    {
        settings().write(planningSection(), "TacheDef", "7");
        exec("drop table kp_taches");
        ParamPlanning dialog(m_ws->session(), m_prompter);
        QCOMPARE(m_prompter.shown().size(), 2);
        QCOMPARE(m_prompter.shown().at(0).title, QStringLiteral("Erreur"));
        QVERIFY(!m_prompter.shown().at(0).text.isEmpty()); // the database's own text
        QCOMPARE(m_prompter.shown().at(1).title, QStringLiteral("Erreur"));
        QCOMPARE(m_prompter.shown().at(1).text, QStringLiteral("Erreur lors de la lecture des types de tâches"));
        QCOMPARE(child<QComboBox>(&dialog, "TacheDef")->count(), 0);
        // A list that could not be read does not wipe the default type.
        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(planning("TacheDef"), QStringLiteral("7"));
    }

    void filtersUrgencyMovedUpAndShown()
    {
        settings().write(filterSection(), "Urgence", "999");
        settings().write(filterSection(), "VUrgence", "0");
        Frm_Param dialog(m_ws->session());
        QVERIFY(showActive(dialog));
        auto *list = child<QListWidget>(&dialog, "filters");
        QCOMPARE(list->count(), 14);
        QCOMPARE(list->item(11)->text(), QStringLiteral("Clôture (Clients uniquement)"));
        QCOMPARE(list->item(13)->text(), QStringLiteral("Urgence"));
        QCOMPARE(list->item(13)->checkState(), Qt::Unchecked);
        QVERIFY(child<QRadioButton>(&dialog, "NbCol4")->isChecked());

        list->setFocus();
        list->setCurrentRow(13);
        QVERIFY(!child<QToolButton>(&dialog, "down")->isEnabled());
        QTest::mouseClick(child<QToolButton>(&dialog, "up"), Qt::LeftButton);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(list->currentRow(), 11);
        QTest::keyClick(list, Qt::Key_Space); // ticks it
        QCOMPARE(list->item(11)->checkState(), Qt::Checked);
        QTest::mouseClick(child<QRadioButton>(&dialog, "NbCol3"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        const auto filter = [&](const QString &key) { return settings().read(filterSection(), key); };
        QCOMPARE(filter("Urgence"), QStringLiteral("12"));
        QCOMPARE(filter("VUrgence"), QStringLiteral("1"));
        QCOMPARE(filter("Cloture"), QStringLiteral("13"));
        QCOMPARE(filter("Entreprise"), QStringLiteral("14"));
        QCOMPARE(filter("VEntreprise"), QStringLiteral("0"));
        QCOMPARE(filter("Presentation"), QStringLiteral("1"));
        QCOMPARE(filter("NbCol"), QStringLiteral("3"));
        const FilterLayout layout = FilterLayout::read(settings());
        QCOMPARE(layout.cells().size(), 13);
        // Twelfth cell in rows of three: last of the fourth row.
        QCOMPARE(layout.cells().at(11).id, FilterId::Urgence);
        QCOMPARE(layout.cells().at(11).row, 3);
        QCOMPARE(layout.cells().at(11).column, 2);
    }

    void filtersNonNumericPositionFirst()
    {
        settings().write(filterSection(), "Zone", "abc");
        useCustomerWords();
        Frm_Param dialog(m_ws->session());
        auto *list = child<QListWidget>(&dialog, "filters");
        QCOMPARE(list->item(0)->text(), QStringLiteral("Zone"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Présentation"));
        QCOMPARE(list->item(11)->text(), QStringLiteral("Clôture (Patients uniquement)"));
        QTest::mouseClick(child<QPushButton>(&dialog, "valider"), Qt::LeftButton);
        QCOMPARE(settings().read(filterSection(), "Zone"), QStringLiteral("1"));
        QCOMPARE(settings().read(filterSection(), "Presentation"), QStringLiteral("2"));
        QCOMPARE(settings().read(filterSection(), "NbCol"), QStringLiteral("4"));
    }

    void filtersQuitWritesNothing()
    {
        Frm_Param dialog(m_ws->session());
        QVERIFY(showActive(dialog));
        auto *list = child<QListWidget>(&dialog, "filters");
        list->setCurrentRow(3);
        QTest::mouseClick(child<QToolButton>(&dialog, "up"), Qt::LeftButton);
        list->item(0)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(child<QRadioButton>(&dialog, "NbCol3"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&dialog, "quitter"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QStringList keys = {"NbCol"};
        for (FilterId id : FilterLayout::allFilters())
            keys << FilterLayout::key(id) << "V" + FilterLayout::key(id);
        QCOMPARE(writtenKeys(filterSection(), keys), QStringList());
    }

    void screenshots()
    {
        if (qEnvironmentVariableIsEmpty("QUENZO_SCREENSHOT_DIR"))
            QSKIP("QUENZO_SCREENSHOT_DIR is not set");
        addTaskType(1, "Installation");
        ParamPlanning dialog(m_ws->session(), m_prompter);
        auto *tabs = child<QTabWidget>(&dialog, "tabs");
        const QStringList names = {"couleurs", "polices", "affichage", "textes", "taches"};
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            saveScreenshot(dialog, "paramplanning-" + names.at(i));
        }
        Frm_Param filters(m_ws->session());
        saveScreenshot(filters, "frm_param");
    }
};

QTEST_MAIN(TestParamPlanning)
#include "tst_paramplanning.moc"
