#include "cli/copycommand.h"

#include "app/commandline.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "cli/remindcommands.h"
#include "data/copydatabase.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cstdio>

namespace velto {

int copyDatabaseCommand(const QString &from, const QString &to)
{
    const QString source = keepPasswordForRun(from), target = keepPasswordForRun(to);
    Status st = copyDatabase(connectionStringFor(source), connectionStringFor(target));
    BookTotals copied;
    if (st)
        st = readBookTotals(connectionStringFor(target), &copied);
    if (!st) {
        std::fputs(qPrintable(QStringLiteral("velto: ") + userMessage(st) + QLatin1Char('\n')), stderr);
        return kExitError;
    }
    qint64 deadlines = 0;
    for (const BookTotals::Sheet &sheet : copied.perSheet)
        deadlines += sheet.deadlines;
    // The locations as given, less any password.
    const QLocale locale;
    std::fputs(qPrintable(LoadResString(1935).arg(source, target, locale.toString(copied.sheets),
                                                  locale.toString(copied.clients), locale.toString(deadlines))
                          + QLatin1Char('\n')),
               stdout);
    return 0;
}

int runCopyCommand(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(arguments);
    if (cl.action != CommandLine::Action::CopyDatabase)
        return -1;
    QCoreApplication application(argc, argv);
    settleLanguage();
    return copyDatabaseCommand(cl.copyFrom, cl.copyTo);
}

} // namespace velto
