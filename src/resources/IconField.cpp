#include "resources/IconField.h"

#include "core/widgets/Buttons.h"
#include "resources/Frm_GesIcones.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

IconField::IconField(Prompter &prompter, const QString &imagesFolder, const QString &chooseTip, const QString &clearTip,
                     QWidget *parent)
    : QWidget(parent), m_folder(imagesFolder.trimmed()), m_picture(new QLabel(this)),
      m_choose(plainButton(QStringLiteral("Choisir..."), this, chooseTip)), m_clear(plainButton(QStringLiteral("Effacer"), this, clearTip))
{
    m_chooser = [this, &prompter](const QString &folder, const QString &current) {
        return Frm_GesIcones::choose(folder, current, prompter, this);
    };
    m_picture->setFixedSize(40, 40);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setAlignment(Qt::AlignCenter);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);
    layout->addWidget(m_choose);
    layout->addWidget(m_clear);
    m_choose->setEnabled(!m_folder.isEmpty());
    m_clear->setEnabled(!m_folder.isEmpty());
    connect(m_choose, &QPushButton::clicked, this, &IconField::choose);
    connect(m_clear, &QPushButton::clicked, this, &IconField::clear);
}

void IconField::setIcon(const QString &icon)
{
    m_icon = icon;
    m_picture->clear();
    m_picture->setToolTip(icon);
    if (icon.isEmpty() || m_folder.isEmpty())
        return;
    const QPixmap picture(QDir(m_folder).filePath(icon));
    if (!picture.isNull())
        m_picture->setPixmap(picture.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void IconField::choose()
{
    const QString chosen = m_chooser(m_folder, m_icon);
    if (chosen.isEmpty() || chosen == m_icon)
        return;
    setIcon(chosen);
    emit iconChanged(chosen);
}

void IconField::clear()
{
    setIcon(QString());
    emit iconChanged(QString());
}
