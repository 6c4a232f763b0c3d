// The plug-in's hot paths in the simulated shell, for the instruction counts
// of scripts/perf and for the benchmarks: each path is set up once and then
// run as the shell runs it, as often as asked.
#pragma once

#include <string>

// Loads the plug-in into a fresh simulated shell (version 28, a console of
// 80 by 25 cells) and lets it settle. False when there is no such path or
// its argument does not fit.
bool SetUpPath(const std::string& path, const std::string& argument);
void RunPath(void);

// The paths and what each takes as its argument.
//   key-code                an ordinary key by code
//   key-name NAME           a key passed by name (version 24 table)
//   hotkey                  Shift-F12, the hotkey of slot 1
//   list                    LIST with an empty tail
//   tick-idle, tick-slow    a tick that finds nothing to do, and the 8th one
//   paint COLUMNS           the console overlay's paint, plain marks
//   paint-alt:LIST COLUMNS  the same with alternate column marks, LIST as
//                           for /I (for example "1,2,3=Red")
//   report                  TICKRAIL with no arguments
extern const char* const PathNames[];
