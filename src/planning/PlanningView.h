#pragma once

#include "planning/PlanningLayout.h"
#include "planning/PlanningPainter.h"

#include <QSet>
#include <QWidget>
#include <functional>

class PlanningModel;
class QTimer;

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

    // What a press and drag is doing.
    enum class DragMode { None, Move, StretchStart, StretchEnd, Create, Band };
    DragMode dragMode() const { return m_drag.mode; }
    // The moving outline and where it would land.
    QRectF outline() const { return m_drag.outline; }
    GridPoint dragTarget() const { return m_drag.target; }
    // Pixels at each end of a block that start a stretch rather than a move.
    static constexpr int EdgeZone = 5;
    // A press in an empty place draws a selection rectangle instead of a new task.
    void setSelectionMode(bool on) { m_selectionMode = on; }
    bool selectionMode() const { return m_selectionMode; }
    // The block the keyboard works on, -1 for none; the blocks marked by a band.
    int selectedBlock() const { return m_selected; }
    void setSelectedBlock(int block);
    // After a reload: selects the block of that task and date line, on that row when it has several.
    void selectTask(qint64 noid, int dateLine, qint64 rowKey);
    QSet<int> markedBlocks() const { return m_marked; }
    // Abandons the drag under way, writing nothing.
    void cancelDrag();

public slots:
    // One step of the stretch animation: the outline catches up with the pointer.
    void stretchTick();

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
    // A block dropped (or moved by the keyboard) with its start at `start`; copy: Ctrl held.
    void blockMoved(int block, const GridPoint &start, bool copy);
    // One end of a block dragged (or moved by the keyboard) to `at`.
    void blockStretched(int block, bool atStart, const GridPoint &at);
    // An empty span drawn on a row: a new task there.
    void spanDrawn(const GridPoint &from, const GridPoint &to);
    // The right button on a block (-1: an empty place).
    void contextRequested(int block, const GridPoint &at, const QPoint &global);
    void deleteRequested(int block);
    // A drag that cannot start, and why.
    void refused(const QString &why);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    void relayout();
    QString describe(const QPointF &point) const;
    // The row whose label is under a point, -1 for none.
    int labelRowAt(const QPointF &point) const;
    // The outline and target of the drag for a pointer at `point`.
    void follow(const QPointF &point);
    // The snapped grid place under a point, kept within the grid.
    bool snapped(const QPointF &point, GridPoint *where) const;
    QRectF spanRect(int row, const GridPoint &from, const GridPoint &to) const;
    void finishDrag(const QPointF &point, Qt::KeyboardModifiers modifiers);
    bool editKey(QKeyEvent *event);
    void stepSelection(int direction);
    void updateMarks();

    struct Drag
    {
        DragMode mode = DragMode::None;
        int block = -1;
        QPointF pressAt;
        QPointF last;
        qreal grip = 0;     // pointer x less the block's left edge
        bool started = false; // moved far enough to count as a drag
        QRectF outline;
        GridPoint anchor;   // where a creation or a band began
        GridPoint target;   // start (move), the dragged end (stretch), the far end (creation)
    } m_drag;
    QTimer *m_stretchTimer;
    bool m_selectionMode = false;
    int m_selected = -1;
    QSet<int> m_marked;

    PlanningLayout m_layout;
    PlanningLayout::Frame m_frame;
    PlanningSettings m_settings;
    Presentation m_presentation = Presentation::ByResource;
    PlanningPainter::Style m_style;
    int m_rowsPerScreen = 0;
    QString m_rowTip;
    std::function<QString(int)> m_tooltip;
};
