#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QStringList sectionParts(const QString &section)
{
    return Settings::buildPath({section}).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

} // namespace

Settings::Settings(const QString &filePath)
{
    QFileInfo info(filePath);
    QDir().mkpath(info.absolutePath());
    if (!info.exists()) {
        // Server passwords live here: never let the file be created readable by others.
        QFile file(filePath);
        if (file.open(QIODevice::WriteOnly))
            file.close();
    }
    QFile::setPermissions(filePath, OwnerOnly);
    m_store = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
}

Settings::~Settings()
{
    m_store->sync();
}

QString Settings::defaultFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quenzo/Quenzo.ini");
}

QString Settings::filePath() const
{
    return m_store->fileName();
}

QString Settings::buildPath(const QStringList &parts)
{
    QString path = parts.join(QLatin1Char('\\'));
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.contains(QStringLiteral("\\\\")))
        path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return path;
}

// The existing group spelt like section (letter case aside), or section itself
// as a QSettings group path when there is none yet.
QString Settings::resolveGroup(const QString &section) const
{
    QStringList resolved;
    bool existing = true;
    for (const QString &part : sectionParts(section)) {
        QString name = part;
        if (existing) {
            m_store->beginGroup(resolved.join(QLatin1Char('/')));
            const QStringList groups = m_store->childGroups();
            m_store->endGroup();
            existing = false;
            for (const QString &g : groups) {
                if (g.compare(part, Qt::CaseInsensitive) == 0) {
                    name = g;
                    existing = true;
                    break;
                }
            }
        }
        resolved.append(name);
    }
    return resolved.join(QLatin1Char('/'));
}

QString Settings::resolveKey(const QString &group, const QString &name) const
{
    m_store->beginGroup(group);
    const QStringList keys = m_store->childKeys();
    m_store->endGroup();
    for (const QString &k : keys) {
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return group + QLatin1Char('/') + k;
    }
    return group + QLatin1Char('/') + name;
}

QString Settings::read(const QString &section, const QString &name, const QString &defaultValue) const
{
    const QString key = resolveKey(resolveGroup(section), name);
    const QString value = m_store->value(key).toString();
    return value.isEmpty() ? defaultValue : value;
}

bool Settings::contains(const QString &section, const QString &name) const
{
    return m_store->contains(resolveKey(resolveGroup(section), name));
}

void Settings::write(const QString &section, const QString &name, const QString &value)
{
    m_store->setValue(resolveKey(resolveGroup(section), name), value);
    save();
}

void Settings::writeNumber(const QString &section, const QString &name, qint64 value)
{
    write(section, name, QString::number(value));
}

void Settings::remove(const QString &section, const QString &name)
{
    const QString group = resolveGroup(section);
    if (group.isEmpty())
        return; // never wipe the whole file through an empty section name
    m_store->remove(name.isEmpty() ? group : resolveKey(group, name));
    save();
}

void Settings::save()
{
    m_store->sync();
    QFile::setPermissions(m_store->fileName(), OwnerOnly);
}
