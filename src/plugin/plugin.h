// The plug-in's exports, its information record and PluginState, the
// run-time values that the overlay, command and hotkey modules share.
#pragma once

#include <cstddef>

#include "platform.h"
#include "version.h"

const DWORD TextCapacity = 1024;
const DWORD LongTextCapacity = 8192;
const UINT_PTR TrackTimerEventId = 1977;
const UINT TrackTimerPeriodMs = 100;
const DWORD MinimumHostVersion = 13;
const DWORD MarginsHostVersion = 24;
const int PluginMajorVersion = TICKRAIL_VERSION_MAJOR;
const int PluginMinorVersion = TICKRAIL_VERSION_MINOR;
const int PluginBuild = TICKRAIL_VERSION_BUILD;

#define PLUGIN_NAME L"" TICKRAIL_NAME

// The shell's plug-in information record; the shell may use the fields
// after the build number, which the plug-in leaves zero.
struct PluginInfoRecord {
    LPCWSTR name;
    LPCWSTR author;
    LPCWSTR email;
    LPCWSTR webPage;
    LPCWSTR description;
    LPWSTR functions;
    int majorVersion;
    int minorVersion;
    int build;
    int flags;
    HMODULE module;
    LPCWSTR moduleName;
};

// The shell's keystroke record; only these three fields are ours to use.
struct KeyRecord {
    int keyCode;
    int hostFields[5];
    void* hostPointer;  // when set, a call without a key is not ours
    void* hostPointers[2];
    LPWSTR keyName;
};

static_assert(sizeof(void*) != 8 || offsetof(KeyRecord, hostPointer) == 24, "the shell's record layout");
static_assert(sizeof(void*) != 8 || offsetof(KeyRecord, keyName) == 48, "the shell's record layout");

struct PluginStateRecord {
    HMODULE moduleInstance;
    DWORD hostVersion;
    bool useKeyTableV24;
    HWND consoleWindow;
    HWND desktopWindow;
    HWND hostMainWindow;
    HWND tabWindow;
    int iniHMargin;
    int iniVMargin;
    HANDLE consoleOutput;
    BOOL(WINAPI* getScreenBufferInfoEx)(HANDLE, PCONSOLE_SCREEN_BUFFER_INFOEX);
    WCHAR className[TextCapacity];
    ATOM classAtom;
    HWND consoleOverlay;
    HWND tabOverlay;
    UINT_PTR timerId;
    BOOL consoleWasVisible;
    int repaintCountdown;
    int tickCount;
    HMONITOR lastMonitor;
    // The console as last painted, or as the timer last asked to paint it.
    CONSOLE_SCREEN_BUFFER_INFO lastScreenInfo;
    DWORD columns;
    DWORD rows;
};

extern PluginStateRecord PluginState;
extern WCHAR functionList[];

extern "C" {
PluginInfoRecord* WINAPI GetPluginInfo(void);
int WINAPI InitializePlugin(void);
int WINAPI ShutdownPlugin(int endProcess);
int WINAPI Usage(LPWSTR commandName, LPWSTR out);
int WINAPI Help(LPWSTR commandName);
int WINAPI tickrail(LPWSTR commandTail);
int WINAPI key(KeyRecord* record);
int WINAPI list(LPWSTR commandTail);
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
}

DWORD QueryHostVersion(void);
int RemoveListEntry(void);

// Host output and error reporting.
HANDLE StdErr(void);
int PrintErrorPrefix(void);
int PrintErrorMarker(LPCWSTR argText, LPCWSTR faultChar);
int FormatSystemError(DWORD errorNumber, LPWSTR out);
// A user's error: the prefix and the message (formatted like wsprintfW with
// %s, %u and %d), written whole however long. Returns -1, for the caller to
// pass on.
int PrintError(LPCWSTR format, ...);
// The same, then the argument with the arrow under `fault`.
int ReportArgumentError(LPCWSTR argText, LPCWSTR fault, LPCWSTR format, ...);
extern const WCHAR HelpText[];
