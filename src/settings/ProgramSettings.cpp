#include "settings/ProgramSettings.h"

#include "core/PasswordCodec.h"
#include "core/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Util = QStringLiteral("UTIL");
const QString Connect = QStringLiteral("Connect");
const QString Mail = QStringLiteral("Mail");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool isOne(const Settings &s, const QString &section, const QString &key)
{
    return s.read(section, key, QStringLiteral("0")) == QLatin1String("1");
}

int readInt(const Settings &s, const QString &section, const QString &key, int fallback)
{
    bool ok = false;
    const int value = s.read(section, key, QString::number(fallback)).toInt(&ok);
    return ok ? value : fallback;
}

bool isWholeNumber(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= min && value <= max;
}

} // namespace

MailSettings MailSettings::read(const Settings &s)
{
    MailSettings m;
    m.directSmtp = isOne(s, Mail, QStringLiteral("TypeMess"));
    m.server = s.read(Mail, QStringLiteral("ServSMTP"));
    m.port = s.read(Mail, QStringLiteral("PortSMTP"));
    m.authenticate = isOne(s, Mail, QStringLiteral("AuthSMTP"));
    m.user = s.read(Mail, QStringLiteral("UtilSMTP"));
    m.password = PasswordCodec::decode(s.read(Mail, QStringLiteral("PasseSMTP")));
    m.proxy = s.read(Mail, QStringLiteral("ProxySMTP"));
    m.sender = s.read(Mail, QStringLiteral("MailFROM"));
    m.readReceipt = isOne(s, Mail, QStringLiteral("Recep"));
    m.html = isOne(s, Mail, QStringLiteral("HTML"));
    m.withDates = isOne(s, Mail, QStringLiteral("EnvoiDate"));
    m.withClients = isOne(s, Mail, QStringLiteral("EnvoiCli"));
    m.withComment = isOne(s, Mail, QStringLiteral("EnvoiComment"));
    return m;
}

void MailSettings::write(Settings &s) const
{
    s.write(Mail, QStringLiteral("TypeMess"), flag(directSmtp));
    s.write(Mail, QStringLiteral("ServSMTP"), server.trimmed());
    s.write(Mail, QStringLiteral("PortSMTP"), port.trimmed());
    s.write(Mail, QStringLiteral("AuthSMTP"), flag(authenticate));
    s.write(Mail, QStringLiteral("UtilSMTP"), user);
    s.write(Mail, QStringLiteral("PasseSMTP"), PasswordCodec::encode(password));
    s.write(Mail, QStringLiteral("ProxySMTP"), proxy.trimmed());
    s.write(Mail, QStringLiteral("MailFROM"), sender.trimmed());
    s.write(Mail, QStringLiteral("Recep"), flag(readReceipt));
    s.write(Mail, QStringLiteral("HTML"), flag(html));
    s.write(Mail, QStringLiteral("EnvoiDate"), flag(withDates));
    s.write(Mail, QStringLiteral("EnvoiCli"), flag(withClients));
    s.write(Mail, QStringLiteral("EnvoiComment"), flag(withComment));
}

const QList<int> &ProgramSettings::pollChoices()
{
    static const QList<int> choices = {30, 60, 120, 180, 240, 300};
    return choices;
}

ProgramSettings ProgramSettings::read(const Settings &s)
{
    ProgramSettings p;
    p.splashSeconds = s.read(Util, QStringLiteral("pan"), p.splashSeconds);
    p.ordinaryWindow = isOne(s, Util, QStringLiteral("presentation"));
    p.trayDoubleClick = readInt(s, Util, QStringLiteral("ouv"), 0);
    p.pollSeconds = readInt(s, Util, QStringLiteral("Messages"), 30);
    if (!pollChoices().contains(p.pollSeconds))
        p.pollSeconds = 30;
    for (int i = 0; i < HotKeys; ++i) {
        p.hotKeyOn[i] = isOne(s, Util, QString::number(i) + QStringLiteral("Racc"));
        p.hotKeyCode[i] = readInt(s, Util, QString::number(i) + QStringLiteral("Touche"), i);
    }
    p.imagesFolder = s.read(Util, QStringLiteral("Images"));
    p.documentsFolder = s.read(Util, QStringLiteral("Documents"));
    p.htmlFolder = s.read(Util, QStringLiteral("RepHTML"));
    for (int n = 0; n < HtmlPresentations; ++n)
        p.htmlPresentations[n] = isOne(s, Util, QString::number(n) + QStringLiteral("HTML"));
    for (int n = 0; n < HtmlPlannings; ++n)
        p.htmlPlannings[n] = isOne(s, Util, QString::number(n) + QStringLiteral("HTMLPLAN"));
    p.htmlDays = s.read(Util, QStringLiteral("HTMLNBJ"), p.htmlDays);
    p.htmlWidth = s.read(Util, QStringLiteral("HTMLWPIX"), p.htmlWidth);
    p.autoConnect = s.read(Connect, QStringLiteral("Auto"), QStringLiteral("0")) != QLatin1String("0");
    p.login = PasswordCodec::decode(s.read(Connect, QStringLiteral("Login")));
    p.password = PasswordCodec::decode(s.read(Connect, QStringLiteral("Mdp")));
    p.mail = MailSettings::read(s);
    return p;
}

void ProgramSettings::write(Settings &s) const
{
    s.write(Util, QStringLiteral("pan"), splashSeconds.trimmed());
    s.write(Util, QStringLiteral("ouv"), QString::number(trayDoubleClick));
    s.write(Connect, QStringLiteral("Auto"), flag(autoConnect));
    if (autoConnect) {
        s.write(Connect, QStringLiteral("Login"), PasswordCodec::encode(login));
        s.write(Connect, QStringLiteral("Mdp"), PasswordCodec::encode(password));
    }
    mail.write(s);
    s.write(Util, QStringLiteral("Images"), imagesFolder.trimmed());
    s.write(Util, QStringLiteral("Documents"), documentsFolder.trimmed());
    s.write(Util, QStringLiteral("RepHTML"), htmlFolder.trimmed());
    for (int n = 0; n < HtmlPresentations; ++n)
        s.write(Util, QString::number(n) + QStringLiteral("HTML"), flag(htmlPresentations[n]));
    s.write(Util, QStringLiteral("HTMLNBJ"), htmlDays.trimmed());
    s.write(Util, QStringLiteral("HTMLWPIX"), htmlWidth.trimmed());
    for (int n = 0; n < HtmlPlannings; ++n)
        s.write(Util, QString::number(n) + QStringLiteral("HTMLPLAN"), flag(htmlPlannings[n]));
    s.write(Util, QStringLiteral("Messages"), QString::number(pollSeconds));
    s.write(Util, QStringLiteral("presentation"), flag(ordinaryWindow));
    for (int i = 0; i < HotKeys; ++i) {
        s.write(Util, QString::number(i) + QStringLiteral("Racc"), flag(hotKeyOn[i]));
        s.write(Util, QString::number(i) + QStringLiteral("Touche"), QString::number(hotKeyCode[i]));
    }
}

QString checkProgramSettings(const ProgramSettings &p)
{
    const QList<QPair<QString, QString>> folders = {{QStringLiteral("Répertoire Image"), p.imagesFolder},
                                                    {QStringLiteral("Répertoire Documents"), p.documentsFolder},
                                                    {QStringLiteral("Chemin d'export des fichiers HTML"), p.htmlFolder}};
    for (const auto &[label, folder] : folders) {
        if (!folder.trimmed().isEmpty() && !QFileInfo(folder.trimmed()).isDir())
            return QStringLiteral("Le répertoire \"%1\" (%2) n'existe pas.").arg(folder.trimmed(), label);
    }
    if (!isWholeNumber(p.splashSeconds, 0, 3600))
        return QStringLiteral("La durée d'affichage du panneau d'accueil doit être un nombre de secondes.");
    if (!p.mail.port.trimmed().isEmpty() && !isWholeNumber(p.mail.port, 1, 65535))
        return QStringLiteral("Le port du serveur SMTP doit être un nombre entre 1 et 65535.");
    if (!isWholeNumber(p.htmlDays, 1, 366))
        return QStringLiteral("Le nombre de jours de l'export HTML doit être un nombre entre 1 et 366.");
    if (!isWholeNumber(p.htmlWidth, 100, 20000))
        return QStringLiteral("La largeur de l'image du planning HTML doit être un nombre de pixels entre 100 et 20000.");
    return {};
}
