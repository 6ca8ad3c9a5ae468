#include "core/PanDemarrage.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

PanDemarrage::PanDemarrage(int seconds, const QString &folder, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quenzo"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);

    const QPixmap logo(QDir(folder).filePath(QStringLiteral("logo.jpg")));
    if (!logo.isNull()) {
        auto *picture = new QLabel(this);
        picture->setPixmap(logo.scaled(480, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        picture->setAlignment(Qt::AlignCenter);
        layout->addWidget(picture);
    }
    auto *name = new QLabel(QStringLiteral("Quenzo"), this);
    QFont big = name->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto *subtitle = new QLabel(QStringLiteral("Planification des interventions"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    layout->addWidget(subtitle);
    for (const QString &line : logoLines(folder)) {
        auto *label = new QLabel(line, this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    auto *version = new QLabel(versionText(), this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);

    if (seconds > 0) {
        setWindowFlags(Qt::SplashScreen);
        QTimer::singleShot(seconds * 1000, this, &QDialog::accept);
    } else {
        auto *close = new QPushButton(QStringLiteral("Fermer"), this);
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(close, 0, Qt::AlignCenter);
    }
    setMinimumWidth(360);
}

QString PanDemarrage::versionText()
{
    return QStringLiteral("V %1.%2.%3").arg(QUENZO_VERSION_MAJOR).arg(QUENZO_VERSION_MINOR).arg(QUENZO_VERSION_PATCH);
}

QStringList PanDemarrage::logoLines(const QString &folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("logo.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    while (!file.atEnd() && lines.size() < 3)
        lines.append(QString::fromUtf8(file.readLine()).trimmed());
    return lines;
}
