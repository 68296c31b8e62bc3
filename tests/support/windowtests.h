#pragma once
// Small helpers of the window tests: settle the event loop, open the main
// window on a new database, read rows back. For tests that link the widget
// library.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/series.h"
#include "promptrecorder.h"
#include "seed.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"
#include "whenmodal.h"

#include <QCoreApplication>
#include <QList>
#include <QTest>
#include <QTreeView>
#include <QVariantMap>

#include <memory>

namespace velto::test {

// Lets windows closed with WA_DeleteOnClose go, and queued events run.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The frozen "today" of the window tests and grids that read the database;
// from initTestCase.
inline void startWindowTests(const char *today = "2027-01-15")
{
    qputenv("VELTO_TODAY", today);
}

// What every main-window test starts from: a new database in a new sandbox,
// an English user on data sheet 1, prompts that remember nothing.
struct WindowBench {
    std::unique_ptr<Sandbox> box;
    PromptRecorder prompts;

    [[nodiscard]] bool reset()
    {
        box.reset(); // before the next one: a sandbox going away unsets the program folder
        box = std::make_unique<Sandbox>();
        AppState &s = app();
        s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
        s.LanguageOffset = kOffsetEnglish;
        s.CurrentDbName = QLatin1String(kFirstDataSheetName);
        prompts = PromptRecorder();
        return box->createDatabase();
    }

    // The real main window, loaded, shown and active.
    std::unique_ptr<frmMain> openMain()
    {
        auto w = std::make_unique<frmMain>(prompts);
        w->Form_Load();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("main window not active");
        return w;
    }
};

inline QTreeView *viewOf(Grid *grid)
{
    return grid->findChild<QTreeView *>();
}
inline qint64 currentKey(const Grid *grid)
{
    return grid->value(col(MainColumn::RowId)).toLongLong();
}

// The captions of the main grid's group rows (only the collapsed ones when
// asked), or else the descriptions of its deadline rows, top to bottom.
enum class Shown { Groups, CollapsedGroups, Descriptions };
inline QStringList shownRows(const Grid *grid, Shown what)
{
    QStringList out;
    for (int r = 1; r <= grid->rowCount(); ++r) {
        const bool group = grid->row(r).isGroupRow();
        if (what == Shown::Descriptions ? !group : group && (what == Shown::Groups || !grid->isRowExpanded(r)))
            out << (group ? grid->row(r).caption() : grid->row(r).value(col(MainColumn::Description)).toString());
    }
    return out;
}

// Every row of a query, field name to value.
inline QList<QVariantMap> query(const QString &statement)
{
    QList<QVariantMap> out;
    Recordset rs;
    if (!rs.open(statement, app().ConnectionString, CursorType::Static))
        return out;
    for (; !rs.eof(); rs.moveNext()) {
        QVariantMap row;
        for (int f = 0; f < rs.fieldCount(); ++f)
            row.insert(rs.fieldName(f), rs.value(f));
        out << row;
    }
    return out;
}

} // namespace velto::test
