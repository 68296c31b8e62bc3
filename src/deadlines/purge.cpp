#include "deadlines/purge.h"

#include "app/backups.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/datasheets.h"
#include "deadlines/undohistory.h"

namespace velto {

namespace {

Status requireDay(const QDate &day)
{
    return day.isValid() ? Status::success() : Status::failure(kErrorInvalidEntry, QStringLiteral("No day was given."));
}

} // namespace

Status countClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *count)
{
    Status st = requireDay(day);
    if (!st)
        return st;
    Recordset rs;
    st = rs.open(sql::countClosedUpTo(day, sheetId), connectionString, CursorType::Static);
    if (st)
        *count = rs.recordCount();
    return st;
}

Status purgeClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *deleted,
                       UndoHistory *history)
{
    Status st = requireDay(day);
    if (!st || !(st = backupBeforeDeleting(connectionString)))
        return st;
    qint64 affected = 0;
    st = recordedWrite(connectionString, history, ChangeKind::Purge, [&](Connection &cn, ChangeRecorder &recorder) {
        Status work = checkSheetExists(cn, sheetId);
        if (work)
            work = recorder.before(RecordTable::Deadlines, sql::closedUpTo(day, sheetId));
        if (work)
            work = cn.execute(sql::deleteClosedUpTo(day, sheetId), &affected);
        return work ? recorder.after() : work;
    });
    if (!st)
        return st;
    if (deleted)
        *deleted = affected;
    return st;
}

} // namespace velto
