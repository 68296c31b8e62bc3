#pragma once
// What the deadline window tests share: a sandbox database, the deadline
// grid as the main window sets it up, a recorder standing in for the main
// window's refresh operations, scripted answers to questions, and a way to
// answer a modal dialog from inside its event loop.

#include "app/mainmod.h"
#include "app/userprompts.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/series.h"
#include "testsupport.h"
#include "ui/common/mainrefresh.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/recordsetgridsource.h"

#include <QApplication>
#include <QTimer>
#include <QVariantMap>
#include <QtTest>

#include "promptrecorder.h"

#include <functional>

namespace velto::test {

using ScriptedPrompts = PromptRecorder;

// Stands in for the main window: records the calls in order and reloads the
// grid as the main window would.
class RefreshRecorder : public MainRefresh
{
public:
    explicit RefreshRecorder(Grid &grid) : m_grid(grid) { setMainRefresh(this); }
    ~RefreshRecorder() override { setMainRefresh(nullptr); }

    void gexUpdate(int filterIndex) override
    {
        calls << QStringLiteral("gexUpdate");
        m_grid.setRecordSource(sql::mainSelect(app().CurrentDbId, sql::mainFilter(filterIndex)));
        m_grid.rebind();
    }
    void gexFind(qint64 rowId) override
    {
        calls << QStringLiteral("gexFind");
        foundRowId = rowId;
        m_grid.find(1, rowId);
    }
    void gextasksUpdate() override { calls << QStringLiteral("gextasksUpdate"); }
    void sbBallon() override { calls << QStringLiteral("sbBallon"); }
    void picStartVisible() override { calls << QStringLiteral("picStartVisible"); }
    void mvGetDayBold() override { calls << QStringLiteral("mvGetDayBold"); }
    [[nodiscard]] int currentFilterIndex() const override { return filter; }

    QStringList calls;
    qint64 foundRowId = -1;
    int filter = 0;

private:
    Grid &m_grid;
};

// The deadline grid of the main window: the main query for a filter,
// grouped by data sheet, so row 1 is the data sheet's group row.
inline void setUpDeadlineGrid(Grid &grid, int filter = 0)
{
    installRecordsetLoader();
    grid.setConnection(app().ConnectionString);
    grid.setRecordSource(sql::mainSelect(app().CurrentDbId, sql::mainFilter(filter)));
    grid.rebind();
    grid.clearGroups();
    grid.addGroup(2);
    grid.addSortKey(5);
}

// Every row of a query, field name to value.
inline QList<QVariantMap> query(const QString &statement)
{
    QList<QVariantMap> out;
    Recordset rs;
    const Status st = rs.open(statement, app().ConnectionString, CursorType::Static);
    if (!st) {
        qWarning() << st.message();
        return out;
    }
    for (; !rs.eof(); rs.moveNext()) {
        QVariantMap row;
        for (int f = 0; f < rs.fieldCount(); ++f)
            row.insert(rs.fieldName(f), rs.value(f));
        out << row;
    }
    return out;
}

inline QList<QVariantMap> deadlines()
{
    return query(QStringLiteral("SELECT * FROM Transactions ORDER BY TrDate, TrRowId"));
}

inline Status run(const QString &statement)
{
    Connection c;
    Status st = c.open(app().ConnectionString);
    if (st)
        st = c.execute(statement);
    return st;
}

inline Status addDeadline(const QString &typeKey, const QDate &date, const QString &description,
                          const QString &amount = QStringLiteral("100"), int count = 1, int cadence = 2,
                          qint64 accountId = 0)
{
    DeadlineEntry e;
    e.typeKey = typeKey;
    e.description = description;
    e.amountText = amount;
    e.date = date;
    e.recurring = count > 1;
    e.count = count;
    e.cadenceIndex = cadence;
    e.accountId = accountId;
    return InsertDeadlines(e);
}

// Acts on the modal dialog of this class once its event loop runs. Gives
// up after about two seconds, hiding whatever modal window is left, so a
// test fails instead of hanging.
inline void whenModal(const char *className, std::function<void(QWidget *)> act, int tries = 200)
{
    QTimer::singleShot(10, qApp, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->inherits(className) && w->isVisible()) {
            act(w);
            return;
        }
        if (tries > 0) {
            whenModal(className, act, tries - 1);
            return;
        }
        qWarning("no modal %s appeared", className);
        if (w)
            w->hide();
    });
}

template<typename T>
T *child(QWidget *parent, const char *name)
{
    T *w = parent->findChild<T *>(QLatin1String(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

// Lets queued focus changes and deferred deletions happen.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace velto::test
