#include "deadlines/icalexport.h"

#include "app/filewrite.h"
#include "app/strings.h"
#include "data/databaseidentity.h"
#include "deadlines/exporttext.h"

#include <QStringList>

#include <libical/ical.h>

#include <cstdlib>
#include <memory>

namespace velto {

namespace {

// The day's DATE value written as text: libical's time type turns years
// after 3000 into a null time, and the program takes dates up to 9999.
icalproperty *startDay(const QDate &d)
{
    return icalproperty_new_from_string(("DTSTART;VALUE=DATE:" + d.toString(u"yyyyMMdd")).toLatin1().constData());
}

// libical copies every text it is given.
QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

} // namespace

QString calendarEventUid(const QString &databaseKey, qint64 rowId)
{
    return QStringLiteral("%1-%2@velto").arg(rowId).arg(databaseKey);
}

QByteArray calendarText(const QList<DueItem> &items, const QString &databaseKey, const QLocale &locale,
                        const QDateTime &stamp)
{
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT),
                                                                      &icalcomponent_free);
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Velto//Velto " VELTO_VERSION "//EN"));
    icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    const icaltimetype dtstamp =
        icaltime_from_timet_with_zone(time_t(stamp.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());

    for (const DueItem &i : items) {
        const Deadline &d = i.deadline;
        // Text values hold no control characters; DESCRIPTION keeps its
        // line breaks, which libical writes escaped.
        const QString amount = signedAmountText(d, locale);
        const QString summary =
            outsideText(describedWithCounter(d)) + (amount.isEmpty() ? QString() : QStringLiteral(" ") + amount);
        QStringList details{LoadResString(1002) + QStringLiteral(": ") + deadlineTypeName(d.type)};
        if (!i.account.isEmpty())
            details.append(LoadResString(1015) + QStringLiteral(": ") + outsideText(i.account));
        if (!amount.isEmpty())
            details.append(LoadResString(1007) + QStringLiteral(": ") + amount);
        if (!d.notes.isEmpty())
            details.append(LoadResString(1012) + QStringLiteral(": ") + outsideText(d.notes, u"\n"));

        icalcomponent *ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_add_property(ev, icalproperty_new_uid(utf8(calendarEventUid(databaseKey, d.rowId)).constData()));
        icalcomponent_add_property(ev, icalproperty_new_dtstamp(dtstamp));
        icalcomponent_add_property(ev, startDay(d.date));
        // All-day: one day long. An end date would be the day after, which
        // for 9999-12-31 no DATE value can write.
        icalcomponent_add_property(ev, icalproperty_new_duration(icaldurationtype_from_string("P1D")));
        icalcomponent_add_property(ev, icalproperty_new_summary(utf8(summary).constData()));
        icalcomponent_add_property(ev, icalproperty_new_description(utf8(details.join(u'\n')).constData()));
        icalcomponent_add_property(ev, icalproperty_new_categories(utf8(deadlineTypeName(d.type)).constData()));
        icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        icalcomponent_add_component(cal.get(), ev);
    }
    char *text = icalcomponent_as_ical_string_r(cal.get());
    const QByteArray out(text);
    std::free(text);
    return out;
}

Status exportCalendar(const QString &connectionString, int sheetId, const QString &path, const QLocale &locale)
{
    QList<DueItem> items;
    if (const Status st = readOpenDeadlines(connectionString, sheetId, QDate(), &items); !st)
        return st;
    QString key;
    if (const Status st = databaseIdentity(connectionString, &key); !st)
        return st;
    return writeWholeFile(path, calendarText(items, key, locale, QDateTime::currentDateTimeUtc()));
}

} // namespace velto
