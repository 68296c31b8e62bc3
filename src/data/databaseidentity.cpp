#include "data/databaseidentity.h"

#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"

#include <QRandomGenerator>

namespace velto {

namespace {

// The key of the open connection; empty when the table or its row is missing.
QString readKey(Connection &c)
{
    Recordset rs;
    if (!rs.open(sql::readIdentity(), c) || rs.eof())
        return QString();
    return rs.textValue(0);
}

} // namespace

Status databaseIdentity(const QString &connectionString, QString *key)
{
    Connection c;
    if (const Status st = c.open(connectionString); !st)
        return st;
    *key = readKey(c);
    if (!key->isEmpty())
        return Status::success();
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString fresh;
    for (quint32 w : words)
        fresh += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    // Another process may create it meanwhile: whichever row stands first
    // is the key, read back inside the same transaction.
    return c.transaction([&]() -> Status {
        if (const Status st = c.execute(sql::createIdentityTable()); !st)
            return st;
        if (const Status st = c.execute(sql::insertIdentityIfNone(fresh)); !st)
            return st;
        *key = readKey(c);
        return key->isEmpty() ? Status::failure(kErrorMissing, QStringLiteral("DbIdentity")) : Status::success();
    });
}

} // namespace velto
