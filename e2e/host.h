// The plug-in as the shell sees it, for the end-to-end cases: its exports,
// the thread's message pump, the shell's windows, and what the cases read
// back from windows, the registry and the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "expected_texts.h"

struct PluginInfoRecord {
    LPCWSTR name, author, email, webPage, description;
    LPWSTR functions;
    int majorVersion, minorVersion, build;
};

struct KeyRecord {
    int keyCode;
    int hostFields[5];
    void* hostPointer;
    void* hostPointers[2];
    LPWSTR keyName;
};

typedef PluginInfoRecord*(WINAPI* GetPluginInfoProc)(void);
typedef int(WINAPI* InitializePluginProc)(void);
typedef int(WINAPI* ShutdownPluginProc)(int);
typedef int(WINAPI* UsageProc)(LPWSTR, LPWSTR);
typedef int(WINAPI* HelpProc)(LPWSTR);
typedef int(WINAPI* CommandProc)(LPWSTR);
typedef int(WINAPI* KeyProc)(KeyRecord*);

struct Plugin {
    HMODULE module;
    GetPluginInfoProc getPluginInfo;
    InitializePluginProc initializePlugin;
    ShutdownPluginProc shutdownPlugin;
    UsageProc usage;
    HelpProc help;
    CommandProc tickrail;
    CommandProc list;
    KeyProc key;
};


// Loads tickrail.dll and finds its exports; a fresh library meets a shell
// in its start state (SetStartVariables).
bool LoadPluginLibrary(Plugin* plugin);
void FreePluginLibrary(Plugin* plugin);
void SetStartVariables();
// Runs the command with a copy of `tail`, after clearing the captured output.
int RunCommand(Plugin& plugin, LPCWSTR tail);

// Dispatches this thread's messages (the plug-in's timer and window
// procedure run here) for about `milliseconds`.
void Pump(DWORD milliseconds);
// The paint requests and paints of the plug-in's overlays that Pump has
// dispatched so far.
int OverlayPaintsDispatched();

// Pumps until `done` holds or `timeoutMs` has passed; the slower machine
// only waits longer.
template <typename Condition>
bool PumpUntil(Condition done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Pump(20);
    }
    return true;
}

// The console host's window changes from a worker thread while this thread
// keeps pumping, as the console host may wait on the overlay's thread.
DWORD WINAPI HideConsole(LPVOID);
DWORD WINAPI ShowConsole(LPVOID);
void RunOnWorker(LPTHREAD_START_ROUTINE routine, DWORD pumpMs);

// The shell's main window with a tab window in it, on a thread of its own
// that keeps the tab's title equal to the console window's title, as the
// shell does for the tab that shows a console.
struct ShellWindows {
    HANDLE thread;
    DWORD threadId;
    HANDLE ready;
    HWND main;
    HWND tab;
    HWND console;
    LONG markerTitles;  // titles of the plug-in's tab search taken over
    // Set before the start, or left zero: the tab's window procedure and
    // client size (a plain window of 640 by 400).
    WNDPROC tabProc;
    int tabWidth, tabHeight;
};
const int DefaultTabWidth = 640;
const int DefaultTabHeight = 400;
void StartShellWindows(ShellWindows* shell);
void StopShellWindows(ShellWindows* shell);

std::wstring OverlayClassName();
std::wstring ClassOf(HWND window);
std::wstring TitleOf(HWND window);
// The plug-in's overlay windows among the descendants of `parent`.
std::vector<HWND> OverlaysIn(HWND parent);
bool ClassRegistered(HMODULE module);
bool ShownByStyle(HWND window);
RECT PlaceIn(HWND window, HWND parent);
// The pixels of a column of `window` from (x, y) down: M for the mark
// colour DeepSkyBlue, k for the key colour red, ? for anything else.
std::wstring PixelRun(HWND window, int x, int y, int count);
// The system's text for an error, trimmed as the plug-in trims it.
std::wstring SystemText(DWORD error);

void ClearStoredSettings();
bool StoredDword(HKEY root, LPCWSTR name, DWORD* value);

// Groups of cases kept in files of their own.
void Soak();
