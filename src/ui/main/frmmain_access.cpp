// What screen readers hear of the deadline grid: the type cell names the
// type (and the place in a series) that its icon shows, and every cell of a
// record says whether the deadline is open or closed, which the grid shows
// only as grey strike-through. Fields are read by name, so the texts do not
// depend on where the columns stand.

#include "ui/main/frmmain.h"

#include "app/strings.h"
#include "ui/widgets/grid.h"

namespace velto {

void frmMain::gex_AccessibleText(int column, int bookmark, QString &text, QString &description)
{
    const bool typeColumn = m_gex->columnName(column).compare(u"TrType", Qt::CaseInsensitive) == 0;
    if (bookmark < 0) {
        if (typeColumn && text.isEmpty())
            text = LoadResString(1002); // the header carries no caption over the icons
        return;
    }
    auto field = [&](const char *name) { return m_gex->recordValue(bookmark, QLatin1String(name)); };
    description = LoadResString(field("TrDone").toBool() ? 1644 : 1645);
    if (!typeColumn)
        return;
    switch (field("TrType").toInt()) {
    case 1: text = LoadResString(1640); break;
    case -1: text = LoadResString(1641); break;
    case -2: text = LoadResString(1642); break;
    default: break; // an unknown code reads as it is shown
    }
    if (field("TrGrpId").toLongLong() > 0) {
        text += QStringLiteral(", ")
            + LoadResString(1643).arg(field("TrGrpRow").toInt()).arg(field("TrGrpMDay").toInt());
    }
}

} // namespace velto
