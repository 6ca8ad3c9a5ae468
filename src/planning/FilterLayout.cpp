#include "planning/FilterLayout.h"

#include "core/Settings.h"
#include "core/Terms.h"

#include <algorithm>

namespace {

struct FilterDefault
{
    const char *key;
    int position;
    bool visible;
};

constexpr FilterDefault Defaults[] = {
    {"Presentation", 1, true}, {"Date", 2, true},    {"Equipe", 3, true},   {"Zone", 4, true},
    {"Ressource", 5, true},    {"Tache", 6, true},   {"Client", 7, true},   {"Etat", 8, true},
    {"Projet", 9, true},       {"Secteur", 10, true}, {"Etape", 11, true},  {"Cloture", 12, true},
    {"Urgence", 999, false},   {"Entreprise", 13, false},
};

} // namespace

QList<FilterId> FilterLayout::allFilters()
{
    QList<FilterId> ids;
    for (int i = 0; i <= int(FilterId::Entreprise); ++i)
        ids.append(FilterId(i));
    return ids;
}

QString FilterLayout::key(FilterId id)
{
    return QLatin1String(Defaults[int(id)].key);
}

QString FilterLayout::label(FilterId id, const Terms &terms)
{
    switch (id) {
    case FilterId::Presentation: return QStringLiteral("Présentation");
    case FilterId::Date: return QStringLiteral("Date");
    case FilterId::Equipe: return QStringLiteral("Equipe");
    case FilterId::Zone: return QStringLiteral("Zone");
    case FilterId::Ressource: return terms.singular(Entity::Ressource);
    case FilterId::Tache: return terms.singular(Entity::Tache);
    case FilterId::Client: return terms.singular(Entity::Client);
    case FilterId::Etat: return QStringLiteral("Etat ") + terms.singular(Entity::Tache);
    case FilterId::Projet: return QStringLiteral("Projet");
    case FilterId::Secteur: return QStringLiteral("Secteur");
    case FilterId::Etape: return QStringLiteral("Etape");
    case FilterId::Cloture: return QStringLiteral("Clôture (") + terms.plural(Entity::Client) + QStringLiteral(" uniquement)");
    case FilterId::Urgence: return QStringLiteral("Urgence");
    case FilterId::Entreprise: return terms.singular(Entity::Societe);
    }
    return {};
}

FilterLayout FilterLayout::defaults()
{
    FilterLayout layout;
    for (FilterId id : allFilters())
        layout.entries.append({id, Defaults[int(id)].position, Defaults[int(id)].visible});
    return layout;
}

FilterLayout FilterLayout::read(const Settings &settings)
{
    FilterLayout layout = defaults();
    const QString section = filterSection();
    const QString columns = settings.read(section, QStringLiteral("NbCol")).trimmed();
    if (columns == QLatin1String("3") || columns == QLatin1String("4"))
        layout.columns = columns.toInt();
    for (Entry &e : layout.entries) {
        const QString name = key(e.id);
        if (settings.contains(section, name)) {
            bool numeric = false;
            const int position = settings.read(section, name).trimmed().toInt(&numeric);
            e.position = numeric ? qMin(position, 100) : 0;
        } else {
            e.position = qMin(e.position, 100);
        }
        const QString visible = settings.read(section, QStringLiteral("V") + name).trimmed();
        if (visible == QLatin1String("0") || visible == QLatin1String("1"))
            e.visible = visible == QLatin1String("1");
    }
    return layout;
}

const FilterLayout::Entry &FilterLayout::entry(FilterId id) const
{
    return entries.at(int(id));
}

QList<FilterId> FilterLayout::ordered() const
{
    QList<Entry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry &a, const Entry &b) { return a.position < b.position; });
    QList<FilterId> ids;
    for (const Entry &e : sorted)
        ids.append(e.id);
    return ids;
}

QList<FilterLayout::Cell> FilterLayout::cells() const
{
    QList<Cell> placed;
    int index = 0;
    for (FilterId id : ordered()) {
        if (!entry(id).visible)
            continue;
        placed.append({id, index / columns, index % columns});
        ++index;
    }
    return placed;
}

int FilterLayout::rowCount() const
{
    const QList<Cell> placed = cells();
    return placed.isEmpty() ? 0 : placed.last().row + 1;
}

void FilterLayout::write(Settings &settings, int columns, const QList<QPair<FilterId, bool>> &order)
{
    const QString section = filterSection();
    settings.write(section, QStringLiteral("NbCol"), QString::number(columns));
    for (int i = 0; i < order.size(); ++i) {
        const QString name = key(order.at(i).first);
        settings.write(section, name, QString::number(i + 1));
        settings.write(section, QStringLiteral("V") + name, order.at(i).second ? QStringLiteral("1") : QStringLiteral("0"));
    }
}
