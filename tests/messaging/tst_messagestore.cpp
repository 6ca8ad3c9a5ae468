#include "MessagingFixture.h"

#include "core/SqlText.h"
#include "messaging/Mailbox.h"
#include "reports/ReportTable.h"

#include <QTest>

// Notes between two workstations: sending, the poll, receipts, replies,
// groups, deferred delivery, the purge and the mailbox.
class TestMessageStore : public QObject
{
    Q_OBJECT
private:
    MessagingFixture m_fx{QStringLiteral("messagestore")};
    Session *m_alice = nullptr;
    Session *m_bruno = nullptr;
    const QDateTime m_now{QDate(2026, 3, 12), QTime(10, 15)};

    qint64 send(Session &from, const OutgoingNote &note, const QDateTime &at)
    {
        qint64 number = 0;
        const Outcome sent = MessageStore::send(from, note, at, &number);
        if (!sent)
            qWarning("%s %s", qPrintable(sent.text()), qPrintable(sent.dbError()));
        return number;
    }
    QList<MailboxEntry> mailbox(Session &session)
    {
        QList<MailboxEntry> entries;
        const Outcome read = Mailbox::list(session, &entries);
        if (!read)
            qWarning("%s", qPrintable(read.dbError()));
        return entries;
    }

private slots:
    void initTestCase() { QUENZO_REQUIRE_BACKEND(); }
    void init()
    {
        QVERIFY(m_fx.reset());
        m_alice = &m_fx.desk(QStringLiteral("POSTE1"), QStringLiteral("Alice"));
        m_bruno = &m_fx.desk(QStringLiteral("POSTE2"), QStringLiteral("Bruno"));
    }

    void sendPollReceiptReply()
    {
        QVERIFY(MessagingFixture::addCompany(*m_alice, 12, QStringLiteral("Durand SA")));
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Réunion"), QStringLiteral("À 14 h\nsalle B"));
        n.client = 12;
        n.style = {0x00FF00, 0xFF0000, true, false, true};
        n.receipt = true;
        const qint64 number = send(*m_alice, n, m_now);
        QCOMPARE(number, 1);

        QList<Note> shown;
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now.addSecs(60), &shown), QStringList{"Réunion"});
        const Note &got = shown.first();
        QCOMPARE(got.sender, QStringLiteral("Alice"));
        QCOMPARE(got.sentDate, m_now.date());
        QCOMPARE(got.sentTime, QStringLiteral("10:15"));
        QCOMPARE(got.text, QStringLiteral("À 14 h\nsalle B"));
        QCOMPARE(got.client, 12);
        QCOMPARE(got.style, n.style);
        QVERIFY(got.receipt);
        // Seen, with the time it was shown.
        QCOMPARE(MessagingFixture::count(*m_bruno, QStringLiteral("archivedest = 1 and hrecep = '10:16'")), QStringLiteral("1"));
        QVERIFY(MessagingFixture::poll(*m_bruno, m_now.addSecs(120)).isEmpty());

        // The receipt comes back to Alice, asks for none itself and keeps the link.
        QList<Note> receipts;
        QCOMPARE(MessagingFixture::poll(*m_alice, m_now.addSecs(180), &receipts), QStringList{"Ref : Réunion"});
        const Note &receipt = receipts.first();
        QCOMPARE(receipt.sender, QStringLiteral("Bruno"));
        QCOMPARE(receipt.text, QStringLiteral("Votre correspondant a bien lu le message : \r\n\r\nÀ 14 h\nsalle B"));
        QVERIFY(!receipt.receipt);
        QCOMPARE(receipt.client, 12);
        QCOMPARE(receipt.style, NoteStyle());
        QVERIFY(MessagingFixture::poll(*m_bruno, m_now.addSecs(240)).isEmpty()); // no bounce

        // Bruno answers; the answer points at the message it answers.
        const OutgoingNote reply = MessageStore::replyTo(got);
        QCOMPARE(reply.users, QStringList{"Alice"});
        QCOMPARE(reply.title, QStringLiteral("Re : Réunion"));
        const qint64 answer = send(*m_bruno, reply, m_now.addSecs(300));
        QCOMPARE(answer, 3);
        QList<Note> answers;
        QCOMPARE(MessagingFixture::poll(*m_alice, m_now.addSecs(360), &answers), QStringList{"Re : Réunion"});
        QCOMPARE(answers.first().original, number);
        QCOMPARE(answers.first().client, 12);
        const OutgoingNote forward = MessageStore::forwardOf(answers.first());
        QCOMPARE(forward.original, answer);
        QVERIFY(forward.users.isEmpty());
    }

    void recipients_data()
    {
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QStringList>("expected"); // empty: refused, nothing written
        // Group 1: Bruno, Chloé; group 2: Chloé, David; group 3: nobody.
        QTest::newRow("group and one of its members") << QStringList{"Chloé"} << QList<int>{1} << QStringList{"Bruno", "Chloé"};
        QTest::newRow("two groups sharing a member") << QStringList{} << QList<int>{1, 2}
                                                     << QStringList{"Bruno", "Chloé", "David"};
        QTest::newRow("user and empty group") << QStringList{"Eve"} << QList<int>{3} << QStringList{"Eve"};
        QTest::newRow("empty group only") << QStringList{} << QList<int>{3} << QStringList{};
        QTest::newRow("nobody") << QStringList{} << QList<int>{} << QStringList{};
    }
    void recipients()
    {
        QFETCH(QStringList, users);
        QFETCH(QList<int>, groups);
        QFETCH(QStringList, expected);
        for (const auto &[user, group] : QList<QPair<QString, int>>{{"Bruno", 1}, {"Chloé", 1}, {"Chloé", 2}, {"David", 2}})
            QVERIFY(MessagingFixture::addMember(*m_alice, user, group));
        OutgoingNote n = MessagingFixture::note(users, QStringLiteral("Groupe"));
        n.groups = groups;
        qint64 number = 0;
        const Outcome sent = MessageStore::send(*m_alice, n, m_now, &number);
        if (expected.isEmpty()) {
            QVERIFY(!sent);
            QCOMPARE(sent.title(), QStringLiteral("Erreur"));
            QCOMPARE(sent.text(), QStringLiteral("Vous n'allez envoyer le message à personne !!!"));
            QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("0"));
            return;
        }
        QVERIFY(sent);
        QStringList got;
        for (const QString &code : column(*m_alice->database(), QStringLiteral("select utildest from kp_messages where noidmessage = %1").arg(number)))
            got.append(PasswordCodec::decode(code));
        got.sort();
        QCOMPARE(got, expected); // one row each, all under one number
    }

    void deferredDelivery()
    {
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Plus tard"));
        n.deliverAt = QDateTime(m_now.date(), QTime(14, 30));
        send(*m_alice, n, m_now);
        QCOMPARE(MessagingFixture::count(*m_alice, QStringLiteral("decale = 1 and hdest = '14:30'")), QStringLiteral("1"));
        QVERIFY(MessagingFixture::poll(*m_bruno, QDateTime(m_now.date(), QTime(14, 29, 59))).isEmpty());
        QCOMPARE(MessagingFixture::poll(*m_bruno, QDateTime(m_now.date(), QTime(14, 30, 20))), QStringList{"Plus tard"});
        QVERIFY(MessagingFixture::poll(*m_bruno, QDateTime(m_now.date(), QTime(14, 31))).isEmpty());
        // A date in the past: shown at once; tomorrow: not today.
        n.deliverAt = m_now.addDays(-3);
        n.title = QStringLiteral("Passé");
        send(*m_alice, n, m_now);
        n.deliverAt = m_now.addDays(1);
        n.title = QStringLiteral("Demain");
        send(*m_alice, n, m_now);
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now.addSecs(30)), QStringList{"Passé"});
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now.addDays(1)), QStringList{"Demain"});
    }

    void shownOnceOnTwoWorkstationsOfOneUser()
    {
        Session &brunoElsewhere = m_fx.desk(QStringLiteral("POSTE3"), QStringLiteral("Bruno"));
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Une fois"));
        n.receipt = true;
        send(*m_alice, n, m_now);
        // Both polls read the note before either marks it.
        QList<Note> here, there;
        QVERIFY(MessageStore::due(*m_bruno, m_now, &here));
        QVERIFY(MessageStore::due(brunoElsewhere, m_now, &there));
        QCOMPARE(here.size(), 1);
        QCOMPARE(there.size(), 1);
        bool mineHere = false, mineThere = true;
        QVERIFY(MessageStore::claim(*m_bruno, here.first(), m_now, &mineHere));
        QVERIFY(MessageStore::claim(brunoElsewhere, there.first(), m_now, &mineThere));
        QVERIFY(mineHere);
        QVERIFY(!mineThere);
        // One receipt only.
        QCOMPARE(MessagingFixture::count(*m_alice, QStringLiteral("utildest = '") + PasswordCodec::encode(QStringLiteral("Alice")) + QLatin1Char('\'')),
                 QStringLiteral("1"));
    }

    void purgeOnceBothSidesDeleted_data()
    {
        QTest::addColumn<bool>("keepCopy");
        QTest::addColumn<bool>("senderFirst");
        QTest::newRow("sender deletes, then recipient") << true << true;
        QTest::newRow("recipient deletes, then sender") << true << false;
        QTest::newRow("no copy kept") << false << false;
    }
    void purgeOnceBothSidesDeleted()
    {
        QFETCH(bool, keepCopy);
        QFETCH(bool, senderFirst);
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Purge"));
        n.keepCopy = keepCopy;
        send(*m_alice, n, m_now);
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now), QStringList{"Purge"});
        QCOMPARE(mailbox(*m_alice).size(), keepCopy ? 1 : 0);
        QCOMPARE(mailbox(*m_bruno).size(), 1);

        auto removeFrom = [&](Session &session) {
            const QList<MailboxEntry> entries = mailbox(session);
            QCOMPARE(entries.size(), 1);
            QVERIFY(Mailbox::remove(session, entries.first()));
        };
        if (keepCopy && senderFirst) {
            removeFrom(*m_alice);
            QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("1"));
            QCOMPARE(mailbox(*m_bruno).size(), 1); // still the recipient's
        }
        removeFrom(*m_bruno);
        if (keepCopy && !senderFirst) {
            QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("1"));
            QCOMPARE(mailbox(*m_alice).size(), 1);
            removeFrom(*m_alice);
        }
        QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("0"));
    }

    void noteDeletedFromItsWindowGoesAtTheNextPoll()
    {
        send(*m_alice, MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Fenêtre")), m_now);
        QList<Note> shown;
        MessagingFixture::poll(*m_bruno, m_now, &shown);
        QVERIFY(MessageStore::removeReceived(*m_bruno, shown.first().number));
        QVERIFY(mailbox(*m_bruno).isEmpty());
        const QList<MailboxEntry> sent = mailbox(*m_alice);
        QCOMPARE(sent.size(), 1);
        QVERIFY(Mailbox::remove(*m_alice, sent.first()));
        QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("0"));
    }

    void textsTravelByteExact_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << QStringLiteral("l'été d'O'Neil '' \"x\"");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Temp\\ \\' \\\\");
        QTest::newRow("emoji") << QStringLiteral("Bravo 🎉👍🏽 𝄞 日本");
        QTest::newRow("lines") << QStringLiteral("un\r\ndeux\n\ttrois\n");
        QTest::newRow("sql") << QStringLiteral("'); delete from kp_messages; --");
    }
    void textsTravelByteExact()
    {
        QFETCH(QString, text);
        send(*m_alice, MessagingFixture::note({QStringLiteral("Bruno")}, text, text), m_now);
        QList<Note> shown;
        MessagingFixture::poll(*m_bruno, m_now, &shown);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, text);
        QCOMPARE(shown.first().text, text);
        const QList<MailboxEntry> box = mailbox(*m_bruno);
        QCOMPARE(box.size(), 1);
        QCOMPARE(box.first().text, text);
    }

    void lengthLimits_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sent");
        const QString emoji = QStringLiteral("😀");
        QTest::newRow("title at its limit") << QString(255, QLatin1Char('t')) << QStringLiteral("x") << true;
        QTest::newRow("title of 255 emoji") << emoji.repeated(255) << QStringLiteral("x") << true;
        QTest::newRow("title too long") << QString(256, QLatin1Char('t')) << QStringLiteral("x") << false;
        QTest::newRow("text at its limit") << QStringLiteral("t") << QString(MessageStore::MaxTextBytes, QLatin1Char('a')) << true;
        QTest::newRow("emoji text at its limit") << QStringLiteral("t") << emoji.repeated(MessageStore::MaxTextBytes / 4) << true;
        QTest::newRow("text one byte too long") << QStringLiteral("t") << QString(MessageStore::MaxTextBytes - 1, QLatin1Char('a')) + QStringLiteral("é")
                                                << false;
    }
    void lengthLimits()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, sent);
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, title, text);
        n.receipt = true;
        const Outcome outcome = MessageStore::send(*m_alice, n, m_now);
        QCOMPARE(outcome.ok(), sent);
        if (!sent) {
            QCOMPARE(outcome.title(), QStringLiteral("Attention"));
            QVERIFY(outcome.dbError().isEmpty()); // refused before the database sees it
            QCOMPARE(MessagingFixture::count(*m_alice), QStringLiteral("0"));
            return;
        }
        QList<Note> shown;
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now, &shown).size(), 1);
        QCOMPARE(shown.first().title, title);
        QCOMPARE(shown.first().text, text);
        // The receipt quotes the text and is cut to fit, not refused by the server.
        QList<Note> receipts;
        QCOMPARE(MessagingFixture::poll(*m_alice, m_now, &receipts).size(), 1);
        QVERIFY(receipts.first().title.startsWith(QStringLiteral("Ref : ")));
        QVERIFY(receipts.first().text.toUtf8().size() <= MessageStore::MaxTextBytes);
        QVERIFY(receipts.first().text.startsWith(QStringLiteral("Votre correspondant a bien lu le message : ")));
    }

    void mailboxListsBothSides()
    {
        QVERIFY(MessagingFixture::addMember(*m_alice, QStringLiteral("Bruno"), 1));
        QVERIFY(MessagingFixture::addMember(*m_alice, QStringLiteral("Chloé"), 1));
        OutgoingNote n = MessagingFixture::note({}, QStringLiteral("À tous"));
        n.groups = {1};
        const qint64 toAll = send(*m_alice, n, m_now);
        send(*m_bruno, MessagingFixture::note({QStringLiteral("Alice")}, QStringLiteral("Pour Alice")), m_now.addSecs(60));
        MessagingFixture::poll(*m_bruno, m_now.addSecs(120));
        MessagingFixture::poll(*m_alice, m_now.addSecs(180));

        const QList<MailboxEntry> box = mailbox(*m_alice);
        QCOMPARE(box.size(), 2);
        // Newest first: the received one, read at 10:18, then the one sent at 10:15.
        QVERIFY(box.at(0).received);
        QCOMPARE(box.at(0).title, QStringLiteral("Pour Alice"));
        QCOMPARE(box.at(0).correspondent, QStringLiteral("Bruno"));
        QCOMPARE(box.at(0).time, QStringLiteral("10:18"));
        QVERIFY(!box.at(1).received);
        QCOMPARE(box.at(1).correspondent.split(QStringLiteral("; ")).size(), 2);

        // Who read the group message, and when.
        QList<MailboxDetail> lines;
        QVERIFY(Mailbox::detail(*m_alice, box.at(1), &lines));
        QCOMPARE(lines.size(), 2);
        for (const MailboxDetail &line : lines) {
            const bool bruno = line.user == QLatin1String("Bruno");
            QCOMPARE(line.readDate.isValid(), bruno);
            QCOMPARE(line.readTime, bruno ? QStringLiteral("10:17") : QString());
            QCOMPARE(line.sentTime, QStringLiteral("10:15"));
        }
        Note again;
        QVERIFY(Mailbox::read(*m_alice, box.at(1), &again));
        QCOMPARE(again.number, toAll);
        QCOMPARE(again.title, QStringLiteral("À tous"));

        const ReportTable table = Mailbox::report(box, QStringLiteral("Alice"));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.cell(1, 0), QStringLiteral("Reçu"));
        QCOMPARE(table.memo(2, 5), QStringLiteral("Bonjour"));
    }

    void pollReportsADatabaseFailure()
    {
        QVERIFY(MessagingFixture::exec(*m_alice, QStringLiteral("drop table kp_messages")));
        QList<Note> shown;
        const Outcome outcome = MessageStore::poll(*m_bruno, m_now, &shown);
        QVERIFY(!outcome);
        QVERIFY(!outcome.dbError().isEmpty());
        QVERIFY(shown.isEmpty()); // the next reset builds the schema again
    }
};

QTEST_GUILESS_MAIN(TestMessageStore)
#include "tst_messagestore.moc"
