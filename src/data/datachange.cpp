#include "data/datachange.h"

#include <map>

namespace velto {

namespace {
std::map<int, DataChangeListener> &listeners()
{
    static std::map<int, DataChangeListener> all;
    return all;
}
int nextHandle = 1;
} // namespace

void announceDataChange()
{
    // A listener may remove itself (or another) while it is told.
    const auto copy = listeners();
    for (const auto &[handle, listener] : copy) {
        if (listeners().count(handle))
            listener();
    }
}

int addDataChangeListener(DataChangeListener listener)
{
    const int handle = nextHandle++;
    listeners().emplace(handle, std::move(listener));
    return handle;
}

void removeDataChangeListener(int handle)
{
    listeners().erase(handle);
}

} // namespace velto
