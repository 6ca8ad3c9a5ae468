#include "core/ChoixBase.h"

#include "core/OdbcDatabase.h"
#include "core/Prompter.h"
#include "core/Schema.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QButtonGroup>
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString Base = QStringLiteral("Base");

// The data sources of the machine, one to pick.
std::optional<DataSource> pickDataSource(const QList<DataSource> &sources, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Sources de données ODBC"));
    dialog.resize(460, 300);
    auto *list = new QTreeWidget(&dialog);
    list->setHeaderLabels({QStringLiteral("Source de données"), QStringLiteral("Pilote")});
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(QHeaderView::Stretch);
    for (const DataSource &s : sources)
        new QTreeWidgetItem(list, {s.name, s.driver});
    list->setCurrentItem(list->topLevelItem(0));
    QDialogButtonBox *buttons = okCancelButtons(&dialog);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return std::nullopt;
    return sources.value(list->indexOfTopLevelItem(list->currentItem()));
}

} // namespace

ChoixBase::ChoixBase(Session &session, Prompter &prompter, const OpenCallbacks &callbacks, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_callbacks(callbacks),
      m_fileOption(new QRadioButton(QStringLiteral("&Fichier de base de données"), this)),
      m_odbcOption(new QRadioButton(QStringLiteral("Source de données &ODBC"), this)), m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("&Parcourir..."), this)), m_dsn(new QLineEdit(this)),
      m_dsnList(new QPushButton(QStringLiteral("&Liste..."), this)), m_database(new QLineEdit(this)),
      m_user(new QLineEdit(this)), m_password(new QLineEdit(this)),
      m_test(new QPushButton(QStringLiteral("&Tester la connexion"), this)), m_description(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Choix de la base de données"));
    setMinimumWidth(560);
    Settings &settings = session.settings();

    auto *fileBox = new QGroupBox(this);
    auto *fileLayout = new QVBoxLayout(fileBox);
    fileLayout->addWidget(m_fileOption);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);
    fileLayout->addLayout(pathRow);

    auto *odbcBox = new QGroupBox(this);
    auto *odbcLayout = new QVBoxLayout(odbcBox);
    odbcLayout->addWidget(m_odbcOption);
    auto *odbcForm = new QFormLayout;
    auto *dsnRow = new QHBoxLayout;
    m_dsn->setReadOnly(true);
    dsnRow->addWidget(m_dsn, 1);
    dsnRow->addWidget(m_dsnList);
    odbcForm->addRow(QStringLiteral("Source :"), dsnRow);
    odbcForm->addRow(QStringLiteral("&Base :"), m_database);
    odbcForm->addRow(QStringLiteral("&Utilisateur :"), m_user);
    m_password->setEchoMode(QLineEdit::Password);
    odbcForm->addRow(QStringLiteral("&Mot de passe :"), m_password);
    odbcLayout->addLayout(odbcForm);
    odbcLayout->addWidget(m_test, 0, Qt::AlignRight);

    auto *descriptionForm = new QFormLayout;
    m_description->setMaxLength(schemaTable(QStringLiteral("kp_description"))->column(QStringLiteral("description"))->length);
    descriptionForm->addRow(QStringLiteral("&Description :"), m_description);

    QDialogButtonBox *buttons = okCancelButtons(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileBox);
    layout->addWidget(odbcBox);
    layout->addLayout(descriptionForm);
    layout->addWidget(buttons);

    // The two options sit in separate frames: group them so that one excludes the other.
    auto *options = new QButtonGroup(this);
    options->addButton(m_fileOption);
    options->addButton(m_odbcOption);

    const bool odbc = settings.read(Base, QStringLiteral("ODBC"), QStringLiteral("0")) == QLatin1String("1");
    m_fileOption->setChecked(!odbc);
    m_odbcOption->setChecked(odbc);
    m_path->setText(settings.read(Base, QStringLiteral("Chemin")));
    m_driver = settings.read(Base, QStringLiteral("Driver"));
    m_dsn->setText(settings.read(Base, QStringLiteral("DSN Name")));
    m_database->setText(settings.read(Base, QStringLiteral("NomBase")));
    m_user->setText(settings.read(Base, QStringLiteral("Utilisateur")));
    m_password->setText(settings.read(Base, QStringLiteral("Pass")));
    const QString description = session.description().text;
    if (session.isDatabaseOpen() && description != QLatin1String("/") && description != QLatin1String("???"))
        m_description->setText(description);

    connect(m_fileOption, &QRadioButton::toggled, this, &ChoixBase::updateEnabled);
    connect(m_browse, &QPushButton::clicked, this, &ChoixBase::browse);
    connect(m_dsnList, &QPushButton::clicked, this, &ChoixBase::chooseDataSource);
    connect(m_test, &QPushButton::clicked, this, &ChoixBase::testConnection);
    updateEnabled();
    FieldNavigation::install(this);
}

QString ChoixBase::fileFilter()
{
    return QStringLiteral("Base Quenzo (*.qdb);;Tous les fichiers (*)");
}

void ChoixBase::updateEnabled()
{
    const bool file = m_fileOption->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_path, m_browse})
        w->setEnabled(file);
    for (QWidget *w : std::initializer_list<QWidget *>{m_dsn, m_dsnList, m_database, m_user, m_password, m_test})
        w->setEnabled(!file);
}

void ChoixBase::browse()
{
    QFileDialog dialog(this, QStringLiteral("Base de données"), QFileInfo(m_path->text()).absolutePath(), fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a new name creates a new database
    dialog.setDefaultSuffix(QStringLiteral("qdb"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_path->setText(dialog.selectedFiles().first());
}

void ChoixBase::chooseDataSource()
{
    QString error;
    const QList<DataSource> sources = listDataSources(&error);
    if (sources.isEmpty()) {
        m_prompter.show(QStringLiteral("Désolé"), error, Prompter::Icon::Warning);
        return;
    }
    if (const std::optional<DataSource> source = pickDataSource(sources, this))
        useDataSource(*source);
}

void ChoixBase::useDataSource(const DataSource &source)
{
    m_dsn->setText(source.name);
    m_driver = source.driver;
    m_odbcOption->setChecked(true);
}

bool ChoixBase::testConnection()
{
    QString error;
    const QString connect = DatabaseOpener::connectStringFor(m_dsn->text(), m_database->text(), m_user->text(),
                                                             m_password->text());
    if (!OdbcDatabase::open(connect, Dialect::backendFor(true, m_driver), &error)) {
        m_prompter.show(QStringLiteral("Erreur"), error, Prompter::Icon::Critical);
        return false;
    }
    m_prompter.show(QStringLiteral("Félicitations"), QStringLiteral("Connexion réussie sur la base - ") + m_database->text());
    return true;
}

void ChoixBase::accept()
{
    Settings &settings = m_session.settings();
    const bool file = m_fileOption->isChecked();
    if (file) {
        if (m_path->text().trimmed().isEmpty()) {
            m_path->setFocus();
            return;
        }
        settings.write(Base, QStringLiteral("ODBC"), QStringLiteral("0"));
        settings.write(Base, QStringLiteral("Chemin"), QFileInfo(m_path->text().trimmed()).absoluteFilePath());
    } else {
        settings.write(Base, QStringLiteral("ODBC"), QStringLiteral("1"));
        settings.write(Base, QStringLiteral("Driver"), m_driver);
        settings.write(Base, QStringLiteral("DSN Name"), m_dsn->text());
        settings.write(Base, QStringLiteral("NomBase"), m_database->text());
        settings.write(Base, QStringLiteral("Utilisateur"), m_user->text());
        settings.write(Base, QStringLiteral("Pass"), m_password->text());
    }
    const Outcome opened = DatabaseOpener(m_session).open(file, m_callbacks);
    m_prompter.show(opened);
    if (!opened) {
        if (file)
            m_path->clear();
        return;
    }
    m_prompter.show(DatabaseOpener::writeDescription(m_session, m_description->text()));
    QDialog::accept();
}
