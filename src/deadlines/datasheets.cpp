#include "deadlines/datasheets.h"

#include "app/backups.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/namecollation.h"
#include "deadlines/undohistory.h"

#include <algorithm>

namespace velto {

namespace {

Status refused(const QString &text)
{
    return Status::failure(kErrorInUse, text);
}

// No text of its own: the rename simply did not happen.
Status missing()
{
    return Status::failure(kErrorMissing, LoadResString(1323));
}

constexpr int kSheetGone = 1800;

qint64 firstValue(Recordset &rs)
{
    return rs.eof() ? 0 : rs.intValue(0, 0);
}

// Above every id given so far, and remembered as given: a deleted sheet's id
// never names another sheet.
Status allocateSheetId(Connection &cn, int *id)
{
    Recordset rs;
    Status st = rs.open(sql::nextSheetId(), cn, CursorType::ForwardOnly);
    if (!st)
        return st;
    const qint64 highest = firstValue(rs);
    rs.close();
    if (!(st = rs.open(sql::sheetCounter(), cn, CursorType::ForwardOnly)))
        return st;
    const bool counted = !rs.eof();
    const qint64 given = firstValue(rs);
    rs.close();
    *id = int(std::max(highest, given) + 1);
    return cn.execute(counted ? sql::setSheetCounter(*id) : sql::addSheetCounter(*id));
}

Status blankRefused(const QString &trimmed)
{
    return trimmed.isEmpty() ? Status::failure(kErrorInvalidEntry, LoadResString(1411)) : Status::success();
}

Status deletable(Connection &cn, int id, int activeSheetId)
{
    Status st = checkSheetExists(cn, id);
    if (!st)
        return st;
    Recordset rs;
    if (!(st = rs.open(sql::listSheets(), cn, CursorType::Static)))
        return st;
    if (rs.recordCount() <= 1)
        return refused(LoadResString(1405));
    if (id == activeSheetId)
        return refused(LoadResString(1406));
    // Sheet 1 is where start-up falls back when the stored sheet is gone.
    if (id == kFallbackSheetId)
        return refused(QStringLiteral("UNO"));
    return Status::success();
}

} // namespace

int dataSheetNameMaxLength()
{
    return fieldSize(u"Dbs", u"DbName");
}

Status listDataSheets(const QString &connectionString, QList<DataSheet> *out)
{
    out->clear();
    Recordset rs;
    const Status st = rs.open(sql::listSheets(), connectionString, CursorType::Static);
    if (!st)
        return st;
    const int idField = rs.fieldIndex(u"DbId");
    const int nameField = rs.fieldIndex(u"DbName");
    QList<DataSheet> sheets;
    for (; !rs.eof(); rs.moveNext())
        sheets.append({int(rs.intValue(idField)), rs.isNull(nameField) ? QString() : rs.textValue(nameField)});
    sortByName(sheets);
    *out = std::move(sheets);
    return Status::success();
}

Status dataSheetName(const QString &connectionString, int id, QString *name)
{
    Recordset rs;
    const Status st = rs.open(sql::lookupSheet(id), connectionString, CursorType::Static);
    if (!st)
        return st;
    if (rs.eof())
        return missing();
    *name = rs.textValue(rs.fieldIndex(u"DbName"));
    return Status::success();
}

Status createDataSheet(const QString &connectionString, const QString &name, int *newId, UndoHistory *history)
{
    const QString trimmed = name.trimmed();
    Status st = blankRefused(trimmed);
    if (!st)
        return st;
    int id = 0;
    st = recordedWrite(connectionString, history, ChangeKind::NewSheet, [&](Connection &cn, ChangeRecorder &recorder) {
        Status read = allocateSheetId(cn, &id);
        if (read)
            read = cn.execute(sql::createSheet(id, trimmed));
        return read ? recorder.afterAlso(RecordTable::Sheets, sql::lookupSheet(id)) : read;
    });
    if (st && newId)
        *newId = id;
    return st;
}

Status renameDataSheet(const QString &connectionString, int id, const QString &name, UndoHistory *history)
{
    const QString trimmed = name.trimmed();
    Status st = blankRefused(trimmed);
    if (!st)
        return st;
    qint64 affected = 0;
    // A sheet gone meanwhile changes nothing, so nothing is recorded.
    st = recordedWrite(connectionString, history, ChangeKind::RenameSheet,
                       [&](Connection &cn, ChangeRecorder &recorder) {
                           Status work = recorder.before(RecordTable::Sheets, sql::lookupSheet(id));
                           if (work)
                               work = cn.execute(sql::renameSheet(trimmed, id), &affected);
                           return work ? recorder.after() : work;
                       });
    if (st && affected == 0)
        return Status::failure(kErrorMissing, LoadResString(kSheetGone));
    return st;
}

Status checkDataSheetDeletable(const QString &connectionString, int id, int activeSheetId)
{
    Connection cn;
    const Status st = cn.open(connectionString);
    return st ? deletable(cn, id, activeSheetId) : st;
}

Status deleteDataSheet(const QString &connectionString, int id, int activeSheetId, UndoHistory *history)
{
    // A refused delete makes no backup; the transaction below checks again.
    Status st = checkDataSheetDeletable(connectionString, id, activeSheetId);
    if (!st || !(st = backupBeforeDeleting(connectionString)))
        return st;
    return recordedWrite(connectionString, history, ChangeKind::DeleteSheet,
                         [&](Connection &cn, ChangeRecorder &recorder) {
                             Status work = deletable(cn, id, activeSheetId);
                             if (work)
                                 work = recorder.before(RecordTable::Deadlines, sql::sheetDeadlines(id));
                             if (work)
                                 work = recorder.before(RecordTable::Sheets, sql::lookupSheet(id));
                             if (work)
                                 work = cn.execute(sql::deleteSheetDeadlines(id));
                             if (work)
                                 work = cn.execute(sql::deleteSheet(id));
                             return work ? recorder.after() : work;
                         });
}

Status checkSheetExists(Connection &connection, qint64 sheetId)
{
    Recordset rs;
    const Status st = rs.open(sql::lookupSheet(sheetId), connection, CursorType::ForwardOnly);
    if (!st)
        return st;
    return rs.eof() ? Status::failure(kErrorMissing, LoadResString(kSheetGone)) : rs.status();
}

} // namespace velto
