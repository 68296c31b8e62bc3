#include "cli/remindcommands.h"

#include "app/commandline.h"
#include "app/desktopnotify.h"
#include "app/languages.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "data/connection.h"
#include "deadlines/datasheets.h"
#include "deadlines/duelist.h"
#include "deadlines/icalexport.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cstdio>

namespace velto {

namespace {

// How long a sent notification is listened to for its action: the login
// reminder stays in the background meanwhile, then ends on its own.
constexpr int kNotificationWaitMs = 10 * 60 * 1000;

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int failed(const QString &message)
{
    print(stderr, QStringLiteral("velto: ") + message + QLatin1Char('\n'));
    return kExitError;
}

} // namespace

void settleLanguage()
{
    AppState &s = app();
    s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
    const int language = preferences().languageChoice = Preferences::loadLanguageChoice();
    s.LanguageOffset =
        selectLanguage(language, language == 0 ? GetLocaleString(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE) : QString())
            .offset;
}

namespace {

// The language, database and active sheet the program would use, settled
// as its start does but without creating, copying or upgrading anything.
Status settleReadOnly()
{
    settleLanguage();
    AppState &s = app();
    s.DatabaseFolder = databaseLocation();
    s.ConnectionString = connectionStringFor(s.DatabaseFolder);
    if (isServerLocation(s.DatabaseFolder)) {
        Connection c;
        if (const Status st = c.open(s.ConnectionString); !st)
            return Status::failure(st.code(), userMessage(st));
        c.close();
        LoadCurrentDb();
        return Status::success();
    }
    switch (CheckDatabase(s.ConnectionString)) {
    case DatabaseCheck::Opens: break;
    case DatabaseCheck::InUse: return Status::failure(kErrorNotOpen, LoadResString(1540));
    case DatabaseCheck::Fails:
        return Status::failure(kErrorNotOpen,
                               LoadResString(1357) + QStringLiteral(": ") + s.DatabaseFolder + QLatin1Char('/')
                                   + QLatin1String(kDatabaseFileName));
    }
    LoadCurrentDb();
    return Status::success();
}

int sheetToRead(const CommandLine &cl)
{
    return cl.sheetId > 0 ? cl.sheetId : app().CurrentDbId;
}

// A sheet named on the command line that is not there is the user's
// mistake, told as such rather than as a failed read.
Status checkSheet(const CommandLine &cl)
{
    QString name;
    const Status st = dataSheetName(currentDatabase(), sheetToRead(cl), &name);
    if (st.code() == kErrorMissing)
        return Status::failure(kErrorMissing, LoadResString(1737).arg(sheetToRead(cl)));
    return st.ok() ? st : Status::failure(st.code(), userMessage(st));
}

Status readDue(const CommandLine &cl, QList<DueItem> *items)
{
    const QString &db = currentDatabase();
    const QDate last = today().addDays(cl.days);
    if (!cl.allSheets)
        return readOpenDeadlines(db, sheetToRead(cl), last, items);
    QList<DataSheet> sheets;
    if (const Status st = listDataSheets(db, &sheets); !st)
        return st;
    for (const DataSheet &sheet : sheets) {
        if (const Status st = readOpenDeadlines(db, sheet.id, last, items); !st)
            return st;
    }
    std::stable_sort(items->begin(), items->end(),
                     [](const DueItem &a, const DueItem &b) { return a.deadline.date < b.deadline.date; });
    return Status::success();
}

int runDue(const CommandLine &cl)
{
    if (const Status st = checkSheet(cl); !st)
        return failed(st.message());
    QList<DueItem> items;
    if (const Status st = readDue(cl, &items); !st)
        return failed(userMessage(st));
    const QLocale locale;
    if (items.isEmpty()) {
        // Nothing is sent: a reminder of nothing is noise.
        if (!cl.notify)
            print(stdout, LoadResString(1736) + QLatin1Char('\n'));
        return kExitNothingDue;
    }
    if (!cl.notify) {
        print(stdout, dueReport(items, locale));
        return kExitDue;
    }
    const DueSummary summary = dueSummary(items, locale);
    const Status sent = sendDesktopNotification({summary.summary, summary.body, LoadResString(1731)},
                                                QCoreApplication::applicationFilePath(), kNotificationWaitMs);
    if (!sent)
        return failed(LoadResString(1732).arg(sent.message()));
    return kExitDue;
}

int runExport(const CommandLine &cl)
{
    if (const Status st = checkSheet(cl); !st)
        return failed(st.message());
    if (const Status st = exportCalendar(currentDatabase(), sheetToRead(cl), cl.calendarFile); !st)
        return failed(userMessage(st));
    return 0;
}

} // namespace

int runReminderCommand(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(arguments);
    if (cl.action != CommandLine::Action::Due && cl.action != CommandLine::Action::ExportCalendar)
        return -1;
    // No display is needed or touched: a core application only.
    QCoreApplication application(argc, argv);
    if (const Status st = settleReadOnly(); !st)
        return failed(st.message());
    return cl.action == CommandLine::Action::Due ? runDue(cl) : runExport(cl);
}

} // namespace velto
