#pragma once

namespace velto {
// The whole program: start-up, then the main window's event loop.
int runProgram(int argc, char *argv[]);
} // namespace velto
