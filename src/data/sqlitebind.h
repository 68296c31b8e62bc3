#pragma once
// Binds a translated statement's values to a prepared SQLite statement, in
// the order of its '?' marks. The data layer's own; the fuzzer checks with it
// that a value written through the dialect step reads back the same.

#include "data/sqldialect.h"
#include "data/status.h"

struct sqlite3_stmt;

namespace velto {

Status bindParams(sqlite3_stmt *stmt, const TranslatedSql &t);

} // namespace velto
