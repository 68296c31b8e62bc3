#include "app/commandline.h"

#include "app/mainmod.h"
#include "app/registry.h"
#include "app/settings.h"

#include <QTextStream>

#include <cstdio>

namespace velto {

namespace {

// Options QGuiApplication and QApplication read themselves; those in the
// first list take a value as the next argument unless given as -name=value.
const char *const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "qwindowicon",   "qwindowtitle",
    "style",    "stylesheet",         "session",       "display", "geometry",        "qmljsdebugger",
};
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool isQtOption(const QString &name, bool *takesValue)
{
    for (const char *o : kQtOptionsWithValue) {
        if (name == QLatin1String(o)) {
            *takesValue = true;
            return true;
        }
    }
    for (const char *o : kQtFlags) {
        if (name == QLatin1String(o)) {
            *takesValue = false;
            return true;
        }
    }
    return false;
}

// The value of an option given as "--name=value" or as the next argument.
bool takeValue(const QStringList &arguments, qsizetype *i, const QString &inlineValue, bool hasInline, QString *value)
{
    if (hasInline) {
        *value = inlineValue;
        return true;
    }
    if (*i + 1 >= arguments.size())
        return false;
    *value = arguments.at(++*i);
    return true;
}

CommandLine refused(const QString &offending, const QString &reason = QString())
{
    CommandLine r;
    r.action = CommandLine::Action::Refuse;
    r.offending = offending;
    r.reason = reason;
    return r;
}

// Only the reminder commands take these options, each once and in a
// combination that makes sense; anything else is refused before any work.
CommandLine checkReminderOptions(CommandLine r, const QStringList &seen)
{
    const bool due = seen.contains(QLatin1String("due"));
    const bool ics = seen.contains(QLatin1String("export-ics"));
    if (seen.contains(QLatin1String("copy-database"))) {
        for (const QString &o : seen) {
            if (o != QLatin1String("copy-database"))
                return refused(QStringLiteral("--") + o, QStringLiteral("not with --copy-database"));
        }
    }
    if (due && ics)
        return refused(QStringLiteral("--export-ics"), QStringLiteral("--due and --export-ics are separate commands"));
    for (const char *o : {"days", "all-sheets", "notify"}) {
        if (seen.contains(QLatin1String(o)) && !due)
            return refused(QStringLiteral("--") + QLatin1String(o), QStringLiteral("only with --due"));
    }
    if (seen.contains(QLatin1String("sheet")) && !due && !ics)
        return refused(QStringLiteral("--sheet"), QStringLiteral("only with --due or --export-ics"));
    if (r.allSheets && r.sheetId > 0)
        return refused(QStringLiteral("--all-sheets"), QStringLiteral("either --sheet or --all-sheets"));
    for (const QString &o : seen) {
        if (seen.count(o) > 1)
            return refused(QStringLiteral("--") + o, QStringLiteral("given twice"));
    }
    if (!r.copyFrom.isEmpty())
        r.action = CommandLine::Action::CopyDatabase;
    else if (due)
        r.action = CommandLine::Action::Due;
    else if (ics)
        r.action = CommandLine::Action::ExportCalendar;
    return r;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine result;
    QStringList reminderOptions;
    // arguments[0] is the program itself.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            result.action = CommandLine::Action::ShowVersion;
            return result;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h") || arg == QLatin1String("-?")) {
            result.action = CommandLine::Action::ShowHelp;
            return result;
        }
        if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            const bool hasInlineValue = eq >= 0;
            const QString inlineValue = hasInlineValue ? name.mid(eq + 1) : QString();
            if (hasInlineValue)
                name.truncate(eq);
            if (arg.startsWith(QLatin1String("--"))) {
                QString value;
                if ((name == QLatin1String("due") || name == QLatin1String("all-sheets")
                     || name == QLatin1String("notify"))
                    && !hasInlineValue) {
                    reminderOptions << name;
                    result.allSheets = result.allSheets || name == QLatin1String("all-sheets");
                    result.notify = result.notify || name == QLatin1String("notify");
                    continue;
                }
                if (name == QLatin1String("copy-database") && !hasInlineValue) {
                    reminderOptions << name;
                    if (i + 2 >= arguments.size() || arguments.at(i + 1).isEmpty() || arguments.at(i + 2).isEmpty())
                        return refused(arg, QStringLiteral("two locations must follow"));
                    result.copyFrom = arguments.at(++i);
                    result.copyTo = arguments.at(++i);
                    continue;
                }
                if (name == QLatin1String("database")) {
                    if (!takeValue(arguments, &i, inlineValue, hasInlineValue, &value) || value.isEmpty())
                        return refused(arg, QStringLiteral("a folder or server address must follow"));
                    reminderOptions << name;
                    result.database = value;
                    continue;
                }
                if (name == QLatin1String("days") || name == QLatin1String("sheet")
                    || name == QLatin1String("export-ics")) {
                    if (!takeValue(arguments, &i, inlineValue, hasInlineValue, &value))
                        return refused(arg, QStringLiteral("a value must follow"));
                    reminderOptions << name;
                    bool number = false;
                    const int n = value.toInt(&number);
                    if (name == QLatin1String("days")) {
                        if (!number || n < 0 || n > kMaxDueDays)
                            return refused(value,
                                           QStringLiteral("--days takes a number from 0 to %1").arg(kMaxDueDays));
                        result.days = n;
                    } else if (name == QLatin1String("sheet")) {
                        if (!number || n < 1)
                            return refused(value, QStringLiteral("--sheet takes a data sheet's number"));
                        result.sheetId = n;
                    } else {
                        if (value.isEmpty())
                            return refused(arg, QStringLiteral("a file name must follow"));
                        result.calendarFile = value;
                    }
                    continue;
                }
            }
            bool takesValue = false;
            if (isQtOption(name, &takesValue)) {
                if (takesValue && !hasInlineValue)
                    ++i;
                continue;
            }
        }
        // The program opens no files named on the command line, so a stray
        // word is as much a mistake as an unknown option.
        return refused(arg);
    }
    return checkReminderOptions(result, reminderOptions);
}

QString versionText()
{
    return QLatin1String(kAppTitle) + QLatin1Char(' ') + QLatin1String(VELTO_VERSION);
}

QString usageText()
{
    QString text;
    QTextStream out(&text);
    out << "Usage: velto [--database LOCATION]\n"
        << "       velto --help | --version\n"
        << "       velto --due [--days N] [--sheet ID | --all-sheets] [--notify] [--database LOCATION]\n"
        << "       velto --export-ics FILE [--sheet ID] [--database LOCATION]\n"
        << "       velto --copy-database FROM TO\n"
        << "Velto, a planner for deadlines: credits, debits and appointments.\n"
        << "\n"
        << "Options:\n"
        << "  -h, --help       show this text and exit\n"
        << "  -v, --version    show the version and exit\n"
        << "  --database LOCATION  work on this database for this run only: a folder holding\n"
        << "                   velto.mdb, or a PostgreSQL server as postgresql://user@host:port/dbname\n"
        << "                   (a password in it is used, never stored)\n"
        << "  --copy-database FROM TO  copy a whole book between two locations (folders or\n"
        << "                   server addresses); TO must hold no data yet; exit status 0 or 2\n"
        << "  --due            print the open deadlines due today or earlier, then their total;\n"
        << "                   exit status 0 when something is due, 1 when nothing is, 2 on error\n"
        << "  --days N         with --due: also those due in the next N days\n"
        << "  --sheet ID       the data sheet to read instead of the active one\n"
        << "  --all-sheets     with --due: every data sheet\n"
        << "  --notify         with --due: send them as a desktop notification instead\n"
        << "  --export-ics FILE  write the open deadlines to an iCalendar file\n"
        << "Neither command opens a window or writes to the database.\n"
        << "Qt's own options (-platform, -style, ...) are passed on to Qt.\n"
        << "\n"
        << "Environment:\n"
        << "  VELTO_SETTINGS_DIR  folder for the settings files instead of the usual places\n"
        << "  VELTO_SYSTEM_SETTINGS_DIR  folder of the system's machine-wide settings file\n"
        << "  VELTO_TODAY         the date to take as today, as YYYY-MM-DD\n"
        << "  XDG_DATA_HOME, XDG_CONFIG_HOME  move the user's data and settings folders\n"
        << "\n"
        << "Where things live:\n"
        << "  user settings     " << hiveFilePath(HKEY_CURRENT_USER) << "\n"
        << "  machine settings  " << hiveFilePath(HKEY_LOCAL_MACHINE)
        << " (holds appset_curdb, the chosen database location;\n"
        << "                    it wins over "
        << (systemMachineFilePath().isEmpty() ? QStringLiteral("-") : systemMachineFilePath())
        << ", written only where you may)\n"
        << "  database          velto.mdb in the chosen database folder, or the chosen server's\n"
        << "                    database; without a choice in the program folder when you may\n"
        << "                    write there, otherwise in\n"
        << "                    " << userDatabaseFolder() << "\n"
        << "Back up by copying velto.mdb while Velto is closed, and the settings files;\n"
        << "a database on a server is backed up by the server's own means.\n";
    return text;
}

int handleCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(arguments);
    switch (cl.action) {
    case CommandLine::Action::Run:
    case CommandLine::Action::Due:
    case CommandLine::Action::ExportCalendar: setDatabaseForRun(cl.database); return -1;
    case CommandLine::Action::CopyDatabase: return -1;
    case CommandLine::Action::ShowVersion: std::fputs(qPrintable(versionText() + QLatin1Char('\n')), stdout); return 0;
    case CommandLine::Action::ShowHelp: std::fputs(qPrintable(usageText()), stdout); return 0;
    case CommandLine::Action::Refuse:
        std::fputs(qPrintable(cl.reason.isEmpty()
                                  ? QStringLiteral("velto: unknown option or argument '%1'\n\n").arg(cl.offending)
                                  : QStringLiteral("velto: '%1': %2\n\n").arg(cl.offending, cl.reason)),
                   stderr);
        std::fputs(qPrintable(usageText()), stderr);
        return 2;
    }
    return -1;
}

} // namespace velto
