#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

// The workstation's settings: sections of text values, one INI file per user.
// Section and value names are looked up without regard to letter case, so a
// value written as "PhrAffBulle" is found under "PhrAffbulle" too. A section
// name may be a path ("Planning\\Filtres"): each part is a nested group.
class Settings
{
public:
    // Opens (and creates, readable by its owner only) the INI file at filePath.
    explicit Settings(const QString &filePath);
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    // $XDG_CONFIG_HOME/Quenzo/Quenzo.ini, ~/.config when the variable is unset.
    static QString defaultFilePath();
    QString filePath() const;

    // The value, or defaultValue when the value is missing or empty.
    QString read(const QString &section, const QString &name, const QString &defaultValue = {}) const;
    void write(const QString &section, const QString &name, const QString &value);
    void writeNumber(const QString &section, const QString &name, qint64 value);
    // Deletes one value; with an empty name the whole section and its sub-sections.
    void remove(const QString &section, const QString &name = {});
    bool contains(const QString &section, const QString &name) const;

    // Joins parts with "\", reduces "\\" to "\" and turns "/" into "\".
    static QString buildPath(const QStringList &parts);

private:
    QString resolveGroup(const QString &section) const;
    QString resolveKey(const QString &group, const QString &name) const;
    void save();

    std::unique_ptr<QSettings> m_store;
};
