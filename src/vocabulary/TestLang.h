#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QListWidget;
class LanguageApplier;
class Prompter;

// The language tool: lists the language files, makes one current (showing a
// sample screen in it) and exports the built-in texts of the program's
// screens to "default.ini".
class TestLang : public QDialog
{
    Q_OBJECT
public:
    using ScreenFactory = std::function<QWidget *(QWidget *parent)>;

    TestLang(LanguageApplier &applier, Prompter &prompter, const QList<ScreenFactory> &screens, QWidget *parent = nullptr);

    QListWidget *languages() const { return m_list; }
    void refresh();
    // Makes the selected language current and shows the sample screen in it.
    void chooseSelected();
    // Writes default.ini; ends with "FINI".
    void exportScreens();
    // The sample screen last shown, null before.
    QWidget *sample() const { return m_sample; }

private:
    LanguageApplier &m_applier;
    Prompter &m_prompter;
    QList<ScreenFactory> m_screens;
    QListWidget *m_list;
    QWidget *m_sample = nullptr;
    QStringList m_sections; // of the exported screens, read once
};
