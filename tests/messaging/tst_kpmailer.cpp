#include "messaging/KpMailer.h"
#include "support/SmtpSink.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// E-mail: the "MAILTO:" address, and real sends to a loopback SMTP server.
class TestKpMailer : public QObject
{
    Q_OBJECT
private:
    static KpMailer mailer(int port)
    {
        KpMailer m;
        m.SMTPServer = QStringLiteral("127.0.0.1");
        m.SMTPServerPort = port;
        m.MailFROM = QStringLiteral("planning@quenzo.test");
        m.MailTo = QStringLiteral("durand@client.test; ;martin@client.test");
        m.MailSubject = QStringLiteral("Intervention du 07/12 – chaudière");
        m.MailBody = QStringLiteral("Bonjour,\nl'intervention d'O'Neil est confirmée. Ελληνικά \\ fin");
        m.UseHTMLFormat = false;
        return m;
    }

private slots:
    void mailto_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank in subject") << "a@b.fr" << "" << "Le sujet" << "" << "MAILTO:a@b.fr?Subject=Le%20sujet";
        QTest::newRow("crlf in body") << "a@b.fr" << "" << "S" << "l1\r\nl2" << "MAILTO:a@b.fr?Subject=S&Body=l1%0D%0Al2";
        QTest::newRow("empty parts") << "a@b.fr;;  ;c@d.fr" << "" << "" << "" << "MAILTO:a@b.fr; c@d.fr";
        QTest::newRow("body without subject") << "a@b.fr" << "" << "" << "x" << "MAILTO:a@b.fr?Body=x";
        QTest::newRow("copies") << "a@b.fr" << "c@d.fr" << "" << "" << "MAILTO:a@b.fr;&CC=c@d.fr";
        QTest::newRow("accents as UTF-8 bytes") << "a@b.fr" << "" << "été" << "" << "MAILTO:a@b.fr?Subject=%C3%A9t%C3%A9";
        QTest::newRow("no recipient") << "" << "" << "S" << "B" << "";
    }
    void mailto()
    {
        QFETCH(QString, to);
        QFETCH(QString, cc);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, expected);
        QCOMPARE(mailtoAddress(to, cc, QString(), subject, body), expected);
    }

    void sendsTextWithAttachmentAndReceipt()
    {
        SmtpSink sink;
        QVERIFY(sink.start());
        QTemporaryDir files;
        QFile attachment(files.filePath(QStringLiteral("devis n°12.txt")));
        QVERIFY(attachment.open(QIODevice::WriteOnly));
        attachment.write("Devis : 1 250,00 EUR\n");
        attachment.close();

        KpMailer m = mailer(sink.port);
        m.AccuseRecep = true;
        m.AddAttachment(attachment.fileName());
        const Outcome sent = m.Send();
        QVERIFY2(sent, qPrintable(sent.text()));
        const QByteArray envelope = sink.envelope();
        QVERIFY(envelope.contains("FROM planning@quenzo.test"));
        QVERIFY(envelope.contains("TO durand@client.test"));
        QVERIFY(envelope.contains("TO martin@client.test"));
        const QByteArray message = sink.message();
        QVERIFY(message.contains("Return-Receipt-To: <planning@quenzo.test>"));
        QVERIFY(message.contains("Subject: =?UTF-8?B?"));
        QVERIFY(message.contains(QByteArray("Intervention du 07/12 – chaudière").toBase64()));
        QVERIFY(message.contains("text/plain; charset=UTF-8"));
        QVERIFY(message.contains("filename=\"devis n°12.txt\"") || message.contains("devis"));
        QVERIFY(message.contains(QByteArray("Devis : 1 250,00 EUR\n").toBase64()));
        QVERIFY(message.contains("confirm=C3=A9e")); // the body, quoted-printable
    }

    void authenticatesOnlyWhenAsked()
    {
        SmtpSink sink;
        QVERIFY(sink.start(QStringLiteral("quenzo:s3cret")));
        KpMailer m = mailer(sink.port);
        QVERIFY(!m.Send()); // the server wants a login
        m.SMTPAuthMode = 1;
        m.SMTPSendUsername = QStringLiteral("quenzo");
        m.SMTPSendPassword = QStringLiteral("faux");
        const Outcome refused = m.Send();
        QCOMPARE(refused.title(), QStringLiteral("Erreur"));
        m.SMTPSendPassword = QStringLiteral("s3cret");
        const Outcome sent = m.Send();
        QVERIFY2(sent, qPrintable(sent.text()));
        QVERIFY(sink.envelope().contains("AUTH True"));
        QVERIFY(sink.message().contains("text/plain"));

        // Without authentication asked, no login goes to an open server.
        SmtpSink open;
        QVERIFY(open.start());
        KpMailer plain = mailer(open.port);
        plain.SMTPSendUsername = QStringLiteral("quenzo");
        plain.SMTPSendPassword = QStringLiteral("s3cret");
        QVERIFY(plain.Send());
        QVERIFY(!open.envelope().contains("AUTH True"));
    }

    void unreachableServer()
    {
        KpMailer m = mailer(1);
        const Outcome failed = m.Send();
        QVERIFY(!failed);
        QCOMPARE(failed.title(), QStringLiteral("Erreur"));
        QVERIFY(failed.text().startsWith(QStringLiteral("Le message n'a pas pu être envoyé : ")));
        KpMailer nobody = mailer(25);
        nobody.MailTo = QStringLiteral(" ; ");
        QCOMPARE(nobody.Send().text(), QStringLiteral("Vous devez entrer l'adresse d'un destinataire !"));
    }
};

QTEST_GUILESS_MAIN(TestKpMailer)
#include "tst_kpmailer.moc"
