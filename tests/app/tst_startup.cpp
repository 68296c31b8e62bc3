#include "app/mainmod.h"
#include "app/networkfolder.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/series.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "servercluster.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

using namespace velto;

namespace {

using RecordingPrompts = test::PromptRecorder;

const QString kKey = QStringLiteral("Software\\Kelvorn\\Velto\\Settings");

void setDatabaseFolder(const QString &folder)
{
    WriteSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, QLatin1String(kCurDb), folder);
}

QString storedDatabaseFolder()
{
    return ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, QLatin1String(kCurDb)).toString();
}

QString failureText(int first)
{
    return LoadResString(first) + QStringLiteral("\r\n") + LoadResString(1358);
}

// Column TrGrpId of every deadline of the database started on, by id.
QStringList groupIds()
{
    return test::column(QStringLiteral("SELECT Coalesce(TrGrpId, 'null') FROM Transactions ORDER BY TrRowId"));
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::Sandbox> m_box;

    // Starts on the sandbox's database folder, with nothing to tell.
    void startQuietly()
    {
        setDatabaseFolder(m_box->dataDir());
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0));
        QVERIFY(prompts.messages.isEmpty());
    }

private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->isValid());
        app() = AppState();
    }

    void emptyFolderGetsTheTemplate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain folder") << "data";
        QTest::newRow("folder with a semicolon") << "a;Data Source=b";
        QTest::newRow("folder with quotes and blanks") << " it's \"ours\" ";
    }

    void emptyFolderGetsTheTemplate()
    {
        QFETCH(QString, name);
        const QString folder = m_box->path() + QLatin1Char('/') + name;
        QVERIFY(QDir().mkpath(folder));
        setDatabaseFolder(folder);
        RecordingPrompts prompts;

        QVERIFY(runStartup(prompts, 255));

        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(folder + QStringLiteral("/velto.mdb")), test::readFile(test::builtTemplatePath()));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/velto.mdb.partial")));
        QCOMPARE(app().DatabaseFolder, folder);
        QCOMPARE(app().ConnectionString, connectionStringFor(folder));
        // and the next start opens that same file
        QVERIFY(runStartup(prompts, 255));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(app().SettingsKey, kKey);
        QCOMPARE(app().ScrollBarWidth, 255.0f);
        QCOMPARE(app().CurrentDbId, 1);
        QCOMPARE(app().CurrentDbName, QString::fromLatin1(kFirstDataSheetName));
    }

    void networkFolderIsToldAtTheFirstStartOnly()
    {
        const QString folder = m_box->path() + QStringLiteral("/share");
        QVERIFY(QDir().mkpath(folder));
        setDatabaseFolder(folder);
        setFilesystemProbe([](const QString &) { return std::optional<quint32>(0x6969); }); // NFS
        const auto probe = qScopeGuard([] { setFilesystemProbe(nullptr); });
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0) && runStartup(prompts, 0));
        QCOMPARE(prompts.messages, QStringList{LoadResString(1803).arg(folder)});
    }

    void withoutSettingTheProgramFolderHoldsTheDatabase()
    {
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(app().DatabaseFolder, m_box->programDir());
        QVERIFY(QFileInfo::exists(m_box->programDir() + QStringLiteral("/velto.mdb")));
    }

    void unusableDatabaseEndsTheStartAfterTheFolderQuestion_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("messageId");
        QTest::newRow("someone else's SQLite file") << "foreign" << 1357;
        QTest::newRow("no template to copy") << "no template" << 1359;
        QTest::newRow("folder that does not exist") << "no folder" << 1359;
    }

    void unusableDatabaseEndsTheStartAfterTheFolderQuestion()
    {
        QFETCH(QString, kind);
        QFETCH(int, messageId);
        QString folder = m_box->dataDir();
        QByteArray before;
        if (kind == u"foreign") {
            QVERIFY(createDatabaseFile(m_box->databasePath()));
            QVERIFY(Connection::executeAlone(connectionStringFor(folder), QStringLiteral("DROP TABLE Accounts")));
            before = test::readFile(m_box->databasePath());
        } else if (kind == u"no template") {
            QVERIFY(QFile::remove(m_box->programDir() + QStringLiteral("/master.gen")));
        } else {
            folder = m_box->path() + QStringLiteral("/unplugged");
        }
        setDatabaseFolder(folder);
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kIntLang), 3);

        RecordingPrompts prompts; // cancels the folder question
        QVERIFY(!runStartup(prompts, 0));

        QCOMPARE(prompts.messages, QStringList{failureText(messageId)});
        QCOMPARE(LoadResString(messageId), stringForId(messageId + kOffsetEnglish)); // in the chosen language
        QCOMPARE(prompts.folderPrompts, QStringList{LoadResString(1401)});
        QCOMPARE(storedDatabaseFolder(), folder);
        QCOMPARE(test::readFile(m_box->databasePath()), before);
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/velto.mdb.partial")));
    }

    // A database written before deadline groups existed: every row gets group
    // 0 and groups are indexed; a later start changes nothing.
    void oldDatabaseGainsTheGroupFieldOnce()
    {
        QVERIFY(createDatabaseFile(m_box->databasePath(), false));
        for (int k = 1; k <= 3; ++k)
            QVERIFY(Connection::executeAlone(
                connectionStringFor(m_box->dataDir()),
                QStringLiteral("INSERT INTO Transactions ( TrDbId, TrType, TrDate, TrDescription ) "
                               "SELECT 1, 1, #01/0%1/2020#, 'old'")
                    .arg(k)));
        startQuietly();
        QCOMPARE(groupIds(), QStringList({"0", "0", "0"}));
        QCOMPARE(test::column(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND name='TrGrpId'")),
                 QStringList{QStringLiteral("CREATE INDEX TrGrpId ON Transactions (TrGrpId)")});

        QVERIFY(test::exec(QStringLiteral("UPDATE Transactions SET TrGrpId = 7 WHERE TrRowId=2")));
        startQuietly();
        QCOMPARE(groupIds(), QStringList({"0", "7", "0"}));
    }

    // A file from before series kept rules: its series of the five cadences
    // stay as they were, and the upgraded file takes a series by rule.
    void olderFileGainsTheRuleTableAndKeepsItsSeries()
    {
        QVERIFY(m_box->createDatabase());
        QVERIFY(test::exec(QStringLiteral("DROP TABLE SeriesRules")));
        for (int k = 0; k < 10; ++k)
            QVERIFY(
                test::exec(sql::insertSeriesRow(1, 1, QDate(2027, 1, 31).addMonths(k / 2), QStringLiteral("s"), 0, {},
                                                {}, QStringLiteral("dwmqy").at(k / 2), k % 2 + 1, 2, k / 2 + 1)));
        const QString rows =
            QStringLiteral("SELECT TrDate || TrGrpType || TrGrpRow || TrGrpMDay || TrGrpId FROM Transactions");
        const QStringList before = test::column(rows);
        startQuietly();
        QCOMPARE(test::column(rows), before);
        QCOMPARE(test::column(QStringLiteral("SELECT count(*) FROM SeriesRules")), QStringList{"0"});
        DeadlineEntry e{DeadlineType::Debit, QStringLiteral("Tax"), 0, {}, true, QDate(2027, 1, 1), 3};
        e.rule = Recurrence{Frequency::LastWorkingDay};
        QVERIFY(InsertDeadlines(app().ConnectionString, 1, e));
        QCOMPARE(test::column(QStringLiteral("SELECT SrGrpId || SrRule FROM SeriesRules")),
                 QStringList{"11freq=lastworkingday;interval=1;shift=none"});
    }

    // A database of the current version is opened as it is, never replaced
    // by the template nor upgraded again.
    void currentDatabaseIsOpenedAsItIs()
    {
        QVERIFY(m_box->createDatabase());
        QVERIFY(
            test::exec(sql::insertSeriesRow(1, 1, QDate(2027, 1, 1), QStringLiteral("g"), 0, {}, {}, u'm', 1, 2, 4)));
        auto schemaText = [&] {
            Recordset rs;
            rs.open(QStringLiteral("SELECT group_concat(sql, ';') FROM sqlite_master"), app().ConnectionString);
            return rs.textValue(0);
        };
        const QString schemaBefore = schemaText();
        startQuietly();
        QCOMPARE(schemaText(), schemaBefore);
        QCOMPARE(groupIds(), QStringList{"4"});
    }

    void activeDataSheetFallsBackToOne_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("name");
        QTest::newRow("existing sheet") << 2 << 2 << "Casa";
        QTest::newRow("deleted sheet") << 3 << 1 << QString::fromLatin1(kFirstDataSheetName);
    }

    void activeDataSheetFallsBackToOne()
    {
        QFETCH(int, stored);
        QFETCH(int, active);
        QFETCH(QString, name);
        QVERIFY(m_box->createDatabase());
        for (const QString &statement : {sql::createSheet(2, QStringLiteral("Casa")),
                                         sql::createSheet(3, QStringLiteral("Gone")), sql::deleteSheet(3)})
            QVERIFY(test::exec(statement));
        setDatabaseFolder(m_box->dataDir());
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kCurSca), stored);
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(app().CurrentDbId, active);
        QCOMPARE(app().CurrentDbName, name);
    }

    // A book on a server: an empty database gets the template's rows, no file
    // or backup is made; a password is asked once when the server wants one,
    // and one given in the address for a run is used but never stored.
    void serverBookStartsAndAsksForItsPasswordOnce()
    {
        QString why;
        const QString location = test::newServerDatabase(&why);
        QVERIFY2(!location.isEmpty(), qPrintable(why));
        setDatabaseFolder(location);
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(app().ConnectionString, location);
        QCOMPARE(app().CurrentDbName, QString::fromLatin1(kFirstDataSheetName));
        QVERIFY(!QFileInfo::exists(m_box->backupDir()) && !QFileInfo::exists(m_box->programDir() + "/velto.mdb"));

        // The cluster trusts local connections; for this role only it wants the password.
        QVERIFY(
            Connection::executeAlone(location, QStringLiteral("CREATE ROLE clerk LOGIN SUPERUSER PASSWORD 'right'")));
        const QString hba = test::serverDataDir() + QStringLiteral("/pg_hba.conf");
        QVERIFY(test::writeFile(hba, "local all clerk scram-sha-256\n" + test::readFile(hba)));
        QCOMPARE(test::runServerTool(QStringLiteral("pg_ctl"),
                                     {QStringLiteral("-D"), test::serverDataDir(), QStringLiteral("reload")}),
                 0);
        const QString clerk = QString(location).replace(QStringLiteral("velto@"), QStringLiteral("clerk@"));
        for (int i = 0; i < 100 && Connection().open(clerk); ++i)
            QTest::qWait(50);
        dropIdleServerSessions();
        setDatabaseFolder(clerk);
        for (const char *password : {"wrong", "right"}) {
            RecordingPrompts asked;
            asked.passwordAnswers = {QString::fromLatin1(password)};
            QCOMPARE(runStartup(asked, 0), password == QByteArray("right"));
            QCOMPARE(asked.passwordPrompts, QStringList{LoadResString(1925).arg(clerk)});
            if (password == QByteArray("wrong")) {
                QCOMPARE(asked.messages.size(), 1);
                QVERIFY2(asked.messages[0].startsWith(LoadResString(1929) + u'\n')
                             && asked.messages[0].contains(QLatin1String("password authentication failed"))
                             && asked.messages[0].endsWith(LoadResString(1358)),
                         qPrintable(asked.messages[0]));
                QCOMPARE(asked.kindPrompts, QStringList{LoadResString(1927)});
            }
        }
        setServerPassword(clerk, QStringLiteral("wrong"));
        dropIdleServerSessions();
        setDatabaseForRun(QString(clerk).replace(QStringLiteral("clerk@"), QStringLiteral("clerk:right@")));
        const auto forRun = qScopeGuard([] { setDatabaseForRun(QString()); });
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(prompts.passwordPrompts, QStringList());
        QCOMPARE(app().DatabaseFolder, clerk);
        QCOMPARE(storedDatabaseFolder(), clerk);
    }

    // Which choice means which language is the language table's business;
    // the start applies the stored one.
    void storedLanguageChoiceSetsOffsetAndHelpFile()
    {
        QVERIFY(m_box->createDatabase());
        setDatabaseFolder(m_box->dataDir());
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kIntLang), 2);
        RecordingPrompts prompts;
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(preferences().languageChoice, 2);
        QCOMPARE(app().LanguageOffset, kOffsetGerman);
        QCOMPARE(app().HelpFile, m_box->programDir() + QStringLiteral("/deu_help.html"));
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
