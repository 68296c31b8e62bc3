#include "app/autostart.h"
#include "app/mainmod.h"
#include "app/settings.h"
#include "seed.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <libical/ical.h>
#include <unistd.h>

using namespace velto;
using namespace velto::test;
using namespace Qt::StringLiterals;

// Stands in for the desktop's notification service and records each call.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QVariantList> calls;
public slots:
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        calls.append({app, replaces, icon, summary, body, actions, hints, timeout});
        // Closed at once, as a user would dismiss it: the sender stops listening.
        QDBusConnection::sessionBus().send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("NotificationClosed")) << 7u << 2u);
        return 7;
    }
};

class tst_Remind : public QObject
{
    Q_OBJECT
    Sandbox m_box;
    QByteArray m_dbHash;

    struct Run { int exit; QString out, err; };
    Run velto(const QStringList &args, const char *locale = "en_US.UTF-8", const char *day = "2027-01-15")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QLatin1String(locale));
        env.insert(QStringLiteral("VELTO_TODAY"), QLatin1String(day));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VELTO_BUILD_DIR "/velto"), args);
        QSignalSpy done(&p, &QProcess::finished); // waits with the event loop, so bus calls are served
        if (!done.wait(30000))
            return {-1, {}, {}};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QByteArray dbHash() { return QCryptographicHash::hash(readFile(m_box.databasePath()), QCryptographicHash::Sha256); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.createDatabase());
        app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
        WriteSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), m_box.dataDir());
        const qint64 rossi = seedAccount(QStringLiteral("Rossi & Co"));
        seedSheet(2, QStringLiteral("Other"));
        seedDeadline(1, DeadlineType::Credit, {2027, 1, 10}, QStringLiteral("Rent"), rossi, money("1200.5"), false, 5, 2, 12);
        seedDeadline(1, DeadlineType::Debit, {2027, 1, 15}, QStringLiteral("Tax"), 0, money("300"));
        seedDeadline(1, DeadlineType::Appointment, {2027, 1, 20}, QStringLiteral("Meeting"), 0, money("0"));
        seedDeadline(1, DeadlineType::Credit, {2027, 1, 5}, QStringLiteral("Paid"), 0, money("9"), true);
        seedDeadline(1, DeadlineType::Credit, {2027, 2, 20}, QStringLiteral("Later"), 0, money("50"));
        seedDeadline(2, DeadlineType::Debit, {2027, 1, 12}, QStringLiteral("Fee"), 0, money("10"));
        m_dbHash = dbHash();
    }

    void dueReportsAndExits_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("day");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");
        QTest::addRow("English: due by today, series counter, signed total")
            << QStringList{"--due"} << QByteArray("en_US.UTF-8") << QByteArray("2027-01-15") << 0
            << u"1/10/2027  Credit  Rent 2 of 12  Rossi & Co  +$1,200.50  Scadenziario\n"
               "1/15/2027  Debit   Tax                         -$300.00  Scadenziario\nTotal: +$900.50\n"_s;
        QTest::addRow("German: the next seven days hold the appointment")
            << QStringList{"--due", "--days", "7"} << QByteArray("de_DE.UTF-8") << QByteArray("2027-01-15") << 0
            << u"10.01.2027  Forderung        Rent 2 von 12  Rossi & Co  +1.200,50\u00a0€  Scadenziario\n"
               "15.01.2027  Verbindlichkeit  Tax                          -300,00\u00a0€  Scadenziario\n"
               "20.01.2027  Termin           Meeting                                 Scadenziario\n"
               "Summe: +900,50\u00a0€\n"_s;
        QTest::addRow("all sheets by date") << QStringList{"--due", "--all-sheets"} << QByteArray("en_US.UTF-8")
                                            << QByteArray("2027-01-12") << 0
            << u"1/10/2027  Credit  Rent 2 of 12  Rossi & Co  +$1,200.50  Scadenziario\n"
               "1/12/2027  Debit   Fee                          -$10.00  Other\nTotal: +$1,190.50\n"_s;
        QTest::addRow("nothing due") << QStringList{"--due", "--sheet", "2"} << QByteArray("en_US.UTF-8")
                                     << QByteArray("2027-01-01") << 1 << u"Nothing is due.\n"_s;
        QTest::addRow("no such sheet") << QStringList{"--due", "--sheet=9"} << QByteArray("it_IT.UTF-8")
                                       << QByteArray("2027-01-15") << 2 << u""_s;
        QTest::addRow("days not a number") << QStringList{"--due", "--days", "x"} << QByteArray("en_US.UTF-8")
                                           << QByteArray("2027-01-15") << 2 << u""_s;
        QTest::addRow("notify without --due") << QStringList{"--notify"} << QByteArray("en_US.UTF-8")
                                              << QByteArray("2027-01-15") << 2 << u""_s;
    }
    void dueReportsAndExits()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, day);
        QFETCH(int, exit);
        QFETCH(QString, out);
        const Run r = velto(args, locale.constData(), day.constData());
        QCOMPARE(r.exit, exit);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err.isEmpty(), exit != 2);
        QCOMPARE(dbHash(), m_dbHash); // read, never written
    }

    void notifyReachesTheServiceOnce()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "no private session bus (dbus-run-session)");
        Run r = velto({"--due", "--notify"});
        QCOMPARE(r.exit, 2);
        QVERIFY2(r.err.contains(u"no notification service answers"_s), qPrintable(r.err));

        FakeNotifications service;
        QVERIFY(bus.registerObject(u"/org/freedesktop/Notifications"_s, &service, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(u"org.freedesktop.Notifications"_s));
        r = velto({"--due", "--notify"}, "de_DE.UTF-8");
        QCOMPARE(r.exit, 0);
        QCOMPARE(service.calls.size(), 1);
        const QVariantList &call = service.calls.first();
        qInfo().noquote() << "Notify(" << call.mid(0, 6) << call.at(6).toMap() << call.at(7) << ")";
        QCOMPARE(call.at(3).toString(), u"2 offene Fälligkeiten, Summe +900,50\u00a0€"_s);
        QCOMPARE(call.at(4).toString(), u"10.01.2027 · Rent 2 von 12 · Rossi & Co · +1.200,50\u00a0€\n"
                                         "15.01.2027 · Tax · -300,00\u00a0€"_s);
        QCOMPARE(call.at(5).toStringList(), (QStringList{"default", u"Velto öffnen"_s}));

        QCOMPARE(velto({"--due", "--notify", "--sheet", "2"}, "de_DE.UTF-8", "2027-01-01").exit, 1);
        QCOMPARE(service.calls.size(), 1); // nothing due, nothing sent
    }

    void loginEntryWrittenAndRemoved()
    {
        qputenv("XDG_CONFIG_HOME", (m_box.path() + u"/config"_s).toLocal8Bit());
        QVERIFY(!loginReminderInstalled());
        QVERIFY(installLoginReminder(u"/opt/my $apps/velto"_s));
        const QByteArray entry = readFile(m_box.path() + u"/config/autostart/velto-reminder.desktop"_s);
        QVERIFY2(entry.contains(R"(Exec="/opt/my \\$apps/velto" --due --notify)"), entry.constData());
        QProcess check; // an independent reader of the entry format
        check.start(u"desktop-file-validate"_s, {loginReminderPath()});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAll().constData());
        QVERIFY(removeLoginReminder());
        QVERIFY(!loginReminderInstalled());
        QVERIFY(removeLoginReminder());
    }

    void calendarReadBackByTwoReaders()
    {
        const QString first = m_box.path() + u"/a.ics"_s, second = m_box.path() + u"/b.ics"_s;
        QCOMPARE(velto({"--export-ics", first}).exit, 0);
        QCOMPARE(velto({"--export-ics", second, "--sheet", "1"}).exit, 0);
        QStringList expected; // "<uid prefix> <date>" of each open deadline of sheet 1
        for (const Deadline &d : storedDeadlines(u"TrDone=False AND TrDbId=1"_s))
            expected << u"%1 %2"_s.arg(d.rowId).arg(d.date.toString(Qt::ISODate));
        QCOMPARE(expected.size(), 4);
        for (const QString &file : {first, second}) {
            QStringList byLibical;
            icalcomponent *cal = icalparser_parse_string(readFile(file).constData());
            QVERIFY(cal);
            for (icalcomponent *ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
                 ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
                const icaltimetype start = icalcomponent_get_dtstart(ev);
                QVERIFY(start.is_date);
                byLibical << QString::fromUtf8(icalcomponent_get_uid(ev)).section(u'-', 0, 0) + u' '
                        + QDate(start.year, start.month, start.day).toString(Qt::ISODate);
            }
            icalcomponent_free(cal);
            QCOMPARE(byLibical, expected);
        }
        QProcess python;
        python.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import icalendar,sys\n"
            "for f in sys.argv[1:]:\n"
            "  for e in icalendar.Calendar.from_ical(open(f,'rb').read()).walk('VEVENT'):\n"
            "    print(e['UID'], e.decoded('DTSTART').isoformat(), e['SUMMARY'])"_s, first, second});
        QVERIFY(python.waitForFinished());
        const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(python.exitCode() == 0 && lines.size() == 8, python.readAllStandardError().constData());
        QCOMPARE(lines.mid(0, 4), lines.mid(4)); // same UIDs, dates and texts in both exports
        QVERIFY(lines.first().endsWith(u"Rent 2 of 12 +$1,200.50"_s));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(lines.at(i).section(u' ', 1, 1), expected.at(i).section(u' ', 1, 1));
    }
};

int main(int argc, char *argv[])
{
    // The notification test needs a session bus of its own: the whole test
    // runs again under dbus-run-session.
    if (!qEnvironmentVariableIsSet("VELTO_TEST_PRIVATE_BUS")) {
        qputenv("VELTO_TEST_PRIVATE_BUS", "1");
        std::vector<char *> args{const_cast<char *>("dbus-run-session"), const_cast<char *>("--")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        execvp(args[0], args.data());
    }
    QCoreApplication application(argc, argv);
    tst_Remind test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_remind.moc"
