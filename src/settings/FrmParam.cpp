#include "settings/FrmParam.h"

#include "clients/ClientFreeZones.h"
#include "core/Autostart.h"
#include "core/Database.h"
#include "core/PasswordCodec.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/FieldNavigation.h"
#include "messaging/KpMailer.h"
#include "planning/Frm_Param.h"
#include "planning/ParamPlanning.h"
#include "vocabulary/ScreenTexts.h"
#include "vocabulary/Vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QStringList HtmlPresentationNames = {QStringLiteral("Journalier"),  QStringLiteral("Nombre de jours"), QStringLiteral("Hebdomadaire"),
                                           QStringLiteral("BiHebdomaire"), QStringLiteral("Mensuel"),        QStringLiteral("Bimestriel"),
                                           QStringLiteral("Trimestriel"), QStringLiteral("Semestriel"),     QStringLiteral("Annuel")};

// Keys a hot key may use: the letters and F1 to F12, as stored key codes.
QList<QPair<QString, int>> hotKeyChoices()
{
    QList<QPair<QString, int>> keys;
    for (int i = 0; i < 10; ++i)
        keys.append({QString::number(i), i});
    for (char c = 'A'; c <= 'Z'; ++c)
        keys.append({QString(QLatin1Char(c)), int(c)});
    for (int f = 1; f <= 12; ++f)
        keys.append({QStringLiteral("F%1").arg(f), 111 + f});
    return keys;
}

QCheckBox *visibleBox(QWidget *parent)
{
    return new QCheckBox(QStringLiteral("Visible"), parent);
}

} // namespace

FrmParam::FrmParam(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("FrmParam"));
    setWindowTitle(QStringLiteral("Paramétrages de l'application"));
    resize(900, 580);

    m_tabs->addTab(generalTab(), QStringLiteral("&Général"));
    m_tabs->addTab(foldersTab(), QStringLiteral("&Répertoires"));
    m_tabs->addTab(htmlTab(), QStringLiteral("Export &HTML"));
    m_tabs->addTab(mailTab(), QStringLiteral("&Messagerie"));
    m_tabs->addTab(freeFieldsTab(), QStringLiteral("Champs &libres"));
    m_tabs->addTab(freeDataTab(), QStringLiteral("&Données libres"));
    m_tabs->addTab(vocabularyTab(), QStringLiteral("&Vocabulaire"));
    m_tabs->addTab(planningTab(), QStringLiteral("&Planning"));

    auto *validate = new QPushButton(QStringLiteral("&Valider"), this);
    auto *quit = new QPushButton(QStringLiteral("&Quitter"), this);
    validate->setAutoDefault(false);
    quit->setAutoDefault(false);
    connect(validate, &QPushButton::clicked, this, [this] {
        if (this->validate())
            accept();
    });
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(validate);
    buttons->addWidget(quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    load();
    FieldNavigation::install(this);
}

QWidget *FrmParam::generalTab()
{
    auto *page = new QWidget(this);
    const Terms &t = m_session.terms();
    auto *form = new QFormLayout;
    m_splash = new QLineEdit(page);
    m_splash->setMaximumWidth(80);
    form->addRow(QStringLiteral("Affichage du panneau d'accueil : "), m_splash);
    m_presentation = new QComboBox(page);
    m_presentation->addItems({QStringLiteral("Agrandit"), QStringLiteral("Réduit")});
    form->addRow(QStringLiteral("Mode de présentation : "), m_presentation);
    m_trayOpen = new QComboBox(page);
    m_trayOpen->addItems({QStringLiteral("Liste des ") + t.plural(Entity::Client), QStringLiteral("Liste des ") + t.plural(Entity::Ressource),
                          QStringLiteral("Planning")});
    form->addRow(QStringLiteral("Fenêtre à ouvrir sur un double click (mode réduit uniquement) :"), m_trayOpen);
    m_poll = new QComboBox(page);
    for (int seconds : ProgramSettings::pollChoices())
        m_poll->addItem(QStringLiteral("%1 secondes").arg(seconds), seconds);
    form->addRow(QStringLiteral("Fréquence de scrutation des messages : "), m_poll);

    auto *keys = new QGroupBox(QStringLiteral("Raccourcis clavier"), page);
    auto *keyGrid = new QGridLayout(keys);
    const QStringList keyLabels = {QStringLiteral("Accès à la liste des ") + t.plural(Entity::Client),
                                   QStringLiteral("Accès à la liste des ") + t.plural(Entity::Ressource), QStringLiteral("Accès au planning"),
                                   QStringLiteral("Envoyer un message")};
    for (int i = 0; i < ProgramSettings::HotKeys; ++i) {
        auto *on = new QCheckBox(keyLabels[i], keys);
        auto *code = new QComboBox(keys);
        for (const auto &[name, value] : hotKeyChoices())
            code->addItem(name, value);
        keyGrid->addWidget(on, i, 0);
        keyGrid->addWidget(new QLabel(QStringLiteral("CTRL + SHIFT + "), keys), i, 1);
        keyGrid->addWidget(code, i, 2);
        m_hotKeyOn.append(on);
        m_hotKeyCode.append(code);
    }

    auto *connection = new QGroupBox(QStringLiteral("Connexion"), page);
    auto *connectionForm = new QFormLayout(connection);
    m_autoConnect = new QCheckBox(connection);
    m_user = new QComboBox(connection);
    m_userPassword = new QLineEdit(connection);
    m_userPassword->setEchoMode(QLineEdit::Password);
    connectionForm->addRow(QStringLiteral("Connexion automatique :"), m_autoConnect);
    connectionForm->addRow(QStringLiteral("Utilisateur par défaut :"), m_user);
    connectionForm->addRow(QStringLiteral("Mot de Passe :"), m_userPassword);
    connect(m_autoConnect, &QCheckBox::toggled, this, [this](bool on) {
        m_user->setEnabled(on);
        m_userPassword->setEnabled(on);
        if (on)
            fillUsers();
    });
    m_autostart = new QCheckBox(QStringLiteral("Démarrage au lancement de la session"), page);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(keys);
    layout->addWidget(connection);
    layout->addWidget(m_autostart);
    layout->addStretch();
    return page;
}

QLineEdit *FrmParam::folderRow(QGridLayout *grid, int row, const QString &label, const QString &dialogTitle)
{
    QWidget *page = grid->parentWidget();
    auto *field = new QLineEdit(page);
    auto *browse = new QToolButton(page);
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Cliquez ici pour sélectionner le répertoire"));
    connect(browse, &QToolButton::clicked, this, [this, field, dialogTitle] {
        // A folder chooser: a file chooser could not pick a folder still empty.
        const QString folder = QFileDialog::getExistingDirectory(this, dialogTitle, field->text());
        if (!folder.isEmpty())
            field->setText(folder);
    });
    grid->addWidget(new QLabel(label, page), row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(browse, row, 2);
    return field;
}

QWidget *FrmParam::foldersTab()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    m_folders.append(folderRow(grid, 0, QStringLiteral("Répertoire Image :"), QStringLiteral("fichiers images")));
    m_folders.last()->parentWidget()->findChildren<QToolButton *>().last()->setToolTip(
        QStringLiteral("Cliquez ici pour sélectionner le répertoire des icônes"));
    m_folders.append(folderRow(grid, 1, QStringLiteral("Répertoire Documents :"), QStringLiteral("fichiers documents")));
    grid->setRowStretch(2, 1);
    return page;
}

QWidget *FrmParam::htmlTab()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout;
    m_folders.append(folderRow(grid, 0, QStringLiteral("Chemin d'export des fichiers HTML"), QStringLiteral("Répertoire HTML")));
    auto *presentations = new QGroupBox(QStringLiteral("Présentations exportées"), page);
    auto *presentationGrid = new QGridLayout(presentations);
    for (int n = 0; n < ProgramSettings::HtmlPresentations; ++n) {
        m_htmlPresentations.append(new QCheckBox(HtmlPresentationNames[n], presentations));
        presentationGrid->addWidget(m_htmlPresentations.last(), n / 3, n % 3);
    }
    auto *plannings = new QGroupBox(QStringLiteral("Plannings exportés"), page);
    auto *planningRow = new QHBoxLayout(plannings);
    const Terms &t = m_session.terms();
    for (Entity e : {Entity::Ressource, Entity::Client, Entity::Tache}) {
        m_htmlPlannings.append(new QCheckBox(QStringLiteral("Export Planning/") + t.plural(e), plannings));
        planningRow->addWidget(m_htmlPlannings.last());
    }
    auto *form = new QFormLayout;
    m_htmlDays = new QLineEdit(page);
    m_htmlWidth = new QLineEdit(page);
    m_htmlDays->setMaximumWidth(80);
    m_htmlWidth->setMaximumWidth(80);
    form->addRow(QStringLiteral("Entrez le nombre de jours"), m_htmlDays);
    form->addRow(QStringLiteral("Entrez la largeur en Pixel de l'image du planning HTML"), m_htmlWidth);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addWidget(presentations);
    layout->addWidget(plannings);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

QWidget *FrmParam::mailTab()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout;
    m_mode = new QComboBox(page);
    m_mode->addItems({QStringLiteral("Logiciel de messagerie du poste"), QStringLiteral("Envoi direct par un serveur SMTP")});
    m_server = new QLineEdit(page);
    m_port = new QLineEdit(page);
    m_port->setMaximumWidth(80);
    m_port->setPlaceholderText(QStringLiteral("25"));
    m_auth = new QCheckBox(QStringLiteral("Le serveur demande une authentification"), page);
    m_user2 = new QLineEdit(page);
    m_password = new QLineEdit(page);
    m_password->setEchoMode(QLineEdit::Password);
    m_proxy = new QLineEdit(page);
    m_sender = new QLineEdit(page);
    form->addRow(QStringLiteral("Mode d'envoi :"), m_mode);
    form->addRow(QStringLiteral("Serveur SMTP :"), m_server);
    form->addRow(QStringLiteral("Port :"), m_port);
    form->addRow(QString(), m_auth);
    form->addRow(QStringLiteral("Utilisateur :"), m_user2);
    form->addRow(QStringLiteral("Mot de passe :"), m_password);
    form->addRow(QStringLiteral("Serveur proxy :"), m_proxy);
    form->addRow(QStringLiteral("Adresse de l'expéditeur :"), m_sender);
    connect(m_auth, &QCheckBox::toggled, m_user2, &QWidget::setEnabled);
    connect(m_auth, &QCheckBox::toggled, m_password, &QWidget::setEnabled);

    auto *content = new QGroupBox(QStringLiteral("Contenu des messages"), page);
    auto *contentGrid = new QGridLayout(content);
    const Terms &t = m_session.terms();
    m_receipt = new QCheckBox(QStringLiteral("Accusé de réception"), content);
    m_html = new QCheckBox(QStringLiteral("Format HTML"), content);
    m_withDates = new QCheckBox(QStringLiteral("Dates ") + t.partitive(Entity::Tache) + t.singular(Entity::Tache), content);
    m_withClients = new QCheckBox(t.plural(Entity::Client), content);
    m_withComment = new QCheckBox(QStringLiteral("Commentaire"), content);
    contentGrid->addWidget(m_receipt, 0, 0);
    contentGrid->addWidget(m_html, 0, 1);
    contentGrid->addWidget(m_withDates, 1, 0);
    contentGrid->addWidget(m_withClients, 1, 1);
    contentGrid->addWidget(m_withComment, 1, 2);

    auto *test = new QPushButton(QStringLiteral("&Envoyer un message d'essai"), page);
    test->setAutoDefault(false);
    connect(test, &QPushButton::clicked, this, &FrmParam::sendTestMessage);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(content);
    layout->addWidget(test, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

QWidget *FrmParam::freeFieldsTab()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    m_fieldsTitle = new QLineEdit(page);
    grid->addWidget(new QLabel(QStringLiteral("Titre :"), page), 0, 0);
    grid->addWidget(m_fieldsTitle, 0, 1);
    for (int i = 0; i < 7; ++i) {
        m_textLabels.append(new QLineEdit(page));
        m_textVisible.append(visibleBox(page));
        grid->addWidget(new QLabel(QStringLiteral("Champs libre %1 :").arg(i + 1), page), i + 1, 0);
        grid->addWidget(m_textLabels.last(), i + 1, 1);
        grid->addWidget(m_textVisible.last(), i + 1, 2);
    }
    for (int i = 0; i < 4; ++i) {
        m_codeLabels.append(new QLineEdit(page));
        m_codeVisible.append(visibleBox(page));
        grid->addWidget(new QLabel(QStringLiteral("Table libre %1 :").arg(i + 1), page), i + 8, 0);
        grid->addWidget(m_codeLabels.last(), i + 8, 1);
        grid->addWidget(m_codeVisible.last(), i + 8, 2);
    }
    grid->setRowStretch(12, 1);
    return page;
}

QWidget *FrmParam::freeDataTab()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    m_dataTitle = new QLineEdit(page);
    form->addRow(QStringLiteral("Titre :"), m_dataTitle);
    QStringList labels;
    for (int i = 1; i <= 6; ++i)
        labels << QStringLiteral("Donnée %1 :").arg(i);
    labels << QStringLiteral("Table 1 :") << QStringLiteral("Table 2 :") << QStringLiteral("Commentaire :");
    for (const QString &label : labels) {
        m_dataLabels.append(new QLineEdit(page));
        form->addRow(label, m_dataLabels.last());
    }
    return page;
}

QWidget *FrmParam::vocabularyTab()
{
    auto *page = new QWidget(this);
    auto *frame = new QGroupBox(QStringLiteral("Remplacement des libellés"), page);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Singulier"), frame), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Pluriel"), frame), 0, 2);
    const QStringList names = {QStringLiteral("Ressource"), QStringLiteral("Client"), QStringLiteral("Société"), QStringLiteral("Particulier"),
                               QStringLiteral("Tâche")};
    for (int row = 0; row < 5; ++row) {
        m_singular.append(new QLineEdit(frame));
        m_plural.append(new QLineEdit(frame));
        m_feminine.append(new QCheckBox(QStringLiteral("Féminin"), frame));
        m_vowel.append(new QCheckBox(QStringLiteral("Commence par une voyelle"), frame));
        grid->addWidget(new QLabel(names[row] + QStringLiteral(" :"), frame), row + 1, 0);
        grid->addWidget(m_singular[row], row + 1, 1);
        grid->addWidget(m_plural[row], row + 1, 2);
        grid->addWidget(m_feminine[row], row + 1, 3);
        grid->addWidget(m_vowel[row], row + 1, 4);
        connect(m_singular[row], &QLineEdit::textChanged, this, &FrmParam::updateExample);
        connect(m_plural[row], &QLineEdit::textChanged, this, &FrmParam::updateExample);
        connect(m_feminine[row], &QCheckBox::toggled, this, &FrmParam::updateExample);
        connect(m_vowel[row], &QCheckBox::toggled, this, &FrmParam::updateExample);
    }
    m_example = new QLabel(page);
    m_example->setWordWrap(true);
    ScreenTexts::keepText(m_example);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(frame);
    layout->addWidget(new QLabel(QStringLiteral("Exemples :"), page));
    layout->addWidget(m_example);
    layout->addStretch();
    return page;
}

QWidget *FrmParam::planningTab()
{
    auto *page = new QWidget(this);
    auto *filters = new QPushButton(QStringLiteral("Disposition des &filtres..."), page);
    auto *planning = new QPushButton(QStringLiteral("Paramètres du p&lanning..."), page);
    connect(filters, &QPushButton::clicked, this, [this] {
        Frm_Param screen(m_session, this);
        screen.exec();
    });
    connect(planning, &QPushButton::clicked, this, [this] {
        ParamPlanning screen(m_session, m_prompter, this);
        screen.exec();
    });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Ces réglages sont enregistrés dès leur validation dans leur propre fenêtre."), page));
    layout->addWidget(filters, 0, Qt::AlignLeft);
    layout->addWidget(planning, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

void FrmParam::load()
{
    const ProgramSettings p = ProgramSettings::read(m_session.settings());
    m_splash->setText(p.splashSeconds);
    m_presentation->setCurrentIndex(p.ordinaryWindow ? 0 : 1);
    m_trayOpen->setCurrentIndex(p.trayDoubleClick >= 0 && p.trayDoubleClick <= 2 ? p.trayDoubleClick : 0);
    m_poll->setCurrentIndex(m_poll->findData(p.pollSeconds));
    for (int i = 0; i < ProgramSettings::HotKeys; ++i) {
        m_hotKeyOn[i]->setChecked(p.hotKeyOn[i]);
        // A key code written by another workstation stays as it is.
        if (m_hotKeyCode[i]->findData(p.hotKeyCode[i]) < 0)
            m_hotKeyCode[i]->addItem(QStringLiteral("Code %1").arg(p.hotKeyCode[i]), p.hotKeyCode[i]);
        m_hotKeyCode[i]->setCurrentIndex(m_hotKeyCode[i]->findData(p.hotKeyCode[i]));
    }
    m_autostart->setChecked(Autostart::isEnabled());
    m_autoConnect->setChecked(p.autoConnect);
    m_user->setEnabled(p.autoConnect);
    m_userPassword->setEnabled(p.autoConnect);
    if (p.autoConnect) {
        fillUsers();
        // A stored user since deleted stays shown, so validating loses nothing.
        if (!p.login.isEmpty() && m_user->findText(p.login) < 0)
            m_user->addItem(p.login);
        m_user->setCurrentIndex(m_user->findText(p.login));
    }
    m_userPassword->setText(p.password);

    m_folders[0]->setText(p.imagesFolder);
    m_folders[1]->setText(p.documentsFolder);
    m_folders[2]->setText(p.htmlFolder);
    for (int n = 0; n < ProgramSettings::HtmlPresentations; ++n)
        m_htmlPresentations[n]->setChecked(p.htmlPresentations[n]);
    for (int n = 0; n < ProgramSettings::HtmlPlannings; ++n)
        m_htmlPlannings[n]->setChecked(p.htmlPlannings[n]);
    m_htmlDays->setText(p.htmlDays);
    m_htmlWidth->setText(p.htmlWidth);

    const MailSettings &m = p.mail;
    m_mode->setCurrentIndex(m.directSmtp ? 1 : 0);
    m_server->setText(m.server);
    m_port->setText(m.port);
    m_auth->setChecked(m.authenticate);
    m_user2->setEnabled(m.authenticate);
    m_password->setEnabled(m.authenticate);
    m_user2->setText(m.user);
    m_password->setText(m.password);
    m_proxy->setText(m.proxy);
    m_sender->setText(m.sender);
    m_receipt->setChecked(m.readReceipt);
    m_html->setChecked(m.html);
    m_withDates->setChecked(m.withDates);
    m_withClients->setChecked(m.withClients);
    m_withComment->setChecked(m.withComment);

    ClientFreeZones zones;
    if (m_session.database()) {
        const Outcome read = ClientFreeZones::load(m_session, &zones);
        if (!read)
            m_prompter.show(read);
    } else {
        zones = ClientFreeZones::defaults();
    }
    m_fieldsTitle->setText(zones.fieldsTitle);
    for (int i = 0; i < 7; ++i) {
        m_textLabels[i]->setText(zones.textLabels.value(i));
        m_textVisible[i]->setChecked(zones.textVisible.value(i));
    }
    for (int i = 0; i < 4; ++i) {
        m_codeLabels[i]->setText(zones.codeLabels.value(i));
        m_codeVisible[i]->setChecked(zones.codeVisible.value(i));
    }
    m_dataTitle->setText(zones.dataTitle);
    for (int i = 0; i < 9; ++i)
        m_dataLabels[i]->setText(zones.dataLabels.value(i));

    const Terms &t = m_session.terms();
    int row = 0;
    for (Entity e : Terms::all()) {
        m_singular[row]->setText(t.singular(e));
        m_plural[row]->setText(t.plural(e));
        m_feminine[row]->setChecked(t.feminine(e));
        m_vowel[row]->setChecked(t.elided(e));
        ++row;
    }
    updateExample();
}

void FrmParam::fillUsers()
{
    if (m_user->count() > 0 || !m_session.database())
        return;
    ResultSet rows;
    if (!m_session.database()->query(QStringLiteral("select codeutil from kp_utilisateurs order by codeutil"), rows)) {
        m_prompter.show(Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des utilisateurs"),
                                         m_session.database()->lastError()));
        return;
    }
    if (rows.isEmpty()) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Aucun utilisateur enregristré !!"), Prompter::Icon::Warning);
        return;
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        m_user->addItem(PasswordCodec::decode(rows.value(r, 0)));
}

ProgramSettings FrmParam::entered() const
{
    ProgramSettings p;
    p.splashSeconds = m_splash->text().trimmed();
    p.ordinaryWindow = m_presentation->currentIndex() == 0;
    p.trayDoubleClick = m_trayOpen->currentIndex();
    p.pollSeconds = m_poll->currentData().toInt();
    for (int i = 0; i < ProgramSettings::HotKeys; ++i) {
        p.hotKeyOn[i] = m_hotKeyOn[i]->isChecked();
        p.hotKeyCode[i] = m_hotKeyCode[i]->currentData().toInt();
    }
    p.imagesFolder = m_folders[0]->text();
    p.documentsFolder = m_folders[1]->text();
    p.htmlFolder = m_folders[2]->text();
    for (int n = 0; n < ProgramSettings::HtmlPresentations; ++n)
        p.htmlPresentations[n] = m_htmlPresentations[n]->isChecked();
    for (int n = 0; n < ProgramSettings::HtmlPlannings; ++n)
        p.htmlPlannings[n] = m_htmlPlannings[n]->isChecked();
    p.htmlDays = m_htmlDays->text();
    p.htmlWidth = m_htmlWidth->text();
    p.autoConnect = m_autoConnect->isChecked();
    p.login = m_user->currentText();
    p.password = m_userPassword->text();
    MailSettings &m = p.mail;
    m.directSmtp = m_mode->currentIndex() == 1;
    m.server = m_server->text();
    m.port = m_port->text();
    m.authenticate = m_auth->isChecked();
    m.user = m_user2->text();
    m.password = m_password->text();
    m.proxy = m_proxy->text();
    m.sender = m_sender->text();
    m.readReceipt = m_receipt->isChecked();
    m.html = m_html->isChecked();
    m.withDates = m_withDates->isChecked();
    m.withClients = m_withClients->isChecked();
    m.withComment = m_withComment->isChecked();
    return p;
}

bool FrmParam::validate()
{
    const ProgramSettings p = entered();
    const QString wrong = checkProgramSettings(p);
    if (!wrong.isEmpty()) {
        m_prompter.show(QStringLiteral("Attention"), wrong, Prompter::Icon::Warning);
        return false;
    }
    p.write(m_session.settings());
    if (!Autostart::setEnabled(m_autostart->isChecked()))
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Impossible de modifier le démarrage au lancement de la session"),
                        Prompter::Icon::Critical);

    if (m_session.database()) {
        ClientFreeZones zones;
        zones.fieldsTitle = m_fieldsTitle->text();
        for (int i = 0; i < 7; ++i) {
            zones.textLabels[i] = m_textLabels[i]->text();
            zones.textVisible[i] = m_textVisible[i]->isChecked();
        }
        for (int i = 0; i < 4; ++i) {
            zones.codeLabels[i] = m_codeLabels[i]->text();
            zones.codeVisible[i] = m_codeVisible[i]->isChecked();
        }
        zones.dataTitle = m_dataTitle->text();
        for (int i = 0; i < 9; ++i)
            zones.dataLabels[i] = m_dataLabels[i]->text();
        const Outcome saved = zones.save(m_session);
        if (!saved) {
            m_prompter.show(saved);
            return false;
        }

        Terms &t = m_session.terms();
        int row = 0;
        for (Entity e : Terms::all()) {
            t.setTerm(e, {m_singular[row]->text().trimmed(), m_plural[row]->text().trimmed(), m_feminine[row]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                          m_vowel[row]->isChecked() ? QStringLiteral("1") : QStringLiteral("0")});
            ++row;
        }
        const Outcome words = Vocabulary::save(m_session);
        if (!words) {
            m_prompter.show(words);
            return false;
        }
        emit termsChanged();
    }
    return true;
}

QString FrmParam::exampleSentence() const
{
    return m_example->text();
}

void FrmParam::updateExample()
{
    // The words as typed, agreed by the rules every message uses.
    Terms typed;
    int row = 0;
    for (Entity e : Terms::all()) {
        typed.setTerm(e, {m_singular[row]->text().trimmed(), m_plural[row]->text().trimmed(), m_feminine[row]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                          m_vowel[row]->isChecked() ? QStringLiteral("1") : QStringLiteral("0")});
        ++row;
    }
    QStringList lines;
    lines << QStringLiteral("Déplacer ") + typed.quantifier(Entity::Tache) + typed.article(Entity::Tache) + typed.singular(Entity::Tache)
                 + QStringLiteral(" ?");
    lines << QStringLiteral("Erreur lors de la lecture ") + typed.partitive(Entity::Ressource) + typed.singular(Entity::Ressource);
    lines << QStringLiteral("Impossible de modifier la table des ") + typed.plural(Entity::Client);
    m_example->setText(lines.join(QLatin1Char('\n')));
}

void FrmParam::sendTestMessage()
{
    const ProgramSettings p = entered();
    const QString wrong = checkProgramSettings(p);
    if (!wrong.isEmpty()) {
        m_prompter.show(QStringLiteral("Attention"), wrong, Prompter::Icon::Warning);
        return;
    }
    if (p.mail.server.trimmed().isEmpty() || p.mail.sender.trimmed().isEmpty()) {
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Indiquez le serveur SMTP et l'adresse de l'expéditeur"),
                        Prompter::Icon::Warning);
        return;
    }
    KpMailer mailer;
    mailer.SMTPServer = p.mail.server.trimmed();
    if (!p.mail.port.trimmed().isEmpty())
        mailer.SMTPServerPort = p.mail.port.trimmed().toInt();
    mailer.MailFROM = p.mail.sender.trimmed();
    mailer.MailTo = mailer.MailFROM;
    mailer.MailSubject = QStringLiteral("Message d'essai de Quenzo");
    mailer.MailBody = QStringLiteral("Ce message vérifie les paramètres d'envoi du poste %1.").arg(m_session.workstation());
    mailer.UseHTMLFormat = false;
    mailer.SMTPAuthMode = p.mail.authenticate ? 1 : 0;
    mailer.SMTPSendUsername = p.mail.user;
    mailer.SMTPSendPassword = p.mail.password;
    mailer.ProxyServerName = p.mail.proxy.trimmed();
    const Outcome sent = mailer.Send();
    if (sent)
        m_prompter.show(QStringLiteral("Messagerie"), QStringLiteral("Le message a été envoyé."));
    else
        m_prompter.show(sent);
}
