#include "app/autostart.h"
#include "app/mainmod.h"
#include "app/settings.h"
#include "data/connection.h"
#include "data/databaseidentity.h"
#include "data/schema.h"
#include "deadlines/icalexport.h"
#include "promptrecorder.h"
#include "seed.h"
#include "selfprocess.h"
#include "servercluster.h"
#include "testsupport.h"
#include "ui/maintenance/frmoptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <libical/ical.h>
#include <sys/stat.h>
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
    QStringList GetCapabilities() { return {u"actions"_s, u"body"_s, u"body-markup"_s}; }
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        calls.append({app, replaces, icon, summary, body, actions, hints, timeout});
        // Closed at once, as a user would dismiss it: the sender stops listening.
        QDBusConnection::sessionBus().send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                                      QStringLiteral("org.freedesktop.Notifications"),
                                                                      QStringLiteral("NotificationClosed"))
                                           << 7u << 2u);
        return 7;
    }
};

class tst_Remind : public QObject
{
    Q_OBJECT
    Sandbox m_box;
    QByteArray m_dbHash;

    struct Run {
        int exit;
        QString out, err;
    };
    Run velto(const QStringList &args, const QByteArray &locale = "en_US.UTF-8", const QByteArray &day = "2027-01-15")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QLatin1String(locale));
        env.insert(QStringLiteral("VELTO_TODAY"), QLatin1String(day));
        for (const char *noDisplay : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(noDisplay));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VELTO_BUILD_DIR "/velto"), args);
        QSignalSpy done(&p, &QProcess::finished); // waits with the event loop, so bus calls are served
        return {done.wait(30000) ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
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
        seedDeadline(1, DeadlineType::Credit, {2027, 1, 10}, QStringLiteral("Rent"), rossi, money("1200.5"), false, 5,
                     2, 12);
        seedDeadline(1, DeadlineType::Debit, {2027, 1, 15}, QStringLiteral("Tax"), 0, money("300"));
        seedDeadline(1, DeadlineType::Appointment, {2027, 1, 20}, QStringLiteral("Meeting"), 0, money("0"));
        seedDeadline(1, DeadlineType::Credit, {2027, 1, 5}, QStringLiteral("Paid"), 0, money("9"), true);
        seedDeadline(1, DeadlineType::Credit, {2027, 2, 20}, QStringLiteral("Later"), 0, money("50"));
        seedDeadline(2, DeadlineType::Debit, {2027, 1, 12}, QStringLiteral("Fee"), 0, money("10"));
        // Texts with control characters, amounts that binary fractions round
        // wrong, and days up to the last the program takes.
        seedSheet(3, QStringLiteral("Hostile"));
        const qint64 bell = seedAccount(u"Bell\a <b>&\x1b[2J"_s);
        seedDeadline(3, DeadlineType::Credit, {2027, 1, 14}, u"Odd\x01\x0b\x7f\x1b[31mred\u0085"_s, bell,
                     money("2.675"));
        seedDeadline(3, DeadlineType::Credit, {2027, 1, 14}, u"One"_s, 0, money("1.005"));
        seedDeadline(3, DeadlineType::Debit, {2027, 1, 14}, u"Tiny"_s, 0, money("0.004"));
        for (const QDate day : {QDate(3000, 12, 31), QDate(3001, 1, 1), QDate(9999, 12, 31)})
            seedDeadline(3, DeadlineType::Credit, day, u"Far"_s, 0, money("1"));
        QVERIFY(Connection::executeAlone(currentDatabase(),
                                         u"UPDATE Transactions SET TrNotes='a\r\nb\tc\x1b' WHERE TrDbId=3"_s));
        m_dbHash = dbHash();
    }

    // A whole book onto a server and back into a folder, every row and key
    // as it was; the server's book read for one run with --database; a
    // target that holds data refused.
    void copyDatabaseThereAndBack()
    {
        QString why;
        const QString server = newServerDatabase(&why), back = m_box.path() + u"/back"_s;
        QVERIFY2(!server.isEmpty() && QDir().mkpath(back), qPrintable(why));
        Run r = velto({u"--copy-database"_s, m_box.dataDir(), server});
        QVERIFY2(r.exit == 0 && r.out.startsWith(u"Copied %1 to %2: 3 data sheets, "_s.arg(m_box.dataDir(), server)),
                 qPrintable(r.out + r.err));
        QCOMPARE(velto({u"--database"_s, server, u"--due"_s, u"--all-sheets"_s}).out,
                 velto({u"--due"_s, u"--all-sheets"_s}).out);
        QCOMPARE(velto({u"--copy-database"_s, server, back}).exit, 0);
        QCOMPARE(dumpTables(connectionStringFor(back)), dumpTables(currentDatabase()));
        r = velto({u"--copy-database"_s, back, server});
        QCOMPARE(r.exit, 2);
        QCOMPARE(r.err, u"velto: The target database already holds data.\n"_s);
        QCOMPARE(dbHash(), m_dbHash);
    }

    void dueReportsAndExits_data()
    {
        QTest::addColumn<QStringList>("args"); // the locale and today, then the arguments
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out"); // standard output, or a part of standard error on exit 2
        QTest::addRow("English: due by today, series counter, signed total")
            << QStringList{"en_US.UTF-8", "2027-01-15", "--due"} << 0
            << u"1/10/2027  Credit  Rent 2 of 12  Rossi & Co  +$1,200.50  Scadenziario\n"
               "1/15/2027  Debit   Tax                         -$300.00  Scadenziario\nTotal: +$900.50\n"_s;
        QTest::addRow("German: the next seven days hold the appointment")
            << QStringList{"de_DE.UTF-8", "2027-01-15", "--due", "--days", "7"} << 0
            << u"10.01.2027  Forderung        Rent 2 von 12  Rossi & Co  +1.200,50\u00a0€  Scadenziario\n"
               "15.01.2027  Verbindlichkeit  Tax                          -300,00\u00a0€  Scadenziario\n"
               "20.01.2027  Termin           Meeting                                 Scadenziario\n"
               "Summe: +900,50\u00a0€\n"_s;
        QTest::addRow("all sheets by date")
            << QStringList{"en_US.UTF-8", "2027-01-12", "--due", "--all-sheets"} << 0
            << u"1/10/2027  Credit  Rent 2 of 12  Rossi & Co  +$1,200.50  Scadenziario\n"
               "1/12/2027  Debit   Fee                          -$10.00  Other\nTotal: +$1,190.50\n"_s;
        QTest::addRow("controls as blanks; shown amounts rounded and adding up, no minus on zero")
            << QStringList{"en_US.UTF-8", "2027-01-15", "--due", "--sheet", "3"} << 0
            << u"1/14/2027  Credit  Odd    [31mred   Bell  <b>& [2J  +$2.68  Hostile\n"
               "1/14/2027  Credit  One                              +$1.01  Hostile\n"
               "1/14/2027  Debit   Tiny                              $0.00  Hostile\nTotal: +$3.69\n"_s;
        QTest::addRow("nothing due") << QStringList{"en_US.UTF-8", "2027-01-01", "--due", "--sheet", "2"} << 1
                                     << u"Nothing is due.\n"_s;
        QTest::addRow("no such sheet, in Italian") << QStringList{"it_IT.UTF-8", "2027-01-15", "--due", "--sheet=9"}
                                                   << 2 << u"Nessuno scadenziario con il numero 9."_s;
    }
    void dueReportsAndExits()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, out);
        const Run r = velto(args.mid(2), args.at(0).toLatin1(), args.at(1).toLatin1());
        QCOMPARE(r.exit, exit);
        QVERIFY2(exit == 2 ? r.err.contains(out) && r.out.isEmpty() : r.out == out && r.err.isEmpty(),
                 qPrintable(r.out + r.err));
        QCOMPARE(dbHash(), m_dbHash); // read, never written
    }

    void notifyReachesTheServiceOnce()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
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
        QCOMPARE(call.at(3).toString(), u"2 offene Fälligkeiten, Summe +900,50\u00a0€"_s);
        // Markup allows no <br/>: plain line breaks, "&" and "<" escaped.
        QCOMPARE(call.at(4).toString(),
                 u"10.01.2027 · Rent 2 von 12 · Rossi &amp; Co · +1.200,50\u00a0€\n"
                 "15.01.2027 · Tax · -300,00\u00a0€"_s);
        QCOMPARE(call.at(5).toStringList(), (QStringList{"default", u"Velto öffnen"_s, "open", u"Velto öffnen"_s}));
        QCOMPARE(velto({"--due", "--notify", "--sheet", "3"}).exit, 0);
        QCOMPARE(service.calls.last().at(4).toString(),
                 u"1/14/2027 · Odd    [31mred  · Bell  &lt;b>&amp; [2J · +$2.68\n"
                 "1/14/2027 · One · +$1.01\n1/14/2027 · Tiny · $0.00"_s);

        QCOMPARE(velto({"--due", "--notify", "--sheet", "2"}, "de_DE.UTF-8", "2027-01-01").exit, 1);
        QCOMPARE(service.calls.size(), 2); // nothing due, nothing sent
    }

    void loginEntryWrittenAndRemovedFromPreferences()
    {
        QCOMPARE(desktopExecArgument(u"/opt/my $apps/velto"_s), uR"("/opt/my \\$apps/velto")"_s);
        PromptRecorder prompts;
        for (const bool on : {true, false}) {
            frmOptions dialog(prompts);
            dialog.show();
            QCOMPARE(dialog.chkLoginReminder()->isChecked(), !on);
            QTest::mouseClick(dialog.chkLoginReminder(), Qt::LeftButton, {},
                              QPoint(6, dialog.chkLoginReminder()->height() / 2));
            QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdSalva"_s), Qt::LeftButton);
            const QByteArray entry = readFile(m_box.path() + u"/config/autostart/velto-reminder.desktop"_s);
            QCOMPARE(entry.contains(" --due --notify\n"), on);
            if (on) // an independent reader of the entry format
                QCOMPARE(QProcess::execute(u"desktop-file-validate"_s, {loginReminderPath()}), 0);
        }
        QVERIFY(prompts.messages.isEmpty());
    }

    // Two exports of sheet 1 and one of far days and hostile texts, read by
    // libical and by python3-icalendar: every open deadline on its day, by
    // a UID from the database's own key, and no control character.
    void calendarReadBackByTwoReaders()
    {
        const QString one = m_box.path() + u"/a.ics"_s, again = m_box.path() + u"/b.ics"_s,
                      far = m_box.path() + u"/c.ics"_s;
        QCOMPARE(velto({"--export-ics", one}).exit, 0);
        QCOMPARE(velto({"--export-ics", again, "--sheet", "1"}).exit, 0);
        QCOMPARE(velto({"--export-ics", far, "--sheet", "3"}).exit, 0);
        QString key;
        QVERIFY(databaseIdentity(currentDatabase(), &key) && key.size() == 32);
        auto expected = [&key](int sheet) { // "<uid> <date>" of each open deadline of the sheet
            QStringList out;
            for (const Deadline &d : storedDeadlines(u"TrDone=False AND TrDbId=%1"_s.arg(sheet)))
                out << calendarEventUid(key, d.rowId) + d.date.toString(u" yyyyMMdd"_s);
            return out;
        };
        for (const auto &[file, sheet] : {std::pair{one, 1}, std::pair{far, 3}}) {
            QStringList byLibical;
            icalcomponent *cal = icalparser_parse_string(readFile(file).constData());
            for (icalcomponent *ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
                 ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
                byLibical << QString::fromUtf8(icalcomponent_get_uid(ev)) + u' '
                        + QLatin1String(icalproperty_get_value_as_string(
                            icalcomponent_get_first_property(ev, ICAL_DTSTART_PROPERTY)));
            icalcomponent_free(cal);
            QCOMPARE(byLibical, expected(sheet));
            for (const QChar c : QString::fromUtf8(readFile(file)))
                QVERIFY2(c.category() != QChar::Other_Control || c == u'\r' || c == u'\n', qPrintable(far));
        }
        QVERIFY(readFile(one).contains("SUMMARY:Rent 2 of 12 +$1\\,200.50"));
        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {u"-c"_s,
                      u"import icalendar,sys\n"
                      "for f in sys.argv[1:]:\n"
                      "  for e in icalendar.Calendar.from_ical(open(f,'rb').read()).walk('VEVENT'):\n"
                      "    print(e['UID'], e.decoded('DTSTART').strftime('%Y%m%d'), e.decoded('DURATION').days)"_s,
                      one, again, far});
        QVERIFY(python.waitForFinished());
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 (expected(1) + expected(1) + expected(3)).replaceInStrings(QRegularExpression(u"$"_s), u" 1"_s));

        // The key travels with the file; another database has its own.
        const QString moved = m_box.path() + u"/moved"_s, other = m_box.path() + u"/other"_s;
        QVERIFY(QDir().mkpath(moved) && QDir().mkpath(other)
                && QFile::copy(m_box.databasePath(), moved + u"/velto.mdb"_s));
        QVERIFY(createDatabaseFile(other + u"/velto.mdb"_s));
        QString movedKey, otherKey;
        QVERIFY(databaseIdentity(connectionStringFor(moved), &movedKey)
                && databaseIdentity(connectionStringFor(other), &otherKey));
        QCOMPARE(movedKey, key);
        QVERIFY(otherKey != key && otherKey.size() == 32);

        // A pipe under the name is refused, never replaced by a file.
        const QString pipe = m_box.path() + u"/pipe.ics"_s;
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const Run r = velto({"--export-ics", pipe});
        QCOMPARE(r.exit, 2);
        QVERIFY2(r.err.contains(u"is not a regular file"_s), qPrintable(r.err));
        struct stat st;
        QVERIFY(stat(QFile::encodeName(pipe).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    }
};

int main(int argc, char *argv[])
{
    // Run again under dbus-run-session: the notification test needs a private session bus.
    if (!qEnvironmentVariableIsSet("VELTO_TEST_PRIVATE_BUS")) {
        qputenv("VELTO_TEST_PRIVATE_BUS", "1");
        std::vector<char *> args{const_cast<char *>("dbus-run-session"), const_cast<char *>("--")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        execvp(args[0], args.data());
    }
    QApplication application(argc, argv);
    tst_Remind test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_remind.moc"
