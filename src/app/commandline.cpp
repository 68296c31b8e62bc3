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
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "style", "stylesheet", "session", "display", "geometry", "qmljsdebugger",
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

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine result;
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
            if (hasInlineValue)
                name.truncate(eq);
            bool takesValue = false;
            if (isQtOption(name, &takesValue)) {
                if (takesValue && !hasInlineValue)
                    ++i;
                continue;
            }
        }
        // The program opens no files named on the command line, so a stray
        // word is as much a mistake as an unknown option.
        result.action = CommandLine::Action::Refuse;
        result.offending = arg;
        return result;
    }
    return result;
}

QString versionText()
{
    return QLatin1String(kAppTitle) + QLatin1Char(' ') + QLatin1String(VELTO_VERSION);
}

QString usageText()
{
    QString text;
    QTextStream out(&text);
    out << "Usage: velto [--help | --version]\n"
        << "Velto, a planner for deadlines: credits, debits and appointments.\n"
        << "\n"
        << "Options:\n"
        << "  -h, --help       show this text and exit\n"
        << "  -v, --version    show the version and exit\n"
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
        << " (holds appset_curdb, the chosen database folder;\n"
        << "                    it wins over " << (systemMachineFilePath().isEmpty() ? QStringLiteral("-") : systemMachineFilePath())
        << ", written only where you may)\n"
        << "  database          velto.mdb in the chosen database folder; without a choice in the\n"
        << "                    program folder when you may write there, otherwise in\n"
        << "                    " << userDatabaseFolder() << "\n"
        << "Back up by copying velto.mdb while Velto is closed, and the settings files.\n";
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
        return -1;
    case CommandLine::Action::ShowVersion:
        std::fputs(qPrintable(versionText() + QLatin1Char('\n')), stdout);
        return 0;
    case CommandLine::Action::ShowHelp:
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fputs(qPrintable(QStringLiteral("velto: unknown option or argument '%1'\n\n").arg(cl.offending)), stderr);
        std::fputs(qPrintable(usageText()), stderr);
        return 2;
    }
    return -1;
}

} // namespace velto
