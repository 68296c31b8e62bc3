#include "deadlines/icalexport.h"

#include "app/strings.h"
#include "data/connection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <libical/ical.h>

#include <cstdlib>
#include <memory>

namespace velto {

namespace {

icaltimetype icalDate(const QDate &d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

// libical copies every text it is given.
QByteArray utf8(const QString &s) { return s.toUtf8(); }

} // namespace

QString calendarDatabaseKey(const QString &connectionString)
{
    const QString file = Connection::dataSourceOf(connectionString);
    const QString canonical = QFileInfo(file).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash((canonical.isEmpty() ? file : canonical).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(16));
}

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
        const QString amount = signedAmountText(d, locale);
        const QString summary = describedWithCounter(d) + (amount.isEmpty() ? QString() : QStringLiteral(" ") + amount);
        QStringList details{LoadResString(1002) + QStringLiteral(": ") + deadlineTypeName(d.type)};
        if (!i.account.isEmpty())
            details.append(LoadResString(1015) + QStringLiteral(": ") + i.account);
        if (!amount.isEmpty())
            details.append(LoadResString(1007) + QStringLiteral(": ") + amount);
        if (!d.notes.isEmpty())
            details.append(LoadResString(1012) + QStringLiteral(": ") + d.notes);

        icalcomponent *ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_add_property(ev, icalproperty_new_uid(utf8(calendarEventUid(databaseKey, d.rowId)).constData()));
        icalcomponent_add_property(ev, icalproperty_new_dtstamp(dtstamp));
        icalcomponent_add_property(ev, icalproperty_new_dtstart(icalDate(d.date)));
        // All-day: the end is the day after, exclusive.
        icalcomponent_add_property(ev, icalproperty_new_dtend(icalDate(d.date.addDays(1))));
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
    const QByteArray text =
        calendarText(items, calendarDatabaseKey(connectionString), locale, QDateTime::currentDateTimeUtc());
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    written = written && file.commit();
    if (!written)
        return Status::failure(kErrorNotOpen, QDir::toNativeSeparators(path) + QStringLiteral("\n") + LoadResString(1580)
                                                  + QStringLiteral("\n") + file.errorString());
    return Status::success();
}

} // namespace velto
