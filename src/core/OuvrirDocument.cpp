#include "core/OuvrirDocument.h"

#include "core/Prompter.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QProcess>
#include <QUrl>

bool openDocument(const QString &path, Prompter &prompter, QWidget *parent)
{
    if (!QFileInfo::exists(path)) {
        prompter.show(QStringLiteral("Erreur"), QStringLiteral("Le document ") + path + QStringLiteral(" est introuvable"),
                      Prompter::Icon::Warning);
        return false;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;

    bool ok = false;
    const QString program = QInputDialog::getText(parent, QStringLiteral("Ouvrir avec"),
                                                  QStringLiteral("Programme qui doit ouvrir ") + QFileInfo(path).fileName()
                                                      + QStringLiteral(" :"),
                                                  QLineEdit::Normal, QString(), &ok)
                                .trimmed();
    if (!ok || program.isEmpty())
        return false;
    if (!QProcess::startDetached(program, {path})) {
        prompter.show(QStringLiteral("Erreur"), QStringLiteral("Impossible de lancer ") + program, Prompter::Icon::Critical);
        return false;
    }
    return true;
}
