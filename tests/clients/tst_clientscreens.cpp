#include "core/PasswordCodec.h"
#include "clients/ClientRules.h"
#include "clients/GesParticuliers.h"
#include "clients/GesSocietes.h"
#include "clients/SubRecordPanel.h"
#include "core/RecordLocks.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/DateField.h"
#include "reports/ReportTable.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

// The company and individual screens, driven as a user would, on both back ends.
class TestClientScreens : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }
    QString count(const QString &tableAndCondition) { return scalar(db(), QStringLiteral("select count(*) from ") + tableAndCondition); }

    static std::unique_ptr<ClientScreen> open(Session &session, Prompter &prompter, int type, qint64 number)
    {
        if (type == Client::Individual)
            return std::make_unique<GesParticuliers>(session, prompter, number);
        return std::make_unique<GesSocietes>(session, prompter, number);
    }
    static void name(ClientScreen &screen, const QString &text)
    {
        if (auto *company = qobject_cast<GesSocietes *>(&screen))
            company->nameField()->setText(text);
        else
            static_cast<GesParticuliers &>(screen).surnameField()->setText(text);
    }
    static SubRecordPanel *panel(ClientScreen &screen, const QString &kind)
    {
        if (kind == QLatin1String("contacts"))
            return static_cast<GesSocietes &>(screen).contactPanel();
        if (kind == QLatin1String("dependents"))
            return static_cast<GesParticuliers &>(screen).dependentPanel();
        if (kind == QLatin1String("contracts"))
            return screen.contracts();
        if (kind == QLatin1String("documents"))
            return screen.documents();
        return kind == QLatin1String("memos") ? screen.memos() : screen.dataRows();
    }
    // Fills the entry of a panel, column by column, as typed or picked.
    static void fill(SubRecordPanel *panel, const QVariantMap &values)
    {
        panel->clearEntry();
        for (auto it = values.begin(); it != values.end(); ++it) {
            QWidget *w = panel->field(it.key());
            QVERIFY2(w, qPrintable(it.key()));
            if (auto *date = qobject_cast<DateField *>(w))
                date->setDate(it.value().toDate());
            else if (auto *line = qobject_cast<QLineEdit *>(w))
                line->setText(it.value().toString());
            else if (auto *text = qobject_cast<QPlainTextEdit *>(w))
                text->setPlainText(it.value().toString());
            else if (auto *combo = qobject_cast<QComboBox *>(w))
                combo->setCurrentIndex(combo->findData(it.value().toString()));
        }
    }
    static QVariantMap validRow(const QString &kind, const QString &text)
    {
        if (kind == QLatin1String("contacts"))
            return {{"nomcont", text}};
        if (kind == QLatin1String("dependents"))
            return {{"nomayant", text}, {"codeparente", "ENF"}};
        if (kind == QLatin1String("contracts"))
            return {{"codecontrat", "AN"}, {"refinterne", text}};
        if (kind == QLatin1String("documents"))
            return {{"codetypedoc", "DEV"}, {"datedoc", QDate(2026, 1, 5)}, {"commentaire", text}};
        if (kind == QLatin1String("memos"))
            return {{"codememo", "ENT"}, {"datememo", QDate(2026, 1, 5)}, {"titrememo", text}};
        return {{"ch1", text}, {"ch7", "M1"}};
    }
    static QStringList texts(const QTreeWidget *list, int column)
    {
        QStringList t;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            t.append(list->topLevelItem(i)->text(column));
        return t;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("clientscreens"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        m_prompter.clear();
        for (const char *sql : {"insert into kp_contrats (code,libelle,duree) values ('AN','Annuel',7)",
                                "insert into kp_contrats (code,libelle,duree) values ('LIB','Libre',0)",
                                "insert into kp_typememo (code,libelle) values ('ENT','Entretien')",
                                "insert into kp_typedoc (code,libelle) values ('DEV','Devis')",
                                "insert into kp_fonctions (code,libelle) values ('DIR','Directeur')",
                                "insert into kp_services (code,libelle) values ('COM','Commercial')",
                                "insert into kp_parentes (code,libelle) values ('ENF','Enfant')",
                                "insert into kp_secteurs (code,libelle) values ('IND','Industrie')",
                                "insert into kp_libre1 (code,libelle) values ('A','Alpha')",
                                "insert into kp_tabledonne1 (code,libelle) values ('M1','Modèle 1')",
                                "insert into kp_zones (noidzone,libzone,coulfond,coultexte) values (1,'Nord',255,16777215)"})
            QVERIFY(db().exec(QString::fromUtf8(sql)));
    }

    void contactOnNewCompanySavesItFirst()
    {
        GesSocietes screen(session(), m_prompter, 0);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Société - CREATION"));
        QVERIFY(!screen.historyButton()->isEnabled());
        screen.nameField()->setText(QStringLiteral("Atelier"));
        fill(screen.contactPanel(), {{"nomcont", "Martin"}, {"fonctioncont", "DIR"}, {"civilitecont", 1}});
        qobject_cast<QComboBox *>(screen.contactPanel()->field(QStringLiteral("civilitecont")))->setCurrentIndex(1);
        screen.contactPanel()->save();
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(column(db(), QStringLiteral("select libsoc from kp_societes where noidsoc = 1 and typesoc = 0")), QStringList{"Atelier"});
        QCOMPARE(column(db(), QStringLiteral("select idcontact from kp_contactsoc where noidsoc = 1 and civilitecont = 1")),
                 QStringList{"1"});
        QCOMPARE(texts(screen.contactPanel()->list(), 2), QStringList{"Directeur"});
        QCOMPARE(screen.windowTitle(), QStringLiteral("Société - MODIFICATION"));
        QVERIFY(screen.historyButton()->isEnabled());
        QCOMPARE(count(QStringLiteral("kp_verrou where typeverrou = 1 and noid = 1 and nomordi = 'POSTE1'")), QStringLiteral("1"));

        fill(screen.contactPanel(), {{"nomcont", "Petit"}});
        screen.contactPanel()->save();
        QCOMPARE(column(db(), QStringLiteral("select idcontact from kp_contactsoc order by idcontact")), QStringList({"1", "2"}));
        QCOMPARE(count(QStringLiteral("kp_societes")), QStringLiteral("1"));
        QSignalSpy history(&screen, &ClientScreen::historyRequested);
        screen.historyButton()->click();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history.first().first().toLongLong(), qint64(1));
        screen.reject();
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
    }

    void subRecordRefusals_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QDate d(2026, 3, 1);
        QTest::newRow("contact without names") << 0 << "contacts" << QVariantMap{{"mailcont", "a@b.fr"}} << "Incomplet"
                                               << "Vous devez renseigner au moins le nom ou le prénom !";
        QTest::newRow("dependent without names") << 1 << "dependents" << QVariantMap{{"codeparente", "ENF"}} << "Incomplet"
                                                 << "Vous devez saisir au moins le nom ou le prénom";
        QTest::newRow("contract without code") << 0 << "contracts" << QVariantMap{{"dtdeb", d}} << "Désolé"
                                               << "Vous devez renseigner un code contrat !";
        QTest::newRow("contract ending before it starts")
            << 1 << "contracts" << QVariantMap{{"codecontrat", "AN"}, {"dtdeb", d}, {"dtfin", d.addDays(-1)}} << "ERreur"
            << "La date de fin est antérieure à la date de début du contrat";
        QTest::newRow("document without type") << 0 << "documents" << QVariantMap{{"datedoc", d}} << "Incomplet"
                                               << "Vous devez renseigner au moins le type de document !";
        QTest::newRow("document without date") << 1 << "documents" << QVariantMap{{"codetypedoc", "DEV"}} << "Incomplet"
                                               << "Vous devez renseigner la date !";
        QTest::newRow("memo without type") << 0 << "memos" << QVariantMap{{"datememo", d}} << "Incomplet"
                                           << "Vous devez renseigner au moins le type de mémo !";
        QTest::newRow("memo without date") << 1 << "memos" << QVariantMap{{"codememo", "ENT"}} << "Incomplet"
                                           << "Vous devez renseigner la date !";
        QTest::newRow("data row without its first field") << 0 << "data" << QVariantMap{{"ch2", "x"}} << "Incomplet"
                                                          << "Vous devez au moins renseigner le premier champs !";
        QTest::newRow("company without a name") << 0 << "memos" << validRow("memos", "x") << "Incomplet"
                                                << "Vous devez renseigner un libellé pour votre Société";
        QTest::newRow("individual without names") << 1 << "data" << validRow("data", "x") << "Incomplet"
                                                  << "Vous devez d'abord saisir un nom et/ou un prénom";
    }
    void subRecordRefusals()
    {
        QFETCH(int, type);
        QFETCH(QString, kind);
        QFETCH(QVariantMap, values);
        QFETCH(QString, title);
        QFETCH(QString, text);
        auto screen = open(session(), m_prompter, type, 0);
        // The kind's own checks come before the client's name.
        if (values != validRow(kind, QStringLiteral("x")))
            name(*screen, QStringLiteral("Durand"));
        fill(panel(*screen, kind), values);
        const qint64 statements = db().statementCount();
        panel(*screen, kind)->save();
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, title);
        QCOMPARE(m_prompter.shown().first().text, text);
        QCOMPARE(db().statementCount(), statements);
    }

    void moveAtTheEnds_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("expected");
        for (const auto &[type, kind] : {std::pair{0, "contacts"}, std::pair{1, "dependents"}, std::pair{0, "data"}}) {
            const QByteArray k(kind);
            QTest::newRow(k + ": first does not go up") << type << kind << 0 << -1 << QStringList{"A", "B", "C"};
            QTest::newRow(k + ": last does not go down") << type << kind << 2 << 1 << QStringList{"A", "B", "C"};
            QTest::newRow(k + ": last goes up") << type << kind << 2 << -1 << QStringList{"A", "C", "B"};
            QTest::newRow(k + ": first goes down") << type << kind << 0 << 1 << QStringList{"B", "A", "C"};
        }
    }
    void moveAtTheEnds()
    {
        QFETCH(int, type);
        QFETCH(QString, kind);
        QFETCH(int, selected);
        QFETCH(int, direction);
        QFETCH(QStringList, expected);
        auto screen = open(session(), m_prompter, type, 0);
        name(*screen, QStringLiteral("Durand"));
        SubRecordPanel *p = panel(*screen, kind);
        for (const QString &t : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}) {
            fill(p, validRow(kind, t));
            p->save();
        }
        p->list()->setCurrentItem(p->list()->topLevelItem(selected));
        const QString moved = p->list()->currentItem()->text(0);
        p->move(direction);
        QCOMPARE(texts(p->list(), 0), expected);
        const SubRecordKind &k = p->kind().kind;
        QCOMPARE(column(db(), QStringLiteral("select %1 from %2 order by hierar").arg(p->kind().fields[kind == "contacts" ? 1 : 0].column, k.table)),
                 expected);
        QCOMPARE(p->list()->currentItem()->text(0), moved);
        QCOMPARE(m_prompter.texts(), QStringList());
    }

    void deletionKeepsTasks_data()
    {
        QTest::addColumn<bool>("consultation");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("deleted");
        const QString first = QStringLiteral("Etes vous sûr de vouloir supprimer ce Client ?");
        const QString second = QStringLiteral("Confirmez vous une deuxième fois la suppression de ce Client ?");
        QTest::newRow("consultation") << true << QList<bool>{} << QStringList{"Suppression impossible en mode consultation"} << false;
        QTest::newRow("no to the first question") << false << QList<bool>{false} << QStringList{first} << false;
        QTest::newRow("no to the second question") << false << QList<bool>{true, false} << QStringList{first, second} << false;
        QTest::newRow("yes to both") << false << QList<bool>{true, true} << QStringList{first, second} << true;
    }
    void deletionKeepsTasks()
    {
        QFETCH(bool, consultation);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        QFETCH(bool, deleted);
        GesSocietes screen(session(), m_prompter, 0);
        screen.nameField()->setText(QStringLiteral("Atelier"));
        for (const QString &kind : {QStringLiteral("contacts"), QStringLiteral("contracts"), QStringLiteral("memos"), QStringLiteral("data"),
                                    QStringLiteral("documents")}) {
            fill(panel(screen, kind), validRow(kind, QStringLiteral("x")));
            panel(screen, kind)->save();
        }
        for (const char *sql : {"insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                                "commentaire,noidutil) values (5,0,'/','/',0,0,0,'/','',0)",
                                "insert into kp_taches_clients (noid,noidsoc) values (5,1)",
                                "insert into kp_taches_clients (noid,noidsoc) values (5,2)",
                                "insert into kp_taches_ressources (noid,noidressource) values (5,4)"})
            QVERIFY(db().exec(QString::fromLatin1(sql)));
        m_prompter.clear();
        screen.setConsultation(consultation);
        for (bool a : answers)
            m_prompter.answer({a});
        screen.removeClient();
        QCOMPARE(m_prompter.texts(), shown);
        QCOMPARE(m_prompter.defaults(), QList<bool>(answers.size(), false));
        const QString one = deleted ? QStringLiteral("0") : QStringLiteral("1");
        for (const char *table : {"kp_societes", "kp_libresoc", "kp_contactsoc", "kp_contratsoc", "kp_memosoc", "kp_donneesoc"})
            QCOMPARE(count(QString::fromLatin1(table)), one);
        QCOMPARE(count(QStringLiteral("kp_documents")), QStringLiteral("1")); // references stay
        QCOMPARE(count(QStringLiteral("kp_taches_desc")), QStringLiteral("1"));
        QCOMPARE(count(QStringLiteral("kp_taches_ressources")), QStringLiteral("1"));
        QCOMPARE(column(db(), QStringLiteral("select noidsoc from kp_taches_clients order by noidsoc")),
                 deleted ? QStringList{"2"} : QStringList({"1", "2"}));
        QCOMPARE(screen.isOpen(), !deleted);
        QCOMPARE(screen.savedNumber(), deleted ? qint64(0) : qint64(1));
        QCOMPARE(count(QStringLiteral("kp_verrou")), one);
    }

    void documents_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QString>("chosen"); // relative to the folder's parent
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no folder") << false << "Docs/a.pdf" << "Vous n'avez pas défini de répertoire pour les fichiers documents"
                                   << "";
        QTest::newRow("outside the folder") << true << "Autres/a.pdf"
                                            << "Vous devez choisir un document dans le répertoire ou sous répertoire\ndéfini pour les "
                                               "documents"
                                            << "";
        QTest::newRow("a neighbour starting like it") << true << "Docs2/a.pdf"
                                                      << "Vous devez choisir un document dans le répertoire ou sous répertoire\n"
                                                         "défini pour les documents"
                                                      << "";
        QTest::newRow("in a sub-folder") << true << "Docs/Devis/2026/offre n°1.pdf" << "" << "Devis/2026/offre n°1.pdf";
        QTest::newRow("letter case aside") << true << "DOCS/a.pdf" << "" << "a.pdf";
    }
    void documents()
    {
        QFETCH(bool, folderSet);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("Docs"));
        m_ws->settings().write(QStringLiteral("UTIL"), QStringLiteral("Documents"), folderSet ? folder : QString());
        GesSocietes screen(session(), m_prompter, 0);
        QStringList opened;
        screen.setFileChooser([&](const QString &start) {
            if (start != folder)
                return QString();
            return root.filePath(chosen);
        });
        screen.setDocumentOpener([&opened](const QString &path) {
            opened.append(path);
            return true;
        });
        screen.nameField()->setText(QStringLiteral("Atelier"));
        fill(screen.documents(), validRow(QStringLiteral("documents"), QStringLiteral("offre")));
        screen.chooseDocument();
        screen.openDocument();
        if (!folderSet) {
            QCOMPARE(m_prompter.texts(), QStringList({message, "Chemin des documents non défini"}));
            QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Incorrect"));
            return;
        }
        if (!message.isEmpty()) {
            QCOMPARE(m_prompter.texts(), QStringList{message});
            QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Désolé"));
            QCOMPARE(qobject_cast<QLineEdit *>(screen.documents()->field(QStringLiteral("chemin")))->text(), QString());
            return;
        }
        screen.documents()->save();
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(column(db(), QStringLiteral("select chemin from kp_documents where noidsoc = 1 and noressource = 0")), QStringList{stored});
        QCOMPARE(opened, QStringList{QDir(folder).filePath(stored)});
    }

    void lockSeenFromSecondWorkstation()
    {
        Client c;
        c.name = QStringLiteral("Atelier");
        QVERIFY(ClientStore::save(session(), &c));
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        other.session().description().geslogin = false;
        ScriptedPrompter otherPrompter;
        {
            GesSocietes mine(session(), m_prompter, c.number);
            QVERIFY(mine.isOpen());
            GesSocietes refused(other.session(), otherPrompter, c.number);
            QVERIFY(!refused.isOpen());
            QCOMPARE(otherPrompter.shown().size(), 1);
            QCOMPARE(otherPrompter.shown().first().title, QStringLiteral("Impossible"));
            QCOMPARE(GesSocietes::edit(other.session(), otherPrompter, c.number), qint64(0));
            QCOMPARE(column(db(), QStringLiteral("select nomordi from kp_verrou where typeverrou = 1")), QStringList{"POSTE1"});
        }
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
        otherPrompter.clear();
        GesSocietes now(other.session(), otherPrompter, c.number);
        QVERIFY(now.isOpen());
        QCOMPARE(otherPrompter.texts(), QStringList());
        QCOMPARE(m_prompter.texts(), QStringList());
    }

    void vanishedElsewhere_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("subRecord");
        QTest::addColumn<QString>("text");
        QTest::newRow("company, validate") << 0 << false << "Cette Société n'existe plus ! ";
        QTest::newRow("company, memo") << 0 << true << "Cette Société n'existe plus ! ";
        QTest::newRow("individual, validate") << 1 << false << "Ce Particulier n'existe plus !!";
        QTest::newRow("individual, memo") << 1 << true << "Ce Particulier n'existe plus !!";
    }
    void vanishedElsewhere()
    {
        QFETCH(int, type);
        QFETCH(bool, subRecord);
        QFETCH(QString, text);
        Client c;
        c.type = type;
        c.name = c.surname = QStringLiteral("Durand");
        QVERIFY(ClientStore::save(session(), &c));
        auto screen = open(session(), m_prompter, type, c.number);
        QVERIFY(screen->isOpen());
        QVERIFY(ClientRules::remove(db(), c.number));
        if (subRecord) {
            fill(screen->memos(), validRow(QStringLiteral("memos"), QStringLiteral("x")));
            screen->memos()->save();
        } else {
            screen->validate();
        }
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Disparition"));
        QCOMPARE(m_prompter.shown().first().text, text);
        QVERIFY(!screen->isOpen());
        QCOMPARE(screen->savedNumber(), qint64(0));
        QCOMPARE(count(QStringLiteral("kp_societes")), QStringLiteral("0"));
        QCOMPARE(count(QStringLiteral("kp_memosoc")), QStringLiteral("0"));
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
    }

    void contractEndProposal_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("end"); // typed before entering the field
        QTest::addColumn<QDate>("expected");
        QTest::newRow("one year, the day before the anniversary") << "AN" << "" << QDate(2027, 1, 30);
        QTest::newRow("an end already typed stays") << "AN" << "15/06/2026" << QDate(2026, 6, 15);
        QTest::newRow("a type without duration") << "LIB" << "" << QDate();
    }
    void contractEndProposal()
    {
        QFETCH(QString, code);
        QFETCH(QString, end);
        QFETCH(QDate, expected);
        GesSocietes screen(session(), m_prompter, 0);
        fill(screen.contracts(), {{"codecontrat", code}, {"dtdeb", QDate(2026, 1, 31)}});
        auto *field = qobject_cast<DateField *>(screen.contracts()->field(QStringLiteral("dtfin")));
        field->setText(end);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        screen.tabs()->setCurrentWidget(screen.contracts());
        field->setFocus();
        QCOMPARE(field->date(), expected);
    }

    void mailButtonRecipients()
    {
        GesSocietes screen(session(), m_prompter, 0);
        QStringList sent;
        screen.setMailer([&sent](const QString &recipients) { sent.append(recipients); });
        screen.nameField()->setText(QStringLiteral("Atelier"));
        screen.lineField(QStringLiteral("nomcont"))->setText(QStringLiteral("Durand"));
        screen.lineField(QStringLiteral("prenomcont"))->setText(QStringLiteral("Paul"));
        screen.lineField(QStringLiteral("mailsoc"))->setText(QStringLiteral("accueil@atelier.fr"));
        fill(screen.contactPanel(), {{"nomcont", "Martin"}, {"prenomcont", "Zoé"}, {"mailcont", "zoe@atelier.fr"}});
        screen.contactPanel()->save();
        fill(screen.contactPanel(), {{"nomcont", "Sans"}, {"mailcont", "pas d'adresse"}});
        screen.contactPanel()->save();
        screen.mailButton()->click();
        QCOMPARE(sent, QStringList{"Durand Paul <accueil@atelier.fr> ;Martin Zoé <zoe@atelier.fr>"});
    }

    void nameLockedWithoutModifyRight_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("modify");
        QTest::newRow("company, modify right") << 0 << 1;
        QTest::newRow("company, no modify right") << 0 << 0;
        QTest::newRow("individual, no modify right") << 1 << 0;
    }
    void nameLockedWithoutModifyRight()
    {
        QFETCH(int, type);
        QFETCH(int, modify);
        Client c;
        c.type = type;
        c.name = c.surname = QStringLiteral("Durand");
        QVERIFY(ClientStore::save(session(), &c));
        session().description().geslogin = true;
        session().setUser(QStringLiteral("Lea"), QStringLiteral("x"));
        QVERIFY(db().exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',1)")
                              .arg(PasswordCodec::encode(QStringLiteral("Lea")))));
        QVERIFY(db().exec(QStringLiteral("insert into kp_autgroupe (nogroupe,typechoix,creat,modif,supp) values (1,'SOCIETE',1,%1,0)")
                              .arg(modify)));
        auto screen = open(session(), m_prompter, type, c.number);
        auto *nameField = type == 0 ? static_cast<GesSocietes &>(*screen).nameField() : static_cast<GesParticuliers &>(*screen).surnameField();
        QCOMPARE(nameField->isReadOnly(), modify == 0);
        QCOMPARE(screen->backgroundSwatch()->isEnabled(), modify == 1);
        screen->removeClient(); // no delete right either
        QCOMPARE(m_prompter.texts(), QStringList{"Vous n'avez pas le droit de supprimer les Clients"});
    }

    void individualRoundTripAndScreenshots()
    {
        Client employer;
        employer.name = QStringLiteral("Atelier Durand");
        QVERIFY(ClientStore::save(session(), &employer));

        GesParticuliers person(session(), m_prompter, 0);
        QCOMPARE(person.windowTitle(), QStringLiteral("Particulier - CREATION"));
        QCOMPARE(person.iconButton()->toolTip(), QStringLiteral("Sélectionnez un autre icone pour le Particulier"));
        QCOMPARE(person.employerList()->findText(QStringLiteral("Atelier Durand")), 0);
        QCOMPARE(person.tabs()->tabText(5), QStringLiteral("Champs &Libres"));
        person.employerList()->setCurrentIndex(0);
        person.civilityList()->setCurrentIndex(1);
        person.surnameField()->setText(QStringLiteral("Petit"));
        person.firstNameField()->setText(QStringLiteral("Zoé"));
        person.birthField()->setDate(QDate(1990, 7, 14));
        const QList<std::pair<const char *, const char *>> fields = {
            {"adrsoc", "3 place Bellecour"}, {"cpsoc", "69002"}, {"villesoc", "Lyon"}, {"telsoc", "04 72 00 00 00"},
            {"mailsoc", "zoe.petit@exemple.fr"}};
        for (const auto &[column, value] : fields)
            person.lineField(QString::fromLatin1(column))->setText(QString::fromUtf8(value));
        person.sectorList()->setCurrentIndex(person.sectorList()->findData(QStringLiteral("IND")));
        person.zoneGrid()->setCurrentItem(person.zoneGrid()->topLevelItem(1));
        person.closedBox()->setChecked(true);
        person.freeTextField(0)->setText(QStringLiteral("Salon 2026"));
        person.freeCodeList(0)->setCurrentIndex(person.freeCodeList(0)->findData(QStringLiteral("A")));
        person.validate();
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(person.number(), qint64(2));
        QCOMPARE(column(db(), QStringLiteral("select libsoc from kp_societes where noidsoc = 2 and typesoc = 1 and sexecont = 1 and "
                                             "noidzone = 1 and cloture = 1 and secteursoc = 'IND'")),
                 QStringList{"Atelier Durand"});
        QCOMPARE(column(db(), QStringLiteral("select ch1 from kp_libresoc where noidsoc = 2 and tb1 = 'A'")), QStringList{"Salon 2026"});
        // Reloaded from the database.
        QCOMPARE(person.birthField()->date(), QDate(1990, 7, 14));
        QCOMPARE(person.zoneGrid()->currentItem()->text(0), QStringLiteral("Nord"));
        QCOMPARE(person.zoneGrid()->topLevelItem(0)->text(0), QStringLiteral("Défaut"));
        QCOMPARE(person.zoneGrid()->topLevelItem(1)->background(0).color(), QColor(255, 0, 0));
        QCOMPARE(person.employerList()->currentText(), QStringLiteral("Atelier Durand"));

        for (const QString &kind : {QStringLiteral("dependents"), QStringLiteral("contracts"), QStringLiteral("documents"),
                                    QStringLiteral("memos"), QStringLiteral("data")}) {
            fill(panel(person, kind), validRow(kind, QStringLiteral("Petit")));
            panel(person, kind)->save();
        }
        QList<ReportTable> printed;
        person.setPreviewer([&printed](const ReportTable &t) { printed.append(t); });
        person.printMemos();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed.first().title(), QStringLiteral("Mémos pour Petit Zoé"));
        QCOMPARE(printed.first().cell(1, 1), QStringLiteral("Entretien - Petit|BO"));
        QCOMPARE(texts(person.dataRows()->list(), 3), QStringList{"Modèle 1"});
        QCOMPARE(m_prompter.texts(), QStringList());
        for (int tab = 0; tab < person.tabs()->count(); ++tab) {
            person.tabs()->setCurrentIndex(tab);
            saveScreenshot(person, QStringLiteral("gesparticuliers_%1").arg(tab));
        }
        person.reject();

        GesSocietes company(session(), m_prompter, employer.number);
        company.lineField(QStringLiteral("nomcont"))->setText(QStringLiteral("Durand"));
        company.lineField(QStringLiteral("villesoc"))->setText(QStringLiteral("Villeurbanne"));
        fill(company.contactPanel(), {{"nomcont", "Martin"}, {"prenomcont", "Luc"}, {"fonctioncont", "DIR"}, {"telcont", "06 00 00 00 00"}});
        company.contactPanel()->save();
        for (int tab = 0; tab < company.tabs()->count(); ++tab) {
            company.tabs()->setCurrentIndex(tab);
            saveScreenshot(company, QStringLiteral("gessocietes_%1").arg(tab));
        }
    }
};

QTEST_MAIN(TestClientScreens)
#include "tst_clientscreens.moc"
