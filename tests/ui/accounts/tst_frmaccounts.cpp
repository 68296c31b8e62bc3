// The clients/suppliers window and its editor, driven by keys and clicks:
// creating with F5, editing with Enter, an edit of a row changed meanwhile,
// cancelling, deleting, the refusal shown before any question, and printing.

#include "ui/accounts/frmAccounts.h"
#include "ui/accounts/frmNewAcc.h"
#include "ui/accounts/managecounts.h"
#include "windowtests.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

using namespace velto;
using namespace velto::test;

class TestFrmAccounts : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_bench.reset()); }

    void cleanup()
    {
        delete m_window;
        settle();
    }

    void f5CreatesClient()
    {
        frmAccounts *w = openWindow();
        QCOMPARE(w->grid()->recordCount(), 0);
        QCOMPARE(w->grid()->columnCaption(2), LoadResString(1321));
        bool enterMovedOn = false;
        bool emptyNameKeptTheFocus = false;
        whenModal("velto::frmNewAcc", [&](QWidget *dlg) {
            auto *name = dlg->findChild<QLineEdit *>("txtData0");
            auto *notes = dlg->findChild<QLineEdit *>("txtData1");
            QVERIFY(!dlg->findChild<QPushButton *>("cmdSalva")->isDefault()); // Enter in a field never saves
            QTest::mouseClick(dlg->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
            settle();
            emptyNameKeptTheFocus = dlg->isVisible() && QApplication::focusWidget() == name;
            QTest::keyClicks(name, QStringLiteral("Rossi & C."));
            notes->setFocus();
            QTest::keyClicks(notes, QStringLiteral("tel. 055 123"));
            QTest::keyClick(notes, Qt::Key_Return); // moves on, never a line break
            enterMovedOn = QApplication::focusWidget() != notes && notes->text() == QStringLiteral("tel. 055 123");
            QTest::mouseClick(dlg->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
        });
        QTest::keyClick(w, Qt::Key_F5);
        settle();

        QVERIFY(enterMovedOn);
        QVERIFY(emptyNameKeptTheFocus);
        QVERIFY(m_prompts.messages.isEmpty());
        const QList<QVariantMap> rows = accounts();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0]["AcName"].toString(), QStringLiteral("Rossi & C."));
        QCOMPARE(rows[0]["AcNotes"].toString(), QStringLiteral("tel. 055 123"));
        QCOMPARE(w->grid()->recordCount(), 1);
    }

    void enterEditsCurrentRow_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addRow("Save writes the new name") << true;
        QTest::addRow("Escape leaves the row as it was") << false;
    }

    void enterEditsCurrentRow()
    {
        QFETCH(bool, save);
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES ('Bianchi', 'n1')")));
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES ('Verdi', 'n2')")));
        frmAccounts *w = openWindow();
        QVERIFY(w->grid()->find(2, QStringLiteral("Verdi")));
        QString shownName;
        int nameLimit = 0;
        whenModal("velto::frmNewAcc", [save, &shownName, &nameLimit](QWidget *dlg) {
            auto *name = dlg->findChild<QLineEdit *>("txtData0");
            shownName = name->text();
            nameLimit = name->maxLength();
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Verdi Luigi"));
            if (save)
                QTest::mouseClick(dlg->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
            else
                QTest::keyClick(name, Qt::Key_Escape);
        });
        pressInGrid(Qt::Key_Return);

        QCOMPARE(shownName, QStringLiteral("Verdi"));
        QCOMPARE(nameLimit, 100);
        const QList<QVariantMap> rows = accounts();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0]["AcName"].toString(), QStringLiteral("Bianchi"));
        QCOMPARE(rows[1]["AcName"].toString(), save ? QStringLiteral("Verdi Luigi") : QStringLiteral("Verdi"));
        QCOMPARE(rows[1]["AcNotes"].toString(), QStringLiteral("n2"));
    }

    void saveOverARowChangedMeanwhileShowsItAsItIsNow()
    {
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES ('Verdi', 'n2')")));
        frmNewAcc dlg(nullptr, m_prompts);
        QString shownAfterRefusal;
        whenModal("velto::frmNewAcc", [&shownAfterRefusal](QWidget *d) {
            auto *name = d->findChild<QLineEdit *>("txtData0");
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Verdi Luigi"));
            QVERIFY(test::exec(QStringLiteral("UPDATE Accounts SET AcName='Verdi SpA'")));
            QTest::mouseClick(d->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
            settle();
            shownAfterRefusal = d->isVisible() ? name->text() : QString();
            QTest::mouseClick(d->findChild<QPushButton *>("cmdAnnulla"), Qt::LeftButton);
        });

        QVERIFY(!dlg.Apri(accounts()[0]["AcId"].toLongLong()));

        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1500)});
        QCOMPARE(shownAfterRefusal, QStringLiteral("Verdi SpA"));
        QCOMPARE(accounts()[0]["AcName"].toString(), QStringLiteral("Verdi SpA"));
    }

    void deleteAsksOnlyForAClientNobodyNames_data()
    {
        QTest::addColumn<bool>("used");
        QTest::addColumn<bool>("yes");
        QTest::addRow("named by a deadline: refused before any question") << true << true;
        QTest::addRow("Yes removes exactly that row") << false << true;
        QTest::addRow("No keeps the table") << false << false;
    }

    void deleteAsksOnlyForAClientNobodyNames()
    {
        QFETCH(bool, used);
        QFETCH(bool, yes);
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName) VALUES ('Alfa')")));
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName) VALUES ('Beta')")));
        if (used)
            QVERIFY(seedDeadline(1, DeadlineType::Credit, QDate(2027, 5, 1), QStringLiteral("Fattura"),
                                 accounts()[0]["AcId"].toLongLong(), money("10")));
        frmAccounts *w = openWindow();
        QVERIFY(w->grid()->find(2, QStringLiteral("Alfa")));
        m_prompts.answers = {yes};

        pressInGrid(Qt::Key_Delete);

        QCOMPARE(m_prompts.questions, used ? QStringList{} : QStringList{LoadResString(1305)});
        QCOMPARE(m_prompts.messages, used ? QStringList{LoadResString(1327)} : QStringList{});
        const QList<QVariantMap> rows = accounts();
        QCOMPARE(rows.size(), yes && !used ? 1 : 2);
        QCOMPARE(rows.last()["AcName"].toString(), QStringLiteral("Beta"));
        QCOMPARE(w->grid()->recordCount(), rows.size());
    }

    void printAsksThroughThePrompts()
    {
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcName) VALUES ('Alfa')")));
        const QString pdf = m_bench.box->path() + QStringLiteral("/clients.pdf");
        m_prompts.printerSetUp = [&pdf](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        openWindow()->findChild<QAction *>(QStringLiteral("mnuFile0"))->trigger();
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    void oneWindowOnly()
    {
        frmAccounts *first = openWindow();
        QCOMPARE(ManageCounts(nullptr, m_prompts), first);
        first->close();
        settle();
        QVERIFY(!m_window);
    }

private:
    frmAccounts *openWindow()
    {
        m_window = ManageCounts(nullptr, m_prompts);
        if (!QTest::qWaitForWindowActive(m_window))
            qWarning("the window did not become active");
        return m_window;
    }

    void pressInGrid(int key)
    {
        QTreeView *view = viewOf(m_window->grid());
        view->setFocus();
        QTest::keyClick(view, Qt::Key(key));
        settle();
    }

    QList<QVariantMap> accounts() { return query(QStringLiteral("SELECT * FROM Accounts ORDER BY AcId")); }

    WindowBench m_bench;
    PromptRecorder &m_prompts = m_bench.prompts;
    QPointer<frmAccounts> m_window;
};

QTEST_MAIN(TestFrmAccounts)
#include "tst_frmaccounts.moc"
