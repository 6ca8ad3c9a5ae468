#include "messaging/Frm_Message.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"
#include "reports/Liste.h"
#include "tasks/RecipientItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Section = QStringLiteral("Message");

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Frm_Message::Frm_Message(Session &session, Prompter &prompter, const OutgoingNote &preset, QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_prompter(prompter), m_original(preset.original),
      m_recipients(new QListWidget(this)), m_clients(new QComboBox(this)), m_contacts(new QComboBox(this)),
      m_title(columnLineEdit(QStringLiteral("kp_messages"), QStringLiteral("titre"))), m_text(new QPlainTextEdit(this)),
      m_background(new ColourSwatch(this)), m_foreground(new ColourSwatch(this)),
      m_bold(new QCheckBox(QStringLiteral("&Gras"), this)), m_italic(new QCheckBox(QStringLiteral("&Italique"), this)),
      m_blink(new QCheckBox(QStringLiteral("Cli&gnotant"), this)), m_sample(new QLabel(QStringLiteral("Aperçu du message"), this)),
      m_receipt(new QCheckBox(QStringLiteral("Accusé de &réception"), this)),
      m_keep(new QCheckBox(QStringLiteral("Conser&ver une copie"), this)),
      m_defer(new QCheckBox(QStringLiteral("Envoi &différé le"), this)), m_deferDate(new DateField(this)),
      m_deferTime(new HourMinuteEdit(this)), m_send(new QPushButton(QStringLiteral("&Envoyer"), this))
{
    setWindowTitle(QStringLiteral("Envoyer un message"));
    resize(640, 620);
    m_chooser = [this](const ListRequest &request) { return Liste::choose(m_session, m_prompter, request, this); };

    auto *add = plainButton(QStringLiteral("&Ajouter..."), this, QStringLiteral("Ajouter un utilisateur ou un groupe"));
    auto *remove = plainButton(QStringLiteral("Re&tirer"), this, QStringLiteral("Retirer le destinataire sélectionné"));
    auto *recipientButtons = new QWidget(this);
    auto *buttonColumn = new QVBoxLayout(recipientButtons);
    buttonColumn->setContentsMargins(0, 0, 0, 0);
    buttonColumn->addWidget(add);
    buttonColumn->addWidget(remove);
    recipientButtons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *recipientRow = new QHBoxLayout;
    m_recipients->setFixedHeight(92);
    recipientRow->addWidget(m_recipients, 1);
    recipientRow->addWidget(recipientButtons, 0, Qt::AlignTop);

    m_title->setParent(this);
    auto *form = new QFormLayout;
    auto *recipientLabel = new QLabel(QStringLiteral("&Destinataires :"), this);
    recipientLabel->setBuddy(m_recipients);
    form->addRow(recipientLabel, recipientRow);
    form->addRow(m_session.terms().singular(Entity::Client) + QStringLiteral(" :"), m_clients);
    form->addRow(QStringLiteral("C&ontact :"), m_contacts);
    form->addRow(QStringLiteral("&Titre :"), m_title);
    form->addRow(QStringLiteral("&Message :"), m_text);

    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_send);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addWidget(buildLook());
    layout->addWidget(buildOptions());
    layout->addLayout(buttons);

    readPreferences();
    m_title->setText(preset.title);
    m_text->setPlainText(preset.text);
    if (!preset.users.isEmpty()) {
        QList<TaskAlerts::Choice> known;
        TaskAlerts::readChoices(*m_session.database(), &known);
        for (const QString &user : preset.users) {
            auto it = std::find_if(known.cbegin(), known.cend(), [&](const TaskAlerts::Choice &c) { return !c.group && c.key == user; });
            m_listed.append({false, user, it == known.cend() ? user.trimmed() : it->label});
        }
    }
    for (int group : preset.groups)
        m_listed.append({true, QString::number(group), QString::number(group)});
    showRecipients();
    loadClients(preset.client);
    loadContacts(preset.contact);

    connect(add, &QPushButton::clicked, this, &Frm_Message::addRecipient);
    connect(remove, &QPushButton::clicked, this, &Frm_Message::removeRecipient);
    connect(m_clients, &QComboBox::currentIndexChanged, this, [this] { loadContacts(0); });
    connect(m_send, &QPushButton::clicked, this, [this] { send(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    FieldNavigation::install(this);
    (m_listed.isEmpty() ? static_cast<QWidget *>(add) : m_title)->setFocus();
}

Frm_Message::~Frm_Message() = default;

Frm_Message *Frm_Message::open(Session &session, Prompter &prompter, const OutgoingNote &preset)
{
    auto *screen = new Frm_Message(session, prompter, preset);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

QWidget *Frm_Message::buildLook()
{
    auto *box = new QGroupBox(QStringLiteral("Présentation"), this);
    auto *row = new QHBoxLayout(box);
    auto *backgroundLabel = new QLabel(QStringLiteral("&Fond :"), box);
    backgroundLabel->setBuddy(m_background);
    auto *textLabel = new QLabel(QStringLiteral("Te&xte :"), box);
    textLabel->setBuddy(m_foreground);
    row->addWidget(backgroundLabel);
    row->addWidget(m_background);
    row->addWidget(textLabel);
    row->addWidget(m_foreground);
    row->addSpacing(8);
    row->addWidget(m_bold);
    row->addWidget(m_italic);
    row->addWidget(m_blink);
    row->addSpacing(8);
    m_sample->setAutoFillBackground(true);
    m_sample->setFrameShape(QFrame::StyledPanel);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumWidth(150);
    row->addWidget(m_sample, 1);
    for (ColourSwatch *swatch : {m_background, m_foreground})
        connect(swatch, &ColourSwatch::valueChanged, this, &Frm_Message::showSample);
    for (QCheckBox *box : {m_bold, m_italic, m_blink})
        connect(box, &QCheckBox::toggled, this, &Frm_Message::showSample);
    return box;
}

QWidget *Frm_Message::buildOptions()
{
    auto *box = new QGroupBox(QStringLiteral("Options"), this);
    auto *row = new QHBoxLayout(box);
    row->addWidget(m_receipt);
    row->addWidget(m_keep);
    row->addSpacing(8);
    row->addWidget(m_defer);
    m_deferDate->setPrompter(&m_prompter);
    row->addWidget(dateTimeRow(m_deferDate, m_deferTime));
    row->addStretch();
    auto enable = [this](bool on) {
        m_deferDate->setEnabled(on);
        m_deferTime->setEnabled(on);
    };
    connect(m_defer, &QCheckBox::toggled, this, enable);
    enable(false);
    return box;
}

void Frm_Message::readPreferences()
{
    Settings &s = m_session.settings();
    auto on = [&](const char *key, const char *fallback) {
        return s.read(Section, QString::fromLatin1(key), QString::fromLatin1(fallback)) == QLatin1String("1");
    };
    const NoteStyle plain;
    m_background->setValue(s.read(Section, QStringLiteral("PicFond"), QString::number(plain.background)).toInt());
    m_foreground->setValue(s.read(Section, QStringLiteral("PicTexte"), QString::number(plain.text)).toInt());
    m_bold->setChecked(on("Gras", "0"));
    m_italic->setChecked(on("Italique", "0"));
    m_blink->setChecked(on("Clignote", "0"));
    m_receipt->setChecked(on("Accuse", "0"));
    m_keep->setChecked(on("Conserve", "1"));
    m_deferDate->setDate(QDate::currentDate());
    m_deferTime->setTime(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    showSample();
}

void Frm_Message::writePreferences()
{
    Settings &s = m_session.settings();
    s.write(Section, QStringLiteral("PicFond"), QString::number(m_background->value()));
    s.write(Section, QStringLiteral("PicTexte"), QString::number(m_foreground->value()));
    s.write(Section, QStringLiteral("Gras"), flagText(m_bold->isChecked()));
    s.write(Section, QStringLiteral("Italique"), flagText(m_italic->isChecked()));
    s.write(Section, QStringLiteral("Clignote"), flagText(m_blink->isChecked()));
    s.write(Section, QStringLiteral("Accuse"), flagText(m_receipt->isChecked()));
    s.write(Section, QStringLiteral("Conserve"), flagText(m_keep->isChecked()));
}

void Frm_Message::showSample()
{
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Window, colourFromValue(m_background->value()));
    palette.setColor(QPalette::WindowText, colourFromValue(m_foreground->value()));
    m_sample->setPalette(palette);
    QFont font = m_sample->font();
    font.setBold(m_bold->isChecked());
    font.setItalic(m_italic->isChecked());
    m_sample->setFont(font);
    m_sample->setText(m_blink->isChecked() ? QStringLiteral("Aperçu (clignotant)") : QStringLiteral("Aperçu du message"));
}

void Frm_Message::loadClients(qint64 selected)
{
    const Outcome read = MessageLinks::clients(m_session, &m_clientChoices);
    if (!read) {
        m_prompter.show(read);
        m_clientChoices = {{0, QStringLiteral("Sans lien avec un ") + m_session.terms().singular(Entity::Client), false}};
    }
    const QSignalBlocker quiet(m_clients);
    m_clients->clear();
    int current = 0;
    for (int i = 0; i < m_clientChoices.size(); ++i) {
        m_clients->addItem(m_clientChoices.at(i).label);
        if (selected != 0 && m_clientChoices.at(i).number == selected)
            current = i;
    }
    m_clients->setCurrentIndex(current);
}

void Frm_Message::loadContacts(qint64 selected)
{
    const qint64 client = m_clientChoices.value(m_clients->currentIndex()).number;
    m_contactChoices.clear();
    if (client != 0) {
        const Outcome read = MessageLinks::contacts(m_session, client, &m_contactChoices);
        if (!read)
            m_prompter.show(read);
    }
    m_contacts->clear();
    int current = 0;
    for (int i = 0; i < m_contactChoices.size(); ++i) {
        m_contacts->addItem(m_contactChoices.at(i).label);
        if (m_contactChoices.at(i).number == selected)
            current = i;
    }
    m_contacts->setCurrentIndex(current);
    m_contacts->setEnabled(client != 0);
}

void Frm_Message::showRecipients()
{
    showRecipientItems(m_recipients, m_listed);
}

void Frm_Message::addRecipient()
{
    bool any = false;
    const Outcome read = MessageLinks::anyUser(*m_session.database(), &any);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    if (!any) {
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Aucun utilisateur défini"), Prompter::Icon::Warning);
        return;
    }
    const ListAnswer answer = m_chooser(TaskAlerts::recipientRequest(m_listed, QStringLiteral("Liste des destinataires")));
    if (!answer.chosen)
        return;
    m_listed.append(TaskAlerts::choiceFrom(answer));
    showRecipients();
    m_recipients->setCurrentRow(m_recipients->count() - 1);
}

void Frm_Message::removeRecipient()
{
    const int row = m_recipients->currentRow();
    if (row < 0 || row >= m_listed.size())
        return;
    m_listed.removeAt(row);
    showRecipients();
}

OutgoingNote Frm_Message::outgoing() const
{
    OutgoingNote note;
    for (const TaskAlerts::Choice &c : m_listed) {
        if (c.group)
            note.groups.append(c.key.toInt());
        else
            note.users.append(c.key);
    }
    note.client = m_clientChoices.value(m_clients->currentIndex()).number;
    note.contact = note.client == 0 ? 0 : m_contactChoices.value(m_contacts->currentIndex()).number;
    note.title = m_title->text();
    note.text = m_text->toPlainText();
    note.style = {m_background->value(), m_foreground->value(), m_bold->isChecked(), m_italic->isChecked(), m_blink->isChecked()};
    note.receipt = m_receipt->isChecked();
    note.keepCopy = m_keep->isChecked();
    if (m_defer->isChecked() && m_deferDate->date().isValid())
        note.deliverAt = QDateTime(m_deferDate->date(), QTime::fromString(m_deferTime->time(), QStringLiteral("HH:mm")));
    note.original = m_original;
    return note;
}

bool Frm_Message::send(const QDateTime &now)
{
    const OutgoingNote note = outgoing();
    const Outcome checked = MessageStore::checkOutgoing(note);
    if (!checked) {
        m_prompter.show(checked);
        return false;
    }
    if (m_defer->isChecked() && !note.deliverAt) {
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Indiquez la date de l'envoi différé"), Prompter::Icon::Warning);
        m_deferDate->setFocus();
        return false;
    }
    const QString confirm = QStringLiteral("Confirmation");
    const QString anyway = QStringLiteral("\nEnvoyer quand même ?");
    if (note.title.trimmed().isEmpty() && !m_prompter.ask(confirm, QStringLiteral("Vous n'avez pas indiqué de titre") + anyway))
        return false;
    if (note.text.trimmed().isEmpty() && !m_prompter.ask(confirm, QStringLiteral("Vous n'avez pas indiqué de message") + anyway))
        return false;
    const Outcome sent = MessageStore::send(m_session, note, now);
    if (!sent) {
        m_prompter.show(sent); // the window stays open with everything typed
        return false;
    }
    writePreferences();
    close();
    return true;
}
