// A velto.mdb that is damaged stops the start with the failure message and
// the folder question, and its bytes stay exactly as they were: the template
// is never copied over an existing file.

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace velto;
using velto::test::readFile;
using velto::test::writeFile;

namespace {

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = char(gen.bounded(256));
    return out;
}

QByteArray templateBytes()
{
    return readFile(test::builtTemplatePath());
}

// The template with a stretch of one page overwritten.
QByteArray withPageScrambled(int page, int from, int length)
{
    QByteArray b = templateBytes();
    const QByteArray junk = randomBytes(length, 7u + quint32(page));
    b.replace((page - 1) * 4096 + from, length, junk);
    return b;
}

} // namespace

class tst_DamagedDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::renew(m_box);
        app() = AppState();
        // The database lives in its own folder, as a user would choose it.
        WriteSetting(HKEY_LOCAL_MACHINE, settingsKeyFor(QLatin1String(kAppTitle)), REG_SZ, QLatin1String(kCurDb),
                     m_box->dataDir());
    }
    void damagedFileStopsTheStartAndStaysUntouched_data()
    {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray tmpl = templateBytes();
        QVERIFY(tmpl.size() > 4 * 4096);
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("truncated inside the header") << tmpl.left(60);
        QTest::newRow("truncated to the first page") << tmpl.left(4096);
        QTest::newRow("truncated to half") << tmpl.left(tmpl.size() / 2);
        QTest::newRow("truncated by one page") << tmpl.left(tmpl.size() - 4096);
        QTest::newRow("random bytes") << randomBytes(36864, 1);
        QTest::newRow("random bytes after a database header")
            << QByteArray("SQLite format 3\0", 16) + randomBytes(8176, 2);
        QTest::newRow("a text file") << QByteArray("Scadenze 2027\r\naffitto;500\r\nluce;80\r\n").repeated(50);
        QTest::newRow("a table page scrambled") << withPageScrambled(5, 8, 200);
        QTest::newRow("an index page scrambled") << withPageScrambled(6, 0, 4096);
    }
    void damagedFileStopsTheStartAndStaysUntouched()
    {
        QFETCH(QByteArray, contents);
        // given a damaged velto.mdb in the database folder, and the template beside the program
        QVERIFY(writeFile(m_box->databasePath(), contents));
        QVERIFY(QFile::exists(m_box->programDir() + QStringLiteral("/master.gen")));

        test::PromptRecorder prompts;
        const bool started = runStartup(prompts, 0);

        // then it stops with "database missing or damaged" and offers another folder
        QVERIFY(!started);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0], LoadResString(1357) + QStringLiteral("\r\n") + LoadResString(1358));
        QCOMPARE(prompts.icons[0], MessageIcon::Critical);
        QCOMPARE(prompts.folderPrompts.size(), 1);
        QCOMPARE(readFile(m_box->databasePath()), contents);
        QVERIFY(!QFile::exists(m_box->databasePath() + QStringLiteral("-journal")));
        QVERIFY(!QFile::exists(m_box->databasePath() + QStringLiteral(".partial")));
    }

    void templateIsNeverCopiedOverAnExistingFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("a text file") << QByteArray("not a database\n");
        QTest::newRow("a sound database") << templateBytes();
    }
    void templateIsNeverCopiedOverAnExistingFile()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(writeFile(m_box->databasePath(), contents));
        app().DatabaseFolder = m_box->dataDir();
        QVERIFY(!CopyDatabaseTemplate());
        QCOMPARE(readFile(m_box->databasePath()), contents);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(tst_DamagedDatabase)
#include "tst_damageddb.moc"
