// Simulated USER32: window classes, a window tree with titles, styles,
// placement, visibility and user data, posted messages and thread timers
// on the virtual clock, monitors, layered-window attributes, key state,
// message boxes and wsprintfW.
#pragma once

#include <string>
#include <vector>

#include "types.h"

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef BOOL (*WNDENUMPROC)(HWND, LPARAM);

typedef struct tagWNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXW;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG;

typedef struct tagSCROLLBARINFO {
    DWORD cbSize;
    RECT rcScrollBar;
    int dxyLineButton;
    int xyThumbTop;
    int xyThumbBottom;
    int reserved;
    DWORD rgstate[6];
} SCROLLBARINFO, *PSCROLLBARINFO;

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_TIMER 0x0113
#define WM_USER 0x0400

#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_POPUP 0x80000000L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_LAYERED 0x00080000L
#define WS_EX_NOACTIVATE 0x08000000L

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)

#define SW_HIDE 0
#define SW_SHOW 5

#define HWND_TOP ((HWND)0)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

#define LWA_COLORKEY 0x1
#define LWA_ALPHA 0x2

#define MONITOR_DEFAULTTONULL 0
#define MONITOR_DEFAULTTOPRIMARY 1
#define MONITOR_DEFAULTTONEAREST 2

#define MB_OK 0x0
#define IDOK 1

#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12

#define OBJID_VSCROLL ((LONG)0xFFFFFFFB)
#define OBJID_HSCROLL ((LONG)0xFFFFFFFA)
#define STATE_SYSTEM_INVISIBLE 0x00008000
#define GA_PARENT 1
#define GW_HWNDNEXT 2
#define GW_CHILD 5

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoExW(HINSTANCE instance, LPCWSTR className, WNDCLASSEXW* info);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int command);
HWND SetParent(HWND window, HWND newParent);
HWND GetParent(HWND window);
HWND GetDesktopWindow(void);
HWND GetForegroundWindow(void);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL GetClientRect(HWND window, LPRECT rect);
int GetWindowTextW(HWND window, LPWSTR text, int capacity);
int GetWindowTextLengthW(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
UINT RealGetWindowClassW(HWND window, LPWSTR text, UINT capacity);
int GetClassNameW(HWND window, LPWSTR text, int capacity);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param);
BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
// For the tests, as Windows answers them.
BOOL GetWindowRect(HWND window, LPRECT rect);  // in screen coordinates
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT command);
BOOL GetLayeredWindowAttributes(HWND window, COLORREF* key, BYTE* alpha, DWORD* flags);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL ValidateRect(HWND window, const RECT* rect);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetScrollBarInfo(HWND window, LONG objectId, PSCROLLBARINFO info);
short GetAsyncKeyState(int key);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int wsprintfW(LPWSTR out, LPCWSTR format, ...);
int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args);

namespace sim {

HWND ConsoleWindow();
// The console window as a pseudo-console host (Windows Terminal) gives it:
// 0 by 0 pixels, of class "PseudoConsoleWindow", and visible.
void UsePseudoConsole();
// A window of the test's (the shell's main window, its tabs and views);
// it has no window procedure of its own and counts as the test's.
HWND CreateTestWindow(HWND parent, const std::wstring& className, const std::wstring& title,
                      int width, int height, bool visible = true);
// Sets a title without the side effects of SetWindowTextW.
void SetTitleQuietly(HWND window, LPCWSTR title);
void ResizeClient(HWND window, int width, int height);
void SetVisible(HWND window, bool visible);
RECT WindowRect(HWND window);            // in the parent's client coordinates
DWORD ExStyle(HWND window);
DWORD Style(HWND window);
std::vector<HWND> Children(HWND window);  // in z-order, top first
int EnumerationCalls();

// Monitors: every window is on monitor 1 until moved.
void SetMonitor(HWND window, int monitor);

struct LayeredAttributes {
    COLORREF key;
    BYTE alpha;
    DWORD flags;
    bool set;
};
LayeredAttributes Layered(HWND window);

// The message loop: dispatches posted messages and fires the thread timers
// that fall due while the virtual clock moves on by `milliseconds`.
void RunFor(DWORD milliseconds);
// Posted messages for `window` that have been dispatched since the reset.
int Dispatched(HWND window, UINT message);
bool QuitPosted();
size_t PendingMessages();

// Vertical or horizontal scroll bar of a view, shown or hidden, with its
// line-button size (a window's bars start hidden, of the system's size).
struct ScrollBar {
    int lineButton = 17;
    bool shown = false;
};
void SetScrollBar(HWND window, LONG objectId, int lineButton, bool shown);

void SetKeyDown(int virtualKey, bool down);
void SetForegroundWindow(HWND window);

struct MessageBoxCall {
    HWND owner;
    std::wstring text, caption;
    UINT type;
};
const std::vector<MessageBoxCall>& MessageBoxes();

int LiveWindowCount();
int LiveClassCount();
int LiveTimerCount();

}  // namespace sim
