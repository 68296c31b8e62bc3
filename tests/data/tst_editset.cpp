#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

class tst_EditSet : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::Sandbox> m_box;
    Connection *m_conn = nullptr;

    qint64 insertDeadline(const QString &description)
    {
        if (!m_conn->execute(sql::insertSingle(1, 1, QDate(2027, 3, 1), description, 0, {}, {}, 0)))
            return -1;
        return m_conn->lastInsertId();
    }

    qint64 addAccount(const QString &name)
    {
        EditSet es;
        if (!es.open(QLatin1String(sql::kAccountsTable), *m_conn))
            return -1;
        es.addNew();
        if (!es.setValue(u"AcName", name) || !es.update())
            return -1;
        return es.value(u"AcId").toLongLong();
    }

    QVariant stored(const QString &statement, QStringView field)
    {
        Recordset rs;
        if (!rs.open(statement, *m_conn) || rs.eof())
            return QVariant();
        return rs.value(field);
    }

private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        m_conn = new Connection;
        QVERIFY(m_conn->open(app().ConnectionString));
    }

    void cleanup()
    {
        delete m_conn;
        m_conn = nullptr;
    }

    void writingARowDeletedMeanwhileIsAnError_data()
    {
        QTest::addColumn<bool>("batch");
        QTest::addColumn<bool>("changed");
        QTest::newRow("update") << false << true;
        QTest::newRow("update batch") << true << true;
        // nothing to write, so nothing to miss
        QTest::newRow("unchanged record") << true << false;
    }

    void writingARowDeletedMeanwhileIsAnError()
    {
        QFETCH(bool, batch);
        QFETCH(bool, changed);
        const qint64 id = insertDeadline(QStringLiteral("doomed"));
        EditSet es;
        QVERIFY(es.open(sql::editDeadline(id), *m_conn));
        if (changed)
            QVERIFY(es.setValue(u"TrDescription", QStringLiteral("changed")));
        {
            Connection other;
            QVERIFY(other.open(app().ConnectionString));
            QVERIFY(other.execute(sql::deleteOne(id)));
        }
        const Status st = batch ? es.updateBatch() : es.update();
        QCOMPARE(st.code(), changed ? int(kErrorNoRowUpdated) : 0);
        QCOMPARE(st.ok(), !changed);
        QCOMPARE(st.message().isEmpty(), !changed);
        QVERIFY(!stored(sql::editDeadline(id), u"TrRowId").isValid());
    }

    void cancelForgetsChangesAndNewRows()
    {
        const qint64 id = insertDeadline(QStringLiteral("kept"));
        EditSet es;
        QVERIFY(es.open(sql::editDeadline(id), *m_conn));
        QVERIFY(es.setValue(u"TrDescription", QStringLiteral("dropped")));
        es.cancelUpdate();
        QCOMPARE(es.value(u"TrDescription"), QVariant(QStringLiteral("kept")));
        QVERIFY(es.updateBatch());
        QCOMPARE(stored(sql::editDeadline(id), u"TrDescription"), QVariant(QStringLiteral("kept")));

        EditSet fresh;
        QVERIFY(fresh.open(QLatin1String(sql::kAccountsTable), *m_conn));
        fresh.addNew();
        QVERIFY(fresh.setValue(u"AcName", QStringLiteral("never")));
        fresh.cancelUpdate();
        QCOMPARE(fresh.recordCount(), 0);
        QVERIFY(fresh.updateBatch());
        QVERIFY(!stored(sql::accountPickList(), u"AcId").isValid());
    }

    void addNewNeverReusesADeletedId()
    {
        const qint64 a = addAccount(QStringLiteral("A"));
        const qint64 b = addAccount(QStringLiteral("B"));
        QVERIFY(a > 0);
        QCOMPARE(b, a + 1);
        QVERIFY(m_conn->execute(sql::deleteAccount(b)));
        QCOMPARE(addAccount(QStringLiteral("C")), b + 1);
        QVERIFY(m_conn->execute(sql::deleteAccount(a)));
        QVERIFY(m_conn->execute(sql::deleteAccount(b + 1)));
        QCOMPARE(addAccount(QStringLiteral("D")), b + 2); // even with the table empty

        const qint64 t1 = insertDeadline(QStringLiteral("t1"));
        QVERIFY(m_conn->execute(sql::deleteOne(t1)));
        QCOMPARE(insertDeadline(QStringLiteral("t2")), t1 + 1);
    }

    void valuesThatDoNotFitAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("cadence letter of two") << "TrGrpType" << QVariant(QStringLiteral("mm")) << false;
        QTest::newRow("row number in 16 bits") << "TrGrpRow" << QVariant(32767) << true;
        QTest::newRow("row number beyond 16 bits") << "TrGrpRow" << QVariant(32768) << false;
        QTest::newRow("not a number") << "TrAcId" << QVariant(QStringLiteral("abc")) << false;
        QTest::newRow("not a date") << "TrDate" << QVariant(QStringLiteral("31/02/2027")) << false;
        QTest::newRow("ISO date text") << "TrDate" << QVariant(QStringLiteral("2027-02-28")) << true;
        QTest::newRow("29 February") << "TrDate" << QVariant(QDate(2028, 2, 29)) << true;
        QTest::newRow("money as invariant text") << "TrValue" << QVariant(QStringLiteral("12.3456")) << true;
        QTest::newRow("closed") << "TrDone" << QVariant(true) << true;
        QTest::newRow("not money") << "TrValue" << QVariant(QStringLiteral("1,5")) << false;
        QTest::newRow("null clears") << "TrNotes" << QVariant() << true;
        QTest::newRow("the key is the database's") << "TrRowId" << QVariant(99) << false;
        QTest::newRow("unknown field") << "TrWhatever" << QVariant(1) << false;
    }

    void valuesThatDoNotFitAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        const qint64 id = insertDeadline(QStringLiteral("limits"));
        EditSet es;
        QVERIFY(es.open(sql::editDeadline(id), *m_conn));
        const QVariant before = es.value(field);
        const Status st = es.setValue(field, value);
        QCOMPARE(st.ok(), accepted);
        if (!accepted) {
            QCOMPARE(st.code(), int(kErrorBadValue));
            QCOMPARE(es.value(field), before);
        }
        QVERIFY(es.update());
        QCOMPARE(stored(sql::editDeadline(id), field), es.value(field));
    }
};

QTEST_GUILESS_MAIN(tst_EditSet)
#include "tst_editset.moc"
