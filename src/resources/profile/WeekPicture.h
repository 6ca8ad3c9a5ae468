#pragma once

#include "resources/profile/ProfileStore.h"

#include <QWidget>

// The week of an hour profile: seven day rows under a 00:00–24:00 ruler, the
// ranges drawn as bars. Editable, the mouse draws, moves and resizes ranges,
// snapping to the step; the picture only proposes the change (changeRequested)
// and its owner decides, then hands back the ranges. Read only, it just shows.
class WeekPicture : public QWidget
{
    Q_OBJECT
public:
    explicit WeekPicture(QWidget *parent = nullptr);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    void setRanges(const QList<ProfileRange> &ranges);
    const QList<ProfileRange> &ranges() const { return m_ranges; }
    // The range the Delete key acts on; -1 when none.
    int selected() const { return m_selected; }
    void setSelected(int index);

    // First day row, snapping step and colours.
    void setPreferences(const ProfilePreferences &preferences);

    // The point where a time of a day is drawn, in the middle of its row.
    QPoint positionOf(int day, int minutes) const;
    // The times shown beside the pointer while dragging; empty otherwise.
    QString dragHint() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // ranges()[index] (index -1: a new range) should become `range`.
    void changeRequested(int index, const ProfileRange &range);
    void deleteRequested(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Draw, Move, ResizeStart, ResizeEnd };

    int labelWidth() const;
    int rulerHeight() const;
    int rowHeight() const;
    QRect timeArea() const;
    int xOf(int minutes) const;
    double minutesAt(int x) const;
    int rowOf(int day) const;
    // The day of the row at y; -1 outside the rows unless clamped.
    int dayAt(int y, bool clamp = false) const;
    QRect barOf(const ProfileRange &range) const;
    // The range under the pointer and which part of it was hit.
    int rangeAt(const QPoint &pos, Drag *part) const;
    void follow(const QPoint &pos);
    void paintRuler(QPainter &painter, const QRect &area) const;
    void paintBar(QPainter &painter, const ProfileRange &range, bool selected, bool ghost) const;
    void paintHint(QPainter &painter) const;

    QList<ProfileRange> m_ranges;
    bool m_readOnly = false;
    int m_selected = -1;
    int m_firstDay = 0;
    int m_step = 15;
    QColor m_active;
    QColor m_background;

    Drag m_drag = Drag::None;
    int m_index = -1;        // range being moved or resized
    ProfileRange m_origin;   // that range before the drag
    ProfileRange m_candidate;
    double m_pressMinutes = 0;
    int m_gapStart = 0;      // a new range stays between its neighbours
    int m_gapEnd = 0;
    QPoint m_pointer;
    bool m_started = false;  // the pointer has moved far enough to be a drag
};
