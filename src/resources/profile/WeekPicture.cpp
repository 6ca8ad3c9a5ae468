#include "resources/profile/WeekPicture.h"

#include "core/widgets/ColourValue.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int DragThreshold = 3; // pixels before a press becomes a drag

// Grid lines that stay visible on a light or a dark background.
QColor shade(const QColor &colour, int factor)
{
    return colour.lightness() > 96 ? colour.darker(factor) : colour.lighter(factor + 40);
}

QColor textOn(const QColor &fill)
{
    return qGray(fill.rgb()) < 140 ? QColor(Qt::white) : QColor(Qt::black);
}

// A time that may lie outside the day while a range is dragged.
QString hintTime(int minutes)
{
    return minutes < 0 ? QStringLiteral("-") + ProfileStore::timeText(-minutes) : ProfileStore::timeText(minutes);
}

} // namespace

WeekPicture::WeekPicture(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setPreferences(ProfilePreferences());
    setReadOnly(false);
}

void WeekPicture::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_drag = Drag::None;
    m_selected = -1;
    setMouseTracking(!readOnly);
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    unsetCursor();
    update();
}

void WeekPicture::setRanges(const QList<ProfileRange> &ranges)
{
    m_ranges = ranges;
    m_drag = Drag::None;
    if (m_selected >= m_ranges.size())
        m_selected = -1;
    update();
}

void WeekPicture::setSelected(int index)
{
    m_selected = index >= 0 && index < m_ranges.size() ? index : -1;
    update();
}

void WeekPicture::setPreferences(const ProfilePreferences &preferences)
{
    m_firstDay = preferences.firstDay;
    m_step = ProfileStore::precisionMinutes(preferences.precision);
    m_active = colourFromValue(preferences.activeColour);
    m_background = colourFromValue(preferences.background);
    update();
}

int WeekPicture::labelWidth() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("Mercredi")) + 20;
}

int WeekPicture::rulerHeight() const
{
    return fontMetrics().height() + 12;
}

int WeekPicture::rowHeight() const
{
    return qMax(28, fontMetrics().height() + 14);
}

QRect WeekPicture::timeArea() const
{
    // Room on the right for half of the "24:00" label.
    const int right = fontMetrics().horizontalAdvance(QStringLiteral("24:00")) / 2 + 8;
    return QRect(labelWidth(), rulerHeight(), qMax(48, width() - labelWidth() - right), 7 * rowHeight());
}

int WeekPicture::xOf(int minutes) const
{
    const QRect area = timeArea();
    return area.left() + qRound(double(minutes) * area.width() / ProfileStore::DayMinutes);
}

double WeekPicture::minutesAt(int x) const
{
    const QRect area = timeArea();
    return double(x - area.left()) * ProfileStore::DayMinutes / area.width();
}

int WeekPicture::rowOf(int day) const
{
    return (day - m_firstDay + 7) % 7;
}

int WeekPicture::dayAt(int y, bool clamp) const
{
    int row = (y - rulerHeight()) / rowHeight();
    if (y < rulerHeight() || row > 6) {
        if (!clamp)
            return -1;
        row = y < rulerHeight() ? 0 : 6;
    }
    return (m_firstDay + row) % 7;
}

QPoint WeekPicture::positionOf(int day, int minutes) const
{
    return {xOf(minutes), rulerHeight() + rowOf(day) * rowHeight() + rowHeight() / 2};
}

QRect WeekPicture::barOf(const ProfileRange &range) const
{
    const int left = xOf(range.start);
    return QRect(left, rulerHeight() + rowOf(range.day) * rowHeight() + 4, qMax(2, xOf(range.end) - left), rowHeight() - 8);
}

int WeekPicture::rangeAt(const QPoint &pos, Drag *part) const
{
    const int day = dayAt(pos.y());
    if (day < 0)
        return -1;
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < m_ranges.size(); ++i) {
        if (m_ranges[i].day != day)
            continue;
        const QRect bar = barOf(m_ranges[i]);
        const int grip = qBound(2, bar.width() / 4, 5);
        const int toStart = qAbs(pos.x() - bar.left());
        const int toEnd = qAbs(pos.x() - (bar.left() + bar.width()));
        if (toStart > grip && toEnd > grip) {
            if (pos.x() > bar.left() && pos.x() < bar.left() + bar.width()) {
                *part = Drag::Move;
                return i;
            }
            continue;
        }
        // Two ranges may touch: the nearer edge wins.
        const int distance = qMin(toStart, toEnd);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
            *part = toStart <= toEnd ? Drag::ResizeStart : Drag::ResizeEnd;
        }
    }
    return best;
}

QString WeekPicture::dragHint() const
{
    if (m_drag == Drag::None || !m_started)
        return {};
    return QStringLiteral("Heure de début : ") + hintTime(m_candidate.start) + QLatin1Char('\n')
           + QStringLiteral("Heure de fin : ") + hintTime(m_candidate.end);
}

QSize WeekPicture::sizeHint() const
{
    return {labelWidth() + 24 * 34 + fontMetrics().horizontalAdvance(QStringLiteral("24:00")), rulerHeight() + 7 * rowHeight() + 1};
}

QSize WeekPicture::minimumSizeHint() const
{
    return {labelWidth() + 24 * 18 + fontMetrics().horizontalAdvance(QStringLiteral("24:00")), rulerHeight() + 7 * rowHeight() + 1};
}

void WeekPicture::mousePressEvent(QMouseEvent *event)
{
    if (m_readOnly || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    m_pointer = pos;
    m_pressMinutes = minutesAt(pos.x());
    Drag part = Drag::None;
    m_index = rangeAt(pos, &part);
    if (m_index >= 0) {
        m_drag = part;
        m_origin = m_ranges[m_index];
        m_selected = m_index;
    } else {
        m_selected = -1;
        const int day = dayAt(pos.y());
        const QRect area = timeArea();
        if (day >= 0 && pos.x() >= area.left() && pos.x() <= area.right() + 1) {
            // A new range grows from the press, between the ranges around it.
            const int at = qBound(0, qRound(m_pressMinutes), ProfileStore::DayMinutes);
            m_gapStart = 0;
            m_gapEnd = ProfileStore::DayMinutes;
            for (const ProfileRange &r : m_ranges)
                if (r.day == day) {
                    if (r.end <= at)
                        m_gapStart = qMax(m_gapStart, r.end);
                    if (r.start >= at)
                        m_gapEnd = qMin(m_gapEnd, r.start);
                }
            const int anchor = qBound(m_gapStart, ProfileStore::snap(at, m_step), m_gapEnd);
            m_drag = Drag::Draw;
            m_origin = {day, anchor, anchor};
        }
    }
    m_candidate = m_origin;
    m_started = false;
    update();
}

void WeekPicture::follow(const QPoint &pos)
{
    const int at = ProfileStore::snap(qRound(minutesAt(pos.x())), m_step);
    ProfileRange c = m_origin;
    switch (m_drag) {
    case Drag::Draw: {
        const int t = qBound(m_gapStart, at, m_gapEnd);
        c.start = qMin(m_origin.start, t);
        c.end = qMax(m_origin.start, t);
        break;
    }
    case Drag::Move: {
        // The start snaps; a move may leave the day, which the owner refuses.
        c.day = dayAt(pos.y(), true);
        c.start = ProfileStore::snap(qRound(m_origin.start + minutesAt(pos.x()) - m_pressMinutes), m_step);
        c.end = c.start + ProfileStore::length(m_origin);
        break;
    }
    case Drag::ResizeStart:
        c.start = qBound(0, at, qMax(0, m_origin.end - m_step));
        break;
    case Drag::ResizeEnd:
        c.end = qBound(qMin(ProfileStore::DayMinutes, m_origin.start + m_step), at, ProfileStore::DayMinutes);
        break;
    case Drag::None:
        break;
    }
    m_candidate = c;
}

void WeekPicture::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::None) {
        if (m_readOnly)
            return;
        Drag part = Drag::None;
        const QRect area = timeArea();
        if (rangeAt(pos, &part) >= 0)
            setCursor(part == Drag::Move ? Qt::SizeAllCursor : Qt::SizeHorCursor);
        else if (dayAt(pos.y()) >= 0 && pos.x() >= area.left() && pos.x() <= area.right() + 1)
            setCursor(Qt::CrossCursor);
        else
            unsetCursor();
        return;
    }
    // A click that wobbles a pixel must not move anything.
    if (!m_started && (pos - m_pointer).manhattanLength() < DragThreshold)
        return;
    m_started = true;
    m_pointer = pos;
    follow(pos);
    update();
}

void WeekPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const Drag drag = m_drag;
    const ProfileRange candidate = m_candidate;
    const bool started = m_started;
    m_drag = Drag::None;
    update();
    if (!started)
        return;
    // The owner may show a message from here: the drag is already over.
    if (drag == Drag::Draw) {
        if (ProfileStore::length(candidate) > 0)
            emit changeRequested(-1, candidate);
    } else if (candidate != m_origin) {
        emit changeRequested(m_index, candidate);
    }
}

void WeekPicture::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_readOnly || m_drag != Drag::None)
        return;
    Drag part = Drag::None;
    const int index = rangeAt(event->pos(), &part);
    if (index < 0)
        return;
    setSelected(index);
    QMenu menu(this);
    const QAction *remove = menu.addAction(QStringLiteral("Supprimer la tranche horaire"));
    if (menu.exec(event->globalPos()) == remove)
        emit deleteRequested(index);
}

void WeekPicture::keyPressEvent(QKeyEvent *event)
{
    if (!m_readOnly && m_drag != Drag::None && event->key() == Qt::Key_Escape) {
        m_drag = Drag::None;
        update();
        return;
    }
    if (!m_readOnly && m_selected >= 0 && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        emit deleteRequested(m_selected);
        return;
    }
    QWidget::keyPressEvent(event);
}

void WeekPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = timeArea();
    const int rh = rowHeight();
    const QStringList names = ProfileStore::dayNames();
    const QColor line = palette().color(QPalette::Mid);

    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int row = 0; row < 7; ++row) {
        const int y = area.top() + row * rh;
        const QRect label(0, y, area.left(), rh);
        painter.fillRect(label, palette().color(row % 2 ? QPalette::AlternateBase : QPalette::Base));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(label.adjusted(8, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, names[(m_firstDay + row) % 7]);
    }
    painter.fillRect(area, m_background);

    // Hour lines, lighter lines at the snapping step when they are far enough apart.
    const double perMinute = double(area.width()) / ProfileStore::DayMinutes;
    if (m_step * perMinute >= 6) {
        painter.setPen(shade(m_background, 108));
        for (int m = m_step; m < ProfileStore::DayMinutes; m += m_step)
            if (m % 60)
                painter.drawLine(xOf(m), area.top(), xOf(m), area.bottom());
    }
    for (int h = 1; h < 24; ++h) {
        painter.setPen(shade(m_background, h % 6 ? 125 : 160));
        painter.drawLine(xOf(h * 60), area.top(), xOf(h * 60), area.bottom());
    }
    painter.setPen(line);
    for (int row = 1; row < 7; ++row)
        painter.drawLine(0, area.top() + row * rh, area.right(), area.top() + row * rh);
    painter.drawRect(QRect(0, area.top(), area.right(), area.height()));
    painter.drawLine(area.left(), area.top(), area.left(), area.bottom());
    paintRuler(painter, area);

    painter.setRenderHint(QPainter::Antialiasing);
    const bool dragging = m_drag != Drag::None && m_started;
    for (int i = 0; i < m_ranges.size(); ++i)
        paintBar(painter, m_ranges[i], i == m_selected, dragging && i == m_index && m_drag != Drag::Draw);
    if (dragging) {
        paintBar(painter, m_candidate, true, false);
        paintHint(painter);
    }
}

void WeekPicture::paintRuler(QPainter &painter, const QRect &area) const
{
    const QFontMetrics fm = fontMetrics();
    const double hourWidth = area.width() / 24.0;
    int every = 1;
    for (int n : {1, 2, 3, 4, 6, 12}) {
        every = n;
        if (hourWidth * n >= fm.horizontalAdvance(QStringLiteral("00:00")) + 8)
            break;
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const int base = area.top() - 1;
    if (m_step * area.width() / double(ProfileStore::DayMinutes) >= 4)
        for (int m = m_step; m < ProfileStore::DayMinutes; m += m_step)
            painter.drawLine(xOf(m), base - 2, xOf(m), base);
    for (int h = 0; h <= 24; ++h) {
        const int x = xOf(h * 60);
        const bool labelled = h % every == 0;
        painter.drawLine(x, base - (labelled ? 7 : 4), x, base);
        if (labelled) {
            const QString text = ProfileStore::timeText(h * 60);
            const int w = fm.horizontalAdvance(text);
            painter.drawText(QRect(x - w / 2 - 2, 0, w + 4, base - 7), Qt::AlignHCenter | Qt::AlignBottom, text);
        }
    }
}

void WeekPicture::paintBar(QPainter &painter, const ProfileRange &range, bool selected, bool ghost) const
{
    const QRectF bar = QRectF(barOf(range)).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = m_active;
    if (ghost)
        fill.setAlpha(70);
    QPainterPath path;
    path.addRoundedRect(bar, 3, 3);
    painter.fillPath(path, fill);
    QPen pen(selected && !ghost ? palette().color(QPalette::Highlight) : m_active.darker(170), selected && !ghost ? 2 : 1);
    if (ghost)
        pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawPath(path);
    if (ghost)
        return;
    const QString text = ProfileStore::timeText(range.start) + QLatin1Char('-') + ProfileStore::timeText(range.end);
    if (fontMetrics().horizontalAdvance(text) + 8 <= bar.width()) {
        painter.setPen(textOn(fill));
        painter.drawText(bar, Qt::AlignCenter, text);
    }
}

void WeekPicture::paintHint(QPainter &painter) const
{
    const QStringList lines = dragHint().split(QLatin1Char('\n'));
    const QFontMetrics fm = fontMetrics();
    int w = 0;
    for (const QString &l : lines)
        w = qMax(w, fm.horizontalAdvance(l));
    QRect box(0, 0, w + 12, int(lines.size()) * fm.height() + 8);
    box.moveTopLeft(m_pointer + QPoint(14, 14));
    // Kept inside the picture, flipped above or left of the pointer near the edges.
    if (box.right() > width() - 2)
        box.moveRight(m_pointer.x() - 10);
    if (box.bottom() > height() - 2)
        box.moveBottom(m_pointer.y() - 10);
    box.moveLeft(qMax(1, box.left()));
    box.moveTop(qMax(1, box.top()));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRect(box.left() + 6, box.top() + 4 + i * fm.height(), w, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         lines[i]);
}
