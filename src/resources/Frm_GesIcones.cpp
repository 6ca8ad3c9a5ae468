#include "resources/Frm_GesIcones.h"

#include "core/Prompter.h"

#include <QDir>
#include <QImageReader>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

Frm_GesIcones::Frm_GesIcones(const QString &folder, const QString &current, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Choix d'une icône"));
    resize(520, 400);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(48, 48));
    m_list->setGridSize(QSize(96, 84));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_chosen = item->text();
        accept();
    });

    const QDir dir(folder);
    if (folder.trimmed().isEmpty() || !dir.exists()) {
        prompter.show(QStringLiteral("Désolé"),
                      QStringLiteral("Vous devez aller paramétrer le répertoire image dans le menu 'Paramètres'"),
                      Prompter::Icon::Warning);
        return;
    }
    m_hasFolder = true;
    // Icons of other desktops, and PNG files, which users of this one have.
    const QStringList files = dir.entryList({QStringLiteral("*.ico"), QStringLiteral("*.jpg"), QStringLiteral("*.gif"),
                                             QStringLiteral("*.png"), QStringLiteral("*.ICO"), QStringLiteral("*.JPG"),
                                             QStringLiteral("*.GIF"), QStringLiteral("*.PNG")},
                                            QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        QImageReader reader(dir.filePath(file));
        const QImage image = reader.read();
        if (image.isNull()) {
            prompter.show(QStringLiteral("Erreur fichier"), file + QStringLiteral(" : ") + reader.errorString(),
                          Prompter::Icon::Warning);
            continue;
        }
        auto *item = new QListWidgetItem(QIcon(QPixmap::fromImage(image)), file, m_list);
        if (file.compare(current, Qt::CaseInsensitive) == 0)
            m_list->setCurrentItem(item);
    }
}

QString Frm_GesIcones::choose(const QString &folder, const QString &current, Prompter &prompter, QWidget *parent)
{
    Frm_GesIcones dialog(folder, current, prompter, parent);
    if (!dialog.hasFolder() || dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}
