#pragma once
// Small helpers of the window tests: settle the event loop, read rows back,
// add deadlines as the new-deadline window would. For tests that link the
// widget library.

#include "app/mainmod.h"
#include "data/recordset.h"
#include "deadlines/series.h"
#include "promptrecorder.h"
#include "seed.h"
#include "whenmodal.h"

#include <QCoreApplication>
#include <QList>
#include <QVariantMap>

namespace velto::test {

using ScriptedPrompts = PromptRecorder;

// Lets windows closed with WA_DeleteOnClose go, and queued events run.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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

inline QList<QVariantMap> deadlines()
{
    return query(QStringLiteral("SELECT * FROM Transactions ORDER BY TrDate, TrRowId"));
}

inline bool run(const QString &statement)
{
    return seedExec(statement);
}

// A deadline (a series when count > 1) of the active data sheet.
inline Status addDeadline(DeadlineType type, const QDate &date, const QString &description,
                          const char *amount = "100", int count = 1, Cadence cadence = Cadence::Monthly,
                          qint64 accountId = 0)
{
    DeadlineEntry e;
    e.type = type;
    e.description = description;
    e.amount = money(amount);
    e.date = date;
    e.recurring = count > 1;
    e.count = count;
    e.cadence = cadence;
    e.accountId = accountId;
    return InsertDeadlines(app().ConnectionString, app().CurrentDbId, e);
}

} // namespace velto::test
