#include "data/sqldialect.h"

#include <QDate>

namespace velto {

namespace {

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Keywords are ASCII: compared without Unicode case folding, which would
// cost more than the rest of the translation of a word.
bool keywordIs(QStringView word, const char *kw)
{
    qsizetype i = 0;
    for (; kw[i]; ++i) {
        if (i >= word.size())
            return false;
        const char16_t c = word[i].unicode();
        const char16_t folded = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
        const char k = kw[i] >= 'a' && kw[i] <= 'z' ? char(kw[i] - 32) : kw[i];
        if (folded != char16_t(k))
            return false;
    }
    return i == word.size();
}

// "#mm/dd/yyyy#" (one- or two-digit month and day) to ISO text
// "yyyy-mm-dd". Read digit by digit: a series writes one per row.
bool parseDateLiteral(QStringView body, QByteArray *iso)
{
    body = body.trimmed();
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (const QChar ch : body) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            if (++part > 2)
                return false;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits[part] > 4)
                return false;
            parts[part] = parts[part] * 10 + (c - u'0');
        } else {
            return false;
        }
    }
    if (part != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 || digits[2] != 4)
        return false;
    const int m = parts[0], d = parts[1], y = parts[2];
    if (!QDate::isValid(y, m, d))
        return false;
    char buf[10] = {char('0' + y / 1000),
                    char('0' + y / 100 % 10),
                    char('0' + y / 10 % 10),
                    char('0' + y % 10),
                    '-',
                    char('0' + m / 10),
                    char('0' + m % 10),
                    '-',
                    char('0' + d / 10),
                    char('0' + d % 10)};
    *iso = QByteArray(buf, 10);
    return true;
}

class Translator
{
public:
    Translator(QStringView in, bool lift, Dialect dialect)
        : m_in(in), m_lift(lift), m_server(dialect == Dialect::PostgreSQL)
    {
        m_out.reserve(in.size() + 16);
    }

    TranslatedSql run()
    {
        const qsizetype n = m_in.size();
        qsizetype i = 0;
        while (i < n && m_result.error.isEmpty()) {
            const QChar c = m_in[i];
            if (c == u'\'') {
                i = stringLiteral(i);
            } else if (c == u'"' || c == u'[' || c == u'`') {
                i = quotedIdentifier(i, c == u'[' ? u']' : c);
            } else if (c == u'?' && m_server) {
                // A value mark of a bound statement takes its number.
                m_out += u'$' + QString::number(++m_marks);
                ++i;
            } else if (c == u'#') {
                i = dateLiteral(i);
            } else if (c.isDigit() || (c == u'.' && i + 1 < n && m_in[i + 1].isDigit())) {
                i = number(i);
            } else if (isIdentStart(c)) {
                i = word(i);
            } else if (c == u'-' && i + 1 < n && m_in[i + 1] == u'-') {
                i = lineComment(i);
            } else if (c == u'/' && i + 1 < n && m_in[i + 1] == u'*') {
                i = blockComment(i);
            } else {
                if (c == u'(')
                    ++m_depth;
                else if (c == u')')
                    --m_depth;
                else if (c == u';' && m_depth == 0)
                    m_clause = Clause::Other;
                m_out += c;
                ++i;
            }
        }
        if (m_valuesFrom >= 0) {
            // "INSERT ... SELECT v, ..." without a table: the server types
            // values by their target columns only in a VALUES list.
            if (m_depth == 0 && !m_selectHasTable)
                m_out.replace(m_valuesFrom, 6, QStringLiteral("VALUES (")).append(u')');
        }
        if (m_result.error.isEmpty())
            m_result.sql = m_out.toUtf8();
        return std::move(m_result);
    }

private:
    enum class Clause { Other, UpdateSet, OrderOrGroupBy };

    void fail(const QString &why, qsizetype at)
    {
        m_result.error = QStringLiteral("%1 at position %2").arg(why).arg(at + 1);
    }

    qsizetype stringLiteral(qsizetype start)
    {
        // Find the closing quote first; only a text with doubled quotes
        // needs a copy of its own.
        bool doubled = false;
        qsizetype i = start + 1;
        for (;;) {
            if (i >= m_in.size()) {
                fail(QStringLiteral("Unterminated text literal"), start);
                return i;
            }
            if (m_in[i] == u'\'') {
                if (i + 1 < m_in.size() && m_in[i + 1] == u'\'') {
                    doubled = true;
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            ++i;
        }
        if (m_lift) {
            const QStringView body = m_in.mid(start + 1, i - start - 2);
            SqlParam p;
            p.kind = SqlParam::Text;
            p.text =
                doubled ? body.toString().replace(QStringLiteral("''"), QStringLiteral("'")).toUtf8() : body.toUtf8();
            pushParam(std::move(p));
        } else {
            m_out += m_in.mid(start, i - start);
        }
        return i;
    }

    qsizetype quotedIdentifier(qsizetype start, QChar close)
    {
        qsizetype i = start + 1;
        while (i < m_in.size() && m_in[i] != close)
            ++i;
        if (i >= m_in.size()) {
            fail(QStringLiteral("Unterminated name"), start);
            return i;
        }
        ++i;
        if (m_server && close == u']') {
            // The server knows no brackets; an unquoted name folds as the
            // schema's own names do.
            m_out += m_in.mid(start + 1, i - start - 2);
            return i;
        }
        m_out += m_in.mid(start, i - start);
        return i;
    }

    qsizetype dateLiteral(qsizetype start)
    {
        const qsizetype close = m_in.indexOf(u'#', start + 1);
        QByteArray iso;
        if (close < 0 || !parseDateLiteral(m_in.mid(start + 1, close - start - 1), &iso)) {
            fail(QStringLiteral("Invalid date literal"), start);
            return m_in.size();
        }
        if (m_lift) {
            SqlParam p;
            p.kind = SqlParam::Text;
            p.text = std::move(iso);
            pushParam(std::move(p));
        } else {
            m_out += u'\'';
            m_out += QLatin1String(iso);
            m_out += u'\'';
        }
        return close + 1;
    }

    qsizetype number(qsizetype start)
    {
        qsizetype i = start;
        bool real = false;
        while (i < m_in.size() && m_in[i].isDigit())
            ++i;
        if (i < m_in.size() && m_in[i] == u'.') {
            real = true;
            ++i;
            while (i < m_in.size() && m_in[i].isDigit())
                ++i;
        }
        if (i < m_in.size() && (m_in[i] == u'e' || m_in[i] == u'E')) {
            qsizetype j = i + 1;
            if (j < m_in.size() && (m_in[j] == u'+' || m_in[j] == u'-'))
                ++j;
            if (j < m_in.size() && m_in[j].isDigit()) {
                real = true;
                i = j;
                while (i < m_in.size() && m_in[i].isDigit())
                    ++i;
            }
        }
        if (i < m_in.size() && isIdentChar(m_in[i])) {
            fail(QStringLiteral("Malformed number"), start);
            return m_in.size();
        }
        const QStringView text = m_in.mid(start, i - start);
        // A number in ORDER BY or GROUP BY names a column; it must stay.
        if (!m_lift || m_clause == Clause::OrderOrGroupBy) {
            m_out += text;
            return i;
        }
        SqlParam p;
        bool ok = false;
        if (!real) {
            p.kind = SqlParam::Integer;
            p.i = text.toLongLong(&ok);
        }
        if (!ok) {
            p.kind = SqlParam::Real;
            p.d = text.toDouble(&ok);
        }
        if (!ok) {
            fail(QStringLiteral("Malformed number"), start);
            return m_in.size();
        }
        pushParam(std::move(p));
        return i;
    }

    qsizetype word(qsizetype start)
    {
        qsizetype i = start;
        while (i < m_in.size() && isIdentChar(m_in[i]))
            ++i;
        const QStringView w = m_in.mid(start, i - start);
        const bool qualifier = i < m_in.size() && m_in[i] == u'.' && i + 1 < m_in.size()
            && (isIdentStart(m_in[i + 1]) || m_in[i + 1] == u'*' || m_in[i + 1] == u'[' || m_in[i + 1] == u'"');
        const bool afterDot = start > 0 && m_in[start - 1] == u'.';

        if (qualifier && m_clause == Clause::UpdateSet && m_depth == 0) {
            // SQLite takes no table name before the columns it sets.
            return i + 1;
        }
        if (!qualifier && !afterDot) {
            if (keywordIs(w, "True")) {
                m_out += m_server ? QStringLiteral("TRUE") : QStringLiteral("1");
                return i;
            }
            if (keywordIs(w, "False")) {
                m_out += m_server ? QStringLiteral("FALSE") : QStringLiteral("0");
                return i;
            }
            if (m_server && keywordIs(w, "sqlite_sequence")) {
                // The counters SQLite keeps of its keys; a server keeps the
                // ones the program needs beside its own sequences.
                m_out += QLatin1String("velto_sequence");
                return i;
            }
            if (m_depth == 0) {
                if (keywordIs(w, "SET") && m_statementIsUpdate)
                    m_clause = Clause::UpdateSet;
                else if (keywordIs(w, "WHERE") || keywordIs(w, "FROM") || keywordIs(w, "HAVING")
                         || keywordIs(w, "LIMIT") || keywordIs(w, "UNION") || keywordIs(w, "SELECT"))
                    m_clause = Clause::Other;
                else if (m_prevWasOrderOrGroup && keywordIs(w, "BY"))
                    m_clause = Clause::OrderOrGroupBy;
            }
            if (!m_seenFirstWord) {
                m_seenFirstWord = true;
                m_statementIsUpdate = keywordIs(w, "UPDATE");
                m_statementIsInsert = keywordIs(w, "INSERT");
            }
            if (m_server && m_statementIsInsert && m_depth == 0) {
                if (m_valuesFrom < 0 && keywordIs(w, "SELECT")) {
                    m_valuesFrom = m_out.size();
                } else if (m_valuesFrom >= 0 && (keywordIs(w, "FROM") || keywordIs(w, "WHERE"))) {
                    m_selectHasTable = true;
                }
            }
            m_prevWasOrderOrGroup = keywordIs(w, "ORDER") || keywordIs(w, "GROUP");
            if (keywordIs(w, "DELETE")) {
                m_out += w;
                // "DELETE * FROM": the star goes, the rest stays.
                qsizetype j = i;
                while (j < m_in.size() && m_in[j].isSpace())
                    ++j;
                if (j < m_in.size() && m_in[j] == u'*')
                    return j + 1;
                return i;
            }
        }
        m_out += w;
        return i;
    }

    qsizetype lineComment(qsizetype start)
    {
        qsizetype end = m_in.indexOf(u'\n', start);
        if (end < 0)
            end = m_in.size();
        m_out += m_in.mid(start, end - start);
        return end;
    }

    qsizetype blockComment(qsizetype start)
    {
        const qsizetype end = m_in.indexOf(QStringLiteral("*/"), start + 2);
        if (end < 0) {
            fail(QStringLiteral("Unterminated comment"), start);
            return m_in.size();
        }
        m_out += m_in.mid(start, end + 2 - start);
        return end + 2;
    }

    void pushParam(SqlParam &&p)
    {
        if (m_server)
            m_out += u'$' + QString::number(++m_marks);
        else
            m_out += u'?';
        m_result.params.push_back(std::move(p));
    }

    QStringView m_in;
    bool m_lift;
    bool m_server;
    int m_marks = 0;
    qsizetype m_valuesFrom = -1; // where "SELECT" of an INSERT stands in the output
    bool m_selectHasTable = false;
    bool m_statementIsInsert = false;
    QString m_out;
    TranslatedSql m_result;
    int m_depth = 0;
    Clause m_clause = Clause::Other;
    bool m_seenFirstWord = false;
    bool m_prevWasOrderOrGroup = false;
    bool m_statementIsUpdate = false;
};

bool isSchemaStatement(QStringView s)
{
    s = s.trimmed();
    for (const char *kw : {"CREATE", "ALTER", "DROP", "PRAGMA", "VACUUM", "ATTACH", "DETACH"}) {
        const qsizetype len = qsizetype(qstrlen(kw));
        if (s.size() >= len && s.left(len).compare(QLatin1String(kw), Qt::CaseInsensitive) == 0
            && (s.size() == len || !isIdentChar(s[len])))
            return true;
    }
    return false;
}

} // namespace

TranslatedSql translateSql(QStringView statement, LiteralMode mode, Dialect dialect)
{
    bool lift = mode == LiteralMode::Lift;
    if (mode == LiteralMode::Automatic)
        lift = !isSchemaStatement(statement);
    return Translator(statement, lift, dialect).run();
}

SqlParam sqlParam(const QVariant &value, Dialect dialect)
{
    SqlParam p;
    if (value.isNull()) {
        p.kind = SqlParam::Null;
        return p;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        if (dialect == Dialect::PostgreSQL) {
            p.kind = SqlParam::Text;
            p.text = value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
        } else {
            p.i = value.toBool() ? 1 : 0;
        }
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: p.i = value.toLongLong(); break;
    case QMetaType::Double:
        p.kind = SqlParam::Real;
        p.d = value.toDouble();
        break;
    case QMetaType::QByteArray:
        p.kind = SqlParam::Text;
        p.text = value.toByteArray();
        break;
    default:
        p.kind = SqlParam::Text;
        p.text = value.toString().toUtf8();
        break;
    }
    return p;
}

} // namespace velto
