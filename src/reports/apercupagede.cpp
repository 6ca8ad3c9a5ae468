#include "reports/apercupagede.h"

#include "core/widgets/OkCancel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QLineEdit *pageField(int value, QWidget *parent)
{
    auto *field = new QLineEdit(QString::number(value), parent);
    field->setMaxLength(5);
    field->setFixedWidth(70);
    field->setAlignment(Qt::AlignRight);
    // Every character other than a digit is dropped as it is typed.
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString &text) {
        QString digits;
        for (QChar c : text)
            if (c.isDigit() && c.unicode() < 128)
                digits += c;
        if (digits != text)
            field->setText(digits);
    });
    return field;
}

} // namespace

apercupagede::apercupagede(int from, int to, QWidget *parent)
    : QDialog(parent), m_from(pageField(from, this)), m_to(pageField(to, this))
{
    setWindowTitle(QStringLiteral("Pages à imprimer"));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("De la page"), this));
    row->addWidget(m_from);
    row->addWidget(new QLabel(QStringLiteral("à la page"), this));
    row->addWidget(m_to);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    QDialogButtonBox *buttons = okCancelButtons(this);
    layout->addWidget(buttons);
    m_from->installEventFilter(this);
    m_to->installEventFilter(this);
    m_from->setFocus();
    m_from->selectAll();
}

bool apercupagede::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched == m_from) {
            m_to->setFocus();
            m_to->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::pair<int, int> apercupagede::range() const
{
    const int from = qMax(1, m_from->text().toInt());
    return {from, qMax(from, m_to->text().toInt())};
}

void apercupagede::accept()
{
    const auto [from, to] = range();
    m_from->setText(QString::number(from));
    m_to->setText(QString::number(to));
    QDialog::accept();
}

std::optional<std::pair<int, int>> apercupagede::ask(int from, int to, QWidget *parent)
{
    apercupagede dialog(from, to, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.range();
}
