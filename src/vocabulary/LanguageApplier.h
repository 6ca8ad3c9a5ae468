#pragma once

#include "vocabulary/LanguageFile.h"

#include <QObject>

class Prompter;
class Settings;

// Holds the chosen language and puts it on every window as it is first
// shown, so each screen opens in the chosen language without knowing of it.
class LanguageApplier : public QObject
{
    Q_OBJECT
public:
    // Installs itself on the application; the choice is kept in the settings (UTIL, Langue).
    LanguageApplier(Settings &settings, const QString &folder, QObject *parent = nullptr);

    QString folder() const { return m_folder; }
    QString current() const { return m_path; }
    const LanguageFile &file() const { return m_file; }

    // Makes the language file of that name current. A missing or unreadable
    // file fails with its message and keeps the previous language.
    Outcome choose(const QString &name);
    // Reads the remembered language at start-up; a failure keeps the built-in texts.
    Outcome restore();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Settings &m_settings;
    QString m_folder;
    QString m_path;
    LanguageFile m_file;
};
