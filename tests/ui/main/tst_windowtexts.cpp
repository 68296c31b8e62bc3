// Every window walked in German shows no English word and no string id left
// in place of its text: our texts come from the string table, Qt's own
// (buttons, dialogs, key names) from its translations. Every message exists
// in all five languages, so an id that shows here would show in each.

#include "app/languages.h"
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
#include "windowtests.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QTabWidget>
#include <QTimer>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

namespace {

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

// The texts of the modal window that open() shows; the window is then
// closed as Escape would.
QStringList textsOfModal(const std::function<void()> &open)
{
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        texts = shownTexts(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(0);
    });
    open();
    return texts;
}

} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::startWindowTests("2027-02-10");
        QVERIFY(m_bench.reset());
    }

    void everyWindowInGermanShowsNoEnglishWordNorId()
    {
        // A German user whose system speaks German, as the program starts them.
        app().LanguageOffset = kOffsetGerman;
        QVERIFY(installQtTranslations(kOffsetGerman));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const qint64 account = test::seedAccount(QStringLiteral("Müller"), QStringLiteral("Tel. 030 1234"));
        const qint64 deadline =
            test::seedDeadline(1, DeadlineType::Debit, QDate(2027, 2, 1), QStringLiteral("Miete"), account, test::money("800"));
        QVERIFY(account && deadline);

        PromptRecorder &recorder = m_bench.prompts;
        QStringList texts;
        auto main = m_bench.openMain();
        texts += shownTexts(main.get());

        auto *fresh = new frmScadenzeNuovo(main.get(), recorder);
        fresh->Nuovo();
        texts += shownTexts(fresh);
        fresh->close();
        auto *edit = new frmScadenze(main.get(), recorder);
        QVERIFY(edit->Apri(deadline));
        texts += shownTexts(edit);
        edit->close();
        auto *accounts = new frmAccounts(main.get(), recorder);
        accounts->show();
        texts += shownTexts(accounts);
        accounts->close();
        frmNewAcc editor(main.get(), recorder);
        texts += textsOfModal([&] { editor.Apri(account); });
        frmGrpAdd add(main.get());
        texts += textsOfModal([&] { add.Apri(); });
        frmGrpErase erase(main.get());
        texts += textsOfModal([&] { erase.Apri(); });
        frmScadenziari sheets(recorder);
        sheets.show();
        texts += shownTexts(&sheets);
        frmOptions options(recorder);
        texts += shownTexts(&options);
        frmDelClosedRows purge(recorder);
        texts += shownTexts(&purge);
        frmAbout about(recorder);
        texts += shownTexts(&about);
        app().HelpFile = QStringLiteral(VELTO_SOURCE_DIR "/resources/help/deu_help.html");
        HelpWindow *help = showHelp(nullptr, &recorder);
        QVERIFY(help);
        texts += shownTexts(help);
        help->close();

        // Qt's own boxes and dialogs, as the program asks its questions.
        WidgetPrompts prompts(main.get());
        texts += textsOfModal([&] { (void)prompts.askYesNo(LoadResString(1055), false); });
        texts += textsOfModal([&] { prompts.message(LoadResString(1362), MessageIcon::None); });
        texts += textsOfModal([&] { (void)prompts.askText(LoadResString(1409), QString(), 50); });
        texts += textsOfModal([&] { (void)prompts.chooseSaveFile({LoadResString(1363), QStringLiteral("Textdatei (*.txt)"), QStringLiteral("txt")}); });

        QLocale::setDefault(QLocale::c());
        QVERIFY(installQtTranslations(kOffsetEnglish));
        QVERIFY2(texts.size() > 200, qPrintable(QString::number(texts.size())));
        const QStringList english = englishWordsIn(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral("\n"))));
        for (const QString &t : texts) // a year in a calendar is no id: ids stay below 1700 and from 3000
            QVERIFY2(!looksLikeAnId(t) || (t.trimmed().toInt() >= 1900 && t.trimmed().toInt() <= 2100), qPrintable(t));
        QVERIFY(recorder.messages.isEmpty());
    }

private:
    test::WindowBench m_bench;
};

QTEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
