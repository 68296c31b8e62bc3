#include "ui/deadlines/accountcombo.h"

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/recordset.h"

namespace velto {

AccountCombo::AccountCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(16);
    addItem(QString(), qint64(0));
}

Status AccountCombo::reload()
{
    Recordset rs;
    const Status st = rs.open(sql::accountPickList(), app().ConnectionString, CursorType::Static);
    if (!st)
        return st;
    const qint64 keep = boundValue();
    const int idField = rs.fieldIndex(u"AcId");
    const int nameField = rs.fieldIndex(u"AcName");
    clear();
    // The empty entry first: a deadline need not name anybody.
    addItem(QString(), qint64(0));
    for (; !rs.eof(); rs.moveNext())
        addItem(rs.textValue(nameField), rs.intValue(idField));
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
