#include "ui/common/refreshorder.h"

#include "app/datawatcher.h"
#include "ui/common/mainrefresh.h"

namespace velto {

void showOwnWrite(qint64 rowId, bool viewChanged)
{
    if (!dataWatcher().catchUp() && viewChanged)
        reloadMainWindow();
    if (MainRefresh *m = mainRefresh(); m && rowId > 0)
        m->gexFind(rowId);
}

void reloadMainWindow()
{
    if (MainRefresh *m = mainRefresh())
        m->reloadAll();
}

} // namespace velto
