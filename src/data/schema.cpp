#include "data/schema.h"

#include <QFile>

#include <sqlite3.h>

namespace velto {

const QList<TableDef> &schemaTables()
{
    static const QList<TableDef> tables = {
        {"Transactions",
         {
             {"TrRowId", FieldKind::Integer, 0, true, true},
             {"TrDbId", FieldKind::Integer},
             {"TrType", FieldKind::SmallInt},
             {"TrDone", FieldKind::YesNo, 0, false, false, "0"},
             {"TrDate", FieldKind::Date},
             {"TrDescription", FieldKind::Text, 255},
             {"TrAcId", FieldKind::Integer},
             {"TrValue", FieldKind::Currency},
             {"TrBalance", FieldKind::Currency},
             {"TrGrpType", FieldKind::Text, 1},
             {"TrGrpRow", FieldKind::SmallInt},
             {"TrGrpMDay", FieldKind::SmallInt},
             {"TrNotes", FieldKind::Memo, 65535},
             {"TrGrpId", FieldKind::Integer, 0, false, false, "0"},
         }},
        {"Accounts",
         {
             {"AcId", FieldKind::Integer, 0, true, true},
             {"AcName", FieldKind::Text, 100},
             {"AcNotes", FieldKind::Memo, 65535},
         }},
        {"Dbs",
         {
             {"DbId", FieldKind::Integer, 0, false, true},
             {"DbName", FieldKind::Text, 50},
         }},
        // The rule of a series beyond the five plain cadences, by series
        // number; a series without a row here follows its TrGrpType letter.
        {"SeriesRules",
         {
             {"SrGrpId", FieldKind::Integer, 0, false, true},
             {"SrRule", FieldKind::Text, 255},
         }},
    };
    return tables;
}

const TableDef *findTable(QStringView name)
{
    for (const TableDef &t : schemaTables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const FieldDef *findField(QStringView table, QStringView field)
{
    const TableDef *t = findTable(table);
    if (!t)
        return nullptr;
    for (const FieldDef &f : t->fields)
        if (field.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const FieldDef *primaryKey(const TableDef &table)
{
    for (const FieldDef &f : table.fields)
        if (f.primaryKey)
            return &f;
    return nullptr;
}

QString declaredType(const FieldDef &field)
{
    switch (field.kind) {
    case FieldKind::Integer: return QStringLiteral("INTEGER");
    case FieldKind::SmallInt: return QStringLiteral("SMALLINT");
    case FieldKind::YesNo: return QStringLiteral("BOOLEAN");
    case FieldKind::Date: return QStringLiteral("DATE");
    case FieldKind::Currency: return QStringLiteral("CURRENCY");
    case FieldKind::Text: return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldKind::Memo: return QStringLiteral("MEMO(%1)").arg(field.size);
    }
    return QString();
}

bool addedByUpgrade(const TableDef &table, const FieldDef &field)
{
    return (qstrcmp(table.name, "Transactions") == 0 && qstrcmp(field.name, "TrGrpId") == 0)
        || qstrcmp(table.name, "SeriesRules") == 0;
}

int fieldSize(QStringView table, QStringView field)
{
    const FieldDef *f = findField(table, field);
    return f && (f->kind == FieldKind::Text || f->kind == FieldKind::Memo) ? f->size : 0;
}

static QString createTableSql(const TableDef &t, bool withGroupField, bool ifMissing = false)
{
    QStringList cols;
    for (const FieldDef &f : t.fields) {
        if (!withGroupField && addedByUpgrade(t, f))
            continue;
        QString c = QLatin1String(f.name) + u' ' + declaredType(f);
        if (f.primaryKey)
            c += QStringLiteral(" PRIMARY KEY");
        // AUTOINCREMENT so that the id of a deleted row is never handed out again.
        if (f.autoNumber)
            c += QStringLiteral(" AUTOINCREMENT");
        if (f.defaultValue)
            c += QStringLiteral(" DEFAULT ") + QLatin1String(f.defaultValue);
        // The engine refuses text longer than its field, whichever statement
        // writes it, as the desktop engine did; nothing is ever cut short.
        if (f.kind == FieldKind::Text || f.kind == FieldKind::Memo)
            c += QStringLiteral(" CHECK (length(%1) <= %2)").arg(QLatin1String(f.name)).arg(f.size);
        cols << c;
    }
    return QStringLiteral("CREATE TABLE %1%2 (%3)")
        .arg(ifMissing ? QStringLiteral("IF NOT EXISTS ") : QString(), QLatin1String(t.name), cols.join(QStringLiteral(", ")));
}

QString createTableIfMissing(QStringView table)
{
    const TableDef *t = findTable(table);
    return t ? createTableSql(*t, true, true) : QString();
}

Status createDatabaseFile(const QString &path, bool withGroupField)
{
    if (QFile::exists(path))
        return Status::failure(SQLITE_CANTOPEN, QStringLiteral("The file already exists: %1").arg(path));
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        return Status::failure(rc, msg);
    }
    QStringList statements;
    statements << QStringLiteral("BEGIN");
    for (const TableDef &t : schemaTables()) {
        // The older layout has no table of series rules at all.
        if (withGroupField || !addedByUpgrade(t, t.fields.front()))
            statements << createTableSql(t, withGroupField);
    }
    // The WHERE clauses of the statements: data sheet and date, group, client.
    statements << QStringLiteral("CREATE INDEX TrDbDate ON Transactions (TrDbId, TrDate)")
               << QStringLiteral("CREATE INDEX TrAcId ON Transactions (TrAcId)")
               << QStringLiteral("CREATE INDEX AcName ON Accounts (AcName)");
    if (withGroupField)
        statements << QStringLiteral("CREATE INDEX TrGrpId ON Transactions (TrGrpId)");
    statements << QStringLiteral("INSERT INTO Dbs (DbId, DbName) VALUES (1, '%1')").arg(QLatin1String(kFirstDataSheetName))
               << QStringLiteral("COMMIT");
    for (const QString &s : statements) {
        char *err = nullptr;
        rc = sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            const QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
            sqlite3_free(err);
            sqlite3_close(db);
            QFile::remove(path);
            return Status::failure(rc, msg);
        }
    }
    rc = sqlite3_close(db);
    if (rc != SQLITE_OK)
        return Status::failure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    return Status::success();
}

} // namespace velto
