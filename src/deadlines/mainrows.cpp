#include "deadlines/mainrows.h"

#include "data/catalogue.h"
#include "data/connection.h"
#include "data/rowreader.h"

#include <algorithm>

namespace velto {

int dateBucket(const QDate &date, Layout layout, const QDate &today)
{
    if (layout == Layout::ByDate) {
        if (date <= today)
            return 0;
        const QDate endOfMonth(today.year(), today.month(), today.daysInMonth());
        return date <= endOfMonth ? 1 : 2;
    }
    if (layout == Layout::ByMonth)
        return date.year() * 100 + date.month();
    return 0;
}

QString withSeriesCounter(const QString &description, bool member, int groupRow, int groupCount,
                          const QString &separator)
{
    if (!member || separator.isEmpty())
        return description;
    return description + QLatin1Char(' ') + QString::number(groupRow) + separator + QString::number(groupCount);
}

std::optional<DeadlineType> MainRows::type(int i) const
{
    return deadlineTypeFromCode(m_rows[i].type);
}

QDate MainRows::date(int i) const
{
    const qint32 day = m_rows[i].day;
    return day ? QDate::fromJulianDay(day) : QDate();
}

QString MainRows::description(int i) const
{
    const Row &r = m_rows[i];
    return QString::fromUtf8(m_text.constData() + r.description, r.descriptionLength);
}

std::optional<Currency> MainRows::amount(int i) const
{
    if (type(i) == DeadlineType::Appointment)
        return std::nullopt;
    return value(i);
}

QString MainRows::groupType(int i) const
{
    const char16_t letter = m_rows[i].groupType;
    return letter ? QString(QChar(letter)) : QString();
}

QString MainRows::notes(int i) const
{
    const Row &r = m_rows[i];
    return r.notesLength ? QString::fromUtf8(m_text.constData() + r.notes, r.notesLength) : QString();
}

qint64 MainRows::accountId(int i) const
{
    const int c = clientIndex(i);
    return c < 0 ? 0 : m_clients.at(c).id;
}

QString MainRows::accountName(int i) const
{
    const int c = clientIndex(i);
    return c < 0 ? QString() : m_clients.at(c).name;
}

QString MainRows::accountNotes(int i) const
{
    const int c = clientIndex(i);
    return c < 0 ? QString() : m_clients.at(c).notes;
}

int MainRows::dateBucket(int i, Layout layout, const QDate &today) const
{
    return velto::dateBucket(date(i), layout, today);
}

QString MainRows::shownDescription(int i, const QString &counterSeparator) const
{
    return withSeriesCounter(description(i), isSeriesMember(i), groupRow(i), groupCount(i), counterSeparator);
}

std::size_t MainRows::bytes() const
{
    std::size_t clients = 0;
    for (const Client &c : m_clients)
        clients += sizeof(Client) + std::size_t(c.name.size() + c.notes.size()) * 2;
    return std::size_t(m_rows.capacity()) * sizeof(Row) + std::size_t(m_text.capacity()) + clients;
}

// Reads a result of the main query's columns (those missing read as none)
// into compact rows with one prepared statement.
class MainRowsReader
{
public:
    // withClients: the statement names each row's client (TrAcId); the
    // book's clients are read first, in one read with the rows, so that both
    // come from the same state of the book.
    static Status read(const QString &connectionString, const QString &statement, bool withClients, MainRows *rows)
    {
        *rows = MainRows();
        std::vector<int> clientOf; // client key -> index in rows->m_clients, -1 for none
        Connection conn;
        Status st = conn.open(connectionString);
        if (st && withClients) {
            st = conn.beginRead();
            if (st)
                st = readClients(conn, rows, &clientOf);
        }
        if (st)
            st = readRows(conn, statement, clientOf, rows);
        if (st)
            st = conn.endRead();
        if (!st)
            *rows = MainRows();
        return st;
    }

    // The stored order, the sheet's index's: by date, then by key.
    static void sortByDate(MainRows *rows)
    {
        auto before = [](const MainRows::Row &a, const MainRows::Row &b) {
            return a.day != b.day ? a.day < b.day : a.rowId < b.rowId;
        };
        QList<MainRows::Row> &r = rows->m_rows;
        if (!std::is_sorted(r.begin(), r.end(), before))
            std::sort(r.begin(), r.end(), before);
    }

private:
    // Clients by key: keys are small counters, so a table indexed by them
    // finds each one without hashing.
    static constexpr qint64 kMaxIndexedClient = qint64(1) << 24;

    static Status readClients(Connection &conn, MainRows *rows, std::vector<int> *clientOf)
    {
        RowReader rd;
        if (const Status st = rd.open(sql::accountList(), conn); !st)
            return st;
        const int id = rd.column("AcId"), name = rd.column("AcName"), notes = rd.column("AcNotes");
        while (rd.next()) {
            const qint64 acId = rd.integer(id);
            if (acId <= 0 || acId >= kMaxIndexedClient)
                continue;
            if (std::size_t(acId) >= clientOf->size())
                clientOf->resize(std::size_t(acId) + 1, -1);
            (*clientOf)[std::size_t(acId)] = int(rows->m_clients.size());
            rows->m_clients.append({acId, QString::fromUtf8(rd.text(name)), QString::fromUtf8(rd.text(notes))});
        }
        return rd.status();
    }

    static Status readRows(Connection &conn, const QString &statement, const std::vector<int> &clientOf, MainRows *rows)
    {
        RowReader rd;
        if (const Status st = rd.open(statement, conn); !st)
            return st;
        const int rowId = rd.column("TrRowId"), sheet = rd.column("TrDbId"), type = rd.column("TrType"),
                  done = rd.column("TrDone"), date = rd.column("TrDate"), description = rd.column("TrDescription"),
                  account = rd.column("TrAcId"), value = rd.column("TrValue"), balance = rd.column("TrBalance"),
                  groupType = rd.column("TrGrpType"), groupRow = rd.column("TrGrpRow"),
                  groupCount = rd.column("TrGrpMDay"), notes = rd.column("TrNotes"), groupId = rd.column("TrGrpId");
        // A reload reads about as many rows as the last one did.
        static std::size_t lastRows = 0, lastText = 0;
        rows->m_rows.reserve(qsizetype(lastRows));
        rows->m_text.reserve(qsizetype(lastText));
        auto keep = [rows](QByteArrayView text, quint32 *offset, quint32 *length) {
            *offset = quint32(rows->m_text.size());
            *length = quint32(text.size());
            rows->m_text.append(text.data(), text.size());
        };
        while (rd.next()) {
            MainRows::Row r;
            r.rowId = rd.integer(rowId);
            r.sheetId = qint32(rd.integer(sheet));
            r.type = qint8(rd.integer(type));
            r.done = rd.integer(done) != 0;
            r.day = qint32(rd.julianDay(date));
            keep(rd.text(description), &r.description, &r.descriptionLength);
            r.value = rd.currency(value);
            r.balance = rd.currency(balance);
            if (const QByteArrayView letter = rd.text(groupType); !letter.isEmpty())
                r.groupType = char16_t(uchar(letter[0]));
            r.groupRow = qint32(rd.integer(groupRow));
            r.groupCount = qint32(rd.integer(groupCount));
            keep(rd.text(notes), &r.notes, &r.notesLength);
            r.groupId = rd.integer(groupId);
            // A deadline whose client is gone shows as one without.
            const qint64 acId = rd.integer(account);
            if (acId > 0 && std::size_t(acId) < clientOf.size())
                r.client = clientOf[std::size_t(acId)];
            rows->m_rows.push_back(r);
        }
        if (!rd.status())
            return rd.status();
        lastRows = std::size_t(rows->m_rows.size());
        lastText = std::size_t(rows->m_text.size());
        return Status::success();
    }
};

Status readMainRows(const QString &connectionString, int sheetId, MainFilter filter, const QDate &first,
                    const QDate &last, MainRows *rows)
{
    const QString statement = filter == MainFilter::CalendarPeriod
        ? sql::mainRowsPeriod(sheetId, first, last)
        : sql::mainRows(sheetId, sql::mainFilter(int(filter)));
    const Status st = MainRowsReader::read(connectionString, statement, true, rows);
    if (st)
        MainRowsReader::sortByDate(rows);
    return st;
}

Status readStartList(const QString &connectionString, int sheetId, const QDate &first, const QDate &last,
                     MainRows *rows)
{
    return MainRowsReader::read(connectionString, sql::startPanel(first, last, sheetId), false, rows);
}

} // namespace velto
