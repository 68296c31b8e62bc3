#include "ui/deadlines/deadlinedialogkeys.h"

#include "app/statustext.h"
#include "app/userprompts.h"
#include "ui/accounts/frmNewAcc.h"
#include "ui/deadlines/accountcombo.h"

#include <QKeyEvent>

namespace velto {

void addClientInto(QWidget *dialog, AccountCombo *box, UserPrompts &prompts)
{
    qint64 id = 0;
    {
        frmNewAcc editor(dialog, prompts);
        id = editor.Nuovo(QString());
    }
    if (id > 0) {
        const Status st = box->reload();
        if (st)
            box->setBoundValue(id);
        else
            prompts.message(userMessage(st), MessageIcon::Critical);
    }
    dialog->activateWindow();
    box->setFocus(Qt::OtherFocusReason);
}

bool deadlineDialogKey(QKeyEvent *event, const AccountCombo *box, const std::function<void()> &cancel,
                       const std::function<void()> &addClient)
{
    switch (event->key()) {
    case Qt::Key_Escape: cancel(); return true;
    case Qt::Key_F5:
        if (!box->hasFocus())
            return false;
        addClient();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return true;
    default: return false;
    }
}

} // namespace velto
