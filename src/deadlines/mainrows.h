#pragma once
// The rows the main window lists, read typed in one pass: the deadline
// grid's (by filter or calendar period) and the start list's. Whatever a
// row shows is computed here, not in the window: the deadline's type, the
// open balance, the date bucket of the by-date and by-month layouts, the
// series counter.
//
// A row is a few fixed-size fields; descriptions and notes lie as UTF-8 in
// one buffer of the result and become text only when asked for, and a
// client's name and notes are held once per client.

#include "app/layout.h"
#include "data/currency.h"
#include "data/status.h"
#include "deadlines/deadline.h"
#include "deadlines/mainquery.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace velto {

// The layouts' group options that group by date (1: due by today, later
// this month, after; 2: by month).

// The bucket of a date for the group option: 0 up to today, 1 later in the
// current month, 2 after it (by due date); year * 100 + month (by month); 0
// for any other option.
[[nodiscard]] int dateBucket(const QDate &date, Layout layout, const QDate &today);

// A description as the lists show it: for a member of a series, followed by
// its place and the series' size ("Rent 3/12" with separator "/"). An empty
// separator shows no counter.
[[nodiscard]] QString withSeriesCounter(const QString &description, bool member, int groupRow, int groupCount,
                                        const QString &separator);

class MainRows
{
public:
    [[nodiscard]] int size() const { return int(m_rows.size()); }
    [[nodiscard]] bool isEmpty() const { return m_rows.empty(); }

    [[nodiscard]] qint64 rowId(int i) const { return m_rows[i].rowId; }
    [[nodiscard]] int sheetId(int i) const { return m_rows[i].sheetId; }
    // None for a stored code the program does not know.
    [[nodiscard]] std::optional<DeadlineType> type(int i) const;
    [[nodiscard]] bool done(int i) const { return m_rows[i].done; }
    [[nodiscard]] QDate date(int i) const;
    [[nodiscard]] qint64 julianDay(int i) const { return m_rows[i].day; }
    [[nodiscard]] QString description(int i) const;
    // The amount, never negative; none for an appointment, which has none.
    [[nodiscard]] std::optional<Currency> amount(int i) const;
    [[nodiscard]] Currency value(int i) const { return m_rows[i].value; }
    // The amount with the type's sign.
    [[nodiscard]] Currency balance(int i) const { return m_rows[i].balance; }
    // What the deadline still counts in the totals: its balance while open, 0 once closed.
    [[nodiscard]] Currency openBalance(int i) const { return done(i) ? Currency() : balance(i); }
    [[nodiscard]] bool isSeriesMember(int i) const { return m_rows[i].groupId > 0; }
    [[nodiscard]] qint64 groupId(int i) const { return m_rows[i].groupId; }
    [[nodiscard]] int groupRow(int i) const { return m_rows[i].groupRow; }
    [[nodiscard]] int groupCount(int i) const { return m_rows[i].groupCount; }
    // "n" for a deadline on its own, else the series' cadence letter.
    [[nodiscard]] QString groupType(int i) const;
    [[nodiscard]] QString notes(int i) const;
    // 0 without a client/supplier.
    [[nodiscard]] qint64 accountId(int i) const;
    // Null without a client/supplier.
    [[nodiscard]] QString accountName(int i) const;
    [[nodiscard]] QString accountNotes(int i) const;
    // The row's client among the book's clients (clientName()); -1 for none.
    [[nodiscard]] int clientIndex(int i) const { return m_rows[i].client; }
    [[nodiscard]] int clientCount() const { return int(m_clients.size()); }
    [[nodiscard]] QString clientName(int client) const { return m_clients.at(client).name; }

    [[nodiscard]] int dateBucket(int i, Layout layout, const QDate &today) const;
    [[nodiscard]] QString shownDescription(int i, const QString &counterSeparator) const;

    // Memory held, for the benchmarks.
    [[nodiscard]] std::size_t bytes() const;

private:
    friend class MainRowsReader;
    struct Row {
        qint64 rowId = 0;
        qint64 groupId = 0;
        Currency value;
        Currency balance;
        qint32 day = 0;
        qint32 sheetId = 0;
        qint32 groupRow = 0;
        qint32 groupCount = 0;
        quint32 description = 0; // offset in m_text
        quint32 descriptionLength = 0;
        quint32 notes = 0;
        quint32 notesLength = 0;
        qint32 client = -1;
        char16_t groupType = 0;
        qint8 type = 0;
        bool done = false;
    };
    static_assert(QTypeInfo<Row>::isRelocatable);
    struct Client {
        qint64 id = 0;
        QString name;
        QString notes;
    };
    // A QList, whose growth reallocates in place where it can: a vector
    // would copy its rows into fresh memory at each doubling, every page of
    // it touched again.
    QList<Row> m_rows;
    QByteArray m_text;
    QList<Client> m_clients;
};

// The deadline grid's rows: the data sheet's deadlines with their client,
// by filter, or (CalendarPeriod) dated first to last, in the stored order.
Status readMainRows(const QString &connectionString, int sheetId, MainFilter filter, const QDate &first,
                    const QDate &last, MainRows *rows);
// The start list: the sheet's open deadlines dated first to last, newest first.
Status readStartList(const QString &connectionString, int sheetId, const QDate &first, const QDate &last,
                     MainRows *rows);

} // namespace velto
