#include "seed/SeedGenerator.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "resources/HoursStore.h"
#include "resources/WorkingTime.h"
#include "tasks/Periodicity.h"

#include <QDateTime>
#include <QSet>

#include <random>
#include <vector>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString Failed = QStringLiteral("Erreur lors de la génération du jeu d'essai");
const QString Station = QStringLiteral("'GENERATEUR'");

// A multi-row insert stays well under SQLite's 500-row compound limit.
constexpr int RowsPerStatement = 400;
constexpr int RowsPerTransaction = 5000;

// Draws from the seed alone. The standard distributions are free to differ
// between library versions; these reductions of the engine's output are not.
class Dice
{
public:
    explicit Dice(quint32 seed) : m_engine(seed) {}
    int below(int n) { return n <= 1 ? 0 : int((quint64(quint32(m_engine())) * quint64(n)) >> 32); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <class List>
    const auto &pick(const List &list)
    {
        return list.at(below(int(list.size())));
    }

private:
    std::mt19937 m_engine;
};

// The open transaction, renewed every few thousand rows so that neither back
// end has to hold a whole run in one.
class Writer
{
public:
    explicit Writer(Database &db) : m_db(db) {}
    Database &db() { return m_db; }
    bool begin() { return m_db.begin(); }
    bool wrote(int rows)
    {
        m_pending += rows;
        if (m_pending < RowsPerTransaction)
            return true;
        m_pending = 0;
        return m_db.commit() && m_db.begin();
    }
    bool commit() { return m_db.commit(); }

private:
    Database &m_db;
    int m_pending = 0;
};

// Rows of one table gathered into multi-row inserts.
class Batch
{
public:
    Batch(Writer &writer, const QString &table, const QString &columns)
        : m_writer(writer), m_table(table), m_head(QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns
                                                   + QStringLiteral(") values "))
    {
    }
    const QString &table() const { return m_table; }
    int rows() const { return m_rows; }
    // The engine's text for the statement that failed.
    const QString &error() const { return m_error; }

    bool add(const QStringList &values)
    {
        m_values.append(QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')'));
        ++m_rows;
        return m_values.size() < RowsPerStatement || flush();
    }
    // A failure sticks, so that a caller may check only the last flush.
    bool flush()
    {
        if (!m_error.isEmpty()) {
            m_values.clear();
            return false;
        }
        if (m_values.isEmpty())
            return true;
        const int n = int(m_values.size());
        const bool ok = m_writer.db().exec(m_head + m_values.join(QLatin1Char(','))) && m_writer.wrote(n);
        m_values.clear();
        if (!ok)
            m_error = m_writer.db().lastError().isEmpty() ? QStringLiteral("?") : m_writer.db().lastError();
        return ok;
    }

private:
    Writer &m_writer;
    QString m_table;
    QString m_head;
    QStringList m_values;
    int m_rows = 0;
    QString m_error;
};

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + sqlText(text) + QLatin1Char('\'');
}

QString num(qint64 value)
{
    return QString::number(value);
}

QString amount(double value)
{
    return sqlNumber(QString::number(value, 'f', 4), 2);
}

// Colours as stored, 0x00BBGGRR, with a text colour that reads on them.
struct Colour
{
    int background;
    int text;
};

Colour colour(quint32 rgb)
{
    const int r = int(rgb >> 16) & 0xFF, g = int(rgb >> 8) & 0xFF, b = int(rgb) & 0xFF;
    const bool dark = 299 * r + 587 * g + 114 * b < 140000;
    return {r | (g << 8) | (b << 16), dark ? 0xFFFFFF : 0};
}

const quint32 Palette[] = {0xF8B195, 0xF67280, 0xC06C84, 0x6C5B7B, 0x355C7D, 0x99B898, 0xFECEAB, 0xFF847C,
                           0xE84A5F, 0xA8E6CF, 0xDCEDC1, 0xFFD3B6, 0xFFAAA5, 0x88D8B0, 0xFFCC5C, 0x96CEB4,
                           0xFFEEAD, 0x5BC0DE, 0x5CB85C, 0xF0AD4E, 0x8E7CC3, 0x76A5AF, 0xB4A7D6, 0xA2C4C9,
                           0xF6B26B, 0x93C47D, 0x6FA8DC, 0xE06666};
constexpr int PaletteSize = int(std::size(Palette));

struct Named
{
    const char *code;
    const char *label;
    quint32 rgb;
};

const Named LeaveTypes[] = {{"CP", "Congés payés", 0x7FB3D5}, {"RTT", "RTT", 0x82E0AA}, {"MAL", "Maladie", 0xF1948A},
                            {"CSS", "Congé sans solde", 0xD7BDE2}, {"EVF", "Événement familial", 0xF9E79F}};
const Named Urgencies[] = {{"URG", "Urgent", 0xE74C3C}, {"PRI", "Prioritaire", 0xF39C12}, {"NOR", "Normale", 0x58D68D},
                           {"DIF", "Différable", 0xB2BABB}};
const Named Zones[] = {{"", "Nord", 0x85C1E9}, {"", "Sud", 0xF7DC6F}, {"", "Est", 0xA9DFBF},
                       {"", "Ouest", 0xF5B7B1}, {"", "Centre", 0xD2B4DE}, {"", "Agglomération", 0xFAD7A0}};
const Named Sectors[] = {{"BTP", "Bâtiment", 0},    {"COM", "Commerce", 0},     {"IND", "Industrie", 0},
                         {"SAN", "Santé", 0},        {"EDU", "Enseignement", 0}, {"RES", "Restauration", 0},
                         {"ADM", "Administration", 0}, {"AGR", "Agriculture", 0}};
const Named Projects[] = {{"RENOV", "Rénovation de la mairie", 0}, {"ECOLE", "Extension de l'école", 0},
                          {"FIBRE", "Déploiement de la fibre", 0}, {"SIEGE", "Nouveau siège", 0},
                          {"ENERG", "Audit énergétique", 0},      {"PARC", "Renouvellement du parc", 0}};

struct TaskTypeRow
{
    const char *label;
    quint32 rgb;
    int timing;
    const char *duration, *from, *to;
};
const TaskTypeRow TaskTypes[] = {
    {"Installation", 0x5DADE2, 0, "00:00", "00:00", "00:00"},  {"Maintenance", 0x58D68D, 0, "00:00", "00:00", "00:00"},
    {"Dépannage", 0xEC7063, 0, "00:00", "00:00", "00:00"},     {"Audit", 0xAF7AC5, 0, "00:00", "00:00", "00:00"},
    {"Formation", 0xF5B041, 2, "00:00", "09:00", "12:00"},     {"Livraison", 0x48C9B0, 0, "00:00", "00:00", "00:00"},
    {"Réunion", 0xF7DC6F, 1, "01:30", "00:00", "00:00"},       {"Visite technique", 0x85929E, 0, "00:00", "00:00", "00:00"},
    {"Mise en service", 0x2E86C1, 0, "00:00", "00:00", "00:00"}, {"Contrôle qualité", 0xCA6F1E, 0, "00:00", "00:00", "00:00"},
    {"Inventaire", 0xA3E4D7, 0, "00:00", "00:00", "00:00"},    {"Devis sur site", 0xFAD7A0, 0, "00:00", "00:00", "00:00"}};
constexpr int TaskTypeCount = int(std::size(TaskTypes));

const char *const Teams[] = {"Équipe Nord", "Équipe Sud", "Équipe Maintenance", "Équipe Installation"};
const char *const EmptyTeam = "Astreinte du week-end";

// Stages and their criteria: task type number, 1 taken place / 0 not.
struct StageRow
{
    const char *label;
    int criteria[2][2];
};
const StageRow Stages[] = {{"Premier contact", {{12, 1}, {1, 0}}},
                           {"Installé", {{1, 1}, {9, 1}}},
                           {"Sous contrat", {{2, 1}, {0, 0}}},
                           {"Formé", {{5, 1}, {0, 0}}}};

const char *const FixedHolidays[][2] = {{"01/01", "Jour de l'an"}, {"01/05", "Fête du travail"},
                                        {"08/05", "Victoire 1945"}, {"14/07", "Fête nationale"},
                                        {"15/08", "Assomption"},    {"01/11", "Toussaint"},
                                        {"11/11", "Armistice 1918"}, {"25/12", "Noël"}};

const QStringList MaleNames = {
    QStringLiteral("Jean"),    QStringLiteral("Pierre"),  QStringLiteral("Michel"),  QStringLiteral("Philippe"),
    QStringLiteral("Alain"),   QStringLiteral("Nicolas"), QStringLiteral("Julien"),  QStringLiteral("Thomas"),
    QStringLiteral("Antoine"), QStringLiteral("François"), QStringLiteral("Sébastien"), QStringLiteral("Mathieu"),
    QStringLiteral("Laurent"), QStringLiteral("Olivier"), QStringLiteral("Hugo"),    QStringLiteral("Lucas"),
    QStringLiteral("Maxime"),  QStringLiteral("Jérôme"),  QStringLiteral("Yannick"), QStringLiteral("Rémi"),
    QStringLiteral("Cédric"),  QStringLiteral("Benoît"),  QStringLiteral("Gaël"),    QStringLiteral("Loïc"),
    QStringLiteral("Xavier"),  QStringLiteral("Arnaud"),  QStringLiteral("Damien"),  QStringLiteral("Fabrice")};
const QStringList FemaleNames = {
    QStringLiteral("Marie"),     QStringLiteral("Nathalie"),  QStringLiteral("Isabelle"), QStringLiteral("Sylvie"),
    QStringLiteral("Catherine"), QStringLiteral("Sophie"),    QStringLiteral("Julie"),    QStringLiteral("Camille"),
    QStringLiteral("Léa"),       QStringLiteral("Chloé"),     QStringLiteral("Émilie"),   QStringLiteral("Aurélie"),
    QStringLiteral("Céline"),    QStringLiteral("Hélène"),    QStringLiteral("Manon"),    QStringLiteral("Inès"),
    QStringLiteral("Sandrine"),  QStringLiteral("Valérie"),   QStringLiteral("Christine"), QStringLiteral("Anaïs"),
    QStringLiteral("Mathilde"),  QStringLiteral("Pauline"),   QStringLiteral("Claire"),   QStringLiteral("Agnès"),
    QStringLiteral("Élodie"),    QStringLiteral("Margaux"),   QStringLiteral("Océane"),   QStringLiteral("Brigitte")};
const QStringList Surnames = {
    QStringLiteral("Martin"),   QStringLiteral("Bernard"),   QStringLiteral("Dubois"),   QStringLiteral("Thomas"),
    QStringLiteral("Robert"),   QStringLiteral("Richard"),   QStringLiteral("Petit"),    QStringLiteral("Durand"),
    QStringLiteral("Leroy"),    QStringLiteral("Moreau"),    QStringLiteral("Simon"),    QStringLiteral("Laurent"),
    QStringLiteral("Lefèvre"),  QStringLiteral("Michel"),    QStringLiteral("Garcia"),   QStringLiteral("David"),
    QStringLiteral("Bertrand"), QStringLiteral("Roux"),      QStringLiteral("Vincent"),  QStringLiteral("Fournier"),
    QStringLiteral("Morel"),    QStringLiteral("Girard"),    QStringLiteral("André"),    QStringLiteral("Mercier"),
    QStringLiteral("Dupont"),   QStringLiteral("Lambert"),   QStringLiteral("Bonnet"),   QStringLiteral("François"),
    QStringLiteral("Martinez"), QStringLiteral("Legrand"),   QStringLiteral("Garnier"),  QStringLiteral("Faure"),
    QStringLiteral("Rousseau"), QStringLiteral("Blanc"),     QStringLiteral("Guérin"),   QStringLiteral("Muller"),
    QStringLiteral("Henry"),    QStringLiteral("Roussel"),   QStringLiteral("Nicolas"),  QStringLiteral("Perrin"),
    QStringLiteral("Morin"),    QStringLiteral("Mathieu"),   QStringLiteral("Clément"),  QStringLiteral("Gauthier"),
    QStringLiteral("Dumont"),   QStringLiteral("Lopez"),     QStringLiteral("Fontaine"), QStringLiteral("Chevalier"),
    QStringLiteral("Robin"),    QStringLiteral("Masson"),    QStringLiteral("Sanchez"),  QStringLiteral("Gérard"),
    QStringLiteral("Nguyen"),   QStringLiteral("Boyer"),     QStringLiteral("Denis"),    QStringLiteral("Lemaire"),
    QStringLiteral("Duval"),    QStringLiteral("Joly"),      QStringLiteral("Gautier"),  QStringLiteral("Roger"),
    QStringLiteral("Le Gall"),  QStringLiteral("D'Almeida"), QStringLiteral("Brun"),     QStringLiteral("Riviere")};
const QStringList Streets = {
    QStringLiteral("rue des Lilas"),        QStringLiteral("avenue Jean Jaurès"),  QStringLiteral("rue Victor Hugo"),
    QStringLiteral("boulevard Gambetta"),   QStringLiteral("place de la République"), QStringLiteral("rue de la Gare"),
    QStringLiteral("chemin des Vignes"),    QStringLiteral("allée des Tilleuls"),  QStringLiteral("rue du Moulin"),
    QStringLiteral("impasse des Acacias"),  QStringLiteral("rue Pasteur"),         QStringLiteral("avenue de la Libération"),
    QStringLiteral("rue Jules Ferry"),      QStringLiteral("quai des Bateliers"),  QStringLiteral("route de Lyon"),
    QStringLiteral("rue de l'Église"),      QStringLiteral("rue Saint-Michel"),    QStringLiteral("avenue Foch")};
const QStringList Towns = {
    QStringLiteral("75011 Paris"),      QStringLiteral("69003 Lyon"),      QStringLiteral("13008 Marseille"),
    QStringLiteral("31000 Toulouse"),   QStringLiteral("44000 Nantes"),    QStringLiteral("33000 Bordeaux"),
    QStringLiteral("59000 Lille"),      QStringLiteral("67000 Strasbourg"), QStringLiteral("35000 Rennes"),
    QStringLiteral("34000 Montpellier"), QStringLiteral("06000 Nice"),     QStringLiteral("21000 Dijon"),
    QStringLiteral("37000 Tours"),      QStringLiteral("49000 Angers"),    QStringLiteral("87000 Limoges"),
    QStringLiteral("63000 Clermont-Ferrand"), QStringLiteral("38000 Grenoble"), QStringLiteral("76000 Rouen"),
    QStringLiteral("51100 Reims"),      QStringLiteral("29200 Brest"),     QStringLiteral("64000 Pau"),
    QStringLiteral("45000 Orléans"),    QStringLiteral("80000 Amiens"),    QStringLiteral("25000 Besançon"),
    QStringLiteral("86000 Poitiers"),   QStringLiteral("17000 La Rochelle"), QStringLiteral("74000 Annecy"),
    QStringLiteral("84000 Avignon"),    QStringLiteral("57000 Metz"),      QStringLiteral("14000 Caen")};
// Trades of the companies, with their sector code.
const QList<QPair<QString, QString>> Trades = {
    {QStringLiteral("Boulangerie"), QStringLiteral("COM")},  {QStringLiteral("Garage"), QStringLiteral("COM")},
    {QStringLiteral("Pharmacie"), QStringLiteral("SAN")},    {QStringLiteral("Cabinet médical"), QStringLiteral("SAN")},
    {QStringLiteral("Menuiserie"), QStringLiteral("BTP")},   {QStringLiteral("Plomberie"), QStringLiteral("BTP")},
    {QStringLiteral("Électricité"), QStringLiteral("BTP")},  {QStringLiteral("Restaurant"), QStringLiteral("RES")},
    {QStringLiteral("Brasserie"), QStringLiteral("RES")},    {QStringLiteral("Hôtel"), QStringLiteral("RES")},
    {QStringLiteral("Imprimerie"), QStringLiteral("IND")},   {QStringLiteral("Transports"), QStringLiteral("IND")},
    {QStringLiteral("Fonderie"), QStringLiteral("IND")},     {QStringLiteral("École"), QStringLiteral("EDU")},
    {QStringLiteral("Ferme"), QStringLiteral("AGR")},        {QStringLiteral("Fleuriste"), QStringLiteral("COM")},
    {QStringLiteral("Librairie"), QStringLiteral("COM")},    {QStringLiteral("Boucherie"), QStringLiteral("COM")},
    {QStringLiteral("Clinique vétérinaire"), QStringLiteral("SAN")}, {QStringLiteral("Maçonnerie"), QStringLiteral("BTP")}};
const QStringList Groups = {QStringLiteral("Groupe Atlantique"), QStringLiteral("Réseau Horizon"),
                            QStringLiteral("Union des commerçants")};
const QStringList ClientComments = {QStringLiteral("Accès par la cour"), QStringLiteral("Client fidèle depuis 2010"),
                                    QStringLiteral("Prévenir la veille"), QStringLiteral("Code portail 1234"),
                                    QStringLiteral("Parking à l'arrière")};
const QStringList Equipment = {QStringLiteral("Camion"),     QStringLiteral("Fourgon"),   QStringLiteral("Nacelle"),
                               QStringLiteral("Échafaudage"), QStringLiteral("Salle de réunion"), QStringLiteral("Vidéoprojecteur"),
                               QStringLiteral("Groupe électrogène")};
const QStringList TaskComments = {
    QStringLiteral("Remplacement chaudière"),       QStringLiteral("Contrôle annuel"),
    QStringLiteral("Prévoir échelle"),              QStringLiteral("Intervention au 2e étage"),
    QStringLiteral("Apporter les pièces"),          QStringLiteral("Client absent le matin"),
    QStringLiteral("Suite à l'appel du client"),    QStringLiteral("Vérifier l'installation"),
    QStringLiteral("Mise à jour du logiciel"),      QStringLiteral("Changement de filtre"),
    QStringLiteral("Réglage brûleur"),              QStringLiteral("Pose de compteur"),
    QStringLiteral("Clés à récupérer à l'accueil"), QStringLiteral("Rendez-vous confirmé par téléphone")};
const QStringList SeriesComments = {QStringLiteral("Réunion d'équipe"),       QStringLiteral("Contrôle hebdomadaire"),
                                    QStringLiteral("Entretien mensuel"),      QStringLiteral("Point trimestriel"),
                                    QStringLiteral("Inventaire annuel"),      QStringLiteral("Relevé des compteurs"),
                                    QStringLiteral("Nettoyage des véhicules"), QStringLiteral("Sauvegarde des données")};
const QStringList LeaveComments = {QString(), QString(), QString(), QStringLiteral("Posé par le responsable"),
                                   QStringLiteral("Validé")};

// Easter Sunday (Gregorian computus).
QDate easter(int y)
{
    const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30, i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    return QDate(y, (h + l - 7 * m + 114) / 31, (h + l - 7 * m + 114) % 31 + 1);
}

// "hh:mm" of a minute of the day; 1440 is "24:00".
using WorkingTime::minutesOfDay;


QDateTime at(const QDate &day, int minutes)
{
    return QDateTime(day, QTime(0, 0)).addSecs(qint64(minutes) * 60);
}

// Lower-case ASCII for mail addresses and web names.
QString slug(const QString &text, QChar space)
{
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D).toLower()) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            out.append(c);
        else if ((c == QLatin1Char(' ') || c == QLatin1Char('\'') || c == QLatin1Char('-')) && !out.endsWith(space))
            out.append(space);
    }
    return out;
}

QString phone(Dice &dice, bool mobile)
{
    QString s = mobile ? QStringLiteral("0%1").arg(dice.between(6, 7)) : QStringLiteral("0%1").arg(dice.between(1, 5));
    for (int i = 0; i < 4; ++i)
        s += QStringLiteral(" %1").arg(dice.below(100), 2, 10, QLatin1Char('0'));
    return s;
}

struct Range
{
    QDate startDay;
    int start; // minutes
    QDate endDay;
    int end;
};

class Filler
{
public:
    Filler(Session &session, const SeedOptions &options, SeedReport &report)
        : m_db(*session.database()), m_dialect(session.dialect()), m_options(options),
          m_report(report), m_dice(options.seed), m_writer(m_db)
    {
    }

    Outcome run()
    {
        if (Outcome o = checkEmpty(); !o)
            return o;
        if (!m_writer.begin())
            return Outcome::failure(Error, Failed, m_db.lastError());
        // A failure rolls back the rows since the last intermediate commit only:
        // the caller starts again from a new database.
        Outcome o = companyHours();
        if (o)
            o = references();
        if (o)
            o = resources();
        if (o)
            o = teams();
        if (o)
            o = clients();
        if (o)
            o = tasks();
        if (!o) {
            if (m_db.inTransaction())
                m_db.rollback();
            return o;
        }
        if (!m_writer.commit())
            return Outcome::failure(Error, Failed, m_db.lastError());
        return Outcome::success();
    }

private:
    Outcome failure(const QString &table, const QString &error)
    {
        return Outcome::failure(Error, Failed + QStringLiteral(" (") + table + QLatin1Char(')'), error);
    }
    Outcome flushed(std::initializer_list<Batch *> batches)
    {
        for (Batch *b : batches)
            if (!b->flush())
                return failure(b->table(), b->error());
        return Outcome::success();
    }
    QString stamp() const { return m_dialect.dateTimeValue(QDateTime(m_options.firstDay.addDays(-7), QTime(9, 0))); }

    Outcome checkEmpty()
    {
        static const char *const tables[] = {"kp_taches_desc", "kp_ressources", "kp_societes", "kp_taches",
                                             "kp_conges",      "kp_urgences",   "kp_zones",    "kp_secteurs",
                                             "kp_projets",     "kp_equipes",    "kp_etapes",   "kp_joursferies",
                                             "kp_periode"};
        for (const char *table : tables) {
            ResultSet rows;
            if (!m_db.query(QStringLiteral("select count(*) from ") + QLatin1String(table), rows))
                return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), m_db.lastError());
            if (rows.toLongLong(0, 0) > 0)
                return Outcome::failure(QStringLiteral("Impossible"),
                                        QStringLiteral("La base contient déjà des données (%1) : le jeu d'essai ne se "
                                                       "génère que dans une base vide")
                                            .arg(QLatin1String(table)));
        }
        return Outcome::success();
    }

    Outcome companyHours()
    {
        ResultSet rows;
        if (!m_db.query(QStringLiteral("select count(*) from kp_paramplan"), rows))
            return failure(QStringLiteral("kp_paramplan"), m_db.lastError());
        if (rows.toLongLong(0, 0) == 0) {
            CompanyHours hours;
            hours.hordeb = QStringLiteral("08:00");
            hours.horfin = QStringLiteral("18:00");
            hours.durjour = QStringLiteral("08:00");
            hours.jourstrav = QStringLiteral("1111100");
            hours.hordmatmens = QStringLiteral("08:00");
            hours.horfmatmens = QStringLiteral("12:00");
            hours.hordapmens = QStringLiteral("14:00");
            hours.horfapmens = QStringLiteral("18:00");
            hours.hordmatann = QStringLiteral("08:00");
            hours.horfapann = QStringLiteral("18:00");
            if (Outcome o = HoursStore::saveCompanyHours(m_db, hours); !o)
                return o;
            m_report.companyHours = true;
        }
        if (Outcome o = CompanyHours::read(m_db, &m_company); !o)
            return o;
        m_dayStart = minutesOfDay(m_company.hordeb);
        m_dayEnd = m_company.horfin == QLatin1String("24:00") ? 1440 : minutesOfDay(m_company.horfin);
        if (m_dayEnd - m_dayStart < 60) { // hours too odd to plan in: use a plain day
            m_dayStart = 8 * 60;
            m_dayEnd = 18 * 60;
        }
        return Outcome::success();
    }

    Outcome references()
    {
        Batch types(m_writer, QStringLiteral("kp_taches"), QStringLiteral("noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura"));
        for (int i = 0; i < TaskTypeCount; ++i) {
            const TaskTypeRow &t = TaskTypes[i];
            const Colour c = colour(t.rgb);
            types.add({num(i + 1), quoted(QString::fromUtf8(t.label)), num(c.background), num(c.text), num(t.timing),
                       quoted(QLatin1String(t.duration)), quoted(QLatin1String(t.from)), quoted(QLatin1String(t.to))});
        }
        Batch leave(m_writer, QStringLiteral("kp_conges"), QStringLiteral("code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte"));
        for (const Named &n : LeaveTypes) {
            const Colour c = colour(n.rgb);
            const bool paid = QLatin1String(n.code) == QLatin1String("CP");
            const int days = paid ? 25 : QLatin1String(n.code) == QLatin1String("RTT") ? 10 : 0;
            // Only day and month of the yearly period count; they are kept in 2000.
            leave.add({quoted(QLatin1String(n.code)), quoted(QString::fromUtf8(n.label)),
                       m_dialect.dateValue(paid ? QDate(2000, 6, 1) : QDate(2000, 1, 1)),
                       m_dialect.dateValue(paid ? QDate(2000, 5, 31) : QDate(2000, 12, 31)), num(days), num(c.background),
                       num(c.text)});
            m_leaveCodes.append(QLatin1String(n.code));
        }
        Batch urgencies(m_writer, QStringLiteral("kp_urgences"), QStringLiteral("code,libelle,coulfond,coultexte"));
        for (const Named &n : Urgencies) {
            const Colour c = colour(n.rgb);
            urgencies.add({quoted(QLatin1String(n.code)), quoted(QString::fromUtf8(n.label)), num(c.background), num(c.text)});
            m_urgencies.append(QLatin1String(n.code));
        }
        Batch zones(m_writer, QStringLiteral("kp_zones"), QStringLiteral("noidzone,libzone,coulfond,coultexte"));
        for (const Named &n : Zones) {
            const Colour c = colour(n.rgb);
            zones.add({num(zones.rows() + 1), quoted(QString::fromUtf8(n.label)), num(c.background), num(c.text)});
        }
        Batch sectors(m_writer, QStringLiteral("kp_secteurs"), QStringLiteral("code,libelle"));
        for (const Named &n : Sectors)
            sectors.add({quoted(QLatin1String(n.code)), quoted(QString::fromUtf8(n.label))});
        Batch projects(m_writer, QStringLiteral("kp_projets"), QStringLiteral("code,libelle"));
        for (const Named &n : Projects) {
            projects.add({quoted(QLatin1String(n.code)), quoted(QString::fromUtf8(n.label))});
            m_projects.append(QLatin1String(n.code));
        }
        Batch stages(m_writer, QStringLiteral("kp_etapes"), QStringLiteral("noetape,libetape"));
        Batch criteria(m_writer, QStringLiteral("kp_etapes_taches"), QStringLiteral("noetape,notache,typecrit"));
        for (const StageRow &s : Stages) {
            const int n = stages.rows() + 1;
            stages.add({num(n), quoted(QString::fromUtf8(s.label))});
            for (const auto &c : s.criteria)
                if (c[0] > 0)
                    criteria.add({num(n), num(c[0]), num(c[1])});
        }
        Batch holidays(m_writer, QStringLiteral("kp_joursferies"), QStringLiteral("noferie,dateferie,repet,libelle"));
        for (const auto &h : FixedHolidays) {
            const QDate day = QDate::fromString(QLatin1String(h[0]) + QStringLiteral("/2000"), QStringLiteral("dd/MM/yyyy"));
            holidays.add({num(holidays.rows() + 1), m_dialect.dateValue(day), num(1), quoted(QString::fromUtf8(h[1]))});
            m_fixedHolidays.insert(day.month() * 100 + day.day());
        }
        const QDate last = m_options.firstDay.addDays(m_options.days - 1);
        for (int year = m_options.firstDay.year(); year <= last.year(); ++year) {
            const QDate sunday = easter(year);
            const QPair<int, const char *> movable[] = {{1, "Lundi de Pâques"}, {39, "Ascension"}, {50, "Lundi de Pentecôte"}};
            for (const auto &[offset, label] : movable) {
                holidays.add({num(holidays.rows() + 1), m_dialect.dateValue(sunday.addDays(offset)), num(0),
                              quoted(QString::fromUtf8(label))});
                m_datedHolidays.insert(sunday.addDays(offset));
            }
        }
        if (Outcome o = flushed({&types, &leave, &urgencies, &zones, &sectors, &projects, &stages, &criteria, &holidays}); !o)
            return o;
        m_report.taskTypes = types.rows();
        m_report.leaveTypes = leave.rows();
        m_report.urgencies = urgencies.rows();
        m_report.zones = m_zoneCount = zones.rows();
        m_report.sectors = sectors.rows();
        m_report.projects = projects.rows();
        m_report.stages = stages.rows();
        m_report.stageCriteria = criteria.rows();
        m_report.holidays = holidays.rows();

        for (QDate d = m_options.firstDay; d <= last; d = d.addDays(1))
            if (m_company.isWorkingDay(d.dayOfWeek()) && !m_fixedHolidays.contains(d.month() * 100 + d.day())
                && !m_datedHolidays.contains(d))
                m_workingDays.push_back(d);
        if (m_workingDays.empty())
            for (QDate d = m_options.firstDay; d <= last; d = d.addDays(1))
                m_workingDays.push_back(d);
        return Outcome::success();
    }

    // A first and last name not given yet, so that labels stay unique.
    QPair<QString, QString> freshName(bool female)
    {
        for (int attempt = 0;; ++attempt) {
            const QString first = m_dice.pick(female ? FemaleNames : MaleNames);
            QString last = m_dice.pick(Surnames);
            if (attempt >= 20)
                last += QLatin1Char(' ') + QString::number(attempt);
            if (!m_usedNames.contains(first + QLatin1Char(' ') + last)) {
                m_usedNames.insert(first + QLatin1Char(' ') + last);
                return {first, last};
            }
        }
    }

    Outcome resources()
    {
        Batch rows(m_writer, QStringLiteral("kp_ressources"),
                   QStringLiteral("noid,libelle,typeressource,civilite,nomressource,prenomressource,adrressource,compressource,"
                                  "cpressource,villeressource,paysressource,etatressource,telressource,mobressource,"
                                  "faxressource,mailressource,annivressource,coulfond,coultexte,icone,noidprofil,"
                                  "dtsaisie,ordisaisie,dtmodif,ordimodif,nomico"));
        QHash<QString, int> counters;
        const QString none = QStringLiteral("'/'");
        for (int n = 1; n <= m_options.resources; ++n) {
            const int draw = m_dice.below(100);
            const int type = n == 1 || draw < 80 ? 0 : draw < 93 ? 1 : 2;
            const Colour c = colour(Palette[m_dice.below(PaletteSize)]);
            QStringList v = {num(n)};
            if (type == 0) {
                const bool female = m_dice.chance(50);
                const auto [first, last] = freshName(female);
                const QString town = m_dice.pick(Towns);
                // Braces: their arguments are drawn in order, a call's are not.
                const QDate birthday{m_dice.between(1960, 2002), m_dice.between(1, 12), m_dice.between(1, 28)};
                const int house = m_dice.between(1, 120);
                const QString address = QString::number(house) + QLatin1Char(' ') + m_dice.pick(Streets);
                v << slashLiteral(first + QLatin1Char(' ') + last) << num(0) << num(female ? 1 : 0) << slashLiteral(last)
                  << slashLiteral(first) << slashLiteral(address) << none
                  << slashLiteral(town.section(QLatin1Char(' '), 0, 0)) << slashLiteral(town.section(QLatin1Char(' '), 1))
                  << quoted(QStringLiteral("France")) << none << slashLiteral(phone(m_dice, false))
                  << slashLiteral(phone(m_dice, true)) << none
                  << slashLiteral(slug(first, QLatin1Char('-')) + QLatin1Char('.') + slug(last, QLatin1Char('-'))
                                  + QStringLiteral("@quenzo-demo.fr"))
                  << m_dialect.dateValue(birthday);
                m_humans.append(n);
            } else {
                const QString label = type == 1 ? m_dice.pick(Equipment) : QStringLiteral("A planifier");
                const int k = ++counters[label];
                v << slashLiteral(label + QLatin1Char(' ') + QString::number(k)) << num(type) << num(0);
                for (int i = 0; i < 12; ++i)
                    v << none;
                v << m_dialect.unsetDateValue();
            }
            v << num(c.background) << num(c.text) << none << num(0) << stamp() << Station << stamp() << Station << none;
            rows.add(v);
            m_resources.append(n);
        }
        if (Outcome o = flushed({&rows}); !o)
            return o;
        m_report.resources = rows.rows();
        return Outcome::success();
    }

    Outcome teams()
    {
        Batch teams(m_writer, QStringLiteral("kp_equipes"), QStringLiteral("noequipe,libequipe"));
        Batch members(m_writer, QStringLiteral("kp_equipes_ress"), QStringLiteral("noequipe,noressource"));
        QList<qint64> pool;
        for (const char *label : Teams) {
            const int n = teams.rows() + 1;
            teams.add({num(n), quoted(QString::fromUtf8(label))});
            const int size = std::min<int>(m_dice.between(3, 8), int(m_humans.size()));
            QSet<qint64> chosen;
            while (int(chosen.size()) < size) {
                if (pool.isEmpty()) // deal the humans out before anyone joins a second team
                    pool = m_humans;
                const qint64 r = pool.takeAt(m_dice.below(int(pool.size())));
                if (!chosen.contains(r)) {
                    chosen.insert(r);
                    members.add({num(n), num(r)});
                }
            }
        }
        teams.add({num(teams.rows() + 1), quoted(QString::fromUtf8(EmptyTeam))});
        if (Outcome o = flushed({&teams, &members}); !o)
            return o;
        m_report.teams = teams.rows();
        m_report.teamMembers = members.rows();
        return Outcome::success();
    }

    Outcome clients()
    {
        Batch rows(m_writer, QStringLiteral("kp_societes"),
                   QStringLiteral("noidsoc,typesoc,libsoc,groupesoc,secteursoc,prenomcont,nomcont,adrsoc,adrcompsoc,cpsoc,"
                                  "villesoc,payssoc,etatsoc,telsoc,mobsoc,faxsoc,mailsoc,websoc,commentsoc,sexecont,coulfond,"
                                  "coultexte,nomico,cloture,noidzone,dtnaisscont,dtsaisie,ordisaisie,dtmodif,ordimodif"));
        Batch free(m_writer, QStringLiteral("kp_libresoc"), QStringLiteral("noidsoc,ch1,ch2,ch3,ch4,ch5,ch6,ch7,tb1,tb2,tb3,tb4"));
        const QString none = QStringLiteral("'/'");
        for (int n = 1; n <= m_options.clients; ++n) {
            const bool company = m_dice.chance(70);
            const bool female = m_dice.chance(50);
            const QString first = m_dice.pick(female ? FemaleNames : MaleNames);
            const QString last = m_dice.pick(Surnames);
            const QString town = m_dice.pick(Towns);
            QString name, sector, group, mail, web;
            QDate birth;
            int background = 0xFFFFFF;
            if (company) {
                const auto &[trade, tradeSector] = m_dice.pick(Trades);
                const int form = m_dice.below(10);
                sector = tradeSector;
                if (form < 6)
                    name = trade + QLatin1Char(' ') + last;
                else if (form < 7)
                    name = trade + QLatin1Char(' ') + last + QStringLiteral(" et Fils");
                else if (form < 8)
                    name = trade + (m_dice.chance(50) ? QStringLiteral(" du Centre") : QStringLiteral(" de la Gare"));
                else if (form < 9)
                    name = QStringLiteral("SARL ") + last;
                else
                    name = QStringLiteral("Établissements ") + last;
                if (m_dice.chance(10))
                    group = m_dice.pick(Groups);
                if (m_dice.chance(60))
                    mail = QStringLiteral("contact@") + slug(name, QLatin1Char('-')) + QStringLiteral(".fr");
                if (m_dice.chance(30))
                    web = QStringLiteral("www.") + slug(name, QLatin1Char('-')) + QStringLiteral(".fr");
                if (m_dice.chance(15))
                    background = colour(Palette[m_dice.below(PaletteSize)]).background;
            } else {
                name = QStringLiteral("/");
                if (m_dice.chance(50))
                    mail = slug(first, QLatin1Char('-')) + QLatin1Char('.') + slug(last, QLatin1Char('-')) + QStringLiteral("@exemple.fr");
                if (m_dice.chance(40))
                    birth = QDate{m_dice.between(1940, 2005), m_dice.between(1, 12), m_dice.between(1, 28)};
            }
            const QString comment = m_dice.chance(10) ? m_dice.pick(ClientComments) : QString();
            const int zone = m_zoneCount > 0 && m_dice.chance(90) ? m_dice.between(1, m_zoneCount) : 0;
            const int closed = m_dice.chance(5) ? 1 : 0;
            const int house = m_dice.between(1, 150);
            const QString address = QString::number(house) + QLatin1Char(' ') + m_dice.pick(Streets);
            const QStringList v = {num(n), num(company ? 0 : 1), slashLiteral(name), slashLiteral(group), slashLiteral(sector),
                                   slashLiteral(first), slashLiteral(last),
                                   slashLiteral(address),
                                   m_dice.chance(10) ? quoted(QStringLiteral("Bâtiment B")) : none,
                                   slashLiteral(town.section(QLatin1Char(' '), 0, 0)), slashLiteral(town.section(QLatin1Char(' '), 1)),
                                   quoted(QStringLiteral("France")), none, slashLiteral(phone(m_dice, false)),
                                   m_dice.chance(50) ? slashLiteral(phone(m_dice, true)) : none, none, slashLiteral(mail),
                                   slashLiteral(web), slashLiteral(comment), num(female ? 1 : 0), num(background), num(0), none,
                                   num(closed), num(zone),
                                   birth.isValid() ? m_dialect.dateValue(birth) : m_dialect.unsetDateValue(), stamp(), Station,
                                   stamp(), Station};
            QStringList f = {num(n)};
            for (int i = 0; i < 11; ++i)
                f << none;
            rows.add(v);
            free.add(f);
            m_clients.append(n);
        }
        if (Outcome o = flushed({&rows, &free}); !o)
            return o;
        m_report.clients = rows.rows();
        return Outcome::success();
    }

    // Distinct picks from a list, as many as it holds at most.
    QList<qint64> distinct(const QList<qint64> &from, int count)
    {
        QList<qint64> chosen;
        count = std::min<int>(count, int(from.size()));
        while (int(chosen.size()) < count) {
            const qint64 v = m_dice.pick(from);
            if (!chosen.contains(v))
                chosen.append(v);
        }
        return chosen;
    }
    QList<qint64> taskResources() { return distinct(m_resources, m_dice.chance(15) ? m_dice.between(2, 3) : 1); }
    QList<qint64> taskClients()
    {
        const int draw = m_dice.below(100);
        return distinct(m_clients, draw < 35 ? 0 : draw < 92 ? 1 : 2);
    }

    // A range of whole quarters inside the company day.
    Range dayRange(const QDate &day, int minMinutes, int maxMinutes)
    {
        const int room = m_dayEnd - m_dayStart;
        const int length = std::min(room, 15 * m_dice.between(minMinutes / 15, maxMinutes / 15));
        const int start = m_dayStart + 15 * m_dice.below((room - length) / 15 + 1);
        return {day, start, day, start + length};
    }

    // The ranges of an ordinary task: mostly one day, some over several days,
    // some split in two or three, a few ending at midnight.
    QList<Range> taskRanges(int linesLeft)
    {
        const int count = int(m_workingDays.size());
        const int index = m_dice.below(count);
        const QDate day = m_workingDays[index];
        const int draw = m_dice.below(100);
        if (draw < 10 && linesLeft >= 2) {
            QList<Range> split;
            int i = index;
            for (int k = std::min(linesLeft, m_dice.between(2, 3)); k > 0 && i < count; --k) {
                split.append(dayRange(m_workingDays[i], 60, 240));
                i += m_dice.between(1, 3);
            }
            return split;
        }
        if (draw < 18) {
            const QDate end = m_workingDays[std::min(count - 1, index + m_dice.between(1, 4))];
            const int start = m_dice.chance(60) ? m_dayStart : m_dayStart + 15 * m_dice.below((m_dayEnd - m_dayStart) / 30);
            const int finish = m_dice.chance(60) ? m_dayEnd : m_dayEnd - 15 * m_dice.below((m_dayEnd - m_dayStart) / 30);
            if (end > day)
                return {{day, start, end, finish}};
        }
        if (draw < 21) {
            const int start = std::max(m_dayStart, std::min(m_dayEnd, 24 * 60 - 60) - 15 * m_dice.below(9));
            return {{day, start, day.addDays(1), 0}};
        }
        return {dayRange(day, 60, 8 * 60)};
    }

    QStringList dateLine(qint64 noid, int rank, const Range &r)
    {
        const QString startTime = WorkingTime::timeOfDay(r.start);
        const QString endTime = WorkingTime::timeOfDay(r.end);
        return {num(noid),
                num(rank),
                m_dialect.dateTimeValue(at(r.startDay, r.start)),
                m_dialect.dateTimeValue(at(r.endDay, r.end)),
                amount(CalculNbJours(r.startDay, startTime, r.endDay, endTime, m_company)),
                amount(CalculNbHeures(r.startDay, startTime, r.endDay, endTime, m_company))};
    }

    // Header values in the order of HeaderColumns.
    QStringList header(qint64 noid, qint64 series, int origin, const QString &comment, const QDate &lastDay, bool mayBeDone)
    {
        const int type = m_dice.chance(95) ? m_dice.between(1, TaskTypeCount) : 0;
        const QString urgency = m_dice.chance(30) ? m_dice.pick(m_urgencies) : QString();
        const QString project = m_dice.chance(25) ? m_dice.pick(m_projects) : QString();
        const bool blocked = m_dice.chance(3);
        const bool done = mayBeDone && m_dice.chance(15);
        const QString unset = m_dialect.unsetDateValue();
        return {num(noid), num(type), slashLiteral(urgency), slashLiteral(project), num(blocked ? 1 : 0), num(0), num(0),
                QStringLiteral("'/'"), slashLiteral(comment), num(series), unset, unset, num(origin), num(0), num(0),
                num(done ? 1 : 0), done ? m_dialect.dateValue(lastDay) : unset, QStringLiteral("'/'"), num(0), num(0)};
    }

    void links(qint64 noid, const QList<qint64> &resources, const QList<qint64> &clients)
    {
        for (qint64 r : resources)
            m_taskResources->add({num(noid), num(r)});
        for (qint64 c : clients)
            m_taskClients->add({num(noid), num(c)});
    }

    PeriodRule rule(int index)
    {
        PeriodRule r;
        r.noid = index + 1;
        const int quarter = std::max(1, int(m_workingDays.size()) / 4);
        r.datedeb = m_workingDays[m_dice.below(quarter)];
        const Range hours = dayRange(r.datedeb, 30, 120);
        r.hordeb = WorkingTime::timeOfDay(hours.start);
        r.horfin = WorkingTime::timeOfDay(hours.end);
        switch (index % 6) {
        case 0:
            r.periodicite = PeriodRule::Daily;
            r.jourquot = m_dice.between(2, 7);
            break;
        case 1:
            r.periodicite = PeriodRule::Daily;
            r.typequot = 1;
            break;
        case 2: {
            r.periodicite = PeriodRule::Weekly;
            r.jourhebdo = m_dice.between(1, 3);
            QString days = QStringLiteral("0000000");
            for (int d = 0; d < 5; ++d)
                if (m_dice.chance(35))
                    days[d] = QLatin1Char('1');
            if (!days.contains(QLatin1Char('1')))
                days[m_dice.below(5)] = QLatin1Char('1');
            r.jour = days;
            break;
        }
        case 3: {
            r.periodicite = PeriodRule::Monthly;
            r.jourmois = m_dice.between(1, 28);
            static const QStringList months = {QStringLiteral("111111111111"), QStringLiteral("101010101010"),
                                               QStringLiteral("100100100100")};
            r.mois = m_dice.pick(months);
            break;
        }
        case 4:
            r.periodicite = PeriodRule::Monthly;
            r.typemois = 1;
            r.jourfinmois = m_dice.between(0, 5);
            break;
        default: {
            r.periodicite = PeriodRule::Yearly;
            const QDate anniversary = r.datedeb.addDays(m_dice.between(0, 200));
            r.moisan = anniversary.month() - 1;
            r.jourmoisan = std::min(anniversary.day(), 28);
            break;
        }
        }
        return r;
    }

    QList<Occurrence> occurrences(const PeriodRule &r, int days)
    {
        return Periodicity::ExpandRule(r, r.datedeb, r.datedeb.addDays(days), m_company.jourstrav);
    }

    Outcome tasks()
    {
        const QString headerColumns = QStringLiteral(
            "noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,noidper,dtdebper,dtfinper,"
            "origine,noalerte,noidutil,effect,dteffect,commenteffect,blocadm,noidprospect");
        Batch headers(m_writer, QStringLiteral("kp_taches_desc"), headerColumns);
        Batch dates(m_writer, QStringLiteral("kp_taches_dates"), QStringLiteral("noid,noiddate,datedeb,datefin,nbjours,nbheures"));
        Batch resources(m_writer, QStringLiteral("kp_taches_ressources"), QStringLiteral("noid,noidressource"));
        Batch clients(m_writer, QStringLiteral("kp_taches_clients"), QStringLiteral("noid,noidsoc"));
        m_taskResources = &resources;
        m_taskClients = &clients;

        // Series first: kp_periode numbers its rows in 16 bits, so the models take the lowest numbers.
        struct Model
        {
            PeriodRule rule;
            int links;
            int clients;
        };
        QList<Model> models;
        for (int s = 0; s < m_options.series; ++s) {
            PeriodRule r = rule(s);
            QList<Occurrence> first = occurrences(r, 400);
            if (first.isEmpty()) { // cannot happen with the kinds above; a daily rule always has one
                r.periodicite = PeriodRule::Daily;
                r.typequot = 0;
                r.jourquot = 1;
                first = occurrences(r, 1);
            }
            if (s % 2 == 1)
                r.datefin = first.first().day.addDays(m_dice.between(30, std::max(30, m_options.days)));
            const Occurrence &o = first.first();
            const QList<qint64> who = taskResources();
            const QList<qint64> whom = distinct(m_clients, m_dice.chance(50) ? 1 : 0);
            headers.add(header(r.noid, r.noid, 1, m_dice.pick(SeriesComments), o.endDay, false));
            dates.add(dateLine(r.noid, 1, {o.day, minutesOfDay(o.hordeb), o.endDay, minutesOfDay(o.horfin)}));
            links(r.noid, who, whom);
            if (Outcome saved = Periodicity::saveRule(m_db, m_dialect, r); !saved)
                return saved;
            models.append({r, int(who.size()), int(whom.size())});
        }
        // Taking out and cancelling copy the model's rows: they must be written first.
        if (Outcome o = flushed({&headers, &dates, &resources, &clients}); !o)
            return o;
        qint64 next = m_options.series + 1;
        int extraTasks = 0, extraLines = 0, extraResources = 0, extraClients = 0;
        for (int s = 0; s < int(models.size()); ++s) {
            if (s != 0 && !m_dice.chance(40))
                continue;
            const PeriodRule &r = models[s].rule;
            const QList<Occurrence> list = occurrences(r, m_options.days);
            if (list.size() < 3)
                continue;
            const Occurrence &moved = list[1];
            qint64 number = 0;
            const Outcome out = Periodicity::takeOutOccurrence(m_db, m_dialect, r.noid, moved, moved.start().addDays(1),
                                                              moved.end().addDays(1), &number);
            if (!out)
                return out;
            const Outcome cancelled = Periodicity::cancelOccurrence(m_db, m_dialect, r.noid, list[2], &number);
            if (!cancelled)
                return cancelled;
            next = number + 1;
            ++m_report.detached;
            ++m_report.cancelled;
            extraTasks += 2;
            extraLines += 1;
            extraResources += models[s].links;
            extraClients += models[s].clients;
        }
        m_report.series = int(models.size());

        // Ordinary tasks and leave share the remaining date lines.
        const int remaining = m_options.dateLines - headers.rows() - extraLines;
        const int leaveLines = m_humans.isEmpty() || m_leaveCodes.isEmpty() ? 0 : remaining / 20;
        int linesLeft = remaining - leaveLines;
        while (linesLeft > 0) {
            const QList<Range> ranges = taskRanges(linesLeft);
            const qint64 noid = next++;
            const QString comment = m_dice.chance(60) ? m_dice.pick(TaskComments) : QString();
            headers.add(header(noid, 0, 0, comment, ranges.last().endDay, true));
            for (int i = 0; i < int(ranges.size()); ++i)
                dates.add(dateLine(noid, i + 1, ranges[i]));
            const QList<qint64> who = taskResources();
            links(noid, who, taskClients());
            linesLeft -= int(ranges.size());
        }

        // Leave entries are written as the leave form writes them.
        Batch leave(m_writer, QStringLiteral("kp_taches_desc"),
                    QStringLiteral("noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,noidutil,"
                                   "effect,commenteffect,blocadm"));
        const int count = int(m_workingDays.size());
        for (int k = 0; k < leaveLines; ++k) {
            const qint64 noid = next++;
            const int index = m_dice.below(count);
            const QDate end = m_workingDays[std::min(count - 1, index + m_dice.between(0, 9))];
            leave.add({num(noid), num(0), QStringLiteral("'/'"), QStringLiteral("'/'"), num(0), num(0), num(0),
                       quoted(m_dice.pick(m_leaveCodes)), quoted(m_dice.pick(LeaveComments)), num(0), num(0),
                       QStringLiteral("'/'"), num(m_dice.chance(5) ? 1 : 0)});
            dates.add(dateLine(noid, 1, {m_workingDays[index], m_dayStart, end, m_dayEnd}));
            resources.add({num(noid), num(m_dice.pick(m_humans))});
        }
        if (Outcome o = flushed({&headers, &leave, &dates, &resources, &clients}); !o)
            return o;
        m_report.leaveEntries = leave.rows();
        m_report.tasks = headers.rows() + leave.rows() + extraTasks;
        m_report.dateLines = dates.rows() + extraLines;
        m_report.taskResources = resources.rows() + extraResources;
        m_report.taskClients = clients.rows() + extraClients;
        return Outcome::success();
    }

    Database &m_db;
    const Dialect &m_dialect;
    const SeedOptions &m_options;
    SeedReport &m_report;
    Dice m_dice;
    Writer m_writer;
    CompanyHours m_company;
    int m_dayStart = 0;
    int m_dayEnd = 0;
    int m_zoneCount = 0;
    std::vector<QDate> m_workingDays;
    QSet<int> m_fixedHolidays; // month * 100 + day
    QSet<QDate> m_datedHolidays;
    QSet<QString> m_usedNames;
    QStringList m_leaveCodes, m_urgencies, m_projects;
    QList<qint64> m_resources, m_humans, m_clients;
    Batch *m_taskResources = nullptr;
    Batch *m_taskClients = nullptr;
};

QString checkOptions(const SeedOptions &o)
{
    if (o.resources < 1 || o.resources > 32767)
        return QStringLiteral("Le nombre de ressources doit être compris entre 1 et 32767");
    if (o.clients < 0 || o.clients > 32767)
        return QStringLiteral("Le nombre de clients doit être compris entre 0 et 32767");
    if (o.series < 0 || o.series > 32767)
        return QStringLiteral("Le nombre de séries doit être compris entre 0 et 32767");
    if (o.dateLines < 2 * o.series || o.dateLines > 10000000)
        return QStringLiteral("Le nombre de lignes de dates doit être au moins le double du nombre de séries "
                              "(et au plus 10000000)");
    if (!o.firstDay.isValid())
        return QStringLiteral("Date de début incorrecte");
    if (o.days < 1 || o.days > 3660)
        return QStringLiteral("La période doit compter entre 1 et 3660 jours");
    return {};
}

} // namespace

Outcome SeedGenerator::run(SeedReport *report)
{
    *report = SeedReport();
    const QString wrong = checkOptions(m_options);
    if (!wrong.isEmpty())
        return Outcome::failure(QStringLiteral("Paramètres incorrects"), wrong);
    if (!m_session.database())
        return Outcome::failure(Error, QStringLiteral("Aucune base de données ouverte"));
    return Filler(m_session, m_options, *report).run();
}
