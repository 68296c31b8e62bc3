// Writes a sample database for screenshots and trying the program out:
// three data sheets, a dozen clients and suppliers, single deadlines and
// recurring series around today (VELTO_TODAY moves it), some closed.
//
//   velto_mksample <folder> [name=number ...]
//
// creates <folder>/velto.mdb (replacing it), stores the folder as the
// database folder in the settings (VELTO_SETTINGS_DIR) and writes the
// numeric user settings given, e.g. appset_intlang=6 appset_groupopt=3.

#include "app/mainmod.h"
#include "app/settings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/series.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTextStream>

using namespace velto;

namespace {

int fail(const QString &what)
{
    QTextStream(stderr) << what << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return fail(QStringLiteral("usage: velto_mksample <folder>"));
    QLocale::setDefault(QLocale::c());
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/velto.mdb");
    QFile::remove(path);
    if (Status st = createDatabaseFile(path); !st)
        return fail(st.message());
    app().DatabaseFolder = folder;
    app().ConnectionString = connectionStringFor(folder);
    setWritePauseMs(0);

    Connection cn;
    if (Status st = cn.open(app().ConnectionString); !st)
        return fail(st.message());
    const char *const sheets[] = {"Casa", "Studio"};
    for (int i = 0; i < 2; ++i) {
        if (Status st = cn.execute(sql::createSheet(i + 2, QString::fromUtf8(sheets[i]))); !st)
            return fail(st.message());
    }
    const char *const accounts[][2] = {
        {"Rossi Impianti Srl", "Manutenzione caldaia, tel. 02 555 0142"},
        {"Bianchi & Figli", "Pagamento a 60 giorni"},
        {"Enel Energia", "Contratto 4471-22"},
        {"Studio Verdi", "Commercialista"},
        {"Ferri Costruzioni", ""},
        {"Libreria Dante", "Sconto 10%"},
        {"Condominio Aurora", "Amministratore: Sig. Neri"},
        {"Telecom", "Linea ufficio"},
        {"Gallo Trasporti", "Fatture trimestrali"},
        {"Marini Consulting", ""},
        {"Assicurazioni Po", "Polizza RC 88-1290"},
        {"Colombo Forniture", "Carta e toner"},
    };
    for (const auto &a : accounts) {
        const QString statement = QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES (")
            + sql::text(QString::fromUtf8(a[0])) + QStringLiteral(", ") + sql::text(QString::fromUtf8(a[1]))
            + QStringLiteral(")");
        if (Status st = cn.execute(statement); !st)
            return fail(st.message());
    }
    cn.close();

    const char *const descriptions[] = {
        "Fattura",           "Affitto ufficio",     "Bolletta luce",           "Rata leasing",
        "Acconto IVA",       "Assicurazione auto",  "Riunione condominio",     "Visita medica",
        "Consegna progetto", "Canone software",     "Saldo fornitura",         "Parcella consulenza",
        "Revisione caldaia", "Abbonamento riviste", "Stipendio collaboratore",
    };
    const DeadlineType types[] = {DeadlineType::Credit, DeadlineType::Debit, DeadlineType::Appointment};
    QRandomGenerator random(20270115);
    const QDate base = today();
    for (int sheet = 1; sheet <= 3; ++sheet) {
        app().CurrentDbId = sheet;
        const int singles = sheet == 1 ? 160 : 60;
        for (int i = 0; i < singles; ++i) {
            DeadlineEntry e;
            const int t = int(random.bounded(10));
            e.type = types[t < 5 ? 0 : (t < 9 ? 1 : 2)];
            e.description = QString::fromUtf8(descriptions[random.bounded(int(std::size(descriptions)))]);
            if (e.type == DeadlineType::Credit || random.bounded(3) > 0)
                e.accountId = random.bounded(4) == 0 ? 0 : qint64(random.bounded(12)) + 1;
            if (e.type != DeadlineType::Appointment)
                e.amount =
                    Currency::fromUnits((50 + random.bounded(4000)) * Currency::kScale + random.bounded(10) * 1000);
            e.date = base.addDays(int(random.bounded(240)) - 90);
            if (Status st = InsertDeadlines(app().ConnectionString, sheet, e); !st)
                return fail(st.message());
        }
        const int series = sheet == 1 ? 8 : 3;
        for (int i = 0; i < series; ++i) {
            DeadlineEntry e;
            e.type = types[i % 3 == 2 ? 0 : 1];
            e.description = QString::fromUtf8(descriptions[(i * 5 + 1) % std::size(descriptions)]);
            e.accountId = qint64(random.bounded(12)) + 1;
            e.amount = Currency::fromUnits((100 + random.bounded(1500)) * Currency::kScale);
            e.recurring = true;
            e.count = 6 + int(random.bounded(7));
            e.cadence = i % 2 == 0 ? Cadence::Monthly : Cadence::Quarterly;
            e.date = base.addMonths(-3).addDays(int(random.bounded(28)));
            if (Status st = InsertDeadlines(app().ConnectionString, sheet, e); !st)
                return fail(st.message());
        }
    }
    // The past is mostly settled: close four in five of what fell due before last week.
    if (Status st = cn.open(app().ConnectionString); !st)
        return fail(st.message());
    Recordset past;
    const QString pastRows =
        QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrDate<") + sql::date(base.addDays(-7));
    if (Status st = past.open(pastRows, cn, CursorType::Static); !st)
        return fail(st.message());
    QList<qint64> toClose;
    for (; !past.eof(); past.moveNext()) {
        if (random.bounded(5) > 0)
            toClose << past.intValue(0);
    }
    past.close();
    for (qint64 id : toClose) {
        if (Status st = cn.execute(sql::toggleDone(id)); !st)
            return fail(st.message());
    }
    cn.close();
    try {
        const QString key = settingsKeyFor(QLatin1String(kAppTitle));
        WriteSetting(HKEY_LOCAL_MACHINE, key, REG_SZ, QLatin1String(kCurDb), folder);
        for (int i = 2; i < argc; ++i) {
            const QStringList pair = QString::fromLocal8Bit(argv[i]).split(u'=');
            if (pair.size() == 2)
                WriteSetting(HKEY_CURRENT_USER, key, REG_DWORD, pair[0], pair[1].toInt());
        }
    } catch (const RegistryError &e) {
        return fail(e.description);
    }
    QTextStream(stdout) << path << '\n';
    return 0;
}
