#include "clients/ClientScreen.h"

#include "clients/ClientRules.h"
#include "clients/SubRecordPanel.h"
#include "core/OuvrirDocument.h"
#include "core/Prompter.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "reports/ReportTable.h"
#include "reports/apercu.h"
#include "resources/IconField.h"
#include "resources/ReferenceLists.h"
#include "resources/ResourceSubRecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Societes = QStringLiteral("kp_societes");
const QString Incomplete = QStringLiteral("Incomplet");

// The text fields both screens share, with their labels.
struct ScreenText
{
    const char *column;
    const char *label;
    QString Client::*member;
};
const ScreenText Texts[] = {
    {"groupesoc", "Groupe :", &Client::group},     {"nomcont", "Nom :", &Client::surname},
    {"prenomcont", "Prénom :", &Client::firstName}, {"adrsoc", "Adresse :", &Client::address},
    {"adrcompsoc", "Complément :", &Client::complement}, {"cpsoc", "Code postal :", &Client::postcode},
    {"villesoc", "Ville :", &Client::town},         {"payssoc", "Pays :", &Client::country},
    {"etatsoc", "Etat :", &Client::state},          {"telsoc", "Téléphone :", &Client::phone},
    {"mobsoc", "Mobile :", &Client::mobile},        {"faxsoc", "Fax :", &Client::fax},
    {"mailsoc", "E-mail :", &Client::mail},         {"websoc", "Site web :", &Client::web},
};

const ScreenText *textOf(const QString &column)
{
    for (const ScreenText &t : Texts)
        if (column == QLatin1String(t.column))
            return &t;
    return nullptr;
}

QString dateText(const QVariant &date)
{
    const QDate d = date.toDate();
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QComboBox *codeCombo()
{
    auto *combo = new QComboBox;
    combo->setMinimumContentsLength(16);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

} // namespace

ClientScreen::ClientScreen(Session &session, Prompter &prompter, int type, QWidget *parent)
    : RecordScreen(session, prompter, LockKind::Client, parent), m_type(type),
      m_rights(Access::lookup(session, QStringLiteral("SOCIETE"))),
      m_imagesFolder(session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images"))),
      m_documentsFolder(session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Documents"))), m_tabs(new QTabWidget(this))
{
    m_client.type = type;
    m_fileChooser = [this](const QString &folder) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("fichiers documents"), folder, QStringLiteral("Tous les fichiers (*)"));
    };
    m_documentOpener = [this](const QString &path) { return ::openDocument(path, m_prompter, this); };
    m_previewer = [this](const ReportTable &table) { apercu::preview(m_session, m_prompter, table, this); };

    const Outcome zones = ClientFreeZones::load(session, &m_freeZones);
    if (!zones)
        m_prompter.show(zones);

    const Terms &terms = session.terms();
    const Entity entity = ClientStore::entityOf(type);
    const QString term = terms.singular(entity);

    for (const ScreenText &t : Texts)
        makeLine(QString::fromLatin1(t.column));
    m_sector = codeCombo();
    m_sector->setObjectName(QStringLiteral("secteursoc"));
    m_fields.insert(m_sector->objectName(), m_sector);
    m_civility = newCivilityList();
    m_civility->setParent(this);
    m_civility->setObjectName(QStringLiteral("sexecont"));
    m_fields.insert(m_civility->objectName(), m_civility);
    m_comment = new QPlainTextEdit(this);
    m_comment->setObjectName(QStringLiteral("commentsoc"));
    m_fields.insert(m_comment->objectName(), m_comment);

    m_background = new ColourSwatch(this);
    m_text = new ColourSwatch(this);
    const QString articleEnding = terms.articleEnding(entity);
    m_icon = new IconField(prompter, m_imagesFolder, QStringLiteral("Sélectionnez un autre icone pour l") + articleEnding + term,
                           QStringLiteral("Supprimez l'icone pour l") + articleEnding + term, this);
    m_closed = new QCheckBox(QStringLiteral("Clôturé"), this);
    m_closed->setObjectName(QStringLiteral("cloture"));
    m_closed->setToolTip(terms.singular(Entity::Client) + QStringLiteral(" qui n'est plus actif"));
    m_zones = new QTreeWidget(this);
    m_zones->setObjectName(QStringLiteral("noidzone"));
    m_zones->setHeaderLabels({QStringLiteral("Zone")});
    m_zones->setRootIsDecorated(false);
    m_zones->setUniformRowHeights(true);

    m_historyButton = plainButton(QStringLiteral("&Historique..."), this, QStringLiteral("Accès aux listes statistiques"));
    m_deleteButton = plainButton(QStringLiteral("&Supprimer"), this);

    buildContracts();
    buildDocuments();
    buildMemos();
    buildData();

    connect(m_icon, &IconField::iconChanged, this, [this](const QString &icon) { m_client.icon = icon; });
    connect(m_historyButton, &QPushButton::clicked, this, [this] {
        if (m_client.number)
            emit historyRequested(m_client.number);
    });
    connect(m_deleteButton, &QPushButton::clicked, this, &ClientScreen::removeClient);
}

QLineEdit *ClientScreen::makeLine(const QString &column)
{
    QLineEdit *edit = columnLineEdit(Societes, column);
    edit->setParent(this);
    edit->setObjectName(column);
    m_fields.insert(column, edit);
    return edit;
}

QLineEdit *ClientScreen::lineField(const QString &column) const
{
    return qobject_cast<QLineEdit *>(m_fields.value(column));
}

QFormLayout *ClientScreen::form(const QStringList &columns)
{
    auto *f = new QFormLayout;
    for (const QString &column : columns)
        if (const ScreenText *t = textOf(column))
            f->addRow(QString::fromUtf8(t->label), m_fields.value(column));
    return f;
}

QWidget *ClientScreen::addressBox()
{
    auto *box = new QGroupBox(QStringLiteral("Adresse"), this);
    box->setLayout(form({QStringLiteral("adrsoc"), QStringLiteral("adrcompsoc"), QStringLiteral("cpsoc"), QStringLiteral("villesoc"),
                         QStringLiteral("payssoc"), QStringLiteral("etatsoc")}));
    return box;
}

QWidget *ClientScreen::contactBox()
{
    auto *box = new QGroupBox(QStringLiteral("Téléphones et courrier électronique"), this);
    box->setLayout(form({QStringLiteral("telsoc"), QStringLiteral("mobsoc"), QStringLiteral("faxsoc"), QStringLiteral("mailsoc"),
                         QStringLiteral("websoc")}));
    return box;
}

QWidget *ClientScreen::zoneBox()
{
    auto *box = new QGroupBox(QStringLiteral("Zone"), this);
    auto *layout = new QVBoxLayout(box);
    m_zones->setHeaderHidden(true);
    layout->addWidget(m_zones);
    return box;
}

QComboBox *ClientScreen::newCivilityList() const
{
    auto *combo = new QComboBox;
    for (const Civility &c : m_session.civilities())
        combo->addItem(c.fullName);
    return combo;
}

void ClientScreen::arrangeIdentityTab(QWidget *tab, const QList<QWidget *> &ownBoxes)
{
    auto *comment = new QGroupBox(QStringLiteral("Commentaire"), tab);
    auto *commentLayout = new QVBoxLayout(comment);
    commentLayout->addWidget(m_comment);
    auto *left = new QVBoxLayout;
    for (QWidget *box : ownBoxes)
        left->addWidget(box);
    left->addWidget(comment, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(addressBox());
    right->addWidget(contactBox());
    auto *zones = new QVBoxLayout;
    zones->addWidget(zoneBox());
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(left, 4);
    layout->addLayout(right, 4);
    layout->addLayout(zones, 2);
}

SubRecordPanel *ClientScreen::makePanel(const ClientSubKind &kind, const QStringList &headers)
{
    auto *panel = new SubRecordPanel(m_session, m_prompter, kind, headers, this);
    panel->setClient([this] { return m_client.number; });
    panel->setOwner([this] { return ownerReady(); });
    return panel;
}

void ClientScreen::buildContracts()
{
    m_contracts = makePanel(ClientSubKinds::contracts(),
                            {QStringLiteral("Type de contrat"), QStringLiteral("Début"), QStringLiteral("Fin"), QStringLiteral("Réf. interne")});
    const QString table = QStringLiteral("kp_contratsoc");
    auto *end = new DateField;
    m_contracts->addField(QStringLiteral("Type de contrat :"), codeCombo(), QStringLiteral("codecontrat"));
    m_contracts->addField(QStringLiteral("Début :"), new DateField, QStringLiteral("dtdeb"));
    m_contracts->addField(QStringLiteral("Fin :"), end, QStringLiteral("dtfin"));
    m_contracts->addField(QStringLiteral("Référence interne :"), columnLineEdit(table, QStringLiteral("refinterne")), QStringLiteral("refinterne"));
    m_contracts->addField(QStringLiteral("Référence client :"), columnLineEdit(table, QStringLiteral("refclient")), QStringLiteral("refclient"));
    m_contracts->addField(QStringLiteral("Commentaire :"), new QPlainTextEdit, QStringLiteral("commentaire"));
    end->installEventFilter(this);
    m_contracts->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_contracts->kind();
        const QString code = row.value(k, QStringLiteral("codecontrat")).toString();
        return QStringList{codeLabel(QStringLiteral("kp_contrats"), code), dateText(row.value(k, QStringLiteral("dtdeb"))),
                           dateText(row.value(k, QStringLiteral("dtfin"))), row.value(k, QStringLiteral("refinterne")).toString()};
    });
    m_contracts->setCheck([this] {
        const ClientSubRow row = m_contracts->entry();
        const ClientSubKind &k = m_contracts->kind();
        if (row.value(k, QStringLiteral("codecontrat")).toString().isEmpty()) {
            m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous devez renseigner un code contrat !"), Prompter::Icon::Warning);
            return false;
        }
        const QDate start = row.value(k, QStringLiteral("dtdeb")).toDate();
        const QDate finish = row.value(k, QStringLiteral("dtfin")).toDate();
        if (start.isValid() && finish.isValid() && finish < start) {
            m_prompter.show(QStringLiteral("ERreur"), QStringLiteral("La date de fin est antérieure à la date de début du contrat"),
                            Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

void ClientScreen::buildDocuments()
{
    m_documents = makePanel(ClientSubKinds::documents(), {QStringLiteral("Date"), QStringLiteral("Type"), QStringLiteral("Document")});
    const QString table = QStringLiteral("kp_documents");
    m_documents->addField(QStringLiteral("Date :"), new DateField, QStringLiteral("datedoc"));
    m_documents->addField(QStringLiteral("Type de document :"), codeCombo(), QStringLiteral("codetypedoc"));
    QLineEdit *path = columnLineEdit(table, QStringLiteral("chemin"));
    path->setReadOnly(true); // chosen in the documents folder only
    m_documents->addField(QStringLiteral("Document :"), path, QStringLiteral("chemin"));
    m_documents->addField(QStringLiteral("Commentaire :"), columnLineEdit(table, QStringLiteral("commentaire")), QStringLiteral("commentaire"));
    QPushButton *choose = m_documents->addButton(QStringLiteral("Choisir..."), QStringLiteral("Choisir le fichier du document"));
    QPushButton *open = m_documents->addButton(QStringLiteral("Ouvrir"), QStringLiteral("Ouvrir le document"));
    connect(choose, &QPushButton::clicked, this, &ClientScreen::chooseDocument);
    connect(open, &QPushButton::clicked, this, &ClientScreen::openDocument);
    m_documents->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_documents->kind();
        return QStringList{dateText(row.value(k, QStringLiteral("datedoc"))),
                           codeLabel(QStringLiteral("kp_typedoc"), row.value(k, QStringLiteral("codetypedoc")).toString()),
                           row.value(k, QStringLiteral("chemin")).toString()};
    });
    m_documents->setCheck([this] {
        const ClientSubRow row = m_documents->entry();
        const ClientSubKind &k = m_documents->kind();
        if (row.value(k, QStringLiteral("codetypedoc")).toString().isEmpty()) {
            m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner au moins le type de document !"), Prompter::Icon::Warning);
            return false;
        }
        if (!row.value(k, QStringLiteral("datedoc")).toDate().isValid()) {
            m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner la date !"), Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

void ClientScreen::buildMemos()
{
    m_memos = makePanel(ClientSubKinds::memos(), {QStringLiteral("Date"), QStringLiteral("Type"), QStringLiteral("Titre")});
    m_memos->addField(QStringLiteral("Type de mémo :"), codeCombo(), QStringLiteral("codememo"));
    m_memos->addField(QStringLiteral("Date :"), new DateField, QStringLiteral("datememo"));
    m_memos->addField(QStringLiteral("Titre :"), columnLineEdit(QStringLiteral("kp_memosoc"), QStringLiteral("titrememo")),
                      QStringLiteral("titrememo"));
    m_memos->addField(QStringLiteral("Texte :"), new QPlainTextEdit, QStringLiteral("commentaire"));
    QPushButton *print = m_memos->addButton(QStringLiteral("Imprimer..."));
    connect(print, &QPushButton::clicked, this, &ClientScreen::printMemos);
    m_memos->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_memos->kind();
        return QStringList{dateText(row.value(k, QStringLiteral("datememo"))),
                           codeLabel(QStringLiteral("kp_typememo"), row.value(k, QStringLiteral("codememo")).toString()),
                           row.value(k, QStringLiteral("titrememo")).toString()};
    });
    m_memos->setCheck([this] {
        const ClientSubRow row = m_memos->entry();
        const ClientSubKind &k = m_memos->kind();
        if (row.value(k, QStringLiteral("codememo")).toString().isEmpty()) {
            m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner au moins le type de mémo !"), Prompter::Icon::Warning);
            return false;
        }
        if (!row.value(k, QStringLiteral("datememo")).toDate().isValid()) {
            m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner la date !"), Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

void ClientScreen::buildData()
{
    const QStringList &labels = m_freeZones.dataLabels;
    m_data = makePanel(ClientSubKinds::data(), {labels[0], labels[1], labels[2], labels[6]});
    const QString table = QStringLiteral("kp_donneesoc");
    for (int i = 0; i < 9; ++i) {
        const QString column = QStringLiteral("ch%1").arg(i + 1);
        QWidget *edit = i < 6 ? static_cast<QWidget *>(columnLineEdit(table, column))
                        : i < 8 ? static_cast<QWidget *>(codeCombo())
                                : static_cast<QWidget *>(new QPlainTextEdit);
        m_data->addField(labels[i] + QStringLiteral(" :"), edit, column);
    }
    m_data->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_data->kind();
        return QStringList{row.value(k, QStringLiteral("ch1")).toString(), row.value(k, QStringLiteral("ch2")).toString(),
                           row.value(k, QStringLiteral("ch3")).toString(),
                           codeLabel(QStringLiteral("kp_tabledonne1"), row.value(k, QStringLiteral("ch7")).toString())};
    });
    m_data->setCheck([this] {
        if (m_data->entry().value(m_data->kind(), QStringLiteral("ch1")).toString().trimmed().isEmpty()) {
            m_prompter.show(Incomplete, QStringLiteral("Vous devez au moins renseigner le premier champs !"), Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

QWidget *ClientScreen::freeFieldsTab()
{
    auto *tab = new QWidget(this);
    auto *texts = new QFormLayout;
    auto *codes = new QFormLayout;
    for (int i = 0; i < 7; ++i) {
        m_freeTexts[i] = columnLineEdit(QStringLiteral("kp_libresoc"), QStringLiteral("ch%1").arg(i + 1));
        m_freeTexts[i]->setParent(tab);
        m_freeTexts[i]->setObjectName(QStringLiteral("libre_ch%1").arg(i + 1));
        texts->addRow(m_freeZones.textLabels[i] + QStringLiteral(" :"), m_freeTexts[i]);
        texts->setRowVisible(m_freeTexts[i], m_freeZones.textVisible[i]);
    }
    for (int i = 0; i < 4; ++i) {
        m_freeCodes[i] = codeCombo();
        m_freeCodes[i]->setParent(tab);
        m_freeCodes[i]->setObjectName(QStringLiteral("libre_tb%1").arg(i + 1));
        codes->addRow(m_freeZones.codeLabels[i] + QStringLiteral(" :"), m_freeCodes[i]);
        codes->setRowVisible(m_freeCodes[i], m_freeZones.codeVisible[i]);
    }
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(texts, 1);
    layout->addSpacing(24);
    auto *right = new QVBoxLayout;
    right->addLayout(codes);
    right->addStretch();
    layout->addLayout(right, 1);
    return tab;
}

void ClientScreen::finish(QWidget *identity, QWidget *head, SubRecordPanel *own, const QString &ownTitle, qint64 number,
                          QPushButton *extraButton)
{
    m_own = own;
    const auto title = [](const QString &stored, const QString &fallback) { return stored.isEmpty() ? fallback : stored; };
    m_tabs->addTab(identity, QStringLiteral("&Identité"));
    m_tabs->addTab(own, ownTitle);
    m_tabs->addTab(m_contracts, QStringLiteral("Con&trats"));
    m_tabs->addTab(m_documents, QStringLiteral("&Documents"));
    m_tabs->addTab(m_memos, QStringLiteral("&Mémos"));
    m_tabs->addTab(freeFieldsTab(), title(m_freeZones.fieldsTitle, QStringLiteral("Champs &Libres")));
    m_tabs->addTab(m_data, title(m_freeZones.dataTitle, QStringLiteral("D&onnées libres")));

    auto *planning = new QHBoxLayout;
    planning->addWidget(new QLabel(QStringLiteral("Couleur de fond :"), this));
    planning->addWidget(m_background);
    planning->addSpacing(16);
    planning->addWidget(new QLabel(QStringLiteral("Couleur du texte :"), this));
    planning->addWidget(m_text);
    planning->addSpacing(24);
    planning->addWidget(new QLabel(QStringLiteral("Icône :"), this));
    planning->addWidget(m_icon);
    planning->addStretch();
    planning->addWidget(m_closed);

    QPushButton *save = plainButton(QStringLiteral("&Valider"), this);
    QPushButton *close = plainButton(QStringLiteral("&Fermer"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_historyButton);
    if (extraButton)
        buttons->addWidget(extraButton);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(m_deleteButton);
    buttons->addWidget(close);
    connect(save, &QPushButton::clicked, this, &ClientScreen::validate);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(head);
    layout->addLayout(planning);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    resize(940, 620);

    fillLists();
    if (number) {
        m_client.number = number;
        if (!takeLock(number) || !reload()) {
            m_open = false;
            releaseLock();
            return;
        }
    } else {
        showClient();
        reloadPanels();
        updateState();
    }
    FieldNavigation::install(this);
}

// --- choice lists

QString ClientScreen::codeLabel(const QString &table, const QString &code) const
{
    const QString label = m_labels.value(table).value(code);
    return label.isEmpty() ? code : label;
}

void ClientScreen::fillCodes(QComboBox *combo, const QString &table, const QString &what)
{
    QList<ClientCode> rows;
    const Outcome read = ClientStore::codes(*m_session.database(), table, what, &rows);
    if (!read)
        m_prompter.show(read);
    const QSignalBlocker blocker(combo);
    const QString current = combo->currentData().toString();
    combo->clear();
    combo->addItem(QString(), QString());
    QHash<QString, QString> &labels = m_labels[table];
    for (const ClientCode &row : std::as_const(rows)) {
        combo->addItem(row.label, row.code);
        labels.insert(row.code, row.label);
    }
    const int index = combo->findData(current);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}

void ClientScreen::fillLists()
{
    fillCodes(m_sector, QStringLiteral("kp_secteurs"), QStringLiteral("secteurs"));
    fillCodes(qobject_cast<QComboBox *>(m_documents->field(QStringLiteral("codetypedoc"))), QStringLiteral("kp_typedoc"),
              QStringLiteral("types de documents"));
    fillCodes(qobject_cast<QComboBox *>(m_memos->field(QStringLiteral("codememo"))), QStringLiteral("kp_typememo"),
              QStringLiteral("types de mémos"));
    for (int i = 0; i < 4; ++i)
        fillCodes(m_freeCodes[i], QStringLiteral("kp_libre%1").arg(i + 1), QStringLiteral("tables libres"));
    fillCodes(qobject_cast<QComboBox *>(m_data->field(QStringLiteral("ch7"))), QStringLiteral("kp_tabledonne1"),
              QStringLiteral("tables de données"));
    fillCodes(qobject_cast<QComboBox *>(m_data->field(QStringLiteral("ch8"))), QStringLiteral("kp_tabledonne2"),
              QStringLiteral("tables de données"));

    auto *contractTypes = qobject_cast<QComboBox *>(m_contracts->field(QStringLiteral("codecontrat")));
    QList<ReferenceLists::ContractType> types;
    const Outcome read = ReferenceLists::contractTypes(*m_session.database(), &types);
    if (!read)
        m_prompter.show(read);
    contractTypes->clear();
    contractTypes->addItem(QString(), QString());
    QHash<QString, QString> &labels = m_labels[QStringLiteral("kp_contrats")];
    for (const ReferenceLists::ContractType &t : std::as_const(types)) {
        contractTypes->addItem(t.label, t.code);
        contractTypes->setItemData(contractTypes->count() - 1, t.duration, Qt::UserRole + 1);
        labels.insert(t.code, t.label);
    }
    fillZones();
    fillOwnLists();
}

void ClientScreen::fillZones()
{
    QList<ReferenceLists::Zone> zones;
    const Outcome read = ReferenceLists::zones(*m_session.database(), &zones);
    if (!read)
        m_prompter.show(read);
    zones.prepend({0, QStringLiteral("Défaut"), 0xFFFFFF, 0});
    m_zones->clear();
    for (const ReferenceLists::Zone &zone : std::as_const(zones)) {
        auto *item = new QTreeWidgetItem(m_zones, {zone.label});
        item->setData(0, Qt::UserRole, zone.number);
        if (zone.number) {
            item->setBackground(0, colourFromValue(zone.background));
            item->setForeground(0, colourFromValue(zone.text));
        }
    }
}

// --- the client

Client ClientScreen::gather() const
{
    Client c = m_client;
    c.type = m_type;
    for (const ScreenText &t : Texts)
        c.*(t.member) = lineField(QString::fromLatin1(t.column))->text();
    c.sector = m_sector->currentData().toString();
    c.civility = std::max(0, m_civility->currentIndex());
    c.comment = m_comment->toPlainText();
    c.background = m_background->value();
    c.text = m_text->value();
    c.closed = m_closed->isChecked();
    QTreeWidgetItem *zone = m_zones->currentItem();
    c.zone = zone && zone->isSelected() ? zone->data(0, Qt::UserRole).toLongLong() : 0;
    for (int i = 0; i < 7; ++i)
        c.freeTexts[i] = m_freeTexts[i]->text();
    for (int i = 0; i < 4; ++i)
        c.freeCodes[i] = m_freeCodes[i]->currentData().toString();
    gatherOwn(c);
    return c;
}

void ClientScreen::showClient()
{
    const Client &c = m_client;
    for (const ScreenText &t : Texts)
        lineField(QString::fromLatin1(t.column))->setText(c.*(t.member));
    const auto select = [](QComboBox *combo, const QString &code) {
        int index = combo->findData(code);
        if (index < 0) {
            combo->addItem(code, code);
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
    };
    select(m_sector, c.sector);
    m_civility->setCurrentIndex(std::clamp(c.civility, 0, 2));
    m_comment->setPlainText(c.comment);
    m_background->setValue(c.background);
    m_text->setValue(c.text);
    m_closed->setChecked(c.closed);
    m_zones->clearSelection();
    m_zones->setCurrentItem(nullptr);
    for (int i = 0; i < m_zones->topLevelItemCount(); ++i)
        if (m_zones->topLevelItem(i)->data(0, Qt::UserRole).toLongLong() == c.zone)
            m_zones->setCurrentItem(m_zones->topLevelItem(i));
    for (int i = 0; i < 7; ++i)
        m_freeTexts[i]->setText(c.freeTexts.value(i));
    for (int i = 0; i < 4; ++i)
        select(m_freeCodes[i], c.freeCodes.value(i));
    showOwn(c);
    m_icon->setIcon(c.icon);
}

void ClientScreen::reloadPanels()
{
    for (SubRecordPanel *panel : {m_own, m_contracts, m_documents, m_memos, m_data})
        panel->reload();
}

bool ClientScreen::reload()
{
    if (!m_client.number)
        return true;
    Client loaded;
    const Outcome read = ClientStore::load(m_session, m_client.number, m_type, &loaded);
    if (!read) {
        readFailed(read);
        return false;
    }
    m_client = loaded;
    fillLists();
    showClient();
    reloadPanels();
    updateState();
    return true;
}

void ClientScreen::updateState()
{
    const Terms &terms = m_session.terms();
    const bool exists = m_client.number != 0;
    setWindowTitle(terms.singular(ClientStore::entityOf(m_type))
                   + (exists ? QStringLiteral(" - MODIFICATION") : QStringLiteral(" - CREATION")));
    m_historyButton->setEnabled(exists);
    const bool locked = exists && !m_rights.modify;
    for (QWidget *name : nameFields()) {
        if (auto *line = qobject_cast<QLineEdit *>(name))
            line->setReadOnly(locked);
        else
            name->setEnabled(!locked);
    }
    m_background->setEnabled(!locked);
    m_text->setEnabled(!locked);
}

void ClientScreen::validate()
{
    const QString incomplete = ClientStore::incompleteText(m_session, gather());
    if (!incomplete.isEmpty()) {
        m_prompter.show(Incomplete, incomplete, Prompter::Icon::Warning);
        return;
    }
    if (!saveClient())
        return;
    // The screen stays on the saved client, as stored.
    reload();
}

bool ClientScreen::saveClient()
{
    if (m_client.number) {
        // The store would insert the row again under its old number.
        const Outcome alive = ClientStore::checkExists(m_session, m_client.number, m_type);
        if (!alive) {
            readFailed(alive);
            return false;
        }
    }
    Client c = gather();
    const bool created = c.number == 0;
    const Outcome saved = ClientStore::save(m_session, &c);
    m_prompter.show(saved);
    if (!saved)
        return false;
    m_client = c;
    m_saved = c.number;
    if (created)
        takeLock(c.number);
    updateState();
    return true;
}

qint64 ClientScreen::ownerReady()
{
    const QString incomplete = ClientStore::incompleteText(m_session, gather());
    if (!incomplete.isEmpty()) {
        m_prompter.show(Incomplete, incomplete, Prompter::Icon::Warning);
        return 0;
    }
    if (!saveClient()) {
        if (m_open)
            reload();
        return 0;
    }
    return m_client.number;
}

void ClientScreen::removeClient()
{
    const Terms &terms = m_session.terms();
    if (m_consultation) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Suppression impossible en mode consultation"), Prompter::Icon::Warning);
        return;
    }
    const QString term = terms.singular(Entity::Client);
    if (!m_client.number) {
        m_prompter.show(QStringLiteral("Attention"),
                        QStringLiteral("Aucun") + (terms.feminine(Entity::Client) ? QStringLiteral("e") : QString()) + QLatin1Char(' ')
                            + term + QStringLiteral(" à supprimer"),
                        Prompter::Icon::Warning);
        return;
    }
    if (!m_rights.remove) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez pas le droit de supprimer les ") + terms.plural(Entity::Client),
                        Prompter::Icon::Warning);
        return;
    }
    const QString demonstrative = QStringLiteral("ce") + terms.demonstrativeEnding(Entity::Client) + term + QStringLiteral(" ?");
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Etes vous sûr de vouloir supprimer ") + demonstrative, false)
        || !m_prompter.ask(QStringLiteral("Confirmation"),
                           QStringLiteral("Confirmez vous une deuxième fois la suppression de ") + demonstrative, false))
        return;
    const Outcome removed = ClientRules::remove(*m_session.database(), m_client.number);
    m_prompter.show(removed);
    if (!removed)
        return;
    m_saved = 0;
    accept();
}

// --- icon

// --- contracts, documents, memos

void ClientScreen::proposeContractEnd()
{
    auto *end = qobject_cast<DateField *>(m_contracts->field(QStringLiteral("dtfin")));
    auto *start = qobject_cast<DateField *>(m_contracts->field(QStringLiteral("dtdeb")));
    auto *type = qobject_cast<QComboBox *>(m_contracts->field(QStringLiteral("codecontrat")));
    if (!end->text().trimmed().isEmpty() || !start->date().isValid())
        return;
    const QDate proposed = ClientRules::proposedContractEnd(start->date(), type->currentData(Qt::UserRole + 1).toInt());
    if (proposed.isValid())
        end->setDate(proposed);
}

bool ClientScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == m_contracts->field(QStringLiteral("dtfin")))
        proposeContractEnd();
    return QDialog::eventFilter(watched, event);
}

void ClientScreen::chooseDocument()
{
    if (m_documentsFolder.trimmed().isEmpty()) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Vous n'avez pas défini de répertoire pour les fichiers documents"),
                        Prompter::Icon::Critical);
        return;
    }
    const QString chosen = m_fileChooser(m_documentsFolder);
    if (chosen.isEmpty())
        return;
    const std::optional<QString> path = ClientRules::documentPath(m_documentsFolder, chosen);
    if (!path) {
        m_prompter.show(QStringLiteral("Désolé"),
                        QStringLiteral("Vous devez choisir un document dans le répertoire ou sous répertoire\ndéfini pour les documents"),
                        Prompter::Icon::Warning);
        return;
    }
    qobject_cast<QLineEdit *>(m_documents->field(QStringLiteral("chemin")))->setText(*path);
}

void ClientScreen::openDocument()
{
    if (m_documentsFolder.trimmed().isEmpty()) {
        m_prompter.show(QStringLiteral("Incorrect"), QStringLiteral("Chemin des documents non défini"), Prompter::Icon::Critical);
        return;
    }
    const QString path = qobject_cast<QLineEdit *>(m_documents->field(QStringLiteral("chemin")))->text();
    if (!path.isEmpty())
        m_documentOpener(QDir(m_documentsFolder).filePath(path));
}

void ClientScreen::printMemos()
{
    QList<ClientSubRow> rows;
    if (m_client.number) {
        const Outcome read = ClientSubRecords::list(m_session, m_memos->kind(), m_client.number, &rows);
        if (!read) {
            m_prompter.show(read);
            return;
        }
    }
    if (rows.isEmpty()) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Rien à imprimer"), Prompter::Icon::Warning);
        return;
    }
    // Laid out as a resource's memos are.
    const ClientSubKind &k = m_memos->kind();
    QList<ResourceMemo> memos;
    for (const ClientSubRow &row : std::as_const(rows)) {
        ResourceMemo m;
        m.number = row.number;
        m.type = row.value(k, QStringLiteral("codememo")).toString();
        m.typeLabel = m_labels.value(QStringLiteral("kp_typememo")).value(m.type);
        m.date = row.value(k, QStringLiteral("datememo")).toDate();
        m.title = row.value(k, QStringLiteral("titrememo")).toString();
        m.text = row.value(k, QStringLiteral("commentaire")).toString();
        memos.append(m);
    }
    m_previewer(ResourceSubRecords::memoReport(displayName(), memos));
}
