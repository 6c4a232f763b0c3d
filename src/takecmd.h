// The shell's exported functions that the plug-in calls (TakeCmd.dll).
// Printf and Qprintf format like wsprintfW: "%s" is a wide string.
#pragma once

extern "C" {
int Printf(LPCWSTR format, ...);
int Qprintf(HANDLE handle, LPCWSTR format, ...);
int QPuts(LPCWSTR text);
void CrLf(void);
int ExpandVariables(LPWSTR buffer, int recurse);
int TakeCommandIPC(LPCWSTR command, LPWSTR buffer);
}
