// The test platform: what a case needs of the world around the plug-in that
// Windows itself does not answer, written once over the simulated Windows
// and shell (test_platform_sim.cpp) and once over the real Win32 with the
// stand-in TakeCmd.dll (test_platform_win32.cpp). Whatever Windows can tell
// (styles, parents, visibility, titles, rectangles, layered attributes,
// registry values) the cases ask by its real function, on both.
#pragma once

#include "platform.h"

#include <filesystem>
#include <string>
#include <vector>

// Cases that only the simulation can run stand inside #if TICKRAIL_SIMULATED
// with a line that says why: failing a chosen call, hours of virtual time,
// counting live objects to the last handle.
#ifdef _WIN32
#define TICKRAIL_SIMULATED 0
#else
#define TICKRAIL_SIMULATED 1
#endif

// The platform's start state: a visible console window showing 80 by 25
// cells of 8 by 16 pixels in colour 0x07, an empty registry key, the
// shell's start variables (version 28), no shell main window, no output.
void ResetPlatform();
// The plug-in's module instance as the shell loaded it.
HINSTANCE PluginModule();
// The thread's message loop for `milliseconds`: the plug-in's timer and
// its windows' paints run (on the virtual clock in the simulation).
void RunMessages(DWORD milliseconds);
// Runs the loop until `done` holds or `timeoutMs` has passed; the
// simulation's clock gets there at once, a real system only waits longer.
template <typename Condition>
bool RunMessagesUntil(Condition done, DWORD timeoutMs = 3000) {
    for (DWORD waited = 0; !done(); waited += 20) {
        if (waited >= timeoutMs) return false;
        RunMessages(20);
    }
    return true;
}
// Whether a quit message reached the thread's loop (the shell's loop must
// never get one from the plug-in).
bool QuitSeen();
// Paint requests dispatched to `window` so far.
int PaintsDispatched(HWND window);

// The shell: what the plug-in wrote, its variables and its "HWND" answer.
std::wstring StdOutText();
std::wstring StdErrText();
void ClearOutput();
void SetShellVariable(LPCWSTR name, LPCWSTR value);  // null removes it
inline void SetShellVariable(LPCWSTR name, const std::wstring& value) { SetShellVariable(name, value.c_str()); }
void SetHwndAnswer(HWND window);
void SetHwndAnswerText(LPCWSTR answer);

// A window of the shell's (its main window, tab windows, views), of
// `width` by `height` client pixels; destroyed by the next reset.
HWND MakeShellWindow(HWND parent, LPCWSTR className, LPCWSTR title, int width, int height);
void DestroyWindowOfShell(HWND window);
// The plug-in's searches for the console's tab so far, as the shell sees
// them: each gives the console a marked title for a while.
int TabSearchesSeen();
void ResizeShellWindow(HWND window, int width, int height);  // its client area
// The shell shows the console's title in `tab` (and no longer in the tab
// that showed it before), `delayMs` after each change of the console
// window's title (or about so on a real system).
void FollowConsoleTitle(HWND tab, int delayMs);

// The console's title, as the console window shows it.
void SetConsoleTitleText(LPCWSTR title);
// The console: text attributes, visibility and the monitor it is on (1 or
// 2), changed as a user or the console host changes them.
void SetConsoleColors(WORD attributes);
void ShowConsole(bool visible);
void MoveConsoleToMonitor(int monitor);

// Whether the process may write the settings under HKLM: always in the
// simulation, on a real system only with an administrator's rights. Cases
// that write there are skipped otherwise (SKIP_UNLESS_MACHINE_WRITABLE).
bool MachineSettingsWritable();

// A file that a case reads: a path relative to the source tree (the guide,
// the plug-in's source) or X11ColorNames. The simulated build reads them
// where they lie; the Win32 program from its test-data folder beside it.
const char X11ColorNames[] = "rgb.txt";
std::filesystem::path TestFile(const std::string& name);

// Makes the next save of the settings fail as a real registry can (a key
// that cannot be created, error 1021); returns that error, or 0 where the
// key's parent existed before the run (saved settings, or another
// plug-in's), which a case leaves alone.
DWORD BreakNextSettingsSave();

// Message boxes: shown from now on, each closed with OK as soon as it is
// seen; then what was shown.
struct MessageBoxSeen {
    HWND owner;
    std::wstring caption, text;
    int buttons;
};
void WatchMessageBoxes();
std::vector<MessageBoxSeen> MessageBoxesSeen();
void BringToFront(HWND window);

// Keys held down, as GetAsyncKeyState sees them.
void HoldKey(int virtualKey, bool down);

// The pixels of windows that the test process can read back: the colour at
// (x, y) of `window`'s client area.
COLORREF PixelOf(HWND window, int x, int y);

// A text as UTF-8, for failure messages.
std::string Narrow(const std::wstring& text);
