// Purging closed deadlines at the core: closed only, on or before the day,
// the given data sheet only, whatever the locale's date order.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "deadlines/purge.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

QString cs()
{
    return app().ConnectionString;
}

void addDeadline(int sheet, const QDate &day, bool done, const char *description)
{
    QVERIFY(test::seedDeadline(sheet, DeadlineType::Credit, day, QLatin1String(description), 0, Currency(), done));
}

} // namespace

class TestPurge : public QObject
{
    Q_OBJECT
private slots:
    void purgeTakesClosedOnOrBeforeTheDayOfTheSheet_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<QStringList>("kept");
        const QStringList keptOnSheet1{"c closed the day after", "d closed on 2 March", "e open before",
                                       "f closed before on sheet 2"};
        // Under a day/month locale 3 February must not turn into 2 March.
        QTest::addRow("Italian day/month locale") << "it_IT" << 1 << keptOnSheet1;
        QTest::addRow("US month/day locale") << "en_US" << 1 << keptOnSheet1;
        QTest::addRow("other sheet") << "it_IT" << 2
                                     << QStringList{"a closed the day before", "b closed on the day",
                                                    "c closed the day after", "d closed on 2 March", "e open before"};
    }

    void purgeTakesClosedOnOrBeforeTheDayOfTheSheet()
    {
        QFETCH(QString, locale);
        QFETCH(int, sheet);
        QFETCH(QStringList, kept);
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        QLocale::setDefault(QLocale(locale));
        addDeadline(1, QDate(2027, 2, 2), true, "a closed the day before");
        addDeadline(1, QDate(2027, 2, 3), true, "b closed on the day");
        addDeadline(1, QDate(2027, 2, 4), true, "c closed the day after");
        addDeadline(1, QDate(2027, 3, 2), true, "d closed on 2 March");
        addDeadline(1, QDate(2027, 1, 1), false, "e open before");
        test::seedSheet(2, QStringLiteral("Casa"));
        addDeadline(2, QDate(2027, 1, 1), true, "f closed before on sheet 2");
        const QDate day(2027, 2, 3);
        qint64 counted = -1;
        qint64 deleted = -1;

        QVERIFY(countClosedUpTo(cs(), sheet, day, &counted));
        QVERIFY(purgeClosedUpTo(cs(), sheet, day, &deleted));

        QCOMPARE(test::storedDescriptions(), kept);
        QCOMPARE(counted, 6 - kept.size());
        QCOMPARE(deleted, counted);
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestPurge)
#include "tst_purge.moc"
