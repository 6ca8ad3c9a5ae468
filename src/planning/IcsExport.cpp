#include "planning/IcsExport.h"

#include "core/Session.h"
#include "planning/PlanningModel.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <libical/ical.h>

#include <cstdlib>
#include <memory>

namespace {

const QString Error = QStringLiteral("Erreur");

struct ComponentFree
{
    void operator()(icalcomponent *c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype floating(const QDate &day, int minutes)
{
    // 24:00 is midnight of the next day.
    const QDate d = day.addDays(minutes / 1440);
    icaltimetype t = icaltime_null_time();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    t.hour = minutes % 1440 / 60;
    t.minute = minutes % 60;
    return t;
}

void add(icalcomponent *event, icalproperty *property)
{
    icalcomponent_add_property(event, property);
}

} // namespace

QString IcsExport::uid(qint64 resource, qint64 task, int dateLine, const QDate &occurrenceDay, int occurrenceMinutes)
{
    // A series' occurrences share the model's task and line: their start tells them apart.
    const QString which = occurrenceDay.isValid() ? QDateTime(occurrenceDay, QTime(0, 0).addSecs(occurrenceMinutes * 60))
                                                        .toString(QStringLiteral("yyyyMMdd'T'HHmm"))
                                                  : QStringLiteral("L%1").arg(dateLine);
    return QStringLiteral("%1-%2-R%3@quenzo").arg(task).arg(which).arg(resource);
}

Outcome IcsExport::build(Session &session, const QList<qint64> &resources, const QDate &first, int days,
                         QList<IcsCalendar> *calendars)
{
    if (!first.isValid() || days < 1)
        return Outcome::failure(Error, QStringLiteral("La période à exporter est incorrecte."));
    PlanningRequest request;
    request.presentation = Presentation::ByResource;
    request.first = first;
    request.days = days;
    // Comment, then clients on their own line: what the tool-tip shows of a task.
    request.blockPhrase = QStringLiteral("FCG");
    request.tooltipPhrase = request.blockPhrase;
    PlanningModel model;
    Outcome outcome = model.loadCalendar(session);
    if (outcome)
        outcome = model.loadRows(session, request);
    if (outcome)
        outcome = model.loadBlocks(session, request);
    if (!outcome)
        return outcome;

    QList<qint64> wanted = resources;
    if (wanted.isEmpty())
        for (const PlanningRow &row : model.rows())
            wanted.append(row.key);
    for (const qint64 resource : std::as_const(wanted))
        if (model.rowOf(resource) < 0)
            return Outcome::failure(Error, QStringLiteral("Ressource inconnue : %1").arg(resource));

    QHash<qint64, QList<int>> blocksOf;
    for (int i = 0; i < model.blocks().size(); ++i)
        blocksOf[model.blocks().at(i).rowKey].append(i);

    const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
    QList<IcsCalendar> result;
    for (const qint64 resource : std::as_const(wanted)) {
        const PlanningRow &row = model.rows().at(model.rowOf(resource));
        Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        add(calendar.get(), icalproperty_new_version("2.0"));
        add(calendar.get(), icalproperty_new_prodid("-//Quenzo//Planning//FR"));
        add(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
        icalproperty *name = icalproperty_new_x(row.label.toUtf8().constData());
        icalproperty_set_x_name(name, "X-WR-CALNAME");
        add(calendar.get(), name);
        for (const int index : blocksOf.value(resource)) {
            const PlanningBlock &b = model.blocks().at(index);
            icalcomponent *event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
            const QString id = b.isOccurrence() ? uid(resource, b.noid, b.dateLine, b.startDate, b.startMinutes)
                                                : uid(resource, b.noid, b.dateLine, {}, 0);
            add(event, icalproperty_new_uid(id.toUtf8().constData()));
            add(event, icalproperty_new_dtstamp(stamp));
            add(event, icalproperty_new_dtstart(floating(b.startDate, b.startMinutes)));
            add(event, icalproperty_new_dtend(floating(b.endDate, b.endMinutes)));
            add(event, icalproperty_new_summary((b.typeLabel == QLatin1String("/") ? QString() : b.typeLabel).toUtf8().constData()));
            if (!b.text.isEmpty())
                add(event, icalproperty_new_description(b.text.toUtf8().constData()));
            if (b.isLeave())
                add(event, icalproperty_new_categories("Congé"));
            icalcomponent_add_component(calendar.get(), event);
        }
        char *text = icalcomponent_as_ical_string_r(calendar.get());
        if (!text)
            return Outcome::failure(Error, QStringLiteral("Impossible de composer le calendrier de %1.").arg(row.label));
        result.append({resource, row.label, QByteArray(text)});
        std::free(text);
    }
    *calendars = std::move(result);
    return Outcome::success();
}

QString IcsExport::fileName(const QString &label)
{
    QString name;
    for (const QChar c : label.trimmed())
        name += c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' || c == u' ' ? c : QChar(u'_');
    // No hidden file, no "." or "..".
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    if (name.trimmed().isEmpty())
        name = QStringLiteral("ressource");
    return name.left(120) + QStringLiteral(".ics");
}

Outcome IcsExport::write(const IcsCalendar &calendar, const QString &folder, QString *path)
{
    if (!QFileInfo(folder).isDir())
        return Outcome::failure(Error, QStringLiteral("Le dossier %1 n'existe pas.").arg(folder));
    const QString file = QDir(folder).filePath(fileName(calendar.label));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(calendar.text) != calendar.text.size() || !out.commit())
        return Outcome::failure(Error, QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(file, out.errorString()));
    if (path)
        *path = file;
    return Outcome::success();
}
