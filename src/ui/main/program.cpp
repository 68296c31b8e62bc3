#include "ui/main/program.h"

#include "app/mainmod.h"
#include "app/startup.h"
#include "ui/common/widgetprompts.h"
#include "ui/main/frmmain.h"
#include "ui/main/frmsplash.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

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

// With VELTO_STARTUP_TIMING set, one line on standard error once the main
// window is first shown on the screen: the wall clock in milliseconds since
// the epoch, the processor time spent so far and the process's resident
// memory, for timing the start from outside. Set to "quit", the program
// then ends.
class ShownReport : public QObject
{
public:
    explicit ShownReport(QWindow *window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            // After the window has handled its exposure: painted and flushed.
            QTimer::singleShot(0, this, &ShownReport::report);
        }
        return false;
    }

private:
    void report()
    {
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        QByteArray line = "velto: shown " + QByteArray::number(QDateTime::currentMSecsSinceEpoch())
            + " cpu=" + QByteArray::number(qint64(cpu.tv_sec) * 1000 + cpu.tv_nsec / 1000000) + "ms";
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &item : status.readAll().split('\n')) {
                if (item.startsWith("VmRSS:") || item.startsWith("VmHWM:"))
                    line += ' ' + item.simplified().replace(": ", "=").replace(" kB", "kB");
            }
        }
        std::fprintf(stderr, "%s\n", line.constData());
        std::fflush(stderr);
        if (qgetenv("VELTO_STARTUP_TIMING") == "quit")
            QCoreApplication::quit();
    }
};

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
    if (qEnvironmentVariableIsSet("VELTO_STARTUP_TIMING") && main.windowHandle())
        new ShownReport(main.windowHandle());
    return QApplication::exec();
}

} // namespace velto
