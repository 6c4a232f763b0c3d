// Simulated shell (TakeCmd.dll): console output captured per stream, a
// variable table for ExpandVariables, the "HWND" answer of TakeCommandIPC,
// and a tab window that takes over the console window's title.
#pragma once

#include <string>

#include "types.h"

namespace sim {

// Output written through Printf, QPuts, CrLf (standard output) and
// Qprintf (to the handle it is given).
const std::wstring& StdOut();
const std::wstring& StdErr();
// Both streams as the console shows them, in the order they were written.
const std::wstring& Printed();
void ClearOutput();

// Variables for ExpandVariables, named without the "%" ("_4ver",
// "_batch", "noloadmsg"). An unknown variable expands to empty text.
void SetVariable(const std::wstring& name, const std::wstring& value);

// The text that TakeCommandIPC("HWND", ...) writes.
void SetHwndAnswer(const std::wstring& answer);

// The shell shows the console's title in `tab`: `delayMs` after each change
// of the console window's title the tab window takes it over; a negative
// delay never.
void SetTabFollowsConsoleTitle(HWND tab, int delayMs);

// Lets the shell act on the virtual clock (called when the clock moves).
void ShellAct();

}  // namespace sim
