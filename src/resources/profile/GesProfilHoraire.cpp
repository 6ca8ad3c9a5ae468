#include "resources/profile/GesProfilHoraire.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"
#include "resources/profile/WeekPicture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

GesProfilHoraire::GesProfilHoraire(Session &session, Prompter &prompter, int profileNumber, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_number(qMax(0, profileNumber)),
      m_preferences(ProfilePreferences::read(session.settings())), m_label(new QLineEdit(this)),
      m_firstDay(new QComboBox(this)), m_precision(new QComboBox(this)), m_activeSwatch(new ColourSwatch(this)),
      m_backgroundSwatch(new ColourSwatch(this)), m_picture(new WeekPicture(this)), m_detail(new QTreeWidget(this)),
      m_total(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Gestion des Profils Horaires")
                   + (m_number > 0 ? QStringLiteral(" - MODIFICATION") : QStringLiteral(" - CREATION")));
    limitToColumn(m_label, QStringLiteral("kp_profil"), QStringLiteral("libprofil"));
    m_firstDay->addItems(ProfileStore::dayNames());
    m_firstDay->setCurrentIndex(m_preferences.firstDay);
    m_precision->addItems(ProfileStore::precisionLabels());
    m_precision->setCurrentIndex(m_preferences.precision);
    m_activeSwatch->setValue(m_preferences.activeColour);
    m_backgroundSwatch->setValue(m_preferences.background);
    m_picture->setPreferences(m_preferences);

    auto *fields = new QGridLayout;
    const auto label = [this](const QString &text) {
        auto *l = new QLabel(text, this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    fields->addWidget(label(QStringLiteral("Libellé du Profil Horaire :")), 0, 0);
    fields->addWidget(m_label, 0, 1, 1, 4);
    fields->addWidget(label(QStringLiteral("Premier jour de la semaine :")), 1, 0);
    fields->addWidget(m_firstDay, 1, 1);
    fields->addWidget(label(QStringLiteral("Couleur plages actives :")), 1, 3);
    fields->addWidget(m_activeSwatch, 1, 4, Qt::AlignLeft);
    fields->addWidget(label(QStringLiteral("Précision")), 2, 0);
    fields->addWidget(m_precision, 2, 1);
    fields->addWidget(label(QStringLiteral("Couleur arrière plan :")), 2, 3);
    fields->addWidget(m_backgroundSwatch, 2, 4, Qt::AlignLeft);
    fields->setColumnStretch(2, 1);
    fields->setColumnMinimumWidth(2, 24);

    m_detail->setHeaderLabels({QStringLiteral("Jour"), QStringLiteral("H.Début"), QStringLiteral("H.Fin"), QStringLiteral("Durée")});
    m_detail->setRootIsDecorated(false);
    m_detail->setUniformRowHeights(true);
    m_detail->setSelectionMode(QAbstractItemView::NoSelection);
    m_detail->setFocusPolicy(Qt::NoFocus);
    m_detail->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_detail->header()->setDefaultAlignment(Qt::AlignCenter);
    m_detail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_detail->setMinimumHeight(m_detail->fontMetrics().height() * 9);
    auto *detailBox = new QGroupBox(QStringLiteral("Détail des tranches horaires définies"), this);
    auto *detailLayout = new QVBoxLayout(detailBox);
    detailLayout->addWidget(m_detail);

    QFont bold = m_total->font();
    bold.setBold(true);
    m_total->setFont(bold);
    auto *totalLayout = new QHBoxLayout;
    totalLayout->addStretch();
    totalLayout->addWidget(new QLabel(QStringLiteral("Nbre Heures du Profil :"), this));
    totalLayout->addWidget(m_total);
    detailLayout->addLayout(totalLayout);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_picture);
    layout->addWidget(detailBox, 1);
    layout->addWidget(okCancelButtons(this));
    // Wide enough for the times to be read inside the bars.
    resize(qMax(sizeHint().width(), m_picture->sizeHint().width() + 24), sizeHint().height());

    connect(m_picture, &WeekPicture::changeRequested, this, &GesProfilHoraire::changeRange);
    connect(m_picture, &WeekPicture::deleteRequested, this, &GesProfilHoraire::deleteRange);
    connect(m_firstDay, &QComboBox::currentIndexChanged, this, &GesProfilHoraire::preferencesChanged);
    connect(m_precision, &QComboBox::currentIndexChanged, this, &GesProfilHoraire::preferencesChanged);
    connect(m_activeSwatch, &ColourSwatch::valueChanged, this, &GesProfilHoraire::preferencesChanged);
    connect(m_backgroundSwatch, &ColourSwatch::valueChanged, this, &GesProfilHoraire::preferencesChanged);
    FieldNavigation::install(this);

    if (m_number > 0) {
        HourProfile profile;
        const Outcome read = ProfileStore::read(*session.database(), m_number, &profile);
        if (!read) {
            m_prompter.show(read);
            m_loaded = false;
            // Closes as soon as the caller runs the dialog; dropped if it never does.
            QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        }
        m_label->setText(profile.label);
        m_ranges = profile.ranges;
    }
    refresh();
}

void GesProfilHoraire::preferencesChanged()
{
    ProfilePreferences now = m_preferences;
    now.firstDay = qMax(0, m_firstDay->currentIndex());
    now.precision = qMax(0, m_precision->currentIndex());
    now.activeColour = m_activeSwatch->value();
    now.background = m_backgroundSwatch->value();
    now.writeChanges(m_session.settings(), m_preferences);
    m_preferences = now;
    m_picture->setPreferences(now);
    refresh();
}

void GesProfilHoraire::changeRange(int index, const ProfileRange &range)
{
    const Outcome placed = ProfileStore::checkPlacement(m_ranges, index, range);
    if (!placed) {
        m_prompter.show(placed);
        m_picture->setRanges(m_ranges); // back where it was
        return;
    }
    if (index < 0)
        m_ranges.append(range);
    else
        m_ranges[index] = range;
    refresh(&range);
}

void GesProfilHoraire::deleteRange(int index)
{
    if (index < 0 || index >= m_ranges.size()
        || !m_prompter.ask(QStringLiteral("Suppression"), QStringLiteral("Supprimer cette tranche horaire ?"), false))
        return;
    m_ranges.removeAt(index);
    refresh();
}

void GesProfilHoraire::refresh(const ProfileRange *select)
{
    m_ranges = ProfileStore::sorted(m_ranges, m_preferences.firstDay);
    m_picture->setRanges(m_ranges);
    m_picture->setSelected(select ? int(m_ranges.indexOf(*select)) : -1);

    const QStringList days = ProfileStore::dayNames();
    m_detail->clear();
    for (const ProfileRange &r : m_ranges) {
        auto *item = new QTreeWidgetItem(m_detail, {days[r.day], ProfileStore::timeText(r.start), ProfileStore::timeText(r.end),
                                                    ProfileStore::durationText(ProfileStore::length(r))});
        for (int c = 1; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignCenter);
    }
    m_total->setText(ProfileStore::durationText(ProfileStore::totalMinutes(m_ranges)));
}

void GesProfilHoraire::accept()
{
    HourProfile profile{m_number, m_label->text(), m_ranges};
    const Outcome saved = ProfileStore::save(*m_session.database(), &profile);
    m_prompter.show(saved);
    if (!saved)
        return;
    m_number = profile.number;
    QDialog::accept();
}
