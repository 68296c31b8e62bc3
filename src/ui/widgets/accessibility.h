#pragma once
// The program's own accessibility interfaces: grids, drop-downs named by
// their labels, and plain widgets shown as windows (read as windows, not as
// fillers). Installed by the first grid, dialog frame or help window, once
// the application object exists (factories installed later take the lead
// over the ones Qt installs with it). Safe to call again.

namespace velto {

void installAccessibility();

} // namespace velto
