// Clients and suppliers at the core: the list in the language's order, the
// edit written only over the row the window loaded, the delete refused
// while a deadline names the client.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "deadlines/clients.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

QString cs() { return app().ConnectionString; }

void exec(const QString &statement)
{
    const Status st = Connection::executeAlone(cs(), statement);
    QVERIFY2(st.ok(), qPrintable(st.message()));
}

qint64 added(const QString &name, const QString &notes = QString())
{
    qint64 id = 0;
    const Status st = createClient(cs(), {0, name, notes}, &id);
    return st ? id : -1;
}

void addDeadline(int sheet, qint64 clientId)
{
    exec(sql::insertSingle(sheet, 1, QDate(2027, 5, 1), QStringLiteral("Fattura"), clientId,
                           Currency::fromUnits(10000), Currency::fromUnits(10000), 0));
}

QStringList names(const QList<Client> &clients)
{
    QStringList out;
    for (const Client &c : clients)
        out << c.name;
    return out;
}

} // namespace

class TestClients : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listIsSortedAsTheLanguageSorts_data();
    void listIsSortedAsTheLanguageSorts();
    void saveIsRefusedOverAChangeMadeMeanwhile_data();
    void saveIsRefusedOverAChangeMadeMeanwhile();
    void deleteIsRefusedWhileADeadlineNamesTheClient_data();
    void deleteIsRefusedWhileADeadlineNamesTheClient();
    void clientThatNoLongerExistsIsReported();

private:
    std::unique_ptr<test::Sandbox> m_box;
};

void TestClients::init()
{
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    app().LanguageOffset = kOffsetItalian;
}

void TestClients::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_box.reset();
}

void TestClients::listIsSortedAsTheLanguageSorts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("listed");
    const QStringList mixed{"Zeta", "beta", "Émile", "Alpha2", "alpha"};
    const QStringList sorted{"alpha", "Alpha2", "beta", "Émile", "Zeta"};
    QTest::addRow("Italian: case and accents do not split the alphabet") << "it_IT" << mixed << sorted;
    QTest::addRow("English") << "en_GB" << mixed << sorted;
    QTest::addRow("C locale sorts as English, not by character code") << "C" << mixed << sorted;
    QTest::addRow("German umlaut beside its vowel") << "de_DE" << QStringList{"Zander", "Österreich", "Ober"}
                                                    << QStringList{"Ober", "Österreich", "Zander"};
}

void TestClients::listIsSortedAsTheLanguageSorts()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, listed);
    QLocale::setDefault(QLocale(locale));
    for (const QString &name : stored)
        QVERIFY(added(name) > 0);

    QList<Client> clients;
    QVERIFY(listClients(cs(), &clients));

    QCOMPARE(names(clients), listed);
}

void TestClients::saveIsRefusedOverAChangeMadeMeanwhile_data()
{
    QTest::addColumn<QString>("meanwhile"); // statement run after the window loaded the row
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("storedName"); // empty: the row is gone
    QTest::addRow("unchanged row takes the edit") << QString() << 0 << "Rossi Mario";
    QTest::addRow("name changed elsewhere stays")
        << "UPDATE Accounts SET AcName='Rossi SpA'" << int(kErrorChangedMeanwhile) << "Rossi SpA";
    QTest::addRow("notes changed elsewhere keep the name too")
        << "UPDATE Accounts SET AcNotes='tel. 02'" << int(kErrorChangedMeanwhile) << "Rossi";
    QTest::addRow("deleted elsewhere is not brought back") << "DELETE * FROM Accounts" << int(kErrorMissing)
                                                           << QString();
}

void TestClients::saveIsRefusedOverAChangeMadeMeanwhile()
{
    QFETCH(QString, meanwhile);
    QFETCH(int, code);
    QFETCH(QString, storedName);
    const qint64 id = added(QStringLiteral("Rossi"), QStringLiteral("n1"));
    Client asLoaded;
    QVERIFY(loadClient(cs(), id, &asLoaded));
    if (!meanwhile.isEmpty())
        exec(meanwhile);
    Client edited = asLoaded;
    edited.name = QStringLiteral("Rossi Mario");

    const Status st = saveClient(cs(), edited, asLoaded);

    QCOMPARE(st.code(), code);
    if (code == kErrorChangedMeanwhile)
        QCOMPARE(st.message(), LoadResString(1500));
    Client now;
    const Status read = loadClient(cs(), id, &now);
    QCOMPARE(read.ok(), !storedName.isEmpty());
    if (read)
        QCOMPARE(now.name, storedName);
    else
        QCOMPARE(read.code(), int(kErrorMissing));
}

void TestClients::deleteIsRefusedWhileADeadlineNamesTheClient_data()
{
    QTest::addColumn<int>("deadlineSheet"); // 0: no deadline names it
    QTest::addRow("named on the active sheet") << 1;
    QTest::addRow("named only on another sheet") << 2;
    QTest::addRow("named by nobody") << 0;
}

void TestClients::deleteIsRefusedWhileADeadlineNamesTheClient()
{
    QFETCH(int, deadlineSheet);
    const qint64 id = added(QStringLiteral("Usato"));
    const qint64 other = added(QStringLiteral("Altro"));
    if (deadlineSheet)
        addDeadline(deadlineSheet, id);
    const bool used = deadlineSheet != 0;

    const Status check = checkClientDeletable(cs(), id);
    const Status st = deleteClient(cs(), id);

    QCOMPARE(check.ok(), !used);
    QCOMPARE(st.code(), used ? int(kErrorInUse) : 0);
    if (used)
        QCOMPARE(st.message(), LoadResString(1327));
    QList<Client> left;
    QVERIFY(listClients(cs(), &left));
    QCOMPARE(left.size(), used ? 2 : 1);
    QCOMPARE(left.last().id, used ? id : other);
}

void TestClients::clientThatNoLongerExistsIsReported()
{
    const qint64 id = added(QStringLiteral("Bianchi"));
    QVERIFY(checkClientExists(cs(), 0));
    QVERIFY(checkClientExists(cs(), id));
    exec(sql::deleteAccount(id));

    const Status st = checkClientExists(cs(), id);

    QCOMPARE(st.code(), int(kErrorMissing));
    QCOMPARE(st.message(), LoadResString(1501));
    QCOMPARE(deleteClient(cs(), id).code(), int(kErrorMissing));
}

QTEST_GUILESS_MAIN(TestClients)
#include "tst_clients.moc"
