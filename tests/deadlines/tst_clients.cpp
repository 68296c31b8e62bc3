// Clients and suppliers at the core: the list in the language's order, the
// edit written only over the row the window loaded, a client gone meanwhile
// reported, the delete refused while a deadline of any sheet names it.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "deadlines/clients.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

QString cs()
{
    return app().ConnectionString;
}

qint64 added(const QString &name, const QString &notes = QString())
{
    qint64 id = 0;
    return createClient(cs(), {0, name, notes}, &id) ? id : -1;
}

} // namespace

class TestClients : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        app().LanguageOffset = kOffsetItalian;
        QLocale::setDefault(QLocale::c());
    }

    void listIsSortedAsTheLanguageSorts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("listed");
        const QStringList sorted{"alpha", "Alpha2", "beta", "Émile", "Zeta"};
        QTest::addRow("Italian: case and accents do not split the alphabet") << "it_IT" << sorted;
        QTest::addRow("C locale sorts as English, not by character code") << "C" << sorted;
    }

    void listIsSortedAsTheLanguageSorts()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, listed);
        QLocale::setDefault(QLocale(locale));
        for (const char *name : {"Zeta", "beta", "Émile", "Alpha2", "alpha"})
            QVERIFY(added(QString::fromUtf8(name)) > 0);

        QList<Client> clients;
        QVERIFY(listClients(cs(), &clients));

        QStringList names;
        for (const Client &c : clients)
            names << c.name;
        QCOMPARE(names, listed);
    }

    void saveIsRefusedOverAChangeMadeMeanwhile_data()
    {
        QTest::addColumn<QString>("meanwhile"); // run after the window loaded the row
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("storedName"); // empty: the row is gone
        QTest::addRow("unchanged row takes the edit") << QString() << 0 << "Rossi Mario";
        QTest::addRow("name changed elsewhere stays")
            << "UPDATE Accounts SET AcName='Rossi SpA'" << int(kErrorChangedMeanwhile) << "Rossi SpA";
        QTest::addRow("notes changed elsewhere keep the name too")
            << "UPDATE Accounts SET AcNotes='tel. 02'" << int(kErrorChangedMeanwhile) << "Rossi";
        QTest::addRow("deleted elsewhere is not brought back")
            << "DELETE * FROM Accounts" << int(kErrorMissing) << QString();
    }

    void saveIsRefusedOverAChangeMadeMeanwhile()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, code);
        QFETCH(QString, storedName);
        const qint64 id = added(QStringLiteral("Rossi"), QStringLiteral("n1"));
        Client asLoaded;
        QVERIFY(loadClient(cs(), id, &asLoaded));
        if (!meanwhile.isEmpty())
            QVERIFY(test::exec(meanwhile));
        Client edited = asLoaded;
        edited.name = QStringLiteral("Rossi Mario");

        const Status st = saveClient(cs(), edited, asLoaded);

        QCOMPARE(st.code(), code);
        QCOMPARE(st.message(),
                 code == kErrorChangedMeanwhile ? LoadResString(1500)
                     : code == kErrorMissing    ? LoadResString(1501)
                                                : QString());
        Client now;
        QCOMPARE(loadClient(cs(), id, &now).ok(), !storedName.isEmpty());
        QCOMPARE(now.name, storedName);
        // What a deadline naming this client is checked against.
        QCOMPARE(checkClientExists(cs(), id).code(), storedName.isEmpty() ? int(kErrorMissing) : 0);
        QVERIFY(checkClientExists(cs(), 0));
    }

    void deleteIsRefusedWhileADeadlineNamesTheClient_data()
    {
        QTest::addColumn<int>("deadlineSheet"); // 0: no deadline names it
        QTest::addRow("named on the active sheet") << 1;
        QTest::addRow("named only on another sheet") << 2;
        QTest::addRow("named by nobody") << 0;
    }

    void deleteIsRefusedWhileADeadlineNamesTheClient()
    {
        QFETCH(int, deadlineSheet);
        const qint64 id = added(QStringLiteral("Usato"));
        const qint64 other = added(QStringLiteral("Altro"));
        if (deadlineSheet)
            QVERIFY(test::exec(
                sql::insertSingle(deadlineSheet, 1, QDate(2027, 5, 1), "Fattura", id, Currency(), Currency(), 0)));
        const bool used = deadlineSheet != 0;

        QCOMPARE(checkClientDeletable(cs(), id).ok(), !used);
        const Status st = deleteClient(cs(), id);

        QCOMPARE(st.code(), used ? int(kErrorInUse) : 0);
        QCOMPARE(st.message(), used ? LoadResString(1327) : QString());
        QList<Client> left;
        QVERIFY(listClients(cs(), &left));
        QCOMPARE(left.size(), used ? 2 : 1);
        QCOMPARE(left.last().id, used ? id : other);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(TestClients)
#include "tst_clients.moc"
