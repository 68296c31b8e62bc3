#pragma once
// The one definition of the database's tables. The template database, the
// upgrade tests and the input limits of the dialogs all read it.

#include "data/sqldialect.h"
#include "data/status.h"

#include <QList>
#include <QString>

namespace velto {

enum class FieldKind { Integer, SmallInt, YesNo, Date, Currency, Text, Memo };

struct FieldDef {
    const char *name;
    FieldKind kind;
    int size = 0; // defined size of text fields, in characters
    bool autoNumber = false;
    bool primaryKey = false;
    const char *defaultValue = nullptr;
};

struct TableDef {
    const char *name;
    QList<FieldDef> fields;
};

const QList<TableDef> &schemaTables();
const TableDef *findTable(QStringView name);
const FieldDef *findField(QStringView table, QStringView field);
// The primary key of a table, or nullptr.
const FieldDef *primaryKey(const TableDef &table);
// The declared SQL type the data layer reads back to type its values.
QString declaredType(const FieldDef &field);
// A field that databases of an older layout lack and the schema upgrade
// adds (TrGrpId).
bool addedByUpgrade(const TableDef &table, const FieldDef &field);
// The defined size of a text field, 0 for other fields or unknown names.
int fieldSize(QStringView table, QStringView field);

// The statement that adds a table of the schema to an older file, and does
// nothing where the table exists.
QString createTableIfMissing(QStringView table, Dialect dialect = Dialect::SQLite);

// The statements that create the tables, their indexes and the counters of
// a new database in the engine's own terms (no data sheet row).
QStringList schemaStatements(Dialect dialect, bool withGroupField = true);

// Creates a new database file with the three tables, their indexes and the
// data sheet row 1. withGroupField false gives the layout of databases
// written before deadline groups existed (for upgrade tests).
Status createDatabaseFile(const QString &path, bool withGroupField = true);

inline constexpr const char *kFirstDataSheetName = "Scadenziario";

} // namespace velto
