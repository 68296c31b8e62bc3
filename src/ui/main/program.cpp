#include "ui/main/program.h"

#include "app/mainmod.h"
#include "app/startup.h"
#include "ui/main/widgetprompts.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace velto {

namespace {
float scrollBarWidthTwips()
{
    const int px = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return float(px * 1440.0 / dpi);
}
} // namespace

int runProgram(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QLatin1String(kAppTitle));
    QApplication::setApplicationVersion(QStringLiteral(VELTO_VERSION));
    WidgetPrompts prompts;
    if (!runStartup(prompts, scrollBarWidthTwips()))
        return 1;
    return 0;
}

} // namespace velto
