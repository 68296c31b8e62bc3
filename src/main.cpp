#include "app/commandline.h"
#include "cli/copycommand.h"
#include "cli/remindcommands.h"
#include "ui/main/program.h"

int main(int argc, char *argv[])
{
    // --help and --version answer without a window system, and so do the
    // reminder commands and the copy of a database.
    if (const int status = velto::handleCommandLine(argc, argv); status >= 0)
        return status;
    if (const int status = velto::runReminderCommand(argc, argv); status >= 0)
        return status;
    if (const int status = velto::runCopyCommand(argc, argv); status >= 0)
        return status;
    return velto::runProgram(argc, argv);
}
