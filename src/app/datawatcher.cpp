#include "app/datawatcher.h"

#include "app/mainmod.h"
#include "data/datachange.h"

namespace velto {

DataWatcher::DataWatcher(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DataWatcher::tick);
    m_listener = addDataChangeListener([this] {
        // Told inside the workflow that committed: the windows read once
        // it has finished, and once for any number of commits before that.
        if (!m_pending.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_pending)
                        deliver();
                },
                Qt::QueuedConnection);
    });
}

DataWatcher::~DataWatcher()
{
    removeDataChangeListener(m_listener);
}

void DataWatcher::start(int periodMs)
{
    m_probe.watch(currentDatabase());
    m_timer.start(periodMs);
}

void DataWatcher::stop()
{
    m_timer.stop();
    m_probe.stop();
}

void DataWatcher::tick()
{
    if (m_probe.connectionString() != currentDatabase()) {
        // Another folder: the windows show another file now.
        m_probe.watch(currentDatabase());
        deliver();
        return;
    }
    if (m_probe.look() == DataVersionProbe::Look::Changed)
        deliver();
}

bool DataWatcher::catchUp()
{
    if (!m_pending
        && (m_probe.connectionString() != currentDatabase() || m_probe.look() != DataVersionProbe::Look::Changed))
        return false;
    deliver();
    return true;
}

void DataWatcher::deliver()
{
    m_pending = false;
    // The windows read after this look, so a commit from now on is seen by
    // the next tick and this process's own commits are not told twice.
    m_probe.look();
    emit dataChanged();
}

DataWatcher &dataWatcher()
{
    static DataWatcher watcher;
    return watcher;
}

} // namespace velto
