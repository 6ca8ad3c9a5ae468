#include "planning/PlanningView.h"

#include "planning/PlanningModel.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

PlanningView::PlanningView(QWidget *parent) : QWidget(parent)
{
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
    QString text = where.date.toString(QStringLiteral("dddd dd/MM/yyyy")) + QStringLiteral("  ") + where.time();
    if (where.row >= 0)
        text += QStringLiteral("  -  ") + m_layout.model()->rows().at(where.row).label;
    return text;
}

void PlanningView::mouseMoveEvent(QMouseEvent *event)
{
    const int block = m_layout.blockAt(event->position());
    setCursor(block >= 0 ? Qt::ArrowCursor : Qt::CrossCursor);
    emit hovered(describe(event->position()));
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

bool PlanningView::event(QEvent *event)
{
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
