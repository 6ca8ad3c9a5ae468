#include "vocabulary/LanguageFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QString Error = QStringLiteral("Erreur");

QString dataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Quenzo");
}

// Text files hold no control characters but tabs and line ends.
bool looksBinary(const QByteArray &bytes)
{
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f')
            return true;
    }
    return false;
}

} // namespace

QString LanguageFile::escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\f");
        else
            out += c;
    }
    return out;
}

QString LanguageFile::unescape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(i + 1);
            if (next == QLatin1Char('\\') || next == QLatin1Char('r') || next == QLatin1Char('f')) {
                out += next == QLatin1Char('\\') ? QChar(QLatin1Char('\\')) : next == QLatin1Char('r') ? QChar(QLatin1Char('\r')) : QChar(QLatin1Char('\n'));
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString LanguageFile::folder(const QString &programFolder)
{
    const QString beside = QDir(programFolder).filePath(QStringLiteral("lang"));
    if (QFileInfo(beside).isDir())
        return beside;
    return dataFolder() + QStringLiteral("/lang");
}

QStringList LanguageFile::languages(const QString &folder)
{
    QStringList names;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files)
        names.append(file.chopped(4));
    return names;
}

Outcome LanguageFile::load(const QString &path)
{
    m_sections.clear();
    QFile file(path);
    if (!file.exists())
        return Outcome::failure(Error, QStringLiteral("Le fichier de langue \"%1\" n'existe pas.").arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(Error, QStringLiteral("Impossible de lire le fichier de langue \"%1\" : %2")
                                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le fichier de langue \"%1\" est vide.").arg(QDir::toNativeSeparators(path)));
    if (looksBinary(bytes))
        return Outcome::failure(Error, QStringLiteral("Le fichier de langue \"%1\" n'est pas un fichier texte (UTF-8 ou Latin-1).")
                                           .arg(QDir::toNativeSeparators(path)));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes); // files of older workstations

    QList<QPair<QString, QList<Entry>>> sections;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            sections.append({trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || sections.isEmpty())
            return Outcome::failure(Error, QStringLiteral("Le fichier de langue \"%1\" n'est pas un fichier de langue (ligne \"%2\").")
                                               .arg(QDir::toNativeSeparators(path), trimmed.left(60)));
        sections.last().second.append({line.left(equals).trimmed(), unescape(line.mid(equals + 1))});
    }
    if (sections.isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le fichier de langue \"%1\" ne contient aucun écran.").arg(QDir::toNativeSeparators(path)));
    m_sections = sections;
    return Outcome::success();
}

Outcome LanguageFile::save(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return Outcome::failure(Error, QStringLiteral("Impossible d'écrire le fichier de langue \"%1\" : %2")
                                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    QString text;
    for (const auto &[section, entries] : m_sections) {
        text += QLatin1Char('[') + section + QStringLiteral("]\n");
        for (const Entry &e : entries)
            text += e.first + QLatin1Char('=') + escape(e.second) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    file.write(text.toUtf8());
    if (!file.commit())
        return Outcome::failure(Error, QStringLiteral("Impossible d'écrire le fichier de langue \"%1\" : %2")
                                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    return Outcome::success();
}

QStringList LanguageFile::sections() const
{
    QStringList names;
    for (const auto &s : m_sections)
        names.append(s.first);
    return names;
}

QList<LanguageFile::Entry> LanguageFile::entries(const QString &section) const
{
    for (const auto &s : m_sections)
        if (s.first.compare(section, Qt::CaseInsensitive) == 0)
            return s.second;
    return {};
}

QString LanguageFile::value(const QString &section, const QString &key) const
{
    for (const auto &s : m_sections) {
        if (s.first.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry &e : s.second)
            if (e.first.compare(key, Qt::CaseInsensitive) == 0)
                return e.second;
    }
    return {};
}

void LanguageFile::setEntries(const QString &section, const QList<Entry> &entries)
{
    for (auto &s : m_sections) {
        if (s.first.compare(section, Qt::CaseInsensitive) == 0) {
            s.second = entries;
            return;
        }
    }
    m_sections.append({section, entries});
}
