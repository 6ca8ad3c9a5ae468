#include "clients/ChoixEdit.h"

#include "core/widgets/OkCancel.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

ChoixEdit::ChoixEdit(QWidget *parent)
    : QDialog(parent), m_simple(new QRadioButton(QStringLiteral("Liste simple"), this)),
      m_addresses(new QRadioButton(QStringLiteral("Liste avec les adresses"), this))
{
    setWindowTitle(QStringLiteral("Choix de l'édition"));
    m_simple->setChecked(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_simple);
    layout->addWidget(m_addresses);
    layout->addSpacing(8);
    layout->addWidget(okCancelButtons(this));
    setMinimumWidth(280);
}

QString ChoixEdit::choice() const
{
    if (result() != QDialog::Accepted)
        return {};
    return m_addresses->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString ChoixEdit::choose(QWidget *parent)
{
    ChoixEdit dialog(parent);
    dialog.exec();
    return dialog.choice();
}
