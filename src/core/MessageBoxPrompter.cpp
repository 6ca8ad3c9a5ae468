#include "core/MessageBoxPrompter.h"

#include <QMessageBox>
#include <QPushButton>

void MessageBoxPrompter::show(const QString &title, const QString &text, Icon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Information: boxIcon = QMessageBox::Information; break;
    case Icon::Warning: boxIcon = QMessageBox::Warning; break;
    case Icon::Critical: boxIcon = QMessageBox::Critical; break;
    case Icon::Question: boxIcon = QMessageBox::Question; break;
    }
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool MessageBoxPrompter::ask(const QString &title, const QString &text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
