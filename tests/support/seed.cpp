#include "seed.h"

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/deadlinestore.h"

namespace velto::test {

bool seedExec(const QString &statement)
{
    Connection cn;
    if (!cn.open(app().ConnectionString))
        return false;
    const Status st = cn.execute(statement);
    if (!st)
        qWarning("%s: %s", qPrintable(statement), qPrintable(st.message()));
    return st.ok();
}

qint64 seedDeadline(int sheet, DeadlineType type, const QDate &day, const QString &description, qint64 account,
                    Currency value, bool done, qint64 group, int row, int count)
{
    Connection cn;
    if (!cn.open(app().ConnectionString))
        return 0;
    const int code = typeCode(type);
    const QString statement = group > 0
        ? sql::insertSeriesRow(sheet, code, day, description, account, value, signedAmount(type, value), u'm', row, count, group)
        : sql::insertSingle(sheet, code, day, description, account, value, signedAmount(type, value), 0);
    if (!cn.execute(statement))
        return 0;
    const qint64 id = cn.lastInsertId();
    if (done && !cn.execute(sql::toggleDone(id)))
        return 0;
    return id;
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
    seedExec(sql::createSheet(id, name));
}

Currency money(const char *invariant)
{
    return Currency::fromInvariant(QString::fromLatin1(invariant)).value_or(Currency());
}

QList<Deadline> storedDeadlines(const QString &where)
{
    QList<Deadline> out;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT * FROM Transactions WHERE ") + where + QStringLiteral(" ORDER BY TrDate, TrRowId"),
                 app().ConnectionString, CursorType::Static))
        return out;
    for (; !rs.eof(); rs.moveNext())
        out.append(deadlineAt(rs));
    return out;
}

} // namespace velto::test
