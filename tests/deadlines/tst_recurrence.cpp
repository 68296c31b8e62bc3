// Series dates and public holidays against golden files written once by an
// independent implementation (dateutil's rrule, python-holidays; see
// data/make_golden.py).
#include "deadlines/holidays.h"
#include "deadlines/recurrence.h"
#include "deadlines/series.h"

#include <QFile>
#include <QTest>

using namespace velto;

namespace {

// The lines of a golden file, comments left out, split at '|'.
QList<QStringList> golden(const char *name)
{
    QFile f(QStringLiteral(VELTO_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("missing golden file %s", name);
    QList<QStringList> lines;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.startsWith(u'#'))
            lines << line.split(u'|');
    }
    return lines;
}

QString isoDates(const QList<QDate> &dates)
{
    QStringList s;
    for (const QDate &d : dates)
        s << d.toString(Qt::ISODate);
    return s.join(u' ');
}

} // namespace

class tst_Recurrence : public QObject
{
    Q_OBJECT

private slots:
    // Every kind of rule, the five cadences among them, with month ends,
    // shifts off weekends and holidays and an end after a count or on a date.
    void datesEqualTheIndependentOnes()
    {
        const auto lines = golden("recurrence.txt");
        QVERIFY(lines.size() > 100);
        for (const QStringList &l : lines) {
            DeadlineEntry e;
            e.recurring = true;
            e.date = QDate::fromString(l[1], Qt::ISODate);
            e.count = l[2].toInt();
            if (l[0].startsWith(u"cadence=")) {
                e.cadence = Cadence(l[0].mid(8).toInt());
            } else {
                Recurrence r;
                QVERIFY2(Recurrence::fromText(l[0], &r), qPrintable(l[0]));
                QCOMPARE(r.toText(), l[0]);
                e.rule = r;
            }
            const QString dates = isoDates(seriesDates(e));
            if (dates != l[3])
                QFAIL(qPrintable(QStringLiteral("%1 from %2:\n got %3\nwant %4").arg(l[0], l[1], dates, l[3])));
        }
    }

    void holidaysEqualTheIndependentOnes()
    {
        const auto lines = golden("holidays.txt");
        QCOMPARE(lines.size(), 6 * 11);
        for (const QStringList &l : lines) {
            const QStringList key = l[0].split(u' ');
            const HolidayCountry c = holidayCountryFromCode(key[0]);
            QCOMPARE(holidayCountryCode(c), key[0]);
            QCOMPARE(isoDates(publicHolidays(c, key[1].toInt())), l[1]);
        }
    }

    void badRuleTextsAreRefused()
    {
        Recurrence r;
        for (const char *text : {"", "interval=2", "freq=fortnights;interval=1", "freq=days;interval=0",
                                 "freq=weekday;interval=1;ordinal=5;weekday=1", "freq=months;interval=1;shift=up",
                                 "freq=months;holidays=XX", "freq=months;until=2027-02-30", "freq=months;colour=red"})
            QVERIFY2(!Recurrence::fromText(QString::fromLatin1(text), &r), text);
    }

    void countryFollowsTheRegionalSettings()
    {
        QCOMPARE(holidayCountryOf(QLocale(QLocale::German, QLocale::Austria)), HolidayCountry::None);
        QCOMPARE(holidayCountryOf(QLocale(QLocale::English, QLocale::UnitedKingdom)), HolidayCountry::UnitedKingdom);
        QCOMPARE(holidayCountryOf(QLocale(QLocale::Catalan, QLocale::Spain)), HolidayCountry::Spain);
    }
};

QTEST_GUILESS_MAIN(tst_Recurrence)
#include "tst_recurrence.moc"
