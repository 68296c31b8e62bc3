// Writes a large database for timing the program on a big book: three data
// sheets (60%, 25% and 15% of the deadlines), 400 clients and suppliers,
// credits, debits and appointments over ten years around today (VELTO_TODAY
// moves it), a quarter of them in monthly series of twelve, most of the past
// closed.
//
//   velto_mkbook <folder> <deadlines>     (0: the empty template alone)
//
// creates <folder>/velto.mdb (replacing it) and stores the folder as the
// database folder in the settings (VELTO_SETTINGS_DIR), as velto_mksample does.

#include "app/mainmod.h"
#include "app/settings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

using namespace velto;

namespace {

int fail(const QString &what)
{
    QTextStream(stderr) << what << '\n';
    return 1;
}

const char *const kDescriptions[] = {
    "Fattura",           "Affitto ufficio",     "Bolletta luce",           "Rata leasing",
    "Acconto IVA",       "Assicurazione auto",  "Riunione condominio",     "Visita medica",
    "Consegna progetto", "Canone software",     "Saldo fornitura",         "Parcella consulenza",
    "Revisione caldaia", "Abbonamento riviste", "Stipendio collaboratore",
};

constexpr int kClients = 400;
constexpr int kSeriesLength = 12;

// Rows are written in key order from 1, so a series is numbered by the key
// of its first row, as the program numbers a new one.
Status writeDeadlines(Connection &cn, qint64 total)
{
    const QString columns = QStringLiteral("INSERT INTO Transactions ( TrDbId, TrType, TrDone, TrDate, TrDescription, "
                                           "TrAcId, TrValue, TrBalance, TrGrpType, TrGrpId");
    BoundStatement single(cn, columns + QStringLiteral(" ) SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?"));
    BoundStatement member(
        cn, columns + QStringLiteral(", TrGrpRow, TrGrpMDay ) SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?"));
    QRandomGenerator random(20260101);
    const QDate base = today();
    const qint64 firstSheetEnd = total * 60 / 100;
    const qint64 secondSheetEnd = total * 85 / 100;
    qint64 key = 1;
    while (key <= total) {
        const int sheet = key <= firstSheetEnd ? 1 : (key <= secondSheetEnd ? 2 : 3);
        const qint64 sheetEnd = sheet == 1 ? firstSheetEnd : (sheet == 2 ? secondSheetEnd : total);
        const int t = int(random.bounded(20));
        const int type = t < 9 ? 1 : (t < 18 ? -1 : -2);
        const qint64 account = random.bounded(10) == 0 ? 0 : 1 + random.bounded(kClients);
        const Currency value = type == -2
            ? Currency()
            : Currency::fromUnits((10 + random.bounded(5000)) * Currency::kScale + random.bounded(100) * 100);
        const QDate first = base.addDays(int(random.bounded(3650)) - 2920);
        QByteArray description = kDescriptions[random.bounded(int(std::size(kDescriptions)))];
        if (random.bounded(2) == 0)
            description += ' ' + QByteArray::number(random.bounded(9999) + 1);
        const bool series = random.bounded(36) == 0 && key + kSeriesLength - 1 <= sheetEnd;
        const int rows = series ? kSeriesLength : 1;
        for (int row = 1; row <= rows; ++row, ++key) {
            const QDate day = first.addMonths(row - 1);
            const bool done = random.bounded(100) < (day < base.addDays(-7) ? 85 : 3);
            BoundStatement &insert = series ? member : single;
            insert.add(sheet)
                .add(type)
                .add(done ? 1 : 0)
                .add(day)
                .add(description)
                .add(account)
                .add(value)
                .add(value * type);
            if (series)
                insert.add(u'm').add(key - row + 1).add(row).add(rows);
            else
                insert.add(u'n').add(0);
            if (Status st = insert.execute(); !st)
                return st;
        }
    }
    return Status::success();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return fail(QStringLiteral("usage: velto_mkbook <folder> <deadlines>"));
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const qint64 total = QByteArray(argv[2]).toLongLong();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/velto.mdb");
    QFile::remove(path);
    if (Status st = createDatabaseFile(path); !st)
        return fail(st.message());

    Connection cn;
    Status st = cn.open(connectionStringFor(folder));
    if (st)
        st = cn.beginTrans();
    // No deadlines: the empty template, as a first start makes it.
    const bool empty = total <= 0;
    for (int i = 2; st && !empty && i <= 3; ++i)
        st = cn.execute(sql::createSheet(i, QStringLiteral("Sheet %1").arg(i)));
    for (int a = 1; st && !empty && a <= kClients; ++a)
        st = cn.execute(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES (")
                        + sql::text(QStringLiteral("Client %1").arg(a, 3, 10, QLatin1Char('0'))) + QStringLiteral(", ")
                        + sql::text(a % 3 ? QString() : QStringLiteral("Pays at 60 days")) + QStringLiteral(")"));
    if (st)
        st = writeDeadlines(cn, total);
    if (st)
        st = cn.commitTrans();
    if (!st)
        return fail(st.message());
    cn.close();
    try {
        WriteSetting(HKEY_LOCAL_MACHINE, settingsKeyFor(QLatin1String(kAppTitle)), REG_SZ, QLatin1String(kCurDb),
                     folder);
    } catch (const RegistryError &e) {
        return fail(e.description);
    }
    QTextStream(stdout) << path << '\n';
    return 0;
}
