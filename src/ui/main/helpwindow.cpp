#include "ui/main/helpwindow.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "ui/common/widgetprompts.h"
#include "ui/widgets/accessibility.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velto {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    installAccessibility(); // read as a window, not as a filler
    const QString title = app().AppTitle + QStringLiteral(" - ") + QString(LoadResString(603)).remove(u'&');
    setWindowTitle(title);
    setAccessibleName(title);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setAccessibleName(title);
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 640);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpWindow::load(const QString &file)
{
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return !m_browser->document()->isEmpty();
}

HelpWindow *showHelp(QWidget *parent, UserPrompts *prompts)
{
    static QPointer<HelpWindow> window;
    const QString file = app().HelpFile;
    if (!window) {
        window = new HelpWindow(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!window->load(file)) {
        delete window;
        WidgetPrompts fallback(parent);
        UserPrompts &p = prompts ? *prompts : static_cast<UserPrompts &>(fallback);
        p.message(LoadResString(1359) + QStringLiteral("\r\n") + QDir::toNativeSeparators(file), MessageIcon::Critical);
        return nullptr;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace velto
