#pragma once

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// A loopback SMTP server (scripts/smtp-sink.py) writing each message it
// receives into a folder: n.eml for the message, n.env for its envelope.
struct SmtpSink
{
    QTemporaryDir dir;
    QProcess process;
    int port = 0;
    ~SmtpSink()
    {
        process.kill();
        process.waitForFinished();
    }
    bool start(const QString &credentials = {})
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = 30000 + int(QRandomGenerator::global()->bounded(30000));
            QStringList args = {QStringLiteral(QUENZO_SOURCE_DIR "/scripts/smtp-sink.py"), QString::number(port), dir.path()};
            if (!credentials.isEmpty())
                args.append(credentials);
            process.start(QStringLiteral("/usr/bin/python3"), args);
            process.waitForStarted();
            for (int i = 0; i < 100 && process.state() == QProcess::Running; ++i) {
                if (QFile::exists(dir.filePath(QStringLiteral("ready"))))
                    return true;
                QTest::qWait(50);
            }
            process.kill();
            process.waitForFinished();
        }
        return false;
    }
    QByteArray message(int n = 1) const { return read(QStringLiteral("%1.eml").arg(n)); }
    QByteArray envelope(int n = 1) const { return read(QStringLiteral("%1.env").arg(n)); }
    QByteArray read(const QString &name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

