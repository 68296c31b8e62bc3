#pragma once
// How the deadline grid groups its rows: the four layouts of the View menu
// and the toolbar, in their order there.

namespace velto {

enum class Layout { Simple = 0, ByDate = 1, ByMonth = 2, ByClient = 3 };
inline constexpr int kLayoutCount = 4;

} // namespace velto
