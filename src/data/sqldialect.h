#pragma once
// Translation of the program's statements, written in the desktop-database
// dialect (#mm/dd/yyyy# dates, True/False, "DELETE * FROM", qualified names
// in UPDATE ... SET), into the engine's: SQLite for a file, PostgreSQL for a
// server.
//
// Nothing between single quotes is ever rewritten. In data statements every
// literal is lifted out into a bound parameter, so statements that differ
// only in their values share one prepared statement ("shape").

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace velto {

struct SqlParam {
    enum Kind : std::uint8_t { Integer, Real, Text, Null };
    Kind kind = Integer;
    std::int64_t i = 0;
    double d = 0;
    QByteArray text; // UTF-8
};

struct TranslatedSql {
    QByteArray sql;               // the engine's text, UTF-8; '?' (SQLite) or '$n'
                                  // (PostgreSQL) for each lifted literal
    std::vector<SqlParam> params; // in order of the '?'
    QString error;                // non-empty when the text cannot be translated
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

enum class LiteralMode {
    Lift,      // literals become parameters (data statements)
    Inline,    // literals stay in the text (schema statements, display)
    Automatic, // Inline for CREATE/ALTER/DROP/PRAGMA, Lift otherwise
};

enum class Dialect : std::uint8_t { SQLite, PostgreSQL };

TranslatedSql translateSql(QStringView statement, LiteralMode mode = LiteralMode::Automatic,
                           Dialect dialect = Dialect::SQLite);

// A value read back from the engine (or checked for its field) as a bound
// parameter: numbers as numbers, text as text, Yes/No as the engine keeps
// it (1/0 in a file, a boolean on a server).
SqlParam sqlParam(const QVariant &value, Dialect dialect);

} // namespace velto
