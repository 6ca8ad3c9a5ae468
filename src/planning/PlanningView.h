#pragma once

#include "planning/PlanningLayout.h"
#include "planning/PlanningPainter.h"

#include <QWidget>
#include <functional>

class PlanningModel;

// The planning's drawing surface: the header, the row labels and the grid
// in one picture, painted through the planning painter. It never reads the
// database: scrolling rows only moves the layout.
class PlanningView : public QWidget
{
    Q_OBJECT
public:
    explicit PlanningView(QWidget *parent = nullptr);

    void setModel(const PlanningModel *model);
    // The days shown and what decides their look.
    void setFrame(const PlanningSettings &settings, Presentation presentation, Period period, const QDate &start, int days);
    void setFirstRow(int row);
    int firstRow() const { return m_layout.firstRow(); }
    void setTexts(const QString &corner, const QString &empty);
    // Gives the tool-tip text of a block.
    void setTooltipSource(const std::function<QString(int)> &source) { m_tooltip = source; }
    // The row labels' tool-tip, before the label.
    void setRowTip(const QString &tip) { m_rowTip = tip; }
    // Lays out again after the model changed.
    void refresh();

    const PlanningLayout &layout() const { return m_layout; }
    const PlanningPainter::Style &style() const { return m_style; }
    // Renders the whole surface into an image of this size (for tests and benchmarks).
    QImage render(const QSize &size);

signals:
    // The pointer's place, as the status bar tells it.
    void hovered(const QString &text);
    void blockActivated(int block);
    void rowActivated(int row);
    // Wheel turns (rows or days, by WheelAction) and the arrow and page keys.
    void scrollRows(int rows);
    void scrollDays(int days);
    // The rows that fit changed (after a resize).
    void rowsPerScreenChanged(int rows);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    void relayout();
    QString describe(const QPointF &point) const;
    // The row whose label is under a point, -1 for none.
    int labelRowAt(const QPointF &point) const;

    PlanningLayout m_layout;
    PlanningLayout::Frame m_frame;
    PlanningSettings m_settings;
    Presentation m_presentation = Presentation::ByResource;
    PlanningPainter::Style m_style;
    int m_rowsPerScreen = 0;
    QString m_rowTip;
    std::function<QString(int)> m_tooltip;
};
