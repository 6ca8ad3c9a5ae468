#include "core/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void missingOrEmptyGivesDefault()
    {
        Settings s(path("a.ini"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("pan"), QStringLiteral("1")), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("pan"), QString());
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("pan"), QStringLiteral("1")), QStringLiteral("1"));
        s.write(QStringLiteral("UTIL"), QStringLiteral("pan"), QStringLiteral("0"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("pan"), QStringLiteral("1")), QStringLiteral("0"));
    }

    void valuesSurviveAnotherProcessReading()
    {
        {
            Settings s(path("b.ini"));
            s.write(QStringLiteral("Base"), QStringLiteral("DSN Name"), QStringLiteral("Serveur;Compta=1"));
            s.writeNumber(QStringLiteral("UTIL"), QStringLiteral("Messages"), 120);
            s.write(QStringLiteral("Base"), QStringLiteral("Pass"), QStringLiteral("mot de passe éàù/\\\"'"));
        }
        Settings again(path("b.ini"));
        QCOMPARE(again.read(QStringLiteral("Base"), QStringLiteral("DSN Name")), QStringLiteral("Serveur;Compta=1"));
        QCOMPARE(again.read(QStringLiteral("UTIL"), QStringLiteral("Messages")), QStringLiteral("120"));
        QCOMPARE(again.read(QStringLiteral("Base"), QStringLiteral("Pass")), QStringLiteral("mot de passe éàù/\\\"'"));
    }

    void lookupIgnoresLetterCase()
    {
        Settings s(path("c.ini"));
        s.write(QStringLiteral("Planning"), QStringLiteral("PhrAffBulle"), QStringLiteral("12"));
        QCOMPARE(s.read(QStringLiteral("planning"), QStringLiteral("PhrAffbulle")), QStringLiteral("12"));
        // Writing through another spelling replaces the value rather than adding a twin.
        s.write(QStringLiteral("PLANNING"), QStringLiteral("phraffbulle"), QStringLiteral("13"));
        QCOMPARE(s.read(QStringLiteral("Planning"), QStringLiteral("PhrAffBulle")), QStringLiteral("13"));
        QFile file(path("c.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QCOMPARE(content.count("13"), 1);
        QCOMPARE(content.count("12"), 0);
    }

    void deleteValueAndSectionWithSubSections()
    {
        Settings s(path("d.ini"));
        s.write(QStringLiteral("Filtres"), QStringLiteral("a"), QStringLiteral("1"));
        s.write(QStringLiteral("Filtres\\Vue1"), QStringLiteral("b"), QStringLiteral("2"));
        s.write(QStringLiteral("Filtres\\Vue1\\Detail"), QStringLiteral("c"), QStringLiteral("3"));
        s.write(QStringLiteral("Autre"), QStringLiteral("d"), QStringLiteral("4"));
        QCOMPARE(s.read(QStringLiteral("filtres/vue1/detail"), QStringLiteral("C")), QStringLiteral("3"));

        s.remove(QStringLiteral("Filtres"), QStringLiteral("a"));
        QVERIFY(!s.contains(QStringLiteral("Filtres"), QStringLiteral("a")));
        QCOMPARE(s.read(QStringLiteral("Filtres\\Vue1"), QStringLiteral("b")), QStringLiteral("2"));

        s.remove(QStringLiteral("FILTRES"));
        QVERIFY(!s.contains(QStringLiteral("Filtres\\Vue1"), QStringLiteral("b")));
        QVERIFY(!s.contains(QStringLiteral("Filtres\\Vue1\\Detail"), QStringLiteral("c")));
        QCOMPARE(s.read(QStringLiteral("Autre"), QStringLiteral("d")), QStringLiteral("4"));
        // An empty section never wipes the file.
        s.remove(QString());
        QCOMPARE(s.read(QStringLiteral("Autre"), QStringLiteral("d")), QStringLiteral("4"));
    }

    void buildPath_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("joined") << QStringList{"SOFTWARE", "Quenzo", "UTIL"} << "SOFTWARE\\Quenzo\\UTIL";
        QTest::newRow("double backslash") << QStringList{"A\\", "B"} << "A\\B";
        QTest::newRow("slashes") << QStringList{"A/B", "C"} << "A\\B\\C";
        QTest::newRow("empty part") << QStringList{"A", "", "B"} << "A\\B";
    }
    void buildPath()
    {
        QFETCH(QStringList, parts);
        QFETCH(QString, expected);
        QCOMPARE(Settings::buildPath(parts), expected);
    }

    void fileIsReadableByItsOwnerOnly()
    {
        Settings s(path("e.ini"));
        s.write(QStringLiteral("Base"), QStringLiteral("Pass"), QStringLiteral("secret"));
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(path("e.ini")) & others, QFileDevice::Permissions());
        QVERIFY(QFile::permissions(path("e.ini")) & QFileDevice::ReadOwner);
    }

    void defaultLocationFollowsXdgConfigHome()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        QCOMPARE(Settings::defaultFilePath(), m_dir.filePath(QStringLiteral("Quenzo/Quenzo.ini")));
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(Settings::defaultFilePath().endsWith(QLatin1String("/.config/Quenzo/Quenzo.ini")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
