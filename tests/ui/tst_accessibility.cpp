// Every window as a screen reader sees it, and walked in German, with no
// English word and no string id left in place of its text (our texts come
// from the string table, Qt's own from its translations): walked through its accessibility
// interfaces, every control that takes the focus has a name, no input is
// named by what it holds, the window itself is a window or dialog with a
// name; the deadline grid's cells read what their row means, hidden
// columns are not shown, menu items tell their keys, and Escape closes the
// clients/suppliers window and the About box.

#include "app/languages.h"
#include "app/preferences.h"
#include "ui/about/frmabout.h"
#include "ui/accounts/frmAccounts.h"
#include "ui/accounts/frmNewAcc.h"
#include "ui/common/frmGrpAdd.h"
#include "ui/common/frmGrpErase.h"
#include "ui/common/widgetprompts.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/main/helpwindow.h"
#include "ui/maintenance/frmdelclosedrows.h"
#include "ui/maintenance/frmoptions.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/monthview.h"
#include "windowtests.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

#include <functional>

using namespace velto;

namespace {

// Opens a window for the check: returns it, or runs the check itself while
// a modal window is up and returns nothing.
using Check = std::function<void(QWidget *)>;
using WindowMaker = std::function<QWidget *(test::PromptRecorder &, qint64 rowId, const Check &)>;

// Controls a user reaches with Tab; cells and headers have their own check.
bool isControl(QAccessible::Role role)
{
    using A = QAccessible;
    static const QList<A::Role> controls{A::PushButton, A::CheckBox,   A::RadioButton, A::ComboBox, A::EditableText,
                                         A::SpinBox,    A::Slider,     A::Table,       A::Tree,     A::List,
                                         A::Document,   A::ButtonMenu, A::Link};
    return controls.contains(role);
}

// Each problem as "role 'name' (object): what is wrong".
void collectProblems(QAccessibleInterface *iface, QStringList &problems, int depth = 0)
{
    if (!iface || depth > 30 || iface->state().invisible)
        return;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::TreeItem || role == QAccessible::Cell || role == QAccessible::ColumnHeader
        || role == QAccessible::ListItem)
        return;
    const QString name = iface->text(QAccessible::Name);
    const QString value = iface->text(QAccessible::Value);
    const QString where = QStringLiteral("%1 '%2' (%3)")
                              .arg(int(role))
                              .arg(name, iface->object() ? iface->object()->objectName() : QString());
    if (iface->state().focusable && isControl(role) && name.trimmed().isEmpty())
        problems << where + QStringLiteral(": focusable without a name");
    if ((role == QAccessible::ComboBox || role == QAccessible::EditableText || role == QAccessible::SpinBox)
        && !value.isEmpty() && name == value)
        problems << where + QStringLiteral(": named by its value");
    for (int i = 0; i < iface->childCount(); ++i)
        collectProblems(iface->child(i), problems, depth + 1);
}

bool looksLikeAnId(const QString &text)
{
    static const QRegularExpression id(QStringLiteral("^\\s*\\d{3,5}\\s*$"));
    return id.match(text).hasMatch();
}

// Everything a window shows or a screen reader says, except what the user
// typed into the database (cells of lists, field contents).
QStringList shownTexts(QWidget *window)
{
    QStringList texts;
    auto add = [&](const QString &t) {
        if (!t.trimmed().isEmpty() && !t.startsWith(u'/'))
            texts.append(t);
    };
    auto addAction = [&](QAction *a) {
        add(a->text());
        add(a->toolTip());
        add(a->statusTip());
        add(a->shortcut().toString(QKeySequence::NativeText));
    };
    for (QDateEdit *d : window->findChildren<QDateEdit *>())
        d->calendarWidget(); // its month buttons and tooltips
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        if (w->isWindow())
            add(w->windowTitle());
        add(w->toolTip());
        add(w->statusTip());
        add(w->accessibleName());
        add(w->accessibleDescription());
        for (QAction *a : w->actions())
            addAction(a);
        if (auto *l = qobject_cast<QLabel *>(w))
            add(l->text());
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            add(b->text());
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            add(g->title());
        else if (auto *c = qobject_cast<QComboBox *>(w); c && !c->isEditable()) {
            for (int i = 0; i < c->count(); ++i)
                add(c->itemText(i));
        } else if (auto *t = qobject_cast<QTabWidget *>(w)) {
            for (int i = 0; i < t->count(); ++i)
                add(t->tabText(i));
        } else if (auto *h = qobject_cast<QHeaderView *>(w); h && h->model()) {
            for (int i = 0; i < h->count(); ++i) {
                if (!h->isSectionHidden(i))
                    add(h->model()->headerData(i, h->orientation()).toString());
            }
        }
    }
    return texts;
}

// Words of the English texts that no German text contains.
QStringList englishWordsIn(const QStringList &texts)
{
    static const QRegularExpression english(QStringLiteral(
        "\\b(the|and|of|Yes|No|Cancel|Close|Save|Delete|Edit|New|Open|Print|File|View|Tools|Help|About|Record|"
        "Deadlines?|Clients?|Suppliers?|Amount|Description|Date|Type|Done|Notes|Show|Select|Continue|Past|Credit|"
        "Debit|Expiry|Today|Group|Simple|Daily|Weekly|Monthly|Quarterly|Yearly|Single|Recurring|Number|Frequency|"
        "First|Last|Rows?|Expand|Collapse|Contract|Preferences|Options|settings|Memorize|loading|Automatic|Change|"
        "database|Database|Folder|sheets?|Sheets?|Languages|Calendar|List|Menu|due|Nothing|Up|Down|Week|Ctrl|Shift|"
        "Del|Space|Return|Previous|Next|Month|Year|Total|Data|Look in|Directory)\\b"));
    // The language names stand in their own language in every run.
    QStringList names;
    for (int i = LanguageGerman; i < LanguageMenuItemCount; ++i)
        names.append(languageMenuCaption(i));
    QStringList found;
    for (const QString &t : texts) {
        const QString plain = QString(t).remove(u'&');
        if (names.contains(plain))
            continue;
        const QRegularExpressionMatch m = english.match(plain);
        if (m.hasMatch())
            found.append(m.captured(1) + QStringLiteral(" in \"") + plain + u'"');
    }
    found.removeDuplicates();
    return found;
}

// Runs check on the modal window that open() shows, then closes it as
// Escape would.
void checkModal(const Check &check, const std::function<void()> &open)
{
    QTimer::singleShot(0, [&check] {
        QWidget *modal = QApplication::activeModalWidget();
        check(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(0);
    });
    open();
}

QAccessibleInterface *gridInterface(Grid *grid)
{
    return QAccessible::queryAccessibleInterface(test::viewOf(grid));
}

// The row of the table whose cell in a column reads text; -1 when none.
int rowReading(QAccessibleTableInterface *table, int column, const QString &text)
{
    for (int r = 0; r < table->rowCount(); ++r) {
        QAccessibleInterface *cell = table->cellAt(r, column - 1);
        if (cell && cell->text(QAccessible::Name) == text)
            return r;
    }
    return -1;
}

} // namespace

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::startWindowTests();
        QAccessible::setActive(true);
    }

    void init()
    {
        QVERIFY(m_bench.reset());
        const QDate day(2027, 1, 15);
        using test::seedDeadline, test::money;
        m_firstId = seedDeadline(1, DeadlineType::Credit, day, QStringLiteral("Rent"), 0, money("100"));
        QVERIFY(seedDeadline(1, DeadlineType::Debit, day, QStringLiteral("Power"), 0, money("30")));
        QVERIFY(seedDeadline(1, DeadlineType::Appointment, day, QStringLiteral("Meeting"), 0, money("55")));
        QVERIFY(seedDeadline(1, DeadlineType::Credit, day, QStringLiteral("Old invoice"), 0, money("70"), true));
        QVERIFY(seedDeadline(1, DeadlineType::Debit, day, QStringLiteral("Lease"), 0, money("40"), false, 7, 3, 12));
        QVERIFY(m_firstId);
    }

    void everyWindowIsNamedAndSpeaksGerman_data()
    {
        QTest::addColumn<WindowMaker>("open");
        using P = test::PromptRecorder;
        using W = QWidget *;
        QTest::newRow("main window") << WindowMaker([](P &p, qint64, const Check &) -> W {
            auto *w = new frmMain(p);
            w->Form_Load();
            return w;
        });
        QTest::newRow("new deadline") << WindowMaker([](P &p, qint64, const Check &) -> W {
            auto *w = new frmScadenzeNuovo(nullptr, p);
            w->Nuovo();
            return w;
        });
        QTest::newRow("edit deadline") << WindowMaker([](P &p, qint64 id, const Check &) -> W {
            auto *w = new frmScadenze(nullptr, p);
            if (w->Apri(id))
                return w;
            delete w; // never checked, which fails the test
            return nullptr;
        });
        QTest::newRow("clients/suppliers")
            << WindowMaker([](P &p, qint64, const Check &) -> W { return new frmAccounts(nullptr, p); });
        QTest::newRow("client/supplier editor") << WindowMaker([](P &p, qint64, const Check &check) -> W {
            frmNewAcc editor(nullptr, p);
            checkModal(check, [&] { editor.Nuovo(QStringLiteral("Rossi")); });
            return nullptr;
        });
        QTest::newRow("data sheets") << WindowMaker(
            [](P &p, qint64, const Check &) -> W { return new frmScadenziari(p); });
        QTest::newRow("preferences") << WindowMaker([](P &p, qint64, const Check &) -> W { return new frmOptions(p); });
        QTest::newRow("purge") << WindowMaker([](P &p, qint64, const Check &) -> W { return new frmDelClosedRows(p); });
        QTest::newRow("about") << WindowMaker([](P &p, qint64, const Check &) -> W { return new frmAbout(p); });
        QTest::newRow("help") << WindowMaker([](P &, qint64, const Check &) -> W {
            auto *w = new HelpWindow;
            if (w->load(QStringLiteral(VELTO_SOURCE_DIR "/resources/help/deu_help.html")))
                return w;
            delete w; // never checked, which fails the test
            return nullptr;
        });
        QTest::newRow("group add") << WindowMaker([](P &, qint64, const Check &check) -> W {
            frmGrpAdd add(nullptr);
            checkModal(check, [&] { add.Apri(); });
            return nullptr;
        });
        QTest::newRow("group erase") << WindowMaker([](P &, qint64, const Check &check) -> W {
            frmGrpErase erase(nullptr);
            checkModal(check, [&] { erase.Apri(); });
            return nullptr;
        });
        QTest::newRow("questions") << WindowMaker([](P &, qint64, const Check &check) -> W {
            WidgetPrompts prompts;
            checkModal(check, [&] { (void)prompts.askYesNo(LoadResString(1055), false); });
            checkModal(check, [&] { prompts.message(LoadResString(1362), MessageIcon::None); });
            checkModal(check, [&] { (void)prompts.askText(LoadResString(1409), QString(), 50); });
            checkModal(check, [&] {
                (void)prompts.chooseSaveFile(
                    {LoadResString(1363), QStringLiteral("Textdatei (*.txt)"), QStringLiteral("txt")});
            });
            return nullptr;
        });
    }

    // Each window also walked as a German user whose system speaks German
    // sees it: no English word and no string id shows. Every message exists
    // in all five languages, so an id that shows here would show in each.
    void everyWindowIsNamedAndSpeaksGerman()
    {
        QFETCH(WindowMaker, open);
        app().LanguageOffset = kOffsetGerman;
        QVERIFY(installQtTranslations(kOffsetGerman));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        bool checked = false;
        QStringList texts;
        const Check check = [&checked, &texts](QWidget *window) {
            checked = true;
            texts += shownTexts(window);
            if (!QByteArray(window->metaObject()->className()).startsWith("velto::"))
                return; // Qt's own boxes and dialogs: only their texts are ours
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window);
            QVERIFY(iface);
            QVERIFY2(iface->role() == QAccessible::Window || iface->role() == QAccessible::Dialog,
                     qPrintable(QString::number(int(iface->role()))));
            QVERIFY(!iface->text(QAccessible::Name).isEmpty());
            QStringList problems;
            collectProblems(iface, problems);
            // a field's label, with its access key or colon, leads to the field
            for (const QLabel *l : window->findChildren<QLabel *>())
                if (l->isVisibleTo(window) && (l->text().contains(u'&') || l->text().trimmed().endsWith(u':'))
                    && !l->buddy())
                    problems << QStringLiteral("label without buddy: ") + l->text();
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        };
        if (std::unique_ptr<QWidget> window{open(m_prompts, m_firstId, check)}) {
            window->show();
            check(window.get());
        }
        QLocale::setDefault(QLocale::c());
        QVERIFY(installQtTranslations(kOffsetEnglish));
        QVERIFY(checked);
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join(u'\n')));
        const QStringList english = englishWordsIn(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(u'\n')));
        for (const QString &t : texts) // a year in a calendar is no id: ids stay below 1700 and from 3000
            QVERIFY2(!looksLikeAnId(t) || (t.trimmed().toInt() >= 1900 && t.trimmed().toInt() <= 2100), qPrintable(t));
    }

    void deadlineCellsReadWhatTheRowMeans_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("amountShown");
        QTest::newRow("open credit") << "Rent"
                                     << "Credit"
                                     << "open" << true;
        QTest::newRow("open debit") << "Power"
                                    << "Debit"
                                    << "open" << true;
        QTest::newRow("appointment reads no amount") << "Meeting"
                                                     << "Appointment"
                                                     << "open" << false;
        QTest::newRow("closed credit") << "Old invoice"
                                       << "Credit"
                                       << "closed" << true;
        QTest::newRow("series member") << "Lease 3 of 12"
                                       << "Debit, series 3 of 12"
                                       << "open" << true;
    }

    void deadlineCellsReadWhatTheRowMeans()
    {
        QFETCH(QString, description);
        QFETCH(QString, type);
        QFETCH(QString, state);
        QFETCH(bool, amountShown);
        auto w = openMain();
        QAccessibleTableInterface *table = gridInterface(w->gex())->tableInterface();
        QVERIFY(table);

        const int row = rowReading(table, col(MainColumn::Description), description);
        QVERIFY2(row >= 0, qPrintable(description));
        QAccessibleInterface *typeCell = table->cellAt(row, col(MainColumn::Type) - 1);
        QCOMPARE(typeCell->text(QAccessible::Name), type);
        QVERIFY(typeCell->state().focusable);
        for (int column : {int(col(MainColumn::Type)), int(col(MainColumn::Date)), int(col(MainColumn::Value))})
            QCOMPARE(table->cellAt(row, column - 1)->text(QAccessible::Description), state);
        const QString amount = table->cellAt(row, col(MainColumn::Value) - 1)->text(QAccessible::Name);
        QCOMPARE(amount.isEmpty(), !amountShown);
        // An empty client cell reads as shown, never as its column's name.
        QCOMPARE(table->cellAt(row, col(MainColumn::AccountName) - 1)->text(QAccessible::Name), LoadResString(1054));
    }

    void listsAreNamedByWhatTheyListAndHideHiddenColumns()
    {
        auto w = openMain();
        QAccessibleInterface *main = gridInterface(w->gex());
        QCOMPARE(main->text(QAccessible::Name),
                 app().CurrentDbName + QStringLiteral(" - ") + w->cmbFilter()->currentText());
        QAccessibleTableInterface *table = main->tableInterface();
        for (int c = 1; c <= w->gex()->columnCount(); ++c) {
            QAccessibleInterface *header = main->child(c - 1);
            QCOMPARE(header->state().invisible, !w->gex()->isColumnVisible(c));
            QCOMPARE(table->cellAt(0, c - 1)->state().invisible, !w->gex()->isColumnVisible(c));
        }
        QCOMPARE(main->child(col(MainColumn::Type) - 1)->text(QAccessible::Name), LoadResString(1002));

        QAccessibleInterface *start = gridInterface(w->gextasks());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // whose short dates have two-digit years
        w->gextasksUpdate();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(start->text(QAccessible::Name), QStringLiteral("Open deadlines on 1/15/2027"));
        QCOMPARE(start->child(0)->text(QAccessible::Name), LoadResString(1005));
        QCOMPARE(start->tableInterface()->rowCount(), 4); // the open ones of the day

        QAccessibleInterface *calendar = QAccessible::queryAccessibleInterface(w->mv());
        const qint64 today = w->mv()->firstVisibleDay().daysTo(QDate(2027, 1, 15));
        QCOMPARE(calendar->child(int(today))->text(QAccessible::Description), LoadResString(1646));
        QCOMPARE(calendar->child(int(today) + 1)->text(QAccessible::Description), QString());
    }

    // Pressed or toggled by an assistive technology, each layout button
    // switches the layout, as a click does.
    void layoutButtonsWorkThroughAccessibility()
    {
        auto w = openMain();
        for (const int layout : {3, 1, 0, 2}) {
            QAccessibleInterface *button =
                QAccessible::queryAccessibleInterface(w->tbLayout()->widgetForAction(w->tbLayoutButton(layout + 5)));
            button->actionInterface()->doAction(layout % 2 ? QAccessibleActionInterface::toggleAction()
                                                           : QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(int(preferences().layout), layout);
            QVERIFY(w->tbLayoutButton(layout + 5)->isChecked());
        }
    }

    void menuItemsTellTheirKeys()
    {
        auto w = openMain();
        QAccessibleInterface *menu =
            QAccessible::queryAccessibleInterface(w->mnuGroupby(0)->associatedObjects().value(0));
        QVERIFY(menu);
        QAccessibleInterface *item = menu->child(0);
        QCOMPARE(item->text(QAccessible::Name), LoadResString(412));
        // The key binding Qt reports for a menu item is its accelerator text.
        QCOMPARE(item->text(QAccessible::Accelerator), QKeySequence(Qt::CTRL | Qt::Key_1).toString());

        // Space belongs to the grid: pressed on the menu bar driven from the
        // keyboard, it closes no deadline.
        w->gex()->setCurrentRow(2);
        const QVariant before = w->gex()->value(col(MainColumn::Done));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->menuBar()->setFocus();
        QCOMPARE(QApplication::focusWidget(), w->menuBar());
        QTest::keyClick(w->menuBar(), Qt::Key_Space);
        w->gexUpdate(w->currentFilterIndex());
        w->gex()->setCurrentRow(2);
        QCOMPARE(w->gex()->value(col(MainColumn::Done)), before);
    }

    void escapeClosesClientsAndAbout()
    {
        for (QWidget *window :
             std::initializer_list<QWidget *>{new frmAccounts(nullptr, m_prompts), new frmAbout(m_prompts)}) {
            QPointer<QWidget> guard = window;
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
            QTRY_VERIFY2(!guard || !guard->isVisible(), qPrintable(window->objectName()));
            delete guard.data();
        }
    }

private:
    std::unique_ptr<frmMain> openMain() { return m_bench.openMain(); }

    test::WindowBench m_bench;
    test::PromptRecorder &m_prompts = m_bench.prompts;
    qint64 m_firstId = 0;
};

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
