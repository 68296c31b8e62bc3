#include "ui/main/program.h"

#include "app/mainmod.h"
#include "app/startup.h"
#include "ui/main/frmmain.h"
#include "ui/main/frmsplash.h"
#include "ui/common/widgetprompts.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QThread>

#include <memory>

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

    auto splash = std::make_unique<frmSplash>();
    splash->show();
    QApplication::processEvents();

    frmMain main(prompts);
    prompts.setOwner(&main);
    main.Form_Load();
    QApplication::processEvents();
    QThread::msleep(1000);
    splash.reset();

    main.show();
    return QApplication::exec();
}

} // namespace velto
