#include "ui/common/refreshorder.h"

#include "ui/common/mainrefresh.h"

namespace velto {

void refreshAfterDeadlineSave(qint64 rowId)
{
    MainRefresh *m = mainRefresh();
    if (!m)
        return;
    m->gexUpdate(m->currentFilterIndex());
    m->mvGetDayBold();
    m->gextasksUpdate();
    m->sbBallon();
    m->picStartVisible();
    m->gexFind(rowId);
}

void refreshBeforeRebind()
{
    MainRefresh *m = mainRefresh();
    if (!m)
        return;
    m->sbBallon();
    m->mvGetDayBold();
    m->gextasksUpdate();
}

void refreshAfterSheetChange()
{
    MainRefresh *m = mainRefresh();
    if (!m)
        return;
    m->gexUpdate(m->currentFilterIndex());
    m->gextasksUpdate();
    m->mvGetDayBold();
    m->picStartVisible();
    m->sbBallon();
}

void refreshStartPanelVisibility()
{
    if (MainRefresh *m = mainRefresh())
        m->picStartVisible();
}

} // namespace velto
