#pragma once

#include <QDialog>

class QListWidget;
class Prompter;

// The icon chooser: the pictures of the images folder, the current one
// marked; a double click hands the chosen file name back.
class Frm_GesIcones : public QDialog
{
    Q_OBJECT
public:
    // folder: the workstation's images folder (UTIL/Images).
    Frm_GesIcones(const QString &folder, const QString &current, Prompter &prompter, QWidget *parent = nullptr);

    QListWidget *iconList() const { return m_list; }
    QString chosen() const { return m_chosen; }
    // False when there is no folder to show (the message has been shown).
    bool hasFolder() const { return m_hasFolder; }

    // The chosen file name, or an empty text when nothing was chosen.
    static QString choose(const QString &folder, const QString &current, Prompter &prompter, QWidget *parent = nullptr);

private:
    QListWidget *m_list;
    QString m_chosen;
    bool m_hasFolder = false;
};
