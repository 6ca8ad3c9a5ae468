#include "core/Autostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAutostart : public QObject
{
    Q_OBJECT
private slots:
    void entryWrittenAndRemoved()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        QCOMPARE(Autostart::entryPath(), dir.filePath(QStringLiteral("autostart/quenzo.desktop")));
        QVERIFY(!Autostart::isEnabled());
        QVERIFY(Autostart::setEnabled(false)); // nothing to remove is fine

        QVERIFY(Autostart::setEnabled(true, QStringLiteral("/opt/mon appli/quenzo")));
        QVERIFY(Autostart::isEnabled());
        QFile file(Autostart::entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(file.readAll());
        QVERIFY(entry.startsWith(QLatin1String("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QLatin1String("\nExec=\"/opt/mon appli/quenzo\"\n")));
        QVERIFY(entry.contains(QLatin1String("\nType=Application\n")));

        QVERIFY(Autostart::setEnabled(false));
        QVERIFY(!Autostart::isEnabled());
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
