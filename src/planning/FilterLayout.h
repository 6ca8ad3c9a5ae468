#pragma once

#include <QList>
#include <QString>

class Settings;
class Terms;

// The fourteen filters of the planning's filter panel, in their table order
// (which breaks ties between equal positions).
enum class FilterId {
    Presentation, Date, Equipe, Zone, Ressource, Tache, Client,
    Etat, Projet, Secteur, Etape, Cloture, Urgence, Entreprise
};

// How the filter panel is laid out (section "Filtres"): each filter's
// position and visibility, and the number of columns.
struct FilterLayout
{
    struct Entry
    {
        FilterId id;
        int position;
        bool visible;
    };
    struct Cell
    {
        FilterId id;
        int row;
        int column;
    };

    int columns = 4;
    QList<Entry> entries; // table order

    static QList<FilterId> allFilters();
    static QString key(FilterId id);
    // The caption of the filter, built from the customer's words.
    static QString label(FilterId id, const Terms &terms);

    static FilterLayout defaults();
    // A position that is no number counts as 0, one above 100 as 100.
    static FilterLayout read(const Settings &settings);

    const Entry &entry(FilterId id) const;
    // Every filter, smallest position first (table order among equals).
    QList<FilterId> ordered() const;
    // The visible filters in rows of `columns` cells, left to right.
    QList<Cell> cells() const;
    int rowCount() const;

    // Writes the column count, then each filter's place in `order` (from 1)
    // and its visibility.
    static void write(Settings &settings, int columns, const QList<QPair<FilterId, bool>> &order);
};

inline QString filterSection() { return QStringLiteral("Filtres"); }
