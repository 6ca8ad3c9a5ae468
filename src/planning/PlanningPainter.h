#pragma once

#include "planning/PlanningSettings.h"

#include <QFont>
#include <QRectF>
#include <QString>

class PlanningLayout;
struct PlanningBlock;
class QFontMetricsF;
class QPainter;

// Draws a planning picture from its layout: the date header, the row labels,
// the grid with its non-working days and holidays, and the blocks. It paints
// on any device, so that the screen, the paper and the exported images
// show the same picture.
class PlanningPainter
{
public:
    struct Style
    {
        PlanningSettings settings;
        QFont rowFont;
        QFont blockFont;
        QString cornerText; // top-left corner, above the row labels
        QString emptyText;  // shown on the grid when there is no row
        QList<int> selected; // blocks drawn as selected
        // Paper and images: the texts of the page's title band.
        struct PageTexts
        {
            QString title, filters, page, date;
        } page;
        QFont titleFont;
    };

    // Fonts of the settings at their planning sizes, `fallback` for an empty name.
    static QFont rowFont(const PlanningSettings &settings, const QFont &fallback);
    static QFont blockFont(const PlanningSettings &settings, const QFont &fallback);
    static QFont headerFont(const PlanningSettings &settings, const QFont &fallback);

    // Paints what lies within `exposed` (everything when it is empty).
    static void paint(QPainter &painter, const PlanningLayout &layout, const Style &style, const QRectF &exposed = {});

    static void paintPageHeader(QPainter &painter, const PlanningLayout &layout, const Style &style);
    static void paintHeader(QPainter &painter, const PlanningLayout &layout, const Style &style);
    static void paintLabels(QPainter &painter, const PlanningLayout &layout, const Style &style);
    static void paintGrid(QPainter &painter, const PlanningLayout &layout, const Style &style);
    static void paintBlocks(QPainter &painter, const PlanningLayout &layout, const Style &style, const QRectF &exposed);
    // The text as it fits in `width`, cut with "..." when it does not.
    static QString cut(const QFontMetricsF &metrics, const QString &text, qreal width);

    // A block drawn at another place, as it follows the pointer while dragged.
    static void paintPreview(QPainter &painter, const PlanningLayout &layout, const Style &style, int block, const QRectF &rect);
    static void paintBlock(QPainter &painter, const PlanningBlock &block, const QRectF &rect, const Style &style, bool selected);
};
