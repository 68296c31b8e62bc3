#include "ui/deadlines/accountcombo.h"

#include "app/mainmod.h"
#include "deadlines/clients.h"

namespace velto {

AccountCombo::AccountCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(16);
    addItem(QString(), qint64(0));
}

Status AccountCombo::reload()
{
    QList<Client> clients;
    const Status st = listClients(currentDatabase(), &clients);
    if (!st)
        return st;
    const qint64 keep = boundValue();
    clear();
    // The empty entry first: a deadline need not name anybody.
    addItem(QString(), qint64(0));
    for (const Client &c : clients)
        addItem(c.name, c.id);
    setBoundValue(keep);
    return Status::success();
}

qint64 AccountCombo::boundValue() const
{
    return currentIndex() < 0 ? 0 : currentData().toLongLong();
}

void AccountCombo::setBoundValue(qint64 accountId)
{
    const int i = findData(accountId);
    setCurrentIndex(i < 0 ? 0 : i);
}

} // namespace velto
