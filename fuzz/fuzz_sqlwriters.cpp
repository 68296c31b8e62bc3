// Fuzzes the value writers of the statement catalogue and the dialect
// translation behind every statement:
// - any text the user can type, written by sql::text into the statements
//   that carry user text, comes out of translateSql as a bound parameter
//   holding exactly its UTF-8 bytes, and a row inserted with it reads back
//   byte for byte;
// - amounts and dates written by sql::amount and sql::date come out as the
//   same value;
// - every translated statement is one statement SQLite accepts against the
//   real schema, with one parameter per lifted literal;
// - arbitrary statement text never crashes the translation, and whatever it
//   accepts has as many parameters as SQLite counts.
//
// - text typed as an amount is refused or read as the number it shows.
//
// Input: byte 0 selects the mode, bytes 1-8 an amount in ten-thousandths,
// bytes 9-12 a day, the rest is the text (UTF-8, or UTF-16 units so that
// lone surrogates come through too).

#include "data/catalogue.h"
#include "data/connection.h"
#include "data/currency.h"
#include "data/schema.h"
#include "data/sqldialect.h"
#include "data/sqlitebind.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

#include <unistd.h>

using namespace velto;

namespace {

// Amounts up to this many ten-thousandths survive the trip through a
// double exactly; the entry paths refuse larger ones.
constexpr std::int64_t kExactUnits = Currency::kMaxStoredUnits + 1;
const int kDescriptionSize = fieldSize(u"Transactions", u"TrDescription");
const int kSheetNameSize = fieldSize(u"Dbs", u"DbName");

[[noreturn]] void failWith(const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "fuzz_sqlwriters: %s\n%s\n", what, detail.constData());
    std::abort();
}

sqlite3 *g_db = nullptr;
std::map<QByteArray, sqlite3_stmt *> g_shapes;

void exec(const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(g_db, sql, nullptr, nullptr, &err) != SQLITE_OK)
        failWith("setup statement failed", QByteArray(sql) + ": " + (err ? err : ""));
}

// An in-memory copy of a database made by the program's own schema code.
void openDatabase()
{
    const QString path = QDir::tempPath() + QStringLiteral("/fuzz_sqlwriters_%1.db").arg(getpid());
    QFile::remove(path);
    const Status st = createDatabaseFile(path);
    if (!st)
        failWith("cannot create the schema", st.message().toUtf8());
    sqlite3 *file = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &file, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open(":memory:", &g_db);
    sqlite3_backup *b = sqlite3_backup_init(g_db, "main", file, "main");
    if (!b || sqlite3_backup_step(b, -1) != SQLITE_DONE)
        failWith("cannot copy the schema", sqlite3_errmsg(g_db));
    sqlite3_backup_finish(b);
    sqlite3_close(file);
    QFile::remove(path);
}

// The statement for a shape, prepared once: statements that differ only in
// their values share it.
sqlite3_stmt *prepared(const TranslatedSql &t, const QString &statement)
{
    auto it = g_shapes.find(t.sql);
    if (it != g_shapes.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    if (g_shapes.size() > 256) {
        for (auto &e : g_shapes)
            sqlite3_finalize(e.second);
        g_shapes.clear();
    }
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(g_db, t.sql.constData(), int(t.sql.size()), &stmt, &tail) != SQLITE_OK || !stmt)
        failWith("SQLite refuses the translated statement",
                 statement.toUtf8() + "\n-> " + t.sql + "\n" + sqlite3_errmsg(g_db));
    if (tail && *tail)
        failWith("the translation holds more than one statement", t.sql);
    if (sqlite3_bind_parameter_count(stmt) != int(t.params.size()))
        failWith("parameter count differs from the lifted literals", t.sql);
    g_shapes.emplace(t.sql, stmt);
    return stmt;
}

TranslatedSql translated(const QString &statement)
{
    TranslatedSql t = translateSql(statement);
    if (!t.ok())
        failWith("a catalogue statement does not translate", statement.toUtf8() + "\n" + t.error.toUtf8());
    return t;
}

void expectText(const TranslatedSql &t, std::size_t index, const QByteArray &bytes, const QString &statement)
{
    if (index >= t.params.size() || t.params[index].kind != SqlParam::Text || t.params[index].text != bytes)
        failWith("the text literal did not come through byte for byte", statement.toUtf8());
}

Currency currencyOfParam(const SqlParam &p)
{
    return p.kind == SqlParam::Integer ? Currency::fromUnits(p.i * Currency::kScale) : Currency::fromDouble(p.d);
}

// The length SQLite's length() gives UTF-8 text: characters before the
// first NUL.
int sqliteLength(const QByteArray &utf8)
{
    int n = 0;
    for (const char c : utf8) {
        if (c == 0)
            break;
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

// Runs a data statement and returns the text of `column` in the row it
// inserted. Text longer than its field must be refused by the engine, and
// then nothing is read back.
std::optional<QByteArray> insertAndReadBack(sqlite3_stmt *stmt, const TranslatedSql &t, const char *readBack,
                                            const QByteArray &text, int size)
{
    if (!bindParams(stmt, t))
        failWith("binding failed", t.sql);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    const bool fits = sqliteLength(text) <= size;
    if (!fits) {
        if (rc != SQLITE_CONSTRAINT)
            failWith("text over its field was not refused", t.sql);
        return std::nullopt;
    }
    if (rc != SQLITE_DONE)
        failWith("the insert failed", t.sql + "\n" + sqlite3_errmsg(g_db));
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(g_db, readBack, -1, &q, nullptr);
    sqlite3_bind_int64(q, 1, sqlite3_last_insert_rowid(g_db));
    QByteArray out;
    if (sqlite3_step(q) == SQLITE_ROW)
        out = QByteArray(reinterpret_cast<const char *>(sqlite3_column_blob(q, 0)), sqlite3_column_bytes(q, 0));
    else
        failWith("the inserted row is missing", t.sql);
    sqlite3_finalize(q);
    return out;
}

QByteArray readBackText(const char *readBack)
{
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(g_db, readBack, -1, &q, nullptr);
    sqlite3_bind_int64(q, 1, sqlite3_last_insert_rowid(g_db));
    QByteArray out;
    if (sqlite3_step(q) == SQLITE_ROW)
        out = QByteArray(reinterpret_cast<const char *>(sqlite3_column_blob(q, 0)), sqlite3_column_bytes(q, 0));
    else
        failWith("the inserted row is missing", readBack);
    sqlite3_finalize(q);
    return out;
}

// Inserts the row and reads TrValue back the way the data layer types a
// currency column.
std::optional<Currency> readAmount(sqlite3_stmt *stmt, const TranslatedSql &t)
{
    if (!bindParams(stmt, t))
        failWith("binding failed", t.sql);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc == SQLITE_CONSTRAINT)
        return std::nullopt; // the description is over its size
    if (rc != SQLITE_DONE)
        failWith("the insert failed", t.sql + "\n" + sqlite3_errmsg(g_db));
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(g_db, "SELECT TrValue FROM Transactions WHERE TrRowId=?", -1, &q, nullptr);
    sqlite3_bind_int64(q, 1, sqlite3_last_insert_rowid(g_db));
    Currency c;
    if (sqlite3_step(q) == SQLITE_ROW) {
        if (sqlite3_column_type(q, 0) == SQLITE_INTEGER)
            c = Currency::fromUnits(sqlite3_column_int64(q, 0) * Currency::kScale);
        else
            c = Currency::fromDouble(sqlite3_column_double(q, 0));
    }
    sqlite3_finalize(q);
    return c;
}

void checkWriters(std::uint8_t mode, std::int64_t units, std::uint32_t dayBits, const QString &text)
{
    if (units == INT64_MIN)
        units = 0; // no amount text reads as this; its magnitude has no int64
    const QByteArray bytes = text.toUtf8();
    const Currency value = Currency::fromUnits(units);
    const QDate day = QDate::fromJulianDay(QDate(1, 1, 1).toJulianDay() + qint64(dayBits % 3652059u));
    const int type = (mode & 2) ? -1 : 1;

    exec("SAVEPOINT f");

    // A single deadline: description, date and both amounts.
    QString s = sql::insertSingle(1, type, day, text, 7, value, value * type, 0);
    TranslatedSql t = translated(s);
    sqlite3_stmt *stmt = prepared(t, s);
    if (t.params.size() != 9)
        failWith("the single insert lifted the wrong number of values", s.toUtf8());
    expectText(t, 3, bytes, s);
    if (t.params[2].kind != SqlParam::Text || t.params[2].text != day.toString(Qt::ISODate).toLatin1())
        failWith("the date did not come through", s.toUtf8());
    // A minus sign stays in the text as an operator; the literal is the
    // magnitude.
    if (std::llabs(units) < kExactUnits
        && (currencyOfParam(t.params[5]) != Currency::fromUnits(std::llabs(units))
            || currencyOfParam(t.params[6]) != Currency::fromUnits(std::llabs(units))))
        failWith("the amount did not come through", s.toUtf8());
    const std::optional<Currency> stored = readAmount(stmt, t);
    if (stored.has_value() != (sqliteLength(bytes) <= kDescriptionSize))
        failWith("the engine's size check disagrees", s.toUtf8());
    if (stored && std::llabs(units) < kExactUnits && *stored != value)
        failWith("the amount read back differs", s.toUtf8());
    if (sqliteLength(bytes) <= kDescriptionSize
        && readBackText("SELECT TrDescription FROM Transactions WHERE TrRowId=?") != bytes)
        failWith("the description read back differs", s.toUtf8());

    // One deadline of a series.
    s = sql::insertSeriesRow(1, type, day, text, 0, value, value * type, u'm', 3, 12, 5);
    t = translated(s);
    stmt = prepared(t, s);
    if (t.params.size() != 11)
        failWith("the series insert lifted the wrong number of values", s.toUtf8());
    expectText(t, 3, bytes, s);
    const auto seriesText =
        insertAndReadBack(stmt, t, "SELECT TrDescription FROM Transactions WHERE TrRowId=?", bytes, kDescriptionSize);
    if (seriesText && *seriesText != bytes)
        failWith("the series description read back differs", s.toUtf8());

    // A data sheet created and renamed.
    s = sql::createSheet(2, text);
    t = translated(s);
    stmt = prepared(t, s);
    expectText(t, 1, bytes, s);
    const auto sheetName = insertAndReadBack(stmt, t, "SELECT DbName FROM Dbs WHERE rowid=?", bytes, kSheetNameSize);
    if (sheetName && *sheetName != bytes)
        failWith("the data sheet name read back differs", s.toUtf8());
    s = sql::renameSheet(text, 2);
    t = translated(s);
    prepared(t, s);
    expectText(t, 0, bytes, s);

    exec("ROLLBACK TO f");
    exec("RELEASE f");

    // Left inline (as schema statements are), the literal is still one
    // literal SQLite reads. SQL text ends at a NUL, so such text can only
    // travel as a parameter.
    if (!text.contains(QChar(0))) {
        const TranslatedSql inl = translateSql(sql::renameSheet(text, 2), LiteralMode::Inline);
        sqlite3_stmt *q = nullptr;
        const char *tail = nullptr;
        if (!inl.ok() || sqlite3_prepare_v2(g_db, inl.sql.constData(), int(inl.sql.size()), &q, &tail) != SQLITE_OK
            || (tail && *tail))
            failWith("the inline statement does not parse", inl.sql);
        sqlite3_finalize(q);
    }
}

// Any statement text: the translation may refuse it but must not crash, and
// what SQLite accepts of it has exactly the lifted parameters.
void checkStatement(const QString &statement)
{
    for (const QChar c : statement) {
        // Parameter markers of SQLite's own would be counted too.
        if (c == u'?' || c == u':' || c == u'@' || c == u'$')
            return;
    }
    const TranslatedSql t = translateSql(statement);
    if (!t.ok())
        return;
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(g_db, t.sql.constData(), int(t.sql.size()), &stmt, &tail) == SQLITE_OK && stmt) {
        // What follows the first statement (also after a NUL, where SQLite
        // stops reading) makes the data layer refuse the whole text.
        const QByteArray rest = QByteArray(tail, t.sql.constData() + t.sql.size() - tail).trimmed();
        if (!rest.isEmpty() && rest != ";") {
            sqlite3_finalize(stmt);
            return;
        }
        if (sqlite3_bind_parameter_count(stmt) != int(t.params.size()))
            failWith("parameter count differs from the lifted literals", statement.toUtf8() + "\n-> " + t.sql);
        if (!bindParams(stmt, t))
            failWith("binding failed", t.sql);
    }
    sqlite3_finalize(stmt);
}

// Text typed into an amount box: read as money it is either refused or a
// value that writes back as the same number, with its sign.
void checkAmountText(const QString &text)
{
    const std::optional<Currency> c = Currency::fromInvariant(text);
    if (!c)
        return;
    const std::optional<Currency> again = Currency::fromInvariant(c->toInvariant());
    if (!again || *again != *c)
        failWith("an amount does not read back as written", text.toUtf8());
    const QString t = text.trimmed();
    if (c->units() != 0 && (c->units() < 0) != t.startsWith(u'-'))
        failWith("an amount changed its sign", text.toUtf8());
    const std::optional<Currency> shown = Currency::fromLocaleText(c->toLocaleCurrency(QLocale::c()), QLocale::c());
    Q_UNUSED(shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!g_db)
        openDatabase();
    std::uint8_t head[13] = {};
    std::memcpy(head, data, size < sizeof head ? size : sizeof head);
    const std::uint8_t mode = head[0];
    std::int64_t units = 0;
    std::memcpy(&units, head + 1, 8);
    std::uint32_t dayBits = 0;
    std::memcpy(&dayBits, head + 9, 4);
    const char *rest = reinterpret_cast<const char *>(data) + (size < 13 ? size : 13);
    const std::size_t restSize = size < 13 ? 0 : size - 13;

    QString text;
    if (mode & 1) {
        text.resize(qsizetype(restSize / 2));
        std::memcpy(text.data(), rest, (restSize / 2) * 2);
    } else {
        text = QString::fromUtf8(rest, qsizetype(restSize));
    }
    if (mode & 8)
        checkAmountText(text);
    else if (mode & 4)
        checkStatement(text);
    else
        checkWriters(mode, units, dayBits, text);
    return 0;
}
