#include "clients/ChoixEdit.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "vocabulary/LanguageApplier.h"
#include "vocabulary/LanguageFile.h"
#include "vocabulary/ScreenTexts.h"
#include "vocabulary/TestLang.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A small screen with every kind of text a language file carries.
class Sample : public QWidget
{
public:
    Sample()
    {
        setObjectName(QStringLiteral("Sample"));
        setWindowTitle(QStringLiteral("Fenêtre d'essai"));
        auto *layout = new QVBoxLayout(this);
        title = new QLabel(QStringLiteral("Première ligne\r\nDeuxième ligne"), this);
        empty = new QLabel(this);
        ok = new QPushButton(QStringLiteral("&Valider"), this);
        ok->setObjectName(QStringLiteral("BtnOk"));
        ok->setToolTip(QStringLiteral("Enregistre C:\\rapports\\r"));
        tabs = new QTabWidget(this);
        tabs->setObjectName(QStringLiteral("Onglets"));
        tabs->addTab(new QWidget, QStringLiteral("Général"));
        tabs->addTab(new QWidget, QStringLiteral("Messagerie"));
        group = new QGroupBox(QStringLiteral("Options"), this);
        path = new QLabel(QStringLiteral("/home/marie/rapports"), this);
        ScreenTexts::keepText(path);
        last = new QLabel(QStringLiteral("Fin"), this);
        for (QWidget *w : std::initializer_list<QWidget *>{title, empty, ok, tabs, group, path, last})
            layout->addWidget(w);
    }
    QLabel *title, *empty, *path, *last;
    QPushButton *ok;
    QTabWidget *tabs;
    QGroupBox *group;
};

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// Interface language files: export, change one text, read back on the screen.
class TestLanguage : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    ScriptedPrompter m_prompter;
    QString folder() const { return m_dir.filePath(QStringLiteral("lang")); }

private slots:
    void init()
    {
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("quenzo.ini")));
        m_prompter.clear();
    }

    void escapingRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << "Valider" << "Valider";
        QTest::newRow("backslash r") << "C:\\rapports" << "C:\\\\rapports";
        QTest::newRow("line breaks") << "a\r\nb" << "a\\r\\fb";
        QTest::newRow("trailing backslash") << "fin\\" << "fin\\\\";
    }
    void escapingRoundTrips()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(LanguageFile::escape(text), escaped);
        QCOMPARE(LanguageFile::unescape(escaped), text);
    }

    // Values are read whole, past the 128 characters older readers kept.
    void longValuesReadWhole()
    {
        const QString path = QDir(folder()).filePath(QStringLiteral("long.ini"));
        const QString value = QString(300, QLatin1Char('x')) + QStringLiteral("é");
        writeBytes(path, "[Sample]\nCaption=" + value.toUtf8() + "\n");
        LanguageFile file;
        QVERIFY(file.load(path));
        QCOMPARE(file.value(QStringLiteral("sample"), QStringLiteral("caption")), value);
    }

    void latin1FileIsRead()
    {
        const QString path = QDir(folder()).filePath(QStringLiteral("ancien.ini"));
        writeBytes(path, QStringLiteral("[Sample]\nCaption=Fenêtre à l'essai\n").toLatin1());
        LanguageFile file;
        QVERIFY(file.load(path));
        QCOMPARE(file.value(QStringLiteral("Sample"), QStringLiteral("Caption")), QStringLiteral("Fenêtre à l'essai"));
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "-": no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("-") << "n'existe pas";
        QTest::newRow("empty") << QByteArray("  \n\n") << "est vide";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << "n'est pas un fichier texte";
        QTest::newRow("not a language file") << QByteArray("Bonjour tout le monde\n") << "n'est pas un fichier de langue";
    }
    // A clear message, the previous language kept, every screen with its texts.
    void badFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        writeBytes(QDir(folder()).filePath(QStringLiteral("bon.ini")), "[Sample]\nBtnOk_Caption=&OK\n");
        if (bytes != "-")
            writeBytes(QDir(folder()).filePath(QStringLiteral("mauvais.ini")), bytes);
        LanguageApplier applier(*m_settings, folder());
        QVERIFY(applier.choose(QStringLiteral("bon")));
        const Outcome chosen = applier.choose(QStringLiteral("mauvais"));
        QVERIFY(!chosen);
        QCOMPARE(chosen.title(), QStringLiteral("Erreur"));
        QVERIFY2(chosen.text().contains(message), qPrintable(chosen.text()));
        QVERIFY(applier.current().endsWith(QStringLiteral("bon.ini")));
        QCOMPARE(m_settings->read(QStringLiteral("UTIL"), QStringLiteral("Langue")), QStringLiteral("bon"));
        Sample screen;
        screen.show();
        QCOMPARE(screen.ok->text(), QStringLiteral("&OK"));
    }

    // Export, change one text, choose the file: the screen opens with it.
    void roundTripOnAScreen()
    {
        LanguageApplier applier(*m_settings, folder());
        TestLang tool(applier, m_prompter, {[](QWidget *) -> QWidget * { return new Sample; }, [](QWidget *p) -> QWidget * { return new ChoixEdit(p); }});
        tool.exportScreens();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("FINI")});
        const QString defaults = QDir(folder()).filePath(QStringLiteral("default.ini"));
        LanguageFile file;
        QVERIFY(file.load(defaults));
        QCOMPARE(file.sections(), (QStringList{QStringLiteral("Sample"), QStringLiteral("ChoixEdit")}));
        QCOMPARE(file.value(QStringLiteral("Sample"), QStringLiteral("Label_0_Caption")), QStringLiteral("Première ligne\r\nDeuxième ligne"));
        QCOMPARE(file.value(QStringLiteral("Sample"), QStringLiteral("Onglets_Caption1")), QStringLiteral("Messagerie"));
        QCOMPARE(file.value(QStringLiteral("Sample"), QStringLiteral("BtnOk_ttyp")), QStringLiteral("Enregistre C:\\rapports\\r"));
        // An empty label is not exported, nor a label showing data; the
        // labels after it keep their keys.
        QVERIFY(file.value(QStringLiteral("Sample"), QStringLiteral("Label_2_Caption")).isEmpty());
        QCOMPARE(file.value(QStringLiteral("Sample"), QStringLiteral("Label_3_Caption")), QStringLiteral("Fin"));
        QVERIFY(file.value(QStringLiteral("Sample"), QStringLiteral("Label_1_Caption")).isEmpty());
        QFile raw(defaults);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray text = raw.readAll();
        QVERIFY(text.contains("Label_0_Caption=Première ligne\\r\\fDeuxième ligne\n"));

        // The translator's copy: one text changed, one added for the empty label.
        QList<LanguageFile::Entry> entries = file.entries(QStringLiteral("Sample"));
        for (auto &e : entries)
            if (e.first == QLatin1String("Onglets_Caption1"))
                e.second = QStringLiteral("E-mail");
        entries.append({QStringLiteral("Label_1_Caption"), QStringLiteral("Jamais")});
        file.setEntries(QStringLiteral("Sample"), entries);
        QVERIFY(file.save(QDir(folder()).filePath(QStringLiteral("english.ini"))));

        tool.refresh();
        QCOMPARE(tool.languages()->count(), 2);
        tool.languages()->setCurrentItem(tool.languages()->findItems(QStringLiteral("english"), Qt::MatchExactly).first());
        m_prompter.clear();
        tool.chooseSelected();
        QVERIFY(m_prompter.shown().isEmpty());
        auto *sample = dynamic_cast<Sample *>(tool.sample());
        QVERIFY(sample);
        QCOMPARE(sample->tabs->tabText(1), QStringLiteral("E-mail"));
        QCOMPARE(sample->title->text(), QStringLiteral("Première ligne\r\nDeuxième ligne"));
        QCOMPARE(sample->ok->toolTip(), QStringLiteral("Enregistre C:\\rapports\\r"));
        QVERIFY(sample->empty->text().isEmpty());

        // Every other window opening afterwards gets it too, and one open
        // already changes with the next choice.
        Sample later;
        later.show();
        QCOMPARE(later.tabs->tabText(1), QStringLiteral("E-mail"));
        for (auto &e : entries)
            if (e.first == QLatin1String("BtnOk_Caption"))
                e.second = QStringLiteral("&Save");
        file.setEntries(QStringLiteral("Sample"), entries);
        QVERIFY(file.save(QDir(folder()).filePath(QStringLiteral("english.ini"))));
        QVERIFY(applier.choose(QStringLiteral("english")));
        QCOMPARE(later.ok->text(), QStringLiteral("&Save"));
        saveScreenshot(tool, QStringLiteral("testlang"));
    }

    // Keys that name nothing on the screen are reported; the others still apply.
    void keysOfNoScreenAreReported()
    {
        writeBytes(QDir(folder()).filePath(QStringLiteral("faux.ini")),
                   "[Sample]\nBtnOk_Caption=&OK\nBtnAbsent_Caption=Rien\n[EcranInconnu]\nCaption=x\n");
        LanguageApplier applier(*m_settings, folder());
        TestLang tool(applier, m_prompter, {[](QWidget *) -> QWidget * { return new Sample; }});
        tool.chooseSelected();
        QCOMPARE(m_prompter.shown().size(), 1);
        QVERIFY(m_prompter.shown().first().text.contains(QStringLiteral("BtnAbsent_Caption")));
        QVERIFY(m_prompter.shown().first().text.contains(QStringLiteral("EcranInconnu")));
        QCOMPARE(dynamic_cast<Sample *>(tool.sample())->ok->text(), QStringLiteral("&OK"));
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
