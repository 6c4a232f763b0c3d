// The stand-in for the shell's TakeCmd.dll: what the harness sets and reads.
#pragma once

#include <windows.h>

extern "C" {
// A variable for ExpandVariables ("_4ver", "_batch", "noloadmsg"); a null
// value removes it. Unknown variables expand to empty text.
__declspec(dllimport) void StandInSetVariable(LPCWSTR name, LPCWSTR value);
__declspec(dllimport) void StandInSetHwndAnswer(LPCWSTR answer);
// What the plug-in wrote to standard output and standard error.
__declspec(dllimport) LPCWSTR StandInOutput(void);
__declspec(dllimport) LPCWSTR StandInError(void);
__declspec(dllimport) void StandInClear(void);
}
