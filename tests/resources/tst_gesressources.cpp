#include "core/PasswordCodec.h"
#include "core/RecordLocks.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/DateField.h"
#include "reports/ReportTable.h"
#include "resources/GesRessources.h"
#include "resources/profile/ProfileStore.h"
#include "resources/profile/ProfileViews.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

// The resource screen, driven as a user would, on both back ends.
class TestGesRessources : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }
    QString count(const QString &tableAndCondition) { return scalar(db(), QStringLiteral("select count(*) from ") + tableAndCondition); }

    qint64 addResource(const QString &code)
    {
        Resource r;
        r.code = code;
        if (!ResourceStore::save(session(), &r))
            return 0;
        return r.number;
    }
    static QStringList titles(const QTreeWidget *list, int column)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts.append(list->topLevelItem(i)->text(column));
        return texts;
    }
    static void pick(QComboBox *combo, const QString &code) { combo->setCurrentIndex(combo->findData(code)); }
    void addMemo(GesRessources &screen, const QString &title)
    {
        screen.newMemo();
        pick(screen.memoTypeList(), QStringLiteral("ENT"));
        screen.memoDateField()->setDate(QDate(2026, 3, 2));
        screen.memoTitleField()->setText(title);
        screen.memoTextField()->setPlainText(QStringLiteral("Point sur l'année écoulée, objectifs et formation."));
        screen.saveMemo();
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("gesressources"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().description().geslogin = false;
        m_prompter.clear();
        for (const char *sql : {"insert into kp_contrattravail (code,libelle) values ('CDI','Durée indéterminée')",
                                "insert into kp_typememo (code,libelle) values ('ENT','Entretien')",
                                "insert into kp_parentes (code,libelle) values ('ENF','Enfant')",
                                "insert into kp_services (code,libelle) values ('RH','Ressources humaines')",
                                "insert into kp_services (code,libelle) values ('AT','Atelier')",
                                "insert into kp_domaines (code,libelle) values ('ELEC','Electricité')",
                                "insert into kp_competences (noid,codedomaine,libelle) values (1,'ELEC','Habilitation B1')",
                                "insert into kp_competences (noid,codedomaine,libelle) values (2,'ELEC','Habilitation BR')"})
            QVERIFY(db().exec(QString::fromUtf8(sql)));
    }

    // Every message naming the resource follows the customer's words.
    void messagesFollowTheTerm_data()
    {
        QTest::addColumn<QStringList>("resourceWords"); // singular, plural, feminine, elided
        QTest::addColumn<QStringList>("taskWords");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("built-in feminine words")
            << QStringList{"Ressource", "Ressources", "1", "0"} << QStringList{"Tâche", "Tâches", "1", "0"}
            << QStringList{"Ressource - CREATION",
                           "Ressource humaine|Ressource matérielle|Ressource à définir",
                           "Sélectionnez une autre icône pour la Ressource|Supprimez l'icône pour la Ressource",
                           "Vous devez renseigner le libellé de la Ressource",
                           "Aucune Ressource à supprimer",
                           "Vous devez d'abord saisir un libellé pour la Ressource",
                           "Ressource - MODIFICATION",
                           "Etes vous sûr de vouloir supprimer cette Ressource ?",
                           "La suppression de cette Ressource supprimera toutes les Tâches associées\nContinuer quand même ?"};
        QTest::newRow("masculine word with a vowel")
            << QStringList{"Intervenant", "Intervenants", "0", "1"} << QStringList{"Chantier", "Chantiers", "0", "0"}
            << QStringList{"Intervenant - CREATION",
                           "Intervenant humain|Intervenant matériel|Intervenant à définir",
                           "Sélectionnez une autre icône pour l'Intervenant|Supprimez l'icône pour l'Intervenant",
                           "Vous devez renseigner le libellé de l'Intervenant",
                           "Aucun Intervenant à supprimer",
                           "Vous devez d'abord saisir un libellé pour l'Intervenant",
                           "Intervenant - MODIFICATION",
                           "Etes vous sûr de vouloir supprimer cet Intervenant ?",
                           "La suppression de cet Intervenant supprimera tous les Chantiers associés\nContinuer quand même ?"};
    }
    void messagesFollowTheTerm()
    {
        QFETCH(QStringList, resourceWords);
        QFETCH(QStringList, taskWords);
        QFETCH(QStringList, expected);
        session().terms().setTerm(Entity::Ressource, {resourceWords[0], resourceWords[1], resourceWords[2], resourceWords[3]});
        session().terms().setTerm(Entity::Tache, {taskWords[0], taskWords[1], taskWords[2], taskWords[3]});

        GesRessources screen(session(), m_prompter, 0);
        QVERIFY(screen.isOpen());
        QCOMPARE(screen.windowTitle(), expected[0]);
        QCOMPARE(QStringList({screen.typeOption(0)->text(), screen.typeOption(1)->text(), screen.typeOption(2)->text()}).join('|'),
                 expected[1]);
        QCOMPARE(screen.iconButton()->toolTip() + '|' + screen.clearIconButton()->toolTip(), expected[2]);
        QVERIFY(!screen.historyButton()->isEnabled());

        // A blank code is refused before the database is touched.
        screen.codeField()->setText(QStringLiteral("   "));
        const qint64 statements = db().statementCount();
        screen.validate();
        QCOMPARE(db().statementCount(), statements);
        screen.removeResource();
        pick(screen.contractTypeList(), QStringLiteral("CDI"));
        screen.saveContract();
        QCOMPARE(m_prompter.texts(), expected.mid(3, 3));
        QCOMPARE(count(QStringLiteral("kp_ressources")), QStringLiteral("0"));

        QTest::keyClicks(screen.codeField(), QStringLiteral("Dupont"));
        screen.validate();
        QCOMPARE(screen.windowTitle(), expected[6]);
        QVERIFY(screen.historyButton()->isEnabled());
        m_prompter.clear();
        m_prompter.answer({true, false});
        screen.removeResource();
        QCOMPARE(m_prompter.texts(), expected.mid(7, 2));
        QCOMPARE(m_prompter.defaults(), QList<bool>({false, false}));
        QCOMPARE(count(QStringLiteral("kp_ressources")), QStringLiteral("1"));
    }

    void subRecordOfNewResourceCreatesItFirst_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("rows"); // the sub-record's table and its owner condition
        QTest::newRow("contract") << "contract" << "kp_resscontrat where noressource = 1 and nocontrat = %1";
        QTest::newRow("memo") << "memo" << "kp_memosoc where noidsoc = 0 and noressource = 1 and rgmemo = %1 and hierar = %1";
        QTest::newRow("dependent") << "dependent" << "kp_ayants where noidsoc = 0 and noidressource = 1 and rgayant = %1";
    }
    void subRecordOfNewResourceCreatesItFirst()
    {
        QFETCH(QString, kind);
        QFETCH(QString, rows);
        GesRessources screen(session(), m_prompter, 0);
        QTest::keyClicks(screen.codeField(), QStringLiteral("Durand"));
        const auto saveOne = [&] {
            if (kind == QLatin1String("contract")) {
                screen.newContract();
                pick(screen.contractTypeList(), QStringLiteral("CDI"));
                screen.contractStartField()->setDate(QDate(2026, 1, 5));
                screen.saveContract();
                return screen.contractList()->topLevelItemCount();
            }
            if (kind == QLatin1String("memo")) {
                addMemo(screen, QStringLiteral("Entretien annuel"));
                return screen.memoList()->topLevelItemCount();
            }
            screen.newDependent();
            screen.dependentSurnameField()->setText(QStringLiteral("Durand"));
            pick(screen.kinshipList(), QStringLiteral("ENF"));
            screen.saveDependent();
            return screen.dependentList()->topLevelItemCount();
        };
        QCOMPARE(saveOne(), 1);
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(column(db(), QStringLiteral("select libelle from kp_ressources where noid = 1")), QStringList{"Durand"});
        QCOMPARE(count(rows.arg(1)), QStringLiteral("1"));
        QCOMPARE(screen.number(), qint64(1));
        QCOMPARE(screen.savedNumber(), qint64(1));
        QCOMPARE(screen.windowTitle(), QStringLiteral("Ressource - MODIFICATION"));
        QVERIFY(screen.historyButton()->isEnabled());
        QCOMPARE(count(QStringLiteral("kp_verrou where typeverrou = 3 and noid = 1 and nomordi = 'POSTE1'")), QStringLiteral("1"));

        // A second one goes to the same resource.
        QCOMPARE(saveOne(), 2);
        QCOMPARE(count(QStringLiteral("kp_ressources")), QStringLiteral("1"));
        QCOMPARE(count(rows.arg(2)), QStringLiteral("1"));
        screen.reject();
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
    }

    void memoOrder_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("last goes up") << 2 << -1 << QStringList{"A", "C", "B"};
        QTest::newRow("first goes down") << 0 << 1 << QStringList{"B", "A", "C"};
        QTest::newRow("first does not go up") << 0 << -1 << QStringList{"A", "B", "C"};
        QTest::newRow("last does not go down") << 2 << 1 << QStringList{"A", "B", "C"};
    }
    void memoOrder()
    {
        QFETCH(int, selected);
        QFETCH(int, direction);
        QFETCH(QStringList, expected);
        GesRessources screen(session(), m_prompter, 0);
        screen.codeField()->setText(QStringLiteral("Martin"));
        for (const QString &title : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})
            addMemo(screen, title);
        QTreeWidgetItem *item = screen.memoList()->topLevelItem(selected);
        screen.memoList()->setCurrentItem(item);
        QCOMPARE(screen.memoTitleField()->text(), item->text(2));
        const QString moved = item->text(2);
        screen.moveMemo(direction);
        QCOMPARE(titles(screen.memoList(), 2), expected);
        QCOMPARE(column(db(), QStringLiteral("select titrememo from kp_memosoc where noressource = 1 order by hierar")), expected);
        QVERIFY(screen.memoList()->currentItem());
        QCOMPARE(screen.memoList()->currentItem()->text(2), moved);
        QCOMPARE(m_prompter.texts(), QStringList());
    }

    void memoPrint()
    {
        GesRessources screen(session(), m_prompter, 0);
        QList<ReportTable> printed;
        screen.setPreviewer([&printed](const ReportTable &table) { printed.append(table); });
        screen.printMemos();
        QCOMPARE(m_prompter.texts(), QStringList{"Rien à imprimer"});
        screen.codeField()->setText(QStringLiteral("Martin"));
        addMemo(screen, QStringLiteral("Entretien annuel"));
        screen.printMemos();
        QCOMPARE(printed.size(), 1);
        const ReportTable &table = printed.first();
        QCOMPARE(table.title(), QStringLiteral("Mémos pour Martin"));
        QCOMPARE(table.cell(1, 0), QStringLiteral("02/03/2026|BO"));
        QCOMPARE(table.cell(1, 1), QStringLiteral("Entretien - Entretien annuel|BO"));
        QVERIFY(table.hasMemo(2, 1));
    }

    void lockedElsewhereKeepsTheScreenClosed()
    {
        const qint64 number = addResource(QStringLiteral("Martin"));
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(RecordLocks::take(other.session(), LockKind::Resource, number));
        {
            GesRessources refused(session(), m_prompter, number);
            QVERIFY(!refused.isOpen());
            QCOMPARE(m_prompter.shown().size(), 1);
            QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Impossible"));
            QVERIFY(m_prompter.shown().first().text.endsWith(QLatin1String("en cours de consultation")));
        }
        QCOMPARE(GesRessources::edit(session(), m_prompter, number, nullptr), qint64(0));
        QCOMPARE(column(db(), QStringLiteral("select nomordi from kp_verrou")), QStringList{"POSTE2"});

        QVERIFY(RecordLocks::release(other.session(), LockKind::Resource));
        m_prompter.clear();
        GesRessources screen(session(), m_prompter, number);
        QVERIFY(screen.isOpen());
        QCOMPARE(screen.codeField()->text(), QStringLiteral("Martin"));
        QCOMPARE(column(db(), QStringLiteral("select nomordi from kp_verrou where typeverrou = 3")), QStringList{"POSTE1"});
        screen.reject();
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
        QCOMPARE(m_prompter.texts(), QStringList());
    }

    void deletion_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("no to the first question") << QList<bool>{false} << 1 << false;
        QTest::newRow("no to the second question") << QList<bool>{true, false} << 2 << false;
        QTest::newRow("yes to both") << QList<bool>{true, true} << 2 << true;
    }
    void deletion()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(int, questions);
        QFETCH(bool, deleted);
        GesRessources screen(session(), m_prompter, 0);
        screen.codeField()->setText(QStringLiteral("Martin"));
        pick(screen.contractTypeList(), QStringLiteral("CDI"));
        screen.saveContract();
        addMemo(screen, QStringLiteral("Entretien"));
        m_prompter.clear();
        for (bool answer : answers)
            m_prompter.answer({answer});
        screen.removeResource();
        QCOMPARE(m_prompter.unanswered(), 0);
        QStringList titlesShown;
        for (const ScriptedPrompter::Shown &s : m_prompter.shown())
            titlesShown.append(s.title);
        QStringList expected = QStringList{"Confirmation", "Deuxième confirmation"}.mid(0, questions);
        if (deleted)
            expected.append(QStringLiteral("Fini"));
        QCOMPARE(titlesShown, expected);
        QCOMPARE(count(QStringLiteral("kp_ressources")), deleted ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(count(QStringLiteral("kp_resscontrat")), deleted ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(count(QStringLiteral("kp_memosoc")), QStringLiteral("1")); // memos stay
        QCOMPARE(screen.isOpen(), !deleted);
        if (deleted) {
            QCOMPARE(m_prompter.texts().last(), QStringLiteral("Ressource effacée"));
            QCOMPARE(screen.savedNumber(), qint64(0));
            QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
        }
    }

    void codeLockedWithoutModifyRight_data()
    {
        QTest::addColumn<bool>("management");
        QTest::addColumn<int>("modify");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("locked");
        QTest::newRow("no user management") << false << 0 << true << false;
        QTest::newRow("modify right") << true << 1 << true << false;
        QTest::newRow("no modify right") << true << 0 << true << true;
        QTest::newRow("no modify right, new resource") << true << 0 << false << false;
    }
    void codeLockedWithoutModifyRight()
    {
        QFETCH(bool, management);
        QFETCH(int, modify);
        QFETCH(bool, existing);
        QFETCH(bool, locked);
        const qint64 number = existing ? addResource(QStringLiteral("Martin")) : 0;
        const QString user = PasswordCodec::encode(QStringLiteral("Lea"));
        QVERIFY(db().exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',1)").arg(user)));
        QVERIFY(db().exec(QStringLiteral("insert into kp_autgroupe (nogroupe,typechoix,creat,modif,supp) values "
                                         "(1,'RESSOURCES',1,%1,0)")
                              .arg(modify)));
        session().description().geslogin = management;
        session().setUser(QStringLiteral("Lea"), QStringLiteral("x"));

        GesRessources screen(session(), m_prompter, number);
        QCOMPARE(screen.codeField()->isReadOnly(), locked);
        QCOMPARE(screen.backgroundSwatch()->isEnabled(), !locked);
        QCOMPARE(screen.textSwatch()->isEnabled(), !locked);
        QTest::keyClicks(screen.codeField(), QStringLiteral("X"));
        screen.validate();
        const QString stored = scalar(db(), QStringLiteral("select libelle from kp_ressources"));
        QCOMPARE(stored, !existing ? QStringLiteral("X") : locked ? QStringLiteral("Martin") : QStringLiteral("MartinX"));
    }

    void textsAtTheirLimitSavedWhole_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("length");
        const QList<std::pair<const char *, int>> columns = {
            {"libelle", 80},       {"nomressource", 60}, {"prenomressource", 60}, {"adrressource", 60}, {"compressource", 60},
            {"cpressource", 10},   {"villeressource", 60}, {"paysressource", 60}, {"etatressource", 60}, {"telressource", 20},
            {"mobressource", 20},  {"faxressource", 20}, {"mailressource", 80}};
        for (const auto &[name, length] : columns)
            QTest::newRow(name) << QString::fromLatin1(name) << "kp_ressources" << length;
        QTest::newRow("titrememo") << "titrememo" << "kp_memosoc" << 120;
        QTest::newRow("nomayant") << "nomayant" << "kp_ayants" << 60;
        QTest::newRow("prenomayant") << "prenomayant" << "kp_ayants" << 60;
    }
    void textsAtTheirLimitSavedWhole()
    {
        QFETCH(QString, field);
        QFETCH(QString, table);
        QFETCH(int, length);
        GesRessources screen(session(), m_prompter, 0);
        auto *edit = screen.findChild<QLineEdit *>(field);
        QVERIFY(edit);
        QCOMPARE(edit->maxLength(), length);
        const QString text = QStringLiteral("é'ç\\").repeated(length).left(length);
        edit->setText(text + QStringLiteral("z")); // one more than fits
        if (field != QLatin1String("libelle"))
            screen.codeField()->setText(QStringLiteral("Code"));
        if (table == QLatin1String("kp_memosoc")) {
            pick(screen.memoTypeList(), QStringLiteral("ENT"));
            screen.memoDateField()->setDate(QDate(2026, 3, 2));
            screen.saveMemo();
        } else if (table == QLatin1String("kp_ayants")) {
            screen.saveDependent();
        } else {
            screen.validate();
        }
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(scalar(db(), QStringLiteral("select %1 from %2").arg(field, table)), text);
    }

    void vanishedWhileOpen_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("validate") << "validate";
        QTest::newRow("reload") << "reload";
        QTest::newRow("contract") << "contract";
    }
    void vanishedWhileOpen()
    {
        QFETCH(QString, action);
        const qint64 number = addResource(QStringLiteral("Martin"));
        GesRessources screen(session(), m_prompter, number);
        QVERIFY(screen.isOpen());
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(ResourceStore::remove(other.session(), number));

        if (action == QLatin1String("validate")) {
            screen.validate();
        } else if (action == QLatin1String("reload")) {
            QVERIFY(!screen.reload());
        } else {
            pick(screen.contractTypeList(), QStringLiteral("CDI"));
            screen.saveContract();
        }
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Disparition"));
        QCOMPARE(m_prompter.shown().first().text, QStringLiteral("Cette Ressource n'existe plus !"));
        QVERIFY(!screen.isOpen());
        QCOMPARE(screen.savedNumber(), qint64(0));
        QCOMPARE(count(QStringLiteral("kp_ressources")), QStringLiteral("0")); // not written back
        QCOMPARE(count(QStringLiteral("kp_resscontrat")), QStringLiteral("0"));
        QCOMPARE(count(QStringLiteral("kp_verrou")), QStringLiteral("0"));
    }

    void servicesSkillsAndScreenshot()
    {
        QTemporaryDir images;
        QImage icon(32, 32, QImage::Format_RGB32);
        icon.fill(Qt::darkCyan);
        QVERIFY(icon.save(images.filePath(QStringLiteral("technicien.png"))));
        m_ws->settings().write(QStringLiteral("UTIL"), QStringLiteral("Images"), images.path());
        HourProfile profile{0, QStringLiteral("Journée continue"), {{0, 8 * 60, 12 * 60}, {0, 13 * 60, 17 * 60}, {2, 9 * 60, 12 * 60}}};
        QVERIFY(ProfileStore::save(db(), &profile));

        GesRessources screen(session(), m_prompter, 0);
        QVERIFY(screen.iconButton()->isEnabled());
        QList<ListRequest> asked;
        QList<ListAnswer> answers = {{true, {"RH", "Ressources humaines"}}, {true, {"Electricité", "Habilitation B1", "1"}}};
        screen.setChooser([&](const ListRequest &request) {
            asked.append(request);
            return answers.takeFirst();
        });
        screen.addService();
        screen.addSkill();
        QCOMPARE(asked[0].caption, QStringLiteral("Liste des Services"));
        QCOMPARE(asked[1].caption, QStringLiteral("Liste des Compétences"));
        QStringList columns;
        for (const ListRequest &r : asked)
            for (const ListColumn &c : r.columns())
                columns.append(c.title);
        QCOMPARE(columns, QStringList({"Code", "Libellé", "Domaine", "Libellé", "Noid"}));
        answers = {{false, {}}, {false, {}}};
        screen.addService();
        screen.addSkill();
        QVERIFY(asked[2].query.contains(QLatin1String("not in ('RH')")));
        QVERIFY(asked[3].query.contains(QLatin1String("not in (1)")));
        QCOMPARE(titles(screen.serviceList(), 1), QStringList{"Ressources humaines"});
        QCOMPARE(titles(screen.skillList(), 1), QStringList{"Habilitation B1"});
        screen.setIconChooser([](const QString &, const QString &) { return QStringLiteral("technicien.png"); });
        screen.iconButton()->click();

        screen.codeField()->setText(QStringLiteral("Dupont Jean"));
        screen.civilityList()->setCurrentIndex(0);
        const QList<std::pair<const char *, const char *>> fields = {
            {"nomressource", "Dupont"},          {"prenomressource", "Jean"},    {"adrressource", "12 rue des Lilas"},
            {"cpressource", "69003"},            {"villeressource", "Lyon"},      {"paysressource", "France"},
            {"telressource", "04 78 00 00 00"}, {"mailressource", "jean.dupont@exemple.fr"}};
        for (const auto &[name, value] : fields)
            screen.findChild<QLineEdit *>(QString::fromLatin1(name))->setText(QString::fromUtf8(value));
        screen.birthdayField()->setDate(QDate(1984, 6, 12));
        screen.backgroundSwatch()->setValue(0x80FFFF);
        screen.profileList()->setCurrentIndex(screen.profileList()->findData(profile.number));
        screen.validate();
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(column(db(), QStringLiteral("select codeserv from kp_ressserv")), QStringList{"RH"});
        QCOMPARE(column(db(), QStringLiteral("select idcompetence from kp_resscompetences")), QStringList{"1"});
        QCOMPARE(column(db(), QStringLiteral("select nomico from kp_ressources")), QStringList{"technicien.png"});
        QCOMPARE(screen.profileTable()->topLevelItemCount(), 3);
        // Stays on the saved resource, reloaded.
        QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("villeressource"))->text(), QStringLiteral("Lyon"));
        QCOMPARE(screen.birthdayField()->date(), QDate(1984, 6, 12));

        m_prompter.answer({true});
        screen.serviceList()->setCurrentItem(screen.serviceList()->topLevelItem(0));
        screen.removeService();
        QCOMPARE(m_prompter.texts(), QStringList{"Supprimer ce service de la Ressource ?"});
        QCOMPARE(screen.serviceList()->topLevelItemCount(), 0);

        addMemo(screen, QStringLiteral("Entretien annuel"));
        pick(screen.contractTypeList(), QStringLiteral("CDI"));
        screen.contractStartField()->setDate(QDate(2024, 9, 2));
        screen.saveContract();
        screen.dependentSurnameField()->setText(QStringLiteral("Dupont"));
        screen.dependentFirstNameField()->setText(QStringLiteral("Léa"));
        pick(screen.kinshipList(), QStringLiteral("ENF"));
        screen.dependentBirthField()->setDate(QDate(2015, 4, 1));
        screen.saveDependent();
        QCOMPARE(m_prompter.texts().size(), 1);
        for (int tab = 0; tab < screen.tabs()->count(); ++tab) {
            screen.tabs()->setCurrentIndex(tab);
            saveScreenshot(screen, QStringLiteral("gesressources_%1").arg(tab));
        }
    }
};

QTEST_MAIN(TestGesRessources)
#include "tst_gesressources.moc"
