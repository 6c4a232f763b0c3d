// The overlay windows: finding the windows that show the console, the
// overlay windows in them, the tracking timer and painting.
#pragma once

#include "platform.h"

enum OverlayKind { ConsoleOverlayKind = 0, TabOverlayKind = 1 };

// Carried by each overlay window as its user data and freed with it.
struct OverlayData {
    int kind;
    HWND parent;
    int hMargin;
    int vMargin;
    int hiddenPaints;
    int detached;
    RECT paintedClient;  // the parent's client area at the last paint
};

// The error of an overlay that the system would not make layered: a program
// that does not declare Windows 8 gets no layered child windows (creation
// fails without a reason, or the style is dropped). An error code of the
// plug-in's own (bit 29 set), never the system's.
const DWORD LayeredChildRefused = 0x20000001;

#define OVERLAY_TITLE L"Take Command Tickrail"
#define OVERLAY_CLASS_FORMAT L"Take Command Tickrail %04X"
const int DefaultHMargin = 4;
const int DefaultVMargin = 2;

// Window discovery.
HWND FindHostMainWindow(void);
HWND FindConsoleTabWindow(void);
void LocateTabWindow(void);
BOOL CALLBACK MatchMarkerTitle(HWND window, LPARAM search);
BOOL CALLBACK MatchViewClass(HWND window, LPARAM search);
int LoadHostMargins(void);

struct MarkerSearch {
    HWND found;
    LPCWSTR marker;
};

struct ViewSearch {
    HWND found;
};

// Overlay windows and the tracking timer.
HWND CreateOverlayWindow(int kind, HWND parent);
void MakeTabOverlay(void);
LRESULT CALLBACK OverlayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK TrackTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
void RepaintOverlays(void);

// Painting.
int PaintOverlay(HWND window, OverlayData* record);
// The size of the console's visible window in character cells.
DWORD VisibleColumns(const CONSOLE_SCREEN_BUFFER_INFO& info);
DWORD VisibleRows(const CONSOLE_SCREEN_BUFFER_INFO& info);
