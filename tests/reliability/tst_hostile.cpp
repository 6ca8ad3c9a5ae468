#include "access/UserStore.h"
#include "clients/ClientSearch.h"
#include "clients/ClientStore.h"
#include "core/Schema.h"
#include "core/TextWidths.h"
#include "messaging/MessageStore.h"
#include "resources/ResourceStore.h"
#include "support/TestDatabase.h"
#include "tasks/TaskStore.h"

#include <QTest>

// Hostile texts in every text field of the main records: each is stored and
// read back exactly (less the blanks trimmed at both ends), or refused with a
// French message; never an engine error, never a statement broken open.
class TestHostile : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    int m_stored = 0;
    int m_refused = 0;
    int m_serial = 0;

    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    // A text field: its column, and where the record keeps it.
    template<typename Record>
    struct Field
    {
        const char *table;
        const char *column;
        QString Record::*member;
    };

    static int widthOf(const char *table, const char *column)
    {
        const ColumnSpec *definition = schemaTable(QLatin1String(table))->column(QLatin1String(column));
        return definition->type == ColumnType::LongText ? -1 : definition->length;
    }

    // The longest text the column keeps, and one character more.
    static QString fill(const char *table, const char *column, bool oneMore)
    {
        const int width = widthOf(table, column);
        const int size = width < 0 ? TextWidths::LongTextBytes : width; // LongText: bytes, in ASCII
        return QString(size + (oneMore ? 1 : 0), QLatin1Char('x'));
    }

    // Whether the text fits the column as the server counts it.
    static bool fits(const char *table, const char *column, const QString &text)
    {
        const int width = widthOf(table, column);
        if (width < 0)
            return text.toUtf8().size() <= TextWidths::LongTextBytes;
        return text.toUcs4().size() <= width;
    }

    static QString trimmed(const QString &text)
    {
        qsizetype start = 0, end = text.size();
        while (start < end && text.at(start) == QLatin1Char(' '))
            ++start;
        while (end > start && text.at(end - 1) == QLatin1Char(' '))
            --end;
        return text.mid(start, end - start);
    }

    // A refusal must be French and come from the checks, not from an engine.
    void checkRefusal(const Outcome &outcome, const QString &what)
    {
        QVERIFY2(!outcome.text().isEmpty(), qPrintable(what));
        const QString db = outcome.dbError();
        QVERIFY2(db.isEmpty() || db.startsWith(QStringLiteral("Le texte de la zone"))
                     || db.startsWith(QStringLiteral("Un texte contient un caractère nul")),
                 qPrintable(what + QStringLiteral(" : ") + db));
        ++m_refused;
    }

    // Saves the record with the text in one field, then reads it back.
    template<typename Record, typename Save, typename Load>
    void roundTrip(const Field<Record> &field, const QString &text, Record record, Save save, Load load)
    {
        const QString what = QLatin1String(field.table) + QLatin1Char('.') + QLatin1String(field.column);
        record.*(field.member) = text;
        const Outcome saved = save(record);
        const bool expected = fits(field.table, field.column, trimmed(text)) && !text.contains(QChar(0));
        if (!saved) {
            QVERIFY2(!expected, qPrintable(what + QStringLiteral(" refusé : ") + saved.text() + QLatin1Char(' ') + saved.dbError()));
            checkRefusal(saved, what);
            return;
        }
        QVERIFY2(expected, qPrintable(what + QStringLiteral(" accepté trop long")));
        Record back;
        QVERIFY(load(record, &back));
        QCOMPARE(back.*(field.member), trimmed(text));
        ++m_stored;
    }

    QString unique() { return QStringLiteral("n%1").arg(++m_serial); }

    void addHostileRows()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("maximum"); // "", "max" or "max+1"
        QTest::newRow("quote") << QStringLiteral("l'été d'O'Neil") << QString();
        QTest::newRow("doubled quotes") << QStringLiteral("il a dit ''oui'' et \"\"non\"\"") << QString();
        QTest::newRow("backslashes") << QStringLiteral("C:\\dossier\\n\\'x") << QString();
        QTest::newRow("backslash last") << QStringLiteral("fin\\") << QString();
        QTest::newRow("quote backslash last") << QStringLiteral("a'\\") << QString();
        QTest::newRow("injection") << QStringLiteral("x'); delete from kp_societes; --") << QString();
        QTest::newRow("percent underscore") << QStringLiteral("50% de_remise") << QString();
        QTest::newRow("emoji") << QStringLiteral("Réunion 🚀👍🏽 équipe") << QString();
        QTest::newRow("right to left") << QStringLiteral("שלום عربي ‏") << QString();
        QTest::newRow("combining accents") << QStringLiteral("e\u0301te\u0301 Zoe\u0308") << QString();
        QTest::newRow("control characters") << QStringLiteral("a\tb\u0001c\u001b[31m\r\nd\u007f") << QString();
        QTest::newRow("nul") << QString(QStringLiteral("avant")).append(QChar(0)).append(QStringLiteral("après")) << QString();
        QTest::newRow("blanks around") << QStringLiteral("  au milieu  ") << QString();
        QTest::newRow("maximum") << QString() << QStringLiteral("max");
        QTest::newRow("one more") << QString() << QStringLiteral("max+1");
    }

    template<typename Record>
    QString textFor(const Field<Record> &field)
    {
        QFETCH(QString, text);
        QFETCH(QString, maximum);
        if (maximum.isEmpty())
            return text;
        return fill(field.table, field.column, maximum == QLatin1String("max+1"));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("rel_hostile"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE-H"));
        QVERIFY(m_ws->open());
        QVERIFY(insertRow(db(), session().dialect(), QStringLiteral("kp_taches"), {{QStringLiteral("noidtache"), QStringLiteral("1")}}));
        QVERIFY(insertResource(db(), 1, QStringLiteral("R1")));
        UserRecord user;
        user.code = QStringLiteral("DEST");
        user.label = QStringLiteral("Destinataire");
        user.password = QStringLiteral("x");
        QVERIFY(UserStore::save(session(), user, user.password));
        session().setUser(QStringLiteral("DEST"), QStringLiteral("x"));
    }
    void cleanupTestCase()
    {
        if (m_db)
            qInfo().noquote() << QStringLiteral("%1 : %2 textes hostiles enregistrés et relus à l'identique, %3 refusés avec un message")
                                     .arg(m_db->isServer() ? QStringLiteral("MariaDB") : QStringLiteral("fichier"))
                                     .arg(m_stored)
                                     .arg(m_refused);
    }

    void resources_data() { addHostileRows(); }
    void resources()
    {
        using F = Field<Resource>;
        const QList<F> fields = {{"kp_ressources", "libelle", &Resource::code},
                                 {"kp_ressources", "nomressource", &Resource::surname},
                                 {"kp_ressources", "prenomressource", &Resource::firstName},
                                 {"kp_ressources", "adrressource", &Resource::address},
                                 {"kp_ressources", "compressource", &Resource::complement},
                                 {"kp_ressources", "cpressource", &Resource::postcode},
                                 {"kp_ressources", "villeressource", &Resource::town},
                                 {"kp_ressources", "paysressource", &Resource::country},
                                 {"kp_ressources", "etatressource", &Resource::state},
                                 {"kp_ressources", "telressource", &Resource::phone},
                                 {"kp_ressources", "mobressource", &Resource::mobile},
                                 {"kp_ressources", "faxressource", &Resource::fax},
                                 {"kp_ressources", "mailressource", &Resource::mail}};
        for (const F &field : fields) {
            Resource r;
            r.code = unique();
            roundTrip(field, textFor(field), r,
                      [&](Resource &x) { return ResourceStore::save(session(), &x); },
                      [&](const Resource &x, Resource *back) { return bool(ResourceStore::load(session(), x.number, back)); });
            if (QTest::currentTestFailed())
                return;
        }
    }

    void clients_data() { addHostileRows(); }
    void clients()
    {
        using F = Field<Client>;
        const QList<F> fields = {{"kp_societes", "libsoc", &Client::name},      {"kp_societes", "groupesoc", &Client::group},
                                 {"kp_societes", "nomcont", &Client::surname},  {"kp_societes", "prenomcont", &Client::firstName},
                                 {"kp_societes", "adrsoc", &Client::address},   {"kp_societes", "adrcompsoc", &Client::complement},
                                 {"kp_societes", "cpsoc", &Client::postcode},   {"kp_societes", "villesoc", &Client::town},
                                 {"kp_societes", "payssoc", &Client::country},  {"kp_societes", "etatsoc", &Client::state},
                                 {"kp_societes", "telsoc", &Client::phone},     {"kp_societes", "mobsoc", &Client::mobile},
                                 {"kp_societes", "faxsoc", &Client::fax},       {"kp_societes", "mailsoc", &Client::mail},
                                 {"kp_societes", "websoc", &Client::web},       {"kp_societes", "commentsoc", &Client::comment}};
        for (const F &field : fields) {
            Client c;
            c.name = unique();
            roundTrip(field, textFor(field), c, [&](Client &x) { return ClientStore::save(session(), &x); },
                      [&](const Client &x, Client *back) { return bool(ClientStore::load(session(), x.number, x.type, back)); });
            if (QTest::currentTestFailed())
                return;
        }
        // The free fields live in their own table.
        for (int i = 0; i < 7; ++i) {
            Client c;
            c.name = unique();
            const QByteArray column = "ch" + QByteArray::number(i + 1);
            const QString text = textFor(Field<Client>{"kp_libresoc", column.constData(), nullptr});
            c.freeTexts[i] = text;
            const Outcome saved = ClientStore::save(session(), &c);
            const bool expected = fits("kp_libresoc", column.constData(), trimmed(text)) && !text.contains(QChar(0));
            QCOMPARE(saved.ok(), expected);
            if (!saved) {
                checkRefusal(saved, QString::fromLatin1(column));
                // Nothing of the refused client remains.
                QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_societes where libsoc = '%1'").arg(c.name)),
                         QStringLiteral("0"));
                continue;
            }
            Client back;
            QVERIFY(ClientStore::load(session(), c.number, c.type, &back));
            QCOMPARE(back.freeTexts.at(i), trimmed(text));
            ++m_stored;
        }
    }

    void tasks_data() { addHostileRows(); }
    void tasks()
    {
        using F = Field<Task>;
        for (const F &field : {F{"kp_taches_desc", "commentaire", &Task::comment},
                               F{"kp_taches_desc", "commenteffect", &Task::doneComment}}) {
            Task t;
            t.type = 1;
            t.done = field.member == &Task::doneComment;
            t.doneDate = QDate(2026, 12, 8);
            TaskRange r;
            r.startDate = r.endDate = QDate(2026, 12, 8);
            r.startTime = QStringLiteral("09:00");
            r.endTime = QStringLiteral("10:00");
            t.ranges = {r};
            t.resources = {1};
            roundTrip(field, textFor(field), t, [&](Task &x) { return TaskStore::save(session(), &x); },
                      [&](const Task &x, Task *back) { return bool(TaskStore::load(session(), x.number, back)); });
            if (QTest::currentTestFailed())
                return;
        }
    }

    void notes_data() { addHostileRows(); }
    void notes()
    {
        for (const char *column : {"titre", "message"}) {
            OutgoingNote note;
            note.users = {QStringLiteral("DEST")};
            note.title = QStringLiteral("Titre");
            note.text = QStringLiteral("Texte");
            const QString text = textFor(Field<Note>{"kp_messages", column, nullptr});
            (qstrcmp(column, "titre") == 0 ? note.title : note.text) = text;
            qint64 number = 0;
            const Outcome sent = MessageStore::send(session(), note, QDateTime(QDate(2026, 12, 8), QTime(9, 0)), &number);
            if (!sent) {
                checkRefusal(sent, QLatin1String(column));
                QVERIFY(!fits("kp_messages", column, trimmed(text)) || text.contains(QChar(0)));
                continue;
            }
            QVERIFY(fits("kp_messages", column, trimmed(text)) && !text.contains(QChar(0)));
            ResultSet rows;
            QVERIFY(db().query(QStringLiteral("select ") + MessageStore::noteColumns()
                                   + QStringLiteral(" from kp_messages m where m.noidmessage = %1").arg(number),
                               rows));
            QCOMPARE(rows.rowCount(), 1);
            const Note back = MessageStore::noteFrom(rows, 0);
            QCOMPARE(qstrcmp(column, "titre") == 0 ? back.title : back.text, trimmed(text));
            ++m_stored;
        }
    }

    void users_data() { addHostileRows(); }
    void users()
    {
        QFETCH(QString, text);
        QFETCH(QString, maximum);
        for (const char *column : {"codeutil", "libutil", "motutil"}) {
            UserRecord user;
            user.code = unique();
            user.label = QStringLiteral("Utilisateur");
            user.password = QStringLiteral("secret");
            // Codes, labels and passwords are kept scrambled, three digits a
            // character of Windows-1252: a third of the column's width.
            const int most = widthOf("kp_utilisateurs", column) / 3;
            const QString value = maximum.isEmpty() ? text : QString(most + (maximum == QLatin1String("max") ? 0 : 1), QLatin1Char('x'));
            QString &target = qstrcmp(column, "codeutil") == 0 ? user.code : qstrcmp(column, "libutil") == 0 ? user.label : user.password;
            target = value;
            const Outcome saved = UserStore::save(session(), user, user.password);
            bool latin = true;
            for (QChar c : value)
                latin = latin && (c.unicode() < 0x100 || QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ").contains(c));
            // Scrambled into digits, even a nul character is kept.
            const bool expected = latin && value.trimmed().size() <= most;
            if (!saved) {
                QVERIFY2(!expected, qPrintable(QLatin1String(column) + QStringLiteral(" refusé : ") + saved.text()));
                checkRefusal(saved, QLatin1String(column));
                continue;
            }
            QVERIFY2(expected, qPrintable(QLatin1String(column) + QStringLiteral(" accepté")));
            UserRecord back;
            QVERIFY(UserStore::load(db(), user.code, &back));
            QCOMPARE(back.code, user.code.trimmed());
            QCOMPARE(back.label, user.label.trimmed());
            QCOMPARE(back.password, user.password.trimmed());
            ++m_stored;
        }
    }

    void settings_data() { addHostileRows(); }
    void settings()
    {
        QFETCH(QString, text);
        QFETCH(QString, maximum);
        const QString value = maximum.isEmpty() ? text : QString(4000, QLatin1Char('y'));
        const QString path = m_db->folder() + QStringLiteral("/hostile.ini");
        {
            Settings written(path);
            written.write(QStringLiteral("UTIL"), QStringLiteral("Dossier"), value);
            written.write(QStringLiteral("Clé 'étrange' ; = [x]"), QStringLiteral("nom = \"y\""), value);
        }
        Settings read(path);
        const QString expected = value.contains(QChar(0)) ? value.left(value.indexOf(QChar(0))) : value;
        // A nul ends a text in the settings file; everything else comes back whole.
        QCOMPARE(read.read(QStringLiteral("UTIL"), QStringLiteral("Dossier")).left(expected.size()), expected);
        QCOMPARE(read.read(QStringLiteral("Clé 'étrange' ; = [x]"), QStringLiteral("nom = \"y\"")).left(expected.size()), expected);
        ++m_stored;
    }

    void searchesFindOnlyLiteralMatches_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("percent") << QStringLiteral("%") << QStringList{"50% remise"};
        QTest::newRow("underscore") << QStringLiteral("_") << QStringList{"A_B"};
        QTest::newRow("percent inside") << QStringLiteral("0%") << QStringList{"50% remise"};
        QTest::newRow("escape character") << QStringLiteral("!") << QStringList{"Oui!"};
        QTest::newRow("quote") << QStringLiteral("'") << QStringList{"L'Atelier"};
        QTest::newRow("backslash") << QStringLiteral("\\") << QStringList{"C:\\"};
        QTest::newRow("injection") << QStringLiteral("' or '1'='1") << QStringList{};
    }
    void searchesFindOnlyLiteralMatches()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QVERIFY(db().exec(QStringLiteral("delete from kp_societes")));
        for (const char *name : {"50% remise", "500 remise", "A_B", "AxB", "Oui!", "L'Atelier", "C:\\", "Autre"}) {
            Client c;
            c.name = QString::fromUtf8(name);
            QVERIFY(ClientStore::save(session(), &c));
        }
        ClientSearch::Filters filters;
        filters.criteria = {{ClientSearch::standardFields().value(0), ClientSearch::Match::Contains, typed}};
        QCOMPARE(filters.criteria.first().field.column, QStringLiteral("libsoc"));
        QList<ClientRow> rows;
        const Outcome found = ClientSearch(session().dialect()).run(db(), filters, QStringLiteral("clients"), rows);
        QVERIFY2(found, qPrintable(found.dbError()));
        QStringList names;
        for (const ClientRow &r : rows)
            names.append(r.label);
        QCOMPARE(names, expected);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_societes")), QStringLiteral("8"));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
