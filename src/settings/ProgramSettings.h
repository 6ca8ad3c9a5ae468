#pragma once

#include <QList>
#include <QString>

class Settings;

// The mail settings of the workstation (section "Mail").
struct MailSettings
{
    bool directSmtp = false; // TypeMess "1": straight to the SMTP server
    QString server;
    QString port;            // empty: 25
    bool authenticate = false;
    QString user;
    QString password;        // plain here, scrambled in the store
    QString proxy;
    QString sender;
    bool readReceipt = false;
    bool html = false;
    bool withDates = false, withClients = false, withComment = false;

    static MailSettings read(const Settings &settings);
    void write(Settings &settings) const;
};

// Every workstation setting of the parameters screen, with the defaults a new
// workstation starts from. Reading writes nothing.
struct ProgramSettings
{
    static constexpr int HtmlPresentations = 9;
    static constexpr int HtmlPlannings = 3;
    static constexpr int HotKeys = 4;

    QString splashSeconds = QStringLiteral("1");
    bool ordinaryWindow = false;
    int trayDoubleClick = 0;
    int pollSeconds = 30;
    QList<bool> hotKeyOn = QList<bool>(HotKeys, false);
    QList<int> hotKeyCode = {0, 1, 2, 3};

    QString imagesFolder;
    QString documentsFolder;
    QString htmlFolder;
    QList<bool> htmlPresentations = QList<bool>(HtmlPresentations, false);
    QList<bool> htmlPlannings = QList<bool>(HtmlPlannings, false);
    QString htmlDays = QStringLiteral("4");
    QString htmlWidth = QStringLiteral("1024");

    bool autoConnect = false;
    QString login; // plain here, scrambled in the store
    QString password;

    MailSettings mail;

    static const QList<int> &pollChoices();

    static ProgramSettings read(const Settings &settings);
    // Login and password are written only with auto-connection on.
    void write(Settings &settings) const;
};

// What is wrong with the entered settings, empty when nothing: folders that do
// not exist, numbers that are not numbers. Nothing is written while it is not empty.
QString checkProgramSettings(const ProgramSettings &settings);
