#pragma once
// The one notice that the database changed. Every successful commit of this
// process is announced here, and so is a whole file put in place (a restore);
// changes committed by other processes are announced by the watcher that
// listens for them. Windows subscribe to this notice instead of each writer
// calling its own list of refreshes.

#include <functional>

namespace velto {

using DataChangeListener = std::function<void()>;

// Tells every listener now, on the calling thread.
void announceDataChange();

// Returns a handle for removeDataChangeListener.
int addDataChangeListener(DataChangeListener listener);
void removeDataChangeListener(int handle);

} // namespace velto
