#include "planning/PlanningPages.h"

#include "core/Session.h"
#include "core/Settings.h"
#include "core/Terms.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

namespace {

// A font sized in pixels at 96 per inch, so that text measures the same on
// the preview, an image and a printer of any resolution.
QFont pageFont(QFont font, bool bold = false)
{
    if (font.pixelSize() <= 0)
        font.setPixelSize(qMax(6, qRound(font.pointSizeF() * PlanningPages::Dpi / 72.0)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// `count` items in pages of at most `fit`, spread evenly: 45 in pages of 20 make 15, 15 and 15.
int perPage(int count, int fit)
{
    fit = qMax(1, fit);
    if (count <= fit)
        return qMax(1, count);
    const int pages = (count + fit - 1) / fit;
    return (count + pages - 1) / pages;
}

} // namespace

QString PlanningPrint::titleFor(const Terms &terms, Presentation presentation, Period period, int nbJours)
{
    const QString span = period == Period::NbDays ? QString::number(nbJours) + QLatin1Char('J') : PlanningPeriod::caption(period);
    return QStringLiteral("Planning ") + span + QStringLiteral(" par ") + terms.singular(rowEntity(presentation));
}

QString PlanningPrint::emptyTextFor(const Terms &terms, Presentation presentation)
{
    const Entity e = rowEntity(presentation);
    return QStringLiteral("Aucun") + (terms.feminine(e) ? QStringLiteral("e ") : QStringLiteral(" ")) + terms.singular(e).toLower()
           + QStringLiteral(" à afficher");
}

Outcome PlanningPages::load(Session &session, const PlanningPrint &input)
{
    const PlanningSettings settings = PlanningSettings::read(session.settings());
    PlanningRequest request;
    request.presentation = input.presentation;
    request.first = input.start;
    request.days = input.days();
    request.fragments = input.fragments;
    request.colours = input.colours;
    request.blockPhrase = settings.blockPhrase;
    request.tooltipPhrase = settings.tooltipPhrase;
    request.imagesFolder = session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images"));
    PlanningModel model;
    // Without the company hours the defaults apply, as on screen.
    model.loadCalendar(session);
    Outcome loaded = model.loadRows(session, request);
    if (loaded)
        loaded = model.loadBlocks(session, request);
    if (!loaded)
        return loaded;
    setContent(model, settings, input, PlanningPrint::emptyTextFor(session.terms(), input.presentation));
    return Outcome::success();
}

void PlanningPages::setContent(const PlanningModel &model, const PlanningSettings &settings, const PlanningPrint &input,
                               const QString &emptyText)
{
    m_model = model;
    m_settings = settings;
    m_input = input;
    m_emptyText = emptyText;
    const QFont base = QGuiApplication::font();
    m_rowFont = pageFont(PlanningPainter::rowFont(settings, base));
    m_blockFont = pageFont(PlanningPainter::blockFont(settings, base));
    m_headerFont = pageFont(PlanningPainter::headerFont(settings, base));
    QFont title = base;
    title.setPointSizeF(13);
    m_titleFont = pageFont(title, true);
    paginate();
}

void PlanningPages::setPage(const QSizeF &size, int rowsPerPage, bool splitDays)
{
    m_size = size;
    m_rowsPerPage = qMax(0, rowsPerPage);
    m_splitDays = splitDays;
    paginate();
}

PlanningLayout::Frame PlanningPages::frame(const Page &page) const
{
    PlanningLayout::Frame f;
    f.period = m_input.period;
    f.start = m_input.start.addDays(page.firstDay);
    f.days = page.days;
    f.periodDays = m_input.days();
    f.area = QRectF(Margin, Margin, m_size.width() - 2 * Margin, m_size.height() - 2 * Margin);
    f.firstRow = page.firstRow;
    f.rowsPerPage = m_pageRows;
    f.allRows = true;
    f.dpi = Dpi;
    f.headerFont = m_headerFont;
    f.pageHeader = std::ceil(QFontMetricsF(m_titleFont).height() + QFontMetricsF(m_rowFont).height() + 8);
    return f;
}

void PlanningPages::paginate()
{
    m_pages.clear();
    const int rows = int(m_model.rows().size());
    const int days = qMax(1, m_input.days());
    // The grid of a page showing every row and every day tells what fits.
    m_pageRows = qMax(1, rows);
    PlanningLayout whole;
    whole.setModel(&m_model);
    whole.compute(m_settings, m_input.presentation, frame({0, rows, 0, days}));
    const QRectF grid = whole.gridRect();
    m_pageRows = m_rowsPerPage > 0 ? m_rowsPerPage : perPage(rows, int(std::floor(grid.height() / MinRowHeight)));
    const int pageDays = m_splitDays ? perPage(days, int(std::floor(grid.width() / MinDayWidth))) : days;
    // Day after day, and within the same days the rows from top to bottom.
    for (int day = 0; day < days; day += pageDays)
        for (int row = 0; row == 0 || row < rows; row += m_pageRows)
            m_pages.append({row, qMin(m_pageRows, qMax(0, rows - row)), day, qMin(pageDays, days - day)});
}

PlanningLayout PlanningPages::layout(int page) const
{
    PlanningLayout l;
    l.setModel(&m_model);
    l.compute(m_settings, m_input.presentation, frame(m_pages.at(page)));
    return l;
}

PlanningPainter::Style PlanningPages::style(int page) const
{
    PlanningPainter::Style s;
    s.settings = m_settings;
    s.rowFont = m_rowFont;
    s.blockFont = m_blockFont;
    s.titleFont = m_titleFont;
    s.cornerText = PlanningPeriod::caption(m_input.period);
    s.emptyText = m_emptyText;
    s.page.title = m_input.title;
    if (!m_input.fragments.caption.isEmpty())
        s.page.filters = QLatin1Char('(') + m_input.fragments.caption + QLatin1Char(')');
    s.page.page = QStringLiteral("Page : %1/%2").arg(page + 1).arg(pageCount());
    s.page.date = QStringLiteral("Date : ") + m_today.toString(QStringLiteral("dd/MM/yyyy"));
    return s;
}

void PlanningPages::paint(QPainter &painter, int page, qreal scale) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A reduced preview would lose its thin lines without it.
    painter.setRenderHint(QPainter::Antialiasing, scale < 1);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), m_size), Qt::white);
    const PlanningLayout l = layout(page);
    PlanningPainter::paint(painter, l, style(page));
    painter.restore();
}

QImage PlanningPages::image(int page, qreal zoom) const
{
    QImage image((m_size * zoom).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, page, zoom);
    return image;
}

bool PlanningPages::print(QPagedPaintDevice &device, int from, int to) const
{
    from = qMax(1, from);
    to = qMin(qMax(from, to), pageCount());
    if (from > to)
        return false;
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    // The page fills the paper's width: the same picture at any resolution.
    const qreal scale = qreal(device.width()) / m_size.width();
    for (int page = from; page <= to; ++page) {
        if (page > from && !device.newPage())
            return false;
        paint(painter, page - 1, scale);
    }
    return painter.end();
}
