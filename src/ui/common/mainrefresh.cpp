#include "ui/common/mainrefresh.h"

namespace velto {

namespace {
MainRefresh *g_refresh = nullptr;
}

MainRefresh *mainRefresh()
{
    return g_refresh;
}
void setMainRefresh(MainRefresh *refresh)
{
    g_refresh = refresh;
}

} // namespace velto
