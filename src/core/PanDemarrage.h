#pragma once

#include <QDialog>

// The splash panel: the version, the picture logo.jpg and up to three lines
// of logo.txt from the program's folder when they are there. Shown at
// start-up for a few seconds, and from "&A Propos" until closed.
class PanDemarrage : public QDialog
{
    Q_OBJECT
public:
    // seconds > 0: closes itself after that time; otherwise stays until closed.
    explicit PanDemarrage(int seconds, const QString &folder, QWidget *parent = nullptr);

    static QString versionText();
    // The first three lines of logo.txt in folder.
    static QStringList logoLines(const QString &folder);
};
