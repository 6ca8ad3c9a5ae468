#include "messaging/Frm_Note.h"

#include "clients/GesParticuliers.h"
#include "clients/GesSocietes.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourValue.h"
#include "messaging/Frm_Message.h"
#include "messaging/MessageLinks.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int BlinkMs = 600;

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    // Whatever the sender typed is shown as typed, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QString when(const QDate &date, const QString &time)
{
    return date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" à ") + time;
}

} // namespace

Frm_Note::Frm_Note(Session &session, Prompter &prompter, const Note &note, bool received, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_session(session), m_prompter(prompter), m_note(note),
      m_paper(new QFrame(this)), m_title(plainLabel(note.title, m_paper)), m_text(new QPlainTextEdit(m_paper)),
      m_reply(plainButton(QStringLiteral("&Répondre"), this)), m_delete(plainButton(QStringLiteral("&Supprimer"), this)),
      m_client(plainButton(QStringLiteral("Fiche &") + session.terms().singular(Entity::Client).toLower(), this)),
      m_close(new QPushButton(QStringLiteral("&Fermer"), this)), m_blinkTimer(new QTimer(this))
{
    const QString from = note.isAlert() ? QStringLiteral("Alerte") : note.sender.trimmed();
    setWindowTitle(note.isAlert() ? QStringLiteral("Alerte") : QStringLiteral("Message de ") + from);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(noteSize());

    auto *header = plainLabel(QStringLiteral("Message numéro : ") + QString::number(note.number), m_paper);
    auto *sender = plainLabel(QStringLiteral("De : ") + from + QStringLiteral(", le ") + when(note.sentDate, note.sentTime), m_paper);
    QString clientText, contactText;
    const Outcome linked = MessageLinks::describe(session, note.client, note.contact, &clientText, &contactText);
    if (!linked)
        clientText = QStringLiteral("???");
    QString linkLine;
    if (!clientText.isEmpty())
        linkLine = session.terms().singular(Entity::Client) + QStringLiteral(" : ") + clientText;
    if (!contactText.isEmpty())
        linkLine += QStringLiteral("\nContact : ") + contactText;
    auto *link = plainLabel(linkLine, m_paper);
    link->setVisible(!linkLine.isEmpty());

    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titleFont.setBold(true);
    titleFont.setItalic(note.style.italic);
    m_title->setFont(titleFont);
    m_title->setVisible(!note.title.isEmpty());

    m_text->setPlainText(QString(note.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->viewport()->setAutoFillBackground(false);
    QFont textFont = m_text->font();
    textFont.setBold(note.style.bold);
    textFont.setItalic(note.style.italic);
    m_text->setFont(textFont);

    m_paper->setAutoFillBackground(true);
    m_paper->setFrameShape(QFrame::StyledPanel);
    auto *paperLayout = new QVBoxLayout(m_paper);
    paperLayout->setSpacing(4);
    paperLayout->addWidget(header);
    paperLayout->addWidget(sender);
    paperLayout->addWidget(link);
    paperLayout->addWidget(m_title);
    paperLayout->addWidget(m_text, 1);

    // Answering an alert or one's own message makes no sense.
    m_reply->setEnabled(received && !note.isAlert());
    m_delete->setVisible(received);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_reply);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_client);
    buttons->addStretch();
    buttons->addWidget(m_close);
    m_close->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_paper, 1);
    layout->addLayout(buttons);
    paintColours();

    m_composer = [this](const OutgoingNote &preset) { Frm_Message::open(m_session, m_prompter, preset); };
    m_openClient = [this](qint64 client, bool individual) {
        if (individual)
            GesParticuliers::edit(m_session, m_prompter, client, this);
        else
            GesSocietes::edit(m_session, m_prompter, client, this);
    };
    connect(m_reply, &QPushButton::clicked, this, &Frm_Note::reply);
    connect(m_delete, &QPushButton::clicked, this, &Frm_Note::remove);
    connect(m_client, &QPushButton::clicked, this, &Frm_Note::openClient);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_blinkTimer, &QTimer::timeout, this, &Frm_Note::blink);
    if (note.style.blink)
        m_blinkTimer->start(BlinkMs);
    m_close->setFocus();
}

Frm_Note::~Frm_Note() = default;

bool Frm_Note::isBlinking() const
{
    return m_blinkTimer->isActive();
}

void Frm_Note::blink()
{
    m_swapped = !m_swapped;
    paintColours();
}

QColor Frm_Note::shownBackground() const
{
    return colourFromValue(m_swapped ? m_note.style.text : m_note.style.background);
}

void Frm_Note::paintColours()
{
    const QColor background = shownBackground();
    const QColor text = colourFromValue(m_swapped ? m_note.style.background : m_note.style.text);
    QPalette palette = m_paper->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base})
        palette.setColor(role, background);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        palette.setColor(role, text);
    m_paper->setPalette(palette);
    m_text->setPalette(palette);
}

void Frm_Note::reply()
{
    if (m_reply->isEnabled())
        m_composer(MessageStore::replyTo(m_note));
}

void Frm_Note::remove()
{
    const Outcome removed = MessageStore::removeReceived(m_session, m_note.number);
    if (!removed) {
        m_prompter.show(removed);
        return;
    }
    close();
}

void Frm_Note::openClient()
{
    bool found = false, individual = false;
    const Outcome read = MessageLinks::kind(m_session, m_note.client, &found, &individual);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    if (!found) {
        m_prompter.show(QStringLiteral("Désolé"),
                        QStringLiteral("Pas de ") + m_session.terms().singular(Entity::Client) + QStringLiteral(" correspondant"),
                        Prompter::Icon::Warning);
        return;
    }
    m_openClient(m_note.client, individual);
}

void Frm_Note::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}
