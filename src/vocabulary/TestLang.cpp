#include "vocabulary/TestLang.h"

#include "core/Prompter.h"
#include "vocabulary/LanguageApplier.h"
#include "vocabulary/ScreenTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

TestLang::TestLang(LanguageApplier &applier, Prompter &prompter, const QList<ScreenFactory> &screens, QWidget *parent)
    : QDialog(parent), m_applier(applier), m_prompter(prompter), m_screens(screens), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TestLang"));
    setWindowTitle(QStringLiteral("Langue"));
    resize(420, 360);
    auto *folder = new QLabel(QStringLiteral("Fichiers de langue du répertoire %1").arg(QDir::toNativeSeparators(applier.folder())), this);
    folder->setWordWrap(true);
    ScreenTexts::keepText(folder);
    auto *choose = new QPushButton(QStringLiteral("&Choisir cette langue"), this);
    auto *exportButton = new QPushButton(QStringLiteral("&Exporter les textes"), this);
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {choose, exportButton, close})
        b->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, &TestLang::chooseSelected);
    connect(m_list, &QListWidget::itemActivated, this, &TestLang::chooseSelected);
    connect(exportButton, &QPushButton::clicked, this, &TestLang::exportScreens);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(folder);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    refresh();
}

void TestLang::refresh()
{
    m_list->clear();
    m_list->addItems(LanguageFile::languages(m_applier.folder()));
    const QString current = QFileInfo(m_applier.current()).completeBaseName();
    const QList<QListWidgetItem *> found = m_list->findItems(current, Qt::MatchExactly);
    m_list->setCurrentRow(found.isEmpty() ? 0 : m_list->row(found.first()));
}

void TestLang::chooseSelected()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Aucun fichier de langue n'est sélectionné"), Prompter::Icon::Warning);
        return;
    }
    const Outcome chosen = m_applier.choose(item->text());
    if (!chosen) {
        m_prompter.show(chosen);
        return;
    }
    if (m_screens.isEmpty())
        return;
    delete m_sample;
    m_sample = m_screens.first()(this);
    m_sample->setWindowFlag(Qt::Window);
    m_sample->setAttribute(Qt::WA_DeleteOnClose);
    const QStringList unknown = ScreenTexts::unknownKeys(m_sample, m_applier.file());
    m_sample->show(); // the language is put on it as it shows
    if (m_sections.isEmpty()) {
        for (const ScreenFactory &make : m_screens) {
            std::unique_ptr<QWidget> screen(make(nullptr));
            if (screen)
                m_sections.append(ScreenTexts::section(screen.get()));
        }
    }
    QStringList strangers;
    for (const QString &section : m_applier.file().sections())
        if (!m_sections.contains(section, Qt::CaseInsensitive))
            strangers.append(section);
    QStringList problems;
    if (!unknown.isEmpty())
        problems << QStringLiteral("Textes qui ne correspondent à aucun élément de l'écran %1 : %2")
                        .arg(ScreenTexts::section(m_sample), unknown.mid(0, 10).join(QStringLiteral(", ")));
    if (!strangers.isEmpty())
        problems << QStringLiteral("Sections qui ne correspondent à aucun des écrans exportés : %1").arg(strangers.mid(0, 10).join(QStringLiteral(", ")));
    if (!problems.isEmpty())
        m_prompter.show(QStringLiteral("Attention"), QStringLiteral("Le fichier de langue a été chargé, mais :\n") + problems.join(QLatin1Char('\n')),
                        Prompter::Icon::Warning);
}

void TestLang::exportScreens()
{
    LanguageFile file;
    for (const ScreenFactory &make : m_screens) {
        QWidget *screen = make(nullptr);
        if (!screen)
            continue;
        file.setEntries(ScreenTexts::section(screen), ScreenTexts::collect(screen));
        delete screen;
    }
    const Outcome saved = file.save(QDir(m_applier.folder()).filePath(QStringLiteral("default.ini")));
    if (!saved) {
        m_prompter.show(saved);
        return;
    }
    refresh();
    m_prompter.show(QStringLiteral("Langue"), QStringLiteral("FINI"));
}
