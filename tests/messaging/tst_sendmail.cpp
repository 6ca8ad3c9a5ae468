#include "core/PasswordCodec.h"
#include "messaging/Frm_EnvoiMailClient.h"
#include "messaging/Frm_SendMail.h"
#include "support/TestDatabase.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"

#include "core/Session.h"
#include "core/Settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

// The message window in both sending modes.
class TestSendMail : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Session> m_session;
    ScriptedPrompter m_prompter;

private slots:
    void init()
    {
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("Quenzo.ini")));
        m_settings->remove(QStringLiteral("Mail"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("MailFROM"), QStringLiteral("planning@quenzo.test"));
        m_session = std::make_unique<Session>(*m_settings);
        m_prompter.clear();
    }

    void mailProgramGetsTheAddress()
    {
        Frm_SendMail window(*m_session, m_prompter, QStringLiteral("/"));
        QString opened;
        window.setUrlOpener([&opened](const QString &url) {
            opened = url;
            return true;
        });
        QVERIFY(!window.send());
        QCOMPARE(m_prompter.texts(), QStringList{"Vous devez entrer l'adresse d'un destinataire !"});
        window.TxtDest()->setText(QStringLiteral("a@b.fr;;c@d.fr"));
        window.TxtSujet()->setText(QStringLiteral("RDV"));
        window.txtMailBody()->setPlainText(QStringLiteral("Bonjour"));
        QVERIFY(window.send());
        QCOMPARE(opened, QStringLiteral("MAILTO:a@b.fr; c@d.fr?Subject=RDV&Body=Bonjour"));
        QCOMPARE(window.result(), int(QDialog::Rejected)); // still open
        QCOMPARE(window.TxtEmett()->text(), QStringLiteral("planning@quenzo.test"));
    }

    void directSmtp()
    {
        SmtpSink sink;
        QVERIFY(sink.start(QStringLiteral("quenzo:s3cret")));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("TypeMess"), QStringLiteral("1"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("ServSMTP"), QStringLiteral("127.0.0.1"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("PortSMTP"), QString::number(sink.port));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("AuthSMTP"), QStringLiteral("1"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("UtilSMTP"), QStringLiteral("quenzo"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("PasseSMTP"), PasswordCodec::encode(QStringLiteral("s3cret")));
        {
            Frm_SendMail window(*m_session, m_prompter, QStringLiteral("durand@client.test"));
            window.TxtSujet()->setText(QStringLiteral("Confirmation"));
            window.txtMailBody()->setPlainText(QStringLiteral("<p>Rendez-vous confirmé</p>"));
            window.chkHTMLFormat()->setChecked(true);
            window.ChkRecep()->setChecked(true);
            saveScreenshot(window, QStringLiteral("sendmail"));
            QVERIFY(window.send());
            QCOMPARE(m_prompter.texts(), QStringList{"Le message a été envoyé."});
            QCOMPARE(window.result(), int(QDialog::Accepted));
        }
        QVERIFY(sink.message().contains("text/html"));
        QVERIFY(sink.message().contains("Return-Receipt-To"));
        // The two boxes are remembered.
        QCOMPARE(m_settings->read(QStringLiteral("Mail"), QStringLiteral("HTML")), QStringLiteral("1"));
        QCOMPARE(m_settings->read(QStringLiteral("Mail"), QStringLiteral("Recep")), QStringLiteral("1"));
    }

    void clientAddressesInListOrder()
    {
        TestDatabase db(QStringLiteral("envoimailclient"));
        QVERIFY(db.makeReady());
        Workstation ws(db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        const QString insert = QStringLiteral(
            "insert into kp_societes (noidsoc,typesoc,libsoc,groupesoc,secteursoc,sexecont,prenomcont,nomcont,dtnaisscont,"
            "adrsoc,adrcompsoc,cpsoc,villesoc,payssoc,etatsoc,telsoc,mobsoc,faxsoc,mailsoc,websoc,commentsoc,dtsaisie,"
            "ordisaisie,dtmodif,ordimodif,coulfond,coultexte) values (%1,%2,'%3','/','/',0,'%4','%5','1900-01-01','/','/',"
            "'/','/','/','/','/','/','/','%6','/','','1900-01-01','P','1900-01-01','P',0,0)");
        QVERIFY(ws.db().exec(insert.arg(1).arg(0).arg(QStringLiteral("Durand SA"), QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("contact@durand.test"))));
        QVERIFY(ws.db().exec(insert.arg(2).arg(1).arg(QStringLiteral("/"), QStringLiteral("Anne"), QStringLiteral("Roy"), QStringLiteral("anne@roy.test"))));
        QVERIFY(ws.db().exec(insert.arg(3).arg(0).arg(QStringLiteral("Sans adresse"), QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("/"))));
        Frm_EnvoiMailClient chooser(ws.session(), m_prompter);
        QCOMPARE(chooser.clientList()->topLevelItemCount(), 2);
        for (int i = 0; i < 2; ++i)
            chooser.clientList()->topLevelItem(i)->setSelected(true);
        QCOMPARE(chooser.recipients(), QStringLiteral("anne@roy.test ;contact@durand.test"));
    }

    void unreachableServerKeepsTheWindow()
    {
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("TypeMess"), QStringLiteral("1"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("ServSMTP"), QStringLiteral("127.0.0.1"));
        m_settings->write(QStringLiteral("Mail"), QStringLiteral("PortSMTP"), QStringLiteral("1"));
        Frm_SendMail window(*m_session, m_prompter, QStringLiteral("durand@client.test"));
        window.txtMailBody()->setPlainText(QStringLiteral("Texte précieux"));
        QVERIFY(!window.send());
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Erreur"));
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(window.txtMailBody()->toPlainText(), QStringLiteral("Texte précieux"));
    }
};

QTEST_MAIN(TestSendMail)
#include "tst_sendmail.moc"
