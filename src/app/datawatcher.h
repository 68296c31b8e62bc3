#pragma once
// The one "data changed" notice of the program. It is raised after every
// commit of this process (announceDataChange), delivered through the event
// loop and coalesced (three quick writes, one notice), and when another
// connection or process committed to the database the windows show or put
// another file in its place: a connection kept for it is asked on a short
// timer (a file watch never sees writes made from another machine on a
// network folder). The database followed is currentDatabase(), so a change
// of folder is followed at the next tick. Windows reload on the notice.

#include "data/dataversion.h"

#include <QObject>
#include <QTimer>

#include <atomic>

namespace velto {

class DataWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultPeriodMs = 300;

    explicit DataWatcher(QObject *parent = nullptr);
    ~DataWatcher() override;

    // Starts (or restarts) looking at currentDatabase() every period.
    void start(int periodMs = kDefaultPeriodMs);
    void stop();
    [[nodiscard]] bool isActive() const { return m_timer.isActive(); }

    // Delivers now what is waiting instead of on the next turn of the event
    // loop: this process's commits not yet told, and whatever another
    // connection committed. A window calls it after its own write, so the
    // next step it takes (making the new row current) meets the new state.
    // True when a notice was delivered.
    bool catchUp();

signals:
    void dataChanged();

private:
    void tick();
    void deliver();

    DataVersionProbe m_probe;
    QTimer m_timer;
    std::atomic<bool> m_pending{false};
    int m_listener = 0;
};

// The program's one watcher.
DataWatcher &dataWatcher();

} // namespace velto
