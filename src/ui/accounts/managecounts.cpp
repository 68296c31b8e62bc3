#include "ui/accounts/managecounts.h"

#include "ui/accounts/frmAccounts.h"

#include <QPointer>

namespace velto {

frmAccounts *ManageCounts(QWidget *owner, UserPrompts &prompts)
{
    static QPointer<frmAccounts> window;
    if (!window)
        window = new frmAccounts(owner, prompts);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace velto
