#pragma once

#include "vocabulary/LanguageFile.h"

class QWidget;

// The texts of a screen as a language file sees them: the screen's caption
// under "Caption", then for every label, button, group box and tab its
// caption ("name_Caption", a tab's "name_Caption" + number) and tool-tip
// ("name_ttyp"). A control without a name of its own is named after its
// class with its rank among the unnamed ones ("Label_3"), so the same screen
// gives the same keys every time. Empty texts are neither exported nor replaced.
namespace ScreenTexts {

// Marks a control whose text is data rather than interface (an example, a
// path): it is neither exported nor replaced.
void keepText(QWidget *control);

// The section of a screen: its object name, else its class name.
QString section(const QWidget *screen);
QList<LanguageFile::Entry> collect(QWidget *screen);
// Puts the file's non-empty values in place; returns how many texts changed.
int apply(QWidget *screen, const LanguageFile &file);
// Keys of the screen's section that name no text of the screen.
QStringList unknownKeys(QWidget *screen, const LanguageFile &file);

} // namespace ScreenTexts
