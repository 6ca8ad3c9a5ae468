#include "planning/PlanningView.h"

#include "planning/PlanningModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

namespace {

bool isLocked(const PlanningBlock &b)
{
    return b.blocage == 1 || b.adminLocked;
}

} // namespace

PlanningView::PlanningView(QWidget *parent) : QWidget(parent), m_stretchTimer(new QTimer(this))
{
    m_stretchTimer->setInterval(30);
    connect(m_stretchTimer, &QTimer::timeout, this, &PlanningView::stretchTick);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMinimumSize(400, 200);
    setFocusPolicy(Qt::StrongFocus);
}

void PlanningView::setModel(const PlanningModel *model)
{
    m_layout.setModel(model);
    relayout();
}

void PlanningView::setFrame(const PlanningSettings &settings, Presentation presentation, Period period, const QDate &start,
                            int days)
{
    m_settings = settings;
    m_presentation = presentation;
    m_frame.period = period;
    m_frame.start = start;
    m_frame.days = days;
    m_style.settings = settings;
    m_style.rowFont = PlanningPainter::rowFont(settings, font());
    m_style.blockFont = PlanningPainter::blockFont(settings, font());
    m_frame.headerFont = PlanningPainter::headerFont(settings, font());
    relayout();
}

void PlanningView::setFirstRow(int row)
{
    if (row == m_frame.firstRow)
        return;
    m_frame.firstRow = row;
    relayout();
}

void PlanningView::setTexts(const QString &corner, const QString &empty)
{
    m_style.cornerText = corner;
    m_style.emptyText = empty;
    update();
}

void PlanningView::refresh()
{
    // The block numbers change with a load.
    cancelDrag();
    m_selected = -1;
    m_marked.clear();
    updateMarks();
    m_layout.invalidate();
    relayout();
}

void PlanningView::relayout()
{
    if (!m_layout.model() || !m_frame.start.isValid())
        return;
    m_frame.area = QRectF(rect());
    m_frame.dpi = logicalDpiY();
    m_layout.compute(m_settings, m_presentation, m_frame);
    m_frame.firstRow = m_layout.firstRow();
    if (m_layout.rowsPerScreen() != m_rowsPerScreen) {
        m_rowsPerScreen = m_layout.rowsPerScreen();
        emit rowsPerScreenChanged(m_rowsPerScreen);
    }
    update();
}

QImage PlanningView::render(const QSize &size)
{
    const QSize before = this->size();
    resize(size);
    relayout();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PlanningPainter::paint(painter, m_layout, m_style);
    }
    resize(before);
    relayout();
    return image;
}

void PlanningView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!m_layout.model() || !m_frame.start.isValid()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.fillRect(event->rect(), Qt::white);
    PlanningPainter::paint(painter, m_layout, m_style, QRectF(event->rect()));
    if (!m_drag.started || m_drag.outline.isEmpty())
        return;
    switch (m_drag.mode) {
    case DragMode::Move:
    case DragMode::StretchStart:
    case DragMode::StretchEnd:
        PlanningPainter::paintPreview(painter, m_layout, m_style, m_drag.block, m_drag.outline);
        break;
    case DragMode::Create:
        painter.fillRect(m_drag.outline, QColor(0, 90, 220, 60));
        painter.setPen(QPen(QColor(0, 90, 220), 1, Qt::DashLine));
        painter.drawRect(m_drag.outline.adjusted(0, 0, -1, -1));
        break;
    case DragMode::Band:
        painter.setPen(QPen(QColor(40, 40, 40), 1, Qt::DotLine));
        painter.drawRect(m_drag.outline.adjusted(0, 0, -1, -1));
        break;
    case DragMode::None: break;
    }
}

void PlanningView::resizeEvent(QResizeEvent *)
{
    relayout();
}

QString PlanningView::describe(const QPointF &point) const
{
    GridPoint where;
    if (!m_layout.pointAt(point, &where))
        return {};
    // In French whatever the system's language, as every other text.
    static const QLocale french(QLocale::French, QLocale::France);
    QString text = french.toString(where.date, QStringLiteral("dddd dd/MM/yyyy")) + QStringLiteral("  ") + where.time();
    if (where.row >= 0)
        text += QStringLiteral("  -  ") + m_layout.model()->rows().at(where.row).label;
    return text;
}

void PlanningView::setSelectedBlock(int block)
{
    const int count = m_layout.model() ? int(m_layout.model()->blocks().size()) : 0;
    m_selected = block >= 0 && block < count ? block : -1;
    updateMarks();
}

void PlanningView::selectTask(qint64 noid, int dateLine, qint64 rowKey)
{
    int found = -1;
    const QList<PlanningBlock> &blocks = m_layout.model()->blocks();
    for (int i = 0; i < blocks.size(); ++i) {
        const PlanningBlock &b = blocks.at(i);
        if (b.noid != noid || b.dateLine != dateLine)
            continue;
        if (found < 0 || b.rowKey == rowKey)
            found = i;
    }
    setSelectedBlock(found);
}

void PlanningView::updateMarks()
{
    QList<int> marks(m_marked.cbegin(), m_marked.cend());
    if (m_selected >= 0 && !m_marked.contains(m_selected))
        marks.append(m_selected);
    m_style.selected = marks;
    update();
}

void PlanningView::cancelDrag()
{
    m_stretchTimer->stop();
    const bool shown = m_drag.started;
    m_drag = Drag();
    if (shown)
        update();
}

bool PlanningView::snapped(const QPointF &point, GridPoint *where) const
{
    const QRectF grid = m_layout.gridRect();
    if (grid.isEmpty())
        return false;
    const QPointF inside(qBound(grid.left(), point.x(), grid.right() - 0.01), qBound(grid.top(), point.y(), grid.bottom() - 0.01));
    return m_layout.pointAt(inside, where);
}

QRectF PlanningView::spanRect(int row, const GridPoint &from, const GridPoint &to) const
{
    const qreal left = m_layout.pointOf({row, from.date, from.minutes}).x();
    const qreal right = m_layout.pointOf({row, to.date, to.minutes}).x();
    return QRectF(QPointF(qMin(left, right), m_layout.rowTop(row)), QPointF(qMax(left, right), m_layout.rowTop(row) + m_layout.rowHeight()));
}

void PlanningView::follow(const QPointF &point)
{
    m_drag.last = point;
    const QList<BlockPlace> &places = m_layout.places();
    const QRectF original = m_drag.block >= 0 ? places.at(m_drag.block).rect : QRectF();
    GridPoint at;
    switch (m_drag.mode) {
    case DragMode::Move:
        if (!snapped(QPointF(point.x() - m_drag.grip, point.y()), &at) || at.row < 0)
            return;
        m_drag.target = at;
        m_drag.outline = QRectF(m_layout.pointOf(at).x(), m_layout.rowTop(at.row), original.width(), m_layout.rowHeight());
        emit hovered(QStringLiteral("Début : ") + at.date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') + at.time()
                     + QStringLiteral("  -  ") + m_layout.model()->rows().at(at.row).label);
        break;
    case DragMode::StretchStart:
    case DragMode::StretchEnd: {
        if (!snapped(point, &at))
            return;
        at.row = places.at(m_drag.block).row;
        const qreal x = m_layout.pointOf(at).x();
        // An end never crosses the other one.
        if (m_drag.mode == DragMode::StretchStart && x >= original.right())
            return;
        if (m_drag.mode == DragMode::StretchEnd && x <= original.left())
            return;
        m_drag.target = at;
        m_drag.outline = m_drag.mode == DragMode::StretchStart ? QRectF(QPointF(x, original.top()), original.bottomRight())
                                                               : QRectF(original.topLeft(), QPointF(x, original.bottom()));
        emit hovered((m_drag.mode == DragMode::StretchStart ? QStringLiteral("Début : ") : QStringLiteral("Fin : "))
                     + at.date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') + at.time());
        break;
    }
    case DragMode::Create:
        if (!snapped(point, &at))
            return;
        at.row = m_drag.anchor.row;
        m_drag.target = at;
        m_drag.outline = spanRect(at.row, m_drag.anchor, at);
        emit hovered(describe(point));
        break;
    case DragMode::Band: m_drag.outline = QRectF(m_drag.pressAt, point).normalized(); break;
    case DragMode::None: return;
    }
    update();
}

void PlanningView::stretchTick()
{
    if (m_drag.mode == DragMode::StretchStart || m_drag.mode == DragMode::StretchEnd)
        follow(m_drag.last);
}

void PlanningView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_layout.model() || !m_frame.start.isValid()) {
        QWidget::mousePressEvent(event);
        return;
    }
    cancelDrag();
    setFocus(Qt::MouseFocusReason);
    const QPointF at = event->position();
    m_drag.pressAt = m_drag.last = at;
    const int block = m_layout.blockAt(at);
    if (block >= 0) {
        setSelectedBlock(block);
        const PlanningBlock &b = m_layout.model()->blocks().at(block);
        if (isLocked(b)) {
            emit refused(QStringLiteral("Ce bloc est verrouillé"));
            return;
        }
        const QRectF r = m_layout.places().at(block).rect;
        m_drag.block = block;
        m_drag.grip = at.x() - r.left();
        m_drag.mode = at.x() - r.left() <= EdgeZone && r.width() > 3 * EdgeZone ? DragMode::StretchStart
                      : r.right() - at.x() <= EdgeZone                          ? DragMode::StretchEnd
                                                                                : DragMode::Move;
        return;
    }
    GridPoint where;
    if (!m_layout.gridRect().contains(at) || !m_layout.pointAt(at, &where) || where.row < 0)
        return;
    if (!m_selectionMode)
        m_marked.clear();
    setSelectedBlock(-1);
    m_drag.anchor = where;
    m_drag.mode = m_selectionMode ? DragMode::Band : DragMode::Create;
}

void PlanningView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (m_drag.mode != DragMode::None && (event->buttons() & Qt::LeftButton)) {
        m_drag.last = at;
        if (!m_drag.started && (at - m_drag.pressAt).manhattanLength() < QApplication::startDragDistance())
            return;
        m_drag.started = true;
        if (m_drag.mode == DragMode::StretchStart || m_drag.mode == DragMode::StretchEnd) {
            // The outline follows at the timer's pace, so that a fast pointer still gives a steady picture.
            if (!m_stretchTimer->isActive()) {
                follow(at);
                m_stretchTimer->start();
            }
        } else {
            follow(at);
        }
        return;
    }
    // A refused press keeps its message in the status bar until the button is up.
    if (event->buttons() & Qt::LeftButton)
        return;
    const int block = m_layout.blockAt(at);
    if (block < 0) {
        setCursor(Qt::CrossCursor);
    } else {
        const QRectF r = m_layout.places().at(block).rect;
        const bool edge = at.x() - r.left() <= EdgeZone || r.right() - at.x() <= EdgeZone;
        setCursor(edge && !isLocked(m_layout.model()->blocks().at(block)) ? Qt::SizeHorCursor : Qt::ArrowCursor);
    }
    emit hovered(describe(at));
}

void PlanningView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_drag.mode == DragMode::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    finishDrag(event->position(), event->modifiers());
}

void PlanningView::finishDrag(const QPointF &point, Qt::KeyboardModifiers modifiers)
{
    m_stretchTimer->stop();
    if (!m_drag.started) {
        cancelDrag();
        return;
    }
    // Released outside the window: nothing happens.
    if (!rect().contains(point.toPoint())) {
        cancelDrag();
        return;
    }
    if (m_drag.mode != DragMode::Band && !m_layout.gridRect().contains(point)) {
        cancelDrag();
        emit refused(QStringLiteral("Déposez le bloc sur la grille"));
        return;
    }
    follow(point);
    const Drag done = m_drag;
    cancelDrag();
    // The pointer never reached a place the block can take.
    if (done.mode != DragMode::Band && !done.target.date.isValid())
        return;
    switch (done.mode) {
    case DragMode::Move: emit blockMoved(done.block, done.target, modifiers.testFlag(Qt::ControlModifier)); break;
    case DragMode::StretchStart: emit blockStretched(done.block, true, done.target); break;
    case DragMode::StretchEnd: emit blockStretched(done.block, false, done.target); break;
    case DragMode::Create: {
        GridPoint from = done.anchor;
        GridPoint to = done.target;
        if (QDateTime(to.date, QTime(0, 0)).addSecs(to.minutes * 60) < QDateTime(from.date, QTime(0, 0)).addSecs(from.minutes * 60))
            std::swap(from, to);
        if (from.date == to.date && from.minutes == to.minutes)
            to.minutes += m_layout.stepMinutes();
        emit spanDrawn(from, to);
        break;
    }
    case DragMode::Band: {
        const QList<BlockPlace> &places = m_layout.places();
        for (int i = 0; i < places.size(); ++i) {
            if (!places.at(i).rect.isEmpty() && done.outline.contains(places.at(i).rect))
                m_marked.insert(i);
        }
        updateMarks();
        break;
    }
    case DragMode::None: break;
    }
}

void PlanningView::contextMenuEvent(QContextMenuEvent *event)
{
    QPointF at = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard && m_selected >= 0)
        at = m_layout.places().at(m_selected).rect.center();
    const int block = m_layout.blockAt(at);
    GridPoint where;
    if (!snapped(at, &where))
        return;
    if (block >= 0)
        setSelectedBlock(block);
    emit contextRequested(block, where, mapToGlobal(at.toPoint()));
}

void PlanningView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    const int block = m_layout.blockAt(at);
    if (block >= 0) {
        emit blockActivated(block);
        return;
    }
    const int row = labelRowAt(at);
    if (row >= 0)
        emit rowActivated(row);
}

int PlanningView::labelRowAt(const QPointF &point) const
{
    if (!m_layout.labelRect().contains(point) || m_layout.rowHeight() <= 0)
        return -1;
    const int row = m_layout.firstRow() + int((point.y() - m_layout.labelRect().top()) / m_layout.rowHeight());
    return row >= 0 && row < m_layout.rowCount() ? row : -1;
}

void PlanningView::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0)
        return;
    const bool days = m_settings.wheelAction == 1;
    if (days)
        emit scrollDays(-notches * (m_settings.fastScrolling ? 7 : 1));
    else
        emit scrollRows(-notches * (m_settings.fastScrolling ? qMax(1, m_layout.rowsPerScreen()) : 3));
    event->accept();
}

void PlanningView::keyPressEvent(QKeyEvent *event)
{
    if (editKey(event)) {
        event->accept();
        return;
    }
    const int page = qMax(1, m_layout.rowsPerScreen());
    switch (event->key()) {
    case Qt::Key_Up: emit scrollRows(-1); break;
    case Qt::Key_Down: emit scrollRows(1); break;
    case Qt::Key_PageUp: emit scrollRows(-page); break;
    case Qt::Key_PageDown: emit scrollRows(page); break;
    case Qt::Key_Home: emit scrollRows(-m_layout.rowCount()); break;
    case Qt::Key_End: emit scrollRows(m_layout.rowCount()); break;
    case Qt::Key_Left: emit scrollDays(-1); break;
    case Qt::Key_Right: emit scrollDays(1); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PlanningView::stepSelection(int direction)
{
    const QList<BlockPlace> &places = m_layout.places();
    const int count = int(places.size());
    for (int n = 1; n <= count; ++n) {
        const int i = ((m_selected < 0 ? (direction > 0 ? -1 : 0) : m_selected) + direction * n + count * 2) % count;
        if (!places.at(i).rect.isEmpty()) {
            setSelectedBlock(i);
            emit hovered(describe(places.at(i).rect.center()));
            return;
        }
    }
}

namespace {

// A time moved by `delta` minutes within the working day, onto the next or
// the previous day past its bounds. An end may sit on the day's end, a start may not.
GridPoint shifted(const PlanningLayout &layout, int row, const QDate &date, int minutes, int delta, bool isEnd)
{
    const int first = layout.dayStartMinutes();
    const int last = first + layout.spanMinutes();
    GridPoint p{row, date, minutes + delta};
    if (isEnd ? p.minutes > last : p.minutes >= last) {
        p.date = p.date.addDays(1);
        p.minutes = first + (p.minutes - last);
        if (isEnd && p.minutes <= first)
            p.minutes = first + layout.stepMinutes();
    } else if (isEnd ? p.minutes <= first : p.minutes < first) {
        p.date = p.date.addDays(-1);
        p.minutes = last - (first - p.minutes);
        if (!isEnd && p.minutes >= last)
            p.minutes = last - layout.stepMinutes();
    }
    return p;
}

} // namespace

bool PlanningView::editKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_drag.mode != DragMode::None) {
            cancelDrag();
            return true;
        }
        if (m_selected >= 0 || !m_marked.isEmpty()) {
            m_marked.clear();
            setSelectedBlock(-1);
            return true;
        }
        return false;
    }
    if (m_selected < 0 || !m_layout.model() || m_drag.mode != DragMode::None)
        return false;
    const PlanningBlock &b = m_layout.model()->blocks().at(m_selected);
    const BlockPlace &place = m_layout.places().at(m_selected);
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const int step = m_layout.stepMinutes();
    const bool horizontal = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    const int sign = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up ? -1 : 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: emit blockActivated(m_selected); return true;
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: break;
    default: return false;
    }
    if (isLocked(b)) {
        emit refused(QStringLiteral("Ce bloc est verrouillé"));
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        emit deleteRequested(m_selected);
    } else if (mods == Qt::NoModifier && horizontal) {
        emit blockMoved(m_selected, shifted(m_layout, place.row, b.startDate, b.startMinutes, sign * step, false), false);
    } else if (mods == Qt::NoModifier) {
        const int row = place.row + sign;
        if (place.row < 0 || row < 0 || row >= m_layout.rowCount())
            return true;
        emit blockMoved(m_selected, GridPoint{row, b.startDate, b.startMinutes}, false);
    } else if (mods == Qt::ShiftModifier && horizontal) {
        emit blockStretched(m_selected, false, shifted(m_layout, place.row, b.endDate, b.endMinutes, sign * step, true));
    } else if (mods == (Qt::ShiftModifier | Qt::ControlModifier) && horizontal) {
        emit blockStretched(m_selected, true, shifted(m_layout, place.row, b.startDate, b.startMinutes, sign * step, false));
    } else {
        return false;
    }
    return true;
}

bool PlanningView::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Tab walks through the blocks rather than out of the planning.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !m_layout.places().isEmpty()) {
            stepSelection(key->key() == Qt::Key_Tab ? 1 : -1);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QPointF at = help->pos();
        const int block = m_layout.blockAt(at);
        if (block >= 0) {
            QToolTip::showText(help->globalPos(), m_tooltip ? m_tooltip(block) : m_layout.model()->blocks().at(block).tooltip, this);
        } else if (const int row = labelRowAt(at); row >= 0) {
            QToolTip::showText(help->globalPos(), m_rowTip + m_layout.model()->rows().at(row).label, this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}
