#include "resources/Frm_GesIcones.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

// The icon chooser over a real images folder.
class TestGesIcones : public QObject
{
    Q_OBJECT
private slots:
    void picturesOfTheFolder()
    {
        QTemporaryDir dir;
        QImage red(32, 32, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir.filePath(QStringLiteral("camion.png"))));
        QVERIFY(red.save(dir.filePath(QStringLiteral("Grue.JPG")), "JPG"));
        QFile broken(dir.filePath(QStringLiteral("abime.gif")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("pas une image");
        broken.close();
        QFile other(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        ScriptedPrompter prompter;
        Frm_GesIcones chooser(dir.path(), QStringLiteral("grue.jpg"), prompter);
        QCOMPARE(chooser.iconList()->count(), 2);
        QCOMPARE(chooser.iconList()->currentItem()->text(), QStringLiteral("Grue.JPG")); // letter case aside
        QCOMPARE(prompter.shown().size(), 1);
        QCOMPARE(prompter.shown().first().title, QStringLiteral("Erreur fichier"));
        QVERIFY(prompter.texts().first().startsWith(QStringLiteral("abime.gif")));

        saveScreenshot(chooser, QStringLiteral("icones"));
        emit chooser.iconList()->itemActivated(chooser.iconList()->item(0));
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.chosen(), QStringLiteral("camion.png"));
    }

    void noFolder()
    {
        ScriptedPrompter prompter;
        QCOMPARE(Frm_GesIcones::choose(QString(), QString(), prompter), QString());
        QCOMPARE(prompter.texts(), QStringList{"Vous devez aller paramétrer le répertoire image dans le menu 'Paramètres'"});
    }
};

QTEST_MAIN(TestGesIcones)
#include "tst_gesicones.moc"
