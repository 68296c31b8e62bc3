#include "deadlines/mainquery.h"

#include "app/preferences.h"
#include "data/catalogue.h"
#include "data/recordset.h"
#include "deadlines/deadline.h"

namespace velto {

// A stored sort column is checked against the main query's columns.
static_assert(kSortColumnCount == kMainColumnCount);

Status openDeadlineDays(const QString &connectionString, int sheetId, const QDate &first, const QDate &last,
                        QList<QDate> *days)
{
    days->clear();
    Recordset rs;
    const Status st = rs.open(sql::boldDays(first, last, sheetId), connectionString);
    if (!st)
        return st;
    const int dateField = rs.fieldIndex(u"TrDate");
    for (; !rs.eof(); rs.moveNext())
        days->append(rs.dateValue(dateField));
    const Status read = rs.status();
    rs.close();
    return read;
}

Status anythingDueBy(const QString &connectionString, int sheetId, const QDate &day, bool *due)
{
    Recordset rs;
    const Status st = rs.open(sql::openDueUpTo(day, sheetId), connectionString);
    if (!st)
        return st;
    *due = !rs.eof();
    const Status read = rs.status();
    rs.close();
    return read;
}

} // namespace velto
