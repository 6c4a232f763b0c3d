// The test program on a machine that is someone's own: it keeps the
// settings' registry keys as it found them, reports the machine it ran on,
// and writes its log beside the test kit.
#pragma once

#include <windows.h>

#include <string>

// The settings' key and its parent, which every plug-in of the maker shares.
const WCHAR SettingsParentPath[] = L"Software\\OrvexPlugins";
const WCHAR SettingsPath[] = L"Software\\OrvexPlugins\\Tickrail";

// The folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();
bool KeyExists(HKEY root, LPCWSTR path);
// Whether the system is Wine, which says so through ntdll.
bool UnderWine();

// The settings' keys (HKCU's, and HKLM's where the process may write it)
// saved to `file` with every value's type and bytes, or their absence; put
// back exactly by RestoreSettingsKeys, which removes what the cases made and
// then the file. Each returns a line for the log.
std::string SaveSettingsKeys(const std::wstring& file);
std::string RestoreSettingsKeys(const std::wstring& file);

// What a report of a run needs first: Windows' version and build, the
// console host, each monitor's size and DPI, the process's DPI awareness.
std::string MachineReport();
// Whether the console is a pseudo console's hidden window (Windows Terminal
// and the like), where no console window shows.
bool UnderPseudoConsole();
// Gives the console window 80 by 25 visible cells, as the cases expect.
void SizeConsoleForCases();

// Copies everything the program prints on its standard output and error to
// `logFile` as well, until EndLog, which adds `lastLine` to both.
bool StartLog(const std::wstring& logFile);
void EndLog(const std::string& lastLine);
