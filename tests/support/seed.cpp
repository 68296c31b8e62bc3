#include "seed.h"

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/deadlinestore.h"
#include "testsupport.h"

namespace velto::test {

qint64 seedDeadline(int sheet, DeadlineType type, const QDate &day, const QString &description, qint64 account,
                    Currency value, bool done, qint64 group, int row, int count)
{
    Connection cn;
    if (!cn.open(app().ConnectionString))
        return 0;
    const int code = typeCode(type);
    const QString statement = group > 0
        ? sql::insertSeriesRow(sheet, code, day, description, account, value, signedAmount(type, value), u'm', row,
                               count, group)
        : sql::insertSingle(sheet, code, day, description, account, value, signedAmount(type, value), 0);
    if (!cn.execute(statement))
        return 0;
    const qint64 id = cn.lastInsertId();
    if (done && !cn.execute(sql::toggleDone(id)))
        return 0;
    return id;
}

QList<qint64> seedSeries(int sheet, DeadlineType type, const QDate &first, int count, const QString &description,
                         qint64 account, Currency value, qint64 group)
{
    QList<qint64> ids;
    for (int k = 0; k < count; ++k)
        ids << seedDeadline(sheet, type, first.addMonths(k), description, account, value, false, group, k + 1, count);
    return ids;
}

QStringList storedDescriptions()
{
    return column(QStringLiteral("SELECT TrDescription FROM Transactions ORDER BY TrDescription"));
}

bool numberedInOrder(const QList<Deadline> &rows)
{
    for (int k = 0; k < rows.size(); ++k) {
        if (rows[k].groupRow != k + 1 || rows[k].groupCount != rows.size())
            return false;
    }
    return true;
}

qint64 seedAccount(const QString &name, const QString &notes)
{
    Connection cn;
    if (!cn.open(app().ConnectionString))
        return 0;
    const Status st = cn.execute(QStringLiteral("INSERT INTO Accounts ( AcName, AcNotes ) SELECT ") + sql::text(name)
                                 + QStringLiteral(", ") + sql::text(notes));
    return st ? cn.lastInsertId() : 0;
}

void seedSheet(int id, const QString &name)
{
    exec(sql::createSheet(id, name));
}

Currency money(const char *invariant)
{
    return Currency::fromInvariant(QString::fromLatin1(invariant)).value_or(Currency());
}

QList<Deadline> storedDeadlines(const QString &where)
{
    QList<Deadline> out;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT * FROM Transactions WHERE ") + where
                     + QStringLiteral(" ORDER BY TrDate, TrRowId"),
                 app().ConnectionString, CursorType::Static))
        return out;
    for (; !rs.eof(); rs.moveNext())
        out.append(deadlineAt(rs));
    return out;
}

} // namespace velto::test
