#pragma once
// The benchmarks' files: one temporary folder for the run, with an empty
// database to copy from and the large databases the queries read.

#include "data/schema.h"
#include "deadlines/mainrows.h"
#include "deadlines/series.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>

namespace velto {

class BenchFolder
{
public:
    static BenchFolder &instance()
    {
        static BenchFolder folder;
        return folder;
    }

    [[nodiscard]] QString emptyDatabase() const { return m_dir.path() + QStringLiteral("/empty.mdb"); }
    [[nodiscard]] QString writeFolder() const { return m_dir.path() + QStringLiteral("/write"); }
    [[nodiscard]] QString writeDatabase() const { return writeFolder() + QStringLiteral("/velto.mdb"); }

    // A fresh empty database in the write folder.
    bool resetWriteDatabase() const
    {
        QFile::remove(writeDatabase());
        QFile::remove(writeDatabase() + QStringLiteral("-journal"));
        return QFile::copy(emptyDatabase(), writeDatabase())
            && QFile::setPermissions(writeDatabase(), QFile::ReadOwner | QFile::WriteOwner);
    }

    // The folder of a database with rows deadlines on data sheet 1, a third
    // of them without a client.
    QString queryFolder(int rows)
    {
        const QString folder = m_dir.path() + QStringLiteral("/query%1").arg(rows);
        const QString path = folder + QStringLiteral("/velto.mdb");
        if (QFile::exists(path))
            return folder;
        QDir().mkpath(folder);
        if (!QFile::copy(emptyDatabase(), path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
            return QString();
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *acc = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Accounts (AcName, AcNotes) VALUES (?, ?)", -1, &acc, nullptr);
        for (int a = 1; a <= 200; ++a) {
            const QByteArray name = QStringLiteral("Client %1 S.r.l.").arg(a).toUtf8();
            sqlite3_bind_text(acc, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(acc, 2, "Via Roma 1, Milano", -1, SQLITE_STATIC);
            sqlite3_step(acc);
            sqlite3_reset(acc);
        }
        sqlite3_finalize(acc);
        sqlite3_stmt *ins = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Transactions (TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, "
                           "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrNotes, TrGrpId) "
                           "VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &ins, nullptr);
        const QDate first(2020, 1, 1);
        for (int k = 0; k < rows; ++k) {
            const int type = k % 3 == 0 ? 1 : (k % 3 == 1 ? -1 : -2);
            const double value = type == -2 ? 0 : 10 + (k % 1000) * 1.25;
            const QByteArray date = first.addDays(k % 3000).toString(Qt::ISODate).toLatin1();
            const QByteArray description = QStringLiteral("Deadline number %1 of the book").arg(k).toUtf8();
            const bool grouped = k % 4 == 0;
            sqlite3_bind_int(ins, 1, type);
            sqlite3_bind_int(ins, 2, k % 5 == 0);
            sqlite3_bind_text(ins, 3, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 4, description.constData(), int(description.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(ins, 5, k % 3 == 2 ? 0 : 1 + k % 200);
            sqlite3_bind_double(ins, 6, value);
            sqlite3_bind_double(ins, 7, value * (type == -2 ? 0 : type));
            sqlite3_bind_text(ins, 8, grouped ? "m" : "n", 1, SQLITE_STATIC);
            if (grouped) {
                sqlite3_bind_int(ins, 9, 1 + k % 12);
                sqlite3_bind_int(ins, 10, 12);
            } else {
                sqlite3_bind_null(ins, 9);
                sqlite3_bind_null(ins, 10);
            }
            if (k % 10 == 0)
                sqlite3_bind_text(ins, 11, "Call before paying", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(ins, 11);
            sqlite3_bind_int(ins, 12, grouped ? 1 + k / 48 : 0);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return folder;
    }

private:
    BenchFolder()
    {
        QDir().mkpath(writeFolder());
        createDatabaseFile(emptyDatabase());
    }

    QTemporaryDir m_dir;
};

// The series the insert benchmarks write: a daily debit from a month's end.
inline DeadlineEntry seriesEntry(int count)
{
    DeadlineEntry e;
    e.type = DeadlineType::Debit;
    e.description = QStringLiteral("Monthly rent l'appartamento");
    e.amount = Currency::fromUnits(12345000);
    e.recurring = true;
    e.date = QDate(2027, 1, 31);
    e.count = count;
    e.cadence = Cadence::Daily;
    return e;
}

// One read of the main grid's rows, typed by the core, every row's values
// touched; false, with the benchmark skipped, when the read fails.
inline bool readMainRowsTouched(benchmark::State &state, const QString &connection, MainRows *rows)
{
    if (const Status st = readMainRows(connection, 1, MainFilter::All, QDate(), QDate(), rows); !st) {
        state.SkipWithError(st.message().toUtf8().constData());
        return false;
    }
    std::int64_t sum = 0;
    for (int i = 0; i < rows->size(); ++i)
        sum += rows->rowId(i) + rows->julianDay(i) + rows->balance(i).units() + rows->clientIndex(i);
    benchmark::DoNotOptimize(sum);
    return true;
}

} // namespace velto
