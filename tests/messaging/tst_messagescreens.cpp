#include "MessagingFixture.h"

#include "core/Settings.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/DateField.h"
#include "messaging/Frm_BoiteLettres.h"
#include "messaging/Frm_Message.h"
#include "messaging/Frm_Note.h"
#include "messaging/NoteBoard.h"
#include "reports/ReportTable.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

// The send screen, the note windows and their board, the mailbox: driven as
// a person would, two users on two workstations.
class TestMessageScreens : public QObject
{
    Q_OBJECT
private:
    MessagingFixture m_fx{QStringLiteral("messagescreens")};
    ScriptedPrompter m_prompter;
    Session *m_alice = nullptr;
    Session *m_bruno = nullptr;
    const QDateTime m_now{QDate(2026, 3, 12), QTime(10, 15)};

    // A send screen whose chooser picks `picks` in turn (user codes, or "#n" for group n).
    std::unique_ptr<Frm_Message> sendScreen(const QStringList &picks, const OutgoingNote &preset = {})
    {
        auto screen = std::make_unique<Frm_Message>(*m_alice, m_prompter, preset);
        auto queue = std::make_shared<QStringList>(picks);
        screen->setChooser([queue](const ListRequest &) {
            ListAnswer answer;
            if (queue->isEmpty())
                return answer;
            const QString pick = queue->takeFirst();
            answer.chosen = true;
            const bool group = pick.startsWith(QLatin1Char('#'));
            answer.texts = {group ? QStringLiteral("GROUPE") : QStringLiteral("UTILISATEUR"), pick,
                            group ? pick.mid(1) : PasswordCodec::encode(pick)};
            return answer;
        });
        return screen;
    }
    void sendNote(const QString &title, const NoteStyle &style, const QString &text = QStringLiteral("Bonjour"))
    {
        OutgoingNote n = MessagingFixture::note({QStringLiteral("Bruno")}, title, text);
        n.style = style;
        QVERIFY(MessageStore::send(*m_alice, n, m_now));
    }
    // The whole screen under a real display; nothing under the offscreen platform.
    static void saveScreen(const QString &name)
    {
        const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (folder.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;
        QTest::qWait(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

private slots:
    void initTestCase() { QUENZO_REQUIRE_BACKEND(); }
    void init()
    {
        QVERIFY(m_fx.reset());
        m_prompter.clear();
        m_alice = &m_fx.desk(QStringLiteral("POSTE1"), QStringLiteral("Alice"));
        m_bruno = &m_fx.desk(QStringLiteral("POSTE2"), QStringLiteral("Bruno"));
        m_alice->settings().remove(QStringLiteral("Message"));
        for (const QString &user : {QStringLiteral("Alice"), QStringLiteral("Bruno")})
            QVERIFY(MessagingFixture::addUser(*m_alice, user));
        QVERIFY(MessagingFixture::addCompany(*m_alice, 12, QStringLiteral("Durand SA")));
    }

    void sendScreenWritesTheNoteAndRemembersItsLook()
    {
        auto screen = sendScreen({QStringLiteral("Bruno")});
        QCOMPARE(screen->clientList()->itemText(0), QStringLiteral("Sans lien avec un Client"));
        QVERIFY(screen->keepBox()->isChecked()); // a copy is kept unless said otherwise
        screen->addRecipient();
        QCOMPARE(screen->recipientList()->count(), 1);
        QTest::keyClicks(screen->titleEdit(), QStringLiteral("Reunion d'equipe"));
        QTest::keyClicks(screen->textEdit(), QStringLiteral("Salle \"B\" \\ 14 h"));
        screen->textEdit()->insertPlainText(QStringLiteral(" 🎉"));
        screen->clientList()->setCurrentIndex(screen->clientList()->findText(QStringLiteral("Durand SA")));
        QVERIFY(screen->contactList()->isEnabled());
        screen->backgroundSwatch()->setValue(0x00FFFF);
        screen->boldBox()->setChecked(true);
        screen->blinkBox()->setChecked(true);
        screen->receiptBox()->setChecked(true);
        saveScreenshot(*screen, QStringLiteral("frm_message"));
        QVERIFY(screen->send(m_now));
        QVERIFY(m_prompter.shown().isEmpty());

        QList<Note> shown;
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now, &shown), QStringList{"Reunion d'equipe"});
        QCOMPARE(shown.first().text, QStringLiteral("Salle \"B\" \\ 14 h 🎉"));
        QCOMPARE(shown.first().client, 12);
        QCOMPARE(shown.first().style, (NoteStyle{0x00FFFF, 0, true, false, true}));
        QVERIFY(shown.first().receipt);
        // The next message starts with the same look and options.
        Settings &s = m_alice->settings();
        QCOMPARE(s.read(QStringLiteral("Message"), QStringLiteral("PicFond")), QString::number(0x00FFFF));
        QCOMPARE(s.read(QStringLiteral("Message"), QStringLiteral("Gras")), QStringLiteral("1"));
        QCOMPARE(s.read(QStringLiteral("Message"), QStringLiteral("Accuse")), QStringLiteral("1"));
        auto next = sendScreen({});
        QVERIFY(next->blinkBox()->isChecked());
        QCOMPARE(next->backgroundSwatch()->value(), 0x00FFFF);
    }

    void sendScreenChecks_data()
    {
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("sent");
        const QString noTitle = QStringLiteral("Vous n'avez pas indiqué de titre\nEnvoyer quand même ?");
        const QString noText = QStringLiteral("Vous n'avez pas indiqué de message\nEnvoyer quand même ?");
        const QString nobody = QStringLiteral("Vous n'allez envoyer le message à personne !!!");
        QTest::newRow("no recipient") << QStringList{} << "t" << "x" << QList<bool>{} << QStringList{nobody} << false;
        QTest::newRow("a group without members") << QStringList{"#3"} << "t" << "x" << QList<bool>{} << QStringList{nobody} << false;
        QTest::newRow("no title, kept back") << QStringList{"Bruno"} << "" << "x" << QList<bool>{false} << QStringList{noTitle} << false;
        QTest::newRow("no title nor text, sent anyway") << QStringList{"Bruno"} << "" << "  " << QList<bool>{true, true}
                                                        << QStringList{noTitle, noText} << true;
        QTest::newRow("text too long") << QStringList{"Bruno"} << "t" << QString(MessageStore::MaxTextBytes + 1, QLatin1Char('a'))
                                       << QList<bool>{} << QStringList{"*"} << false;
    }
    void sendScreenChecks()
    {
        QFETCH(QStringList, picks);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        QFETCH(bool, sent);
        auto screen = sendScreen(picks);
        for (int i = 0; i < picks.size(); ++i)
            screen->addRecipient();
        screen->titleEdit()->setText(title);
        screen->textEdit()->setPlainText(text);
        for (bool a : answers)
            m_prompter.answer({a});
        QCOMPARE(screen->send(m_now), sent);
        QCOMPARE(m_prompter.shown().size(), shown.size());
        if (shown != QStringList{"*"})
            QCOMPARE(m_prompter.texts(), shown);
        QCOMPARE(MessagingFixture::count(*m_alice), sent ? QStringLiteral("1") : QStringLiteral("0"));
        if (!sent) // nothing typed is lost
            QCOMPARE(screen->textEdit()->toPlainText(), text);
    }

    void deferredSendingNeedsADate()
    {
        auto screen = sendScreen({QStringLiteral("Bruno")});
        screen->addRecipient();
        screen->titleEdit()->setText(QStringLiteral("Plus tard"));
        screen->textEdit()->setPlainText(QStringLiteral("Demain matin"));
        screen->deferBox()->setChecked(true);
        screen->deferDate()->clear();
        QVERIFY(!screen->send(m_now));
        QCOMPARE(m_prompter.texts(), QStringList{"Indiquez la date de l'envoi différé"});
        screen->deferDate()->setDate(m_now.date().addDays(1));
        QVERIFY(screen->send(m_now));
        QVERIFY(MessagingFixture::poll(*m_bruno, m_now.addSecs(3600)).isEmpty());
        QCOMPARE(MessagingFixture::poll(*m_bruno, m_now.addDays(2)).size(), 1);
    }

    void noUserToChoose()
    {
        QVERIFY(MessagingFixture::exec(*m_alice, QStringLiteral("delete from kp_utilisateurs")));
        auto screen = sendScreen({QStringLiteral("Bruno")});
        screen->addRecipient();
        QCOMPARE(screen->recipientList()->count(), 0);
        QCOMPARE(m_prompter.texts(), QStringList{"Aucun utilisateur défini"});
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Incomplet"));
    }

    void place_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
        // A 1000 x 700 area; notes of 300 x 200 with 8 between them: 3 rows, 3 columns.
        QTest::newRow("first, top right") << 0 << QRect(700, 0, 300, 200);
        QTest::newRow("second, below") << 1 << QRect(700, 208, 300, 200);
        QTest::newRow("fourth, next column") << 3 << QRect(392, 0, 300, 200);
        QTest::newRow("tenth, shifted over the first") << 9 << QRect(676, 24, 300, 200);
    }
    void place()
    {
        QFETCH(int, index);
        QFETCH(QRect, expected);
        QCOMPARE(NoteBoard::place(index, QRect(0, 0, 1000, 700), QSize(300, 200)), expected);
    }

    void notesPopUpOnceEachWithoutCoveringOneAnother()
    {
        sendNote(QStringLiteral("Rappel"), NoteStyle());
        sendNote(QStringLiteral("Urgent"), {0x0000FF, 0xFFFFFF, true, false, true}, QStringLiteral("Le client rappelle à 15 h !"));
        sendNote(QStringLiteral("Pour info"), {0xF0D0A0, 0x800000, false, true, false},
                 QStringLiteral("Le <b>dossier</b> Durand est prêt.\nBonne journée"));
        NoteBoard board(*m_bruno, m_prompter);
        QVERIFY(board.waitingText().isEmpty());
        board.poll(m_now);
        QList<Frm_Note *> notes = board.notes();
        QCOMPARE(notes.size(), 3);
        QCOMPARE(board.waitingText(), QStringLiteral("Quenzo - 3 messages en attente"));
        for (int i = 0; i < notes.size(); ++i)
            for (int j = i + 1; j < notes.size(); ++j)
                QVERIFY(!notes.at(i)->frameGeometry().intersects(notes.at(j)->frameGeometry()));
        Frm_Note *urgent = notes.at(1);
        QCOMPARE(urgent->note().title, QStringLiteral("Urgent"));
        QVERIFY(urgent->isBlinking());
        QVERIFY(!notes.at(0)->isBlinking());
        QCOMPARE(urgent->shownBackground(), QColor(255, 0, 0));
        urgent->blink();
        QCOMPARE(urgent->shownBackground(), QColor(255, 255, 255));
        urgent->blink();
        QVERIFY(urgent->textView()->font().bold());
        QVERIFY(notes.at(2)->textView()->font().italic());
        QCOMPARE(notes.at(2)->textView()->toPlainText(), QStringLiteral("Le <b>dossier</b> Durand est prêt.\nBonne journée"));
        QVERIFY(notes.at(2)->windowFlags() & Qt::WindowStaysOnTopHint);
        saveScreen(QStringLiteral("notes-three-styles"));
        for (int i = 0; i < notes.size(); ++i)
            saveScreenshot(*notes.at(i), QStringLiteral("frm_note-%1").arg(i + 1));

        // Nothing new, and nothing on Bruno's other workstation.
        board.poll(m_now.addSecs(30));
        QCOMPARE(board.notes().size(), 3);
        Session &brunoElsewhere = m_fx.desk(QStringLiteral("POSTE3"), QStringLiteral("Bruno"));
        NoteBoard other(brunoElsewhere, m_prompter);
        other.poll(m_now.addSecs(30));
        QVERIFY(other.notes().isEmpty());

        // A closed note frees its place for the next one.
        QPointer<Frm_Note> first = notes.at(0);
        QTest::keyClick(first->closeButton(), Qt::Key_Escape);
        QTRY_VERIFY(!first);
        QCOMPARE(board.waitingText(), QStringLiteral("Quenzo - 2 messages en attente"));
        sendNote(QStringLiteral("Encore"), NoteStyle());
        board.poll(m_now.addSecs(60));
        QCOMPARE(board.placeOf(board.notes().last()), 0);
        notes = board.notes();
        for (int i = 0; i + 1 < notes.size(); ++i)
            QVERIFY(!notes.last()->frameGeometry().intersects(notes.at(i)->frameGeometry()));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void noteButtons()
    {
        sendNote(QStringLiteral("Sans lien"), NoteStyle());
        OutgoingNote linked = MessagingFixture::note({QStringLiteral("Bruno")}, QStringLiteral("Lié"));
        linked.client = 12;
        QVERIFY(MessageStore::send(*m_alice, linked, m_now));
        NoteBoard board(*m_bruno, m_prompter);
        board.poll(m_now);
        QCOMPARE(board.notes().size(), 2);
        Frm_Note *plain = board.notes().at(0);
        Frm_Note *withClient = board.notes().at(1);

        plain->clientButton()->click();
        QCOMPARE(m_prompter.texts(), QStringList{"Pas de Client correspondant"});
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Désolé"));
        qint64 opened = 0;
        withClient->setClientOpener([&](qint64 client, bool individual) { opened = individual ? -client : client; });
        withClient->clientButton()->click();
        QCOMPARE(opened, 12);

        OutgoingNote answer;
        withClient->setComposer([&](const OutgoingNote &preset) { answer = preset; });
        withClient->replyButton()->click();
        QCOMPARE(answer.users, QStringList{"Alice"});
        QCOMPARE(answer.client, 12);
        QCOMPARE(answer.original, withClient->note().number);
        // The send screen opens addressed to the sender, with the user's label.
        auto screen = sendScreen({}, answer);
        QCOMPARE(screen->recipientList()->count(), 1);
        QCOMPARE(screen->recipientList()->item(0)->text(), QStringLiteral("Alice"));
        QCOMPARE(screen->clientList()->currentText(), QStringLiteral("Durand SA"));
        QCOMPARE(screen->titleEdit()->text(), QStringLiteral("Re : Lié"));

        QPointer<Frm_Note> gone = plain;
        plain->deleteButton()->click();
        QTRY_VERIFY(!gone);
        QCOMPARE(MessagingFixture::count(*m_bruno, QStringLiteral("suppdest = 1")), QStringLiteral("1"));
    }

    void aFailingPollSaysSoOnceThenRetriesQuietly()
    {
        NoteBoard board(*m_bruno, m_prompter);
        auto rename = [&](const QString &from, const QString &to) {
            QVERIFY(MessagingFixture::exec(*m_alice, QStringLiteral("alter table %1 rename to %2").arg(from, to)));
        };
        rename(QStringLiteral("kp_messages"), QStringLiteral("kp_messages_hs"));
        for (int tick = 0; tick < 3; ++tick)
            board.poll(m_now.addSecs(30 * tick));
        QCOMPARE(m_prompter.shown().size(), 2); // the database's text, then ours, once
        QCOMPARE(m_prompter.shown().last().text, QStringLiteral("Erreur lors de la suppression des messages"));

        // Back to normal: the poll goes on and shows what came meanwhile.
        rename(QStringLiteral("kp_messages_hs"), QStringLiteral("kp_messages"));
        sendNote(QStringLiteral("Après la panne"), NoteStyle());
        board.poll(m_now.addSecs(120));
        QCOMPARE(board.notes().size(), 1);
        QCOMPARE(m_prompter.shown().size(), 2);
        // A new failure is told again, once.
        rename(QStringLiteral("kp_messages"), QStringLiteral("kp_messages_hs"));
        board.poll(m_now.addSecs(150));
        board.poll(m_now.addSecs(180));
        QCOMPARE(m_prompter.shown().size(), 4);
        rename(QStringLiteral("kp_messages_hs"), QStringLiteral("kp_messages"));
    }

    void mailboxScreen()
    {
        QVERIFY(MessagingFixture::addMember(*m_alice, QStringLiteral("Bruno"), 1));
        QVERIFY(MessagingFixture::addMember(*m_alice, QStringLiteral("Chloé"), 1));
        OutgoingNote toGroup = MessagingFixture::note({}, QStringLiteral("Planning de mars"), QStringLiteral("Voir le tableau."));
        toGroup.groups = {1};
        QVERIFY(MessageStore::send(*m_alice, toGroup, m_now));
        QVERIFY(MessageStore::send(*m_bruno, MessagingFixture::note({QStringLiteral("Alice")}, QStringLiteral("Question"),
                                                                    QStringLiteral("Qui prend l'astreinte ?")),
                                   m_now.addSecs(60)));
        MessagingFixture::poll(*m_bruno, m_now.addSecs(120));
        MessagingFixture::poll(*m_alice, m_now.addSecs(180));

        Frm_BoiteLettres box(*m_alice, m_prompter);
        QCOMPARE(box.windowTitle(), QStringLiteral("Boite aux Lettres - Utilisateur : Alice"));
        QCOMPARE(box.count(), 2);
        QVERIFY(box.entryAt(0)->received); // newest first
        QCOMPARE(box.textView()->toPlainText(), QStringLiteral("Qui prend l'astreinte ?"));
        QVERIFY(box.replyButton()->isEnabled());
        box.select(1);
        QCOMPARE(box.current()->correspondent, QStringLiteral("Bruno; Chloé"));
        QCOMPARE(box.detailList()->topLevelItemCount(), 2);
        QCOMPARE(box.detailList()->topLevelItem(1)->text(2), QStringLiteral("Non lu"));
        QVERIFY(!box.replyButton()->isEnabled()); // one's own message
        saveScreenshot(box, QStringLiteral("frm_boitelettres"));
        saveScreen(QStringLiteral("mailbox"));

        QPointer<Frm_Note> again = box.readAgain();
        QVERIFY(again);
        QCOMPARE(again->note().title, QStringLiteral("Planning de mars"));
        QVERIFY(again->deleteButton()->isHidden());
        delete again.data();

        OutgoingNote forwarded;
        box.setComposer([&](const OutgoingNote &preset) { forwarded = preset; });
        box.forward();
        QCOMPARE(forwarded.title, QStringLiteral("Tr : Planning de mars"));
        QCOMPARE(forwarded.text, QStringLiteral("Voir le tableau."));

        ReportTable printed;
        box.setPreviewer([&](const ReportTable &table) { printed = table; });
        box.print();
        QCOMPARE(printed.rowCount(), 3);

        // Deleting asks first; "no" keeps it.
        m_prompter.answer({false});
        box.removeCurrent();
        QCOMPARE(box.count(), 2);
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Continuer"));
        QCOMPARE(m_prompter.shown().last().text, QStringLiteral("Attention vous allez supprimer le message sélectionné\nContinuer ?"));
        m_prompter.answer({true});
        box.removeCurrent();
        QCOMPARE(box.count(), 1);
        // Still Bruno's and Chloé's until they delete it too.
        QCOMPARE(MessagingFixture::count(*m_alice, QStringLiteral("noidmessage = 1")), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestMessageScreens)
#include "tst_messagescreens.moc"
