// The overlay windows, their window procedure and the 100 ms timer that
// follows the console and asks for repaints.
#include <cstdlib>

#include "overlay.h"
#include "plugin/plugin.h"
#include "settings/settings.h"

namespace {

const DWORD OverlayExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST;
const int OverlayStartWidth = 100;
const int OverlayStartHeight = 50;
const BYTE OverlayStartAlpha = 128;
const int ReturnedOverlaySize = 50;
const int VisibilityRepaintTicks = 3;
const int ChangeRepaintTicks = 1;
const int TicksPerSlowCheck = 8;
const WORD BackgroundColorBits = 0xF0;

OverlayData* RecordOf(HWND window) {
    return reinterpret_cast<OverlayData*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void ForgetOverlay(const OverlayData* record) {
    if (record->kind == ConsoleOverlayKind) PluginState.consoleOverlay = nullptr;
    else if (record->kind == TabOverlayKind) PluginState.tabOverlay = nullptr;
}

// Makes a tab overlay for the tab window just found. An earlier tab overlay
// in another window would no longer be tracked nor destroyed at unload, so
// it goes; one already in this tab window is kept.
void AdoptTabWindow(void) {
    if (!PluginState.tabWindow) return;
    if (PluginState.tabOverlay) {
        OverlayData* record = RecordOf(PluginState.tabOverlay);
        if (record && record->parent == PluginState.tabWindow) return;
        DestroyWindow(PluginState.tabOverlay);
    }
    PluginState.tabOverlay = CreateOverlayWindow(TabOverlayKind, PluginState.tabWindow);
}

// Brings the parked console overlay back into the console window, hidden:
// its next paint shows it once the system has taken its transparency, so an
// opaque box never covers the text. When the move fails it stays parked
// for the next slow check to try again; returns whether it moved.
bool ReturnParkedConsoleOverlay(OverlayData* record) {
    if (!SetParent(PluginState.consoleOverlay, record->parent)) return false;
    record->hiddenPaints = 0;
    record->detached = 0;
    SetWindowPos(PluginState.consoleOverlay, HWND_TOP, 0, 0, ReturnedOverlaySize, ReturnedOverlaySize,
                 SWP_HIDEWINDOW);
    return true;
}

void CheckVisibility(BOOL visible, OverlayData* consoleRecord) {
    if (visible == PluginState.consoleWasVisible) return;
    PluginState.consoleWasVisible = visible;
    PluginState.repaintCountdown = VisibilityRepaintTicks;
    if (!PluginState.consoleOverlay) return;
    if (visible && consoleRecord && consoleRecord->detached) ReturnParkedConsoleOverlay(consoleRecord);
    if (!visible) MakeTabOverlay();
}

// A change is painted once: what the check saw is what it asked for, so the
// ticks until the paint has measured it do not ask again.
void CheckSizeAndColor(void) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    ZeroMemory(&info, sizeof info);
    GetConsoleScreenBufferInfo(PluginState.consoleOutput, &info);
    DWORD columns = VisibleColumns(info), rows = VisibleRows(info);
    if (columns == PluginState.columns && rows == PluginState.rows &&
        (info.wAttributes & BackgroundColorBits) == (PluginState.lastScreenInfo.wAttributes & BackgroundColorBits))
        return;
    PluginState.repaintCountdown = ChangeRepaintTicks;
    PluginState.lastScreenInfo = info;
    PluginState.columns = columns;
    PluginState.rows = rows;
}

// Whether the overlay's parent has another client area than it was painted in.
bool ParentResized(const OverlayData* record) {
    RECT client;
    GetClientRect(record->parent, &client);
    return client.right != record->paintedClient.right || client.bottom != record->paintedClient.bottom;
}

void CheckMonitorAndClientArea(const OverlayData* consoleRecord) {
    HMONITOR monitor = MonitorFromWindow(PluginState.consoleWindow, MONITOR_DEFAULTTONEAREST);
    if (monitor != PluginState.lastMonitor) {
        HMONITOR previous = PluginState.lastMonitor;
        PluginState.lastMonitor = monitor;
        // The first monitor seen is where the first paint already went.
        if (previous) PluginState.repaintCountdown = ChangeRepaintTicks;
    }
    if (!PluginState.repaintCountdown && consoleRecord && ParentResized(consoleRecord))
        PluginState.repaintCountdown = ChangeRepaintTicks;
}

// The tab overlay follows its own tab window's client area, whether the
// console window shows or not.
void CheckTabClientArea(void) {
    if (PluginState.repaintCountdown || !PluginState.tabOverlay) return;
    const OverlayData* record = RecordOf(PluginState.tabOverlay);
    if (record && ParentResized(record)) PluginState.repaintCountdown = ChangeRepaintTicks;
}

void SlowCheck(BOOL visible, OverlayData* consoleRecord) {
    CheckTabClientArea();
    if (visible && !PluginState.repaintCountdown) {
        CheckMonitorAndClientArea(consoleRecord);
    } else if (!visible && PluginState.tabWindow && !PluginState.tabOverlay) {
        // The tab window may have closed with its overlay; forget it so a
        // later check finds the console's new tab.
        if (!IsWindow(PluginState.tabWindow)) {
            PluginState.hostMainWindow = nullptr;
            PluginState.tabWindow = nullptr;
        }
    } else if (!visible && !PluginState.hostMainWindow) {
        LocateTabWindow();
        AdoptTabWindow();
    }
    if (visible && consoleRecord && consoleRecord->detached && ReturnParkedConsoleOverlay(consoleRecord))
        PluginState.repaintCountdown = ChangeRepaintTicks;
    if (consoleRecord) consoleRecord->hiddenPaints = 0;
}

}  // namespace

HWND CreateOverlayWindow(int kind, HWND parent) {
    OverlayData* record = static_cast<OverlayData*>(calloc(1, sizeof(OverlayData)));
    if (!record) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    record->kind = kind;
    record->parent = parent;
    if (kind == TabOverlayKind) {
        record->hMargin = PluginState.iniHMargin;
        record->vMargin = PluginState.iniVMargin;
    }
    // A refusal may set no error: an older one must not stand in for it.
    SetLastError(0);
    HWND window = CreateWindowExW(OverlayExStyle, PluginState.className, OVERLAY_TITLE, WS_CHILD, 0, 0,
                                  OverlayStartWidth, OverlayStartHeight, PluginState.desktopWindow,
                                  nullptr, PluginState.moduleInstance, nullptr);
    if (!window) {
        DWORD error = GetLastError();
        free(record);
        SetLastError(error ? error : LayeredChildRefused);
        return nullptr;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    // Left on the desktop it would be drawn in screen coordinates. A child
    // that is not layered would show as an opaque bar over the text: the
    // attributes are refused to a window whose style was dropped.
    SetLastError(0);
    bool placed = SetParent(window, parent) != nullptr;
    DWORD error = placed ? 0 : GetLastError();
    if (placed && !SetLayeredWindowAttributes(window, 0, OverlayStartAlpha, LWA_ALPHA)) error = LayeredChildRefused;
    if (!placed || error) {
        DestroyWindow(window);  // frees the record
        SetLastError(error);
        return nullptr;
    }
    return window;
}

void MakeTabOverlay(void) {
    // A tab overlay lives only as long as its tab window, so while one
    // exists there is nothing to look for (and no title to change).
    if (PluginState.tabOverlay) return;
    LocateTabWindow();
    if (PluginState.tabWindow)
        PluginState.tabOverlay = CreateOverlayWindow(TabOverlayKind, PluginState.tabWindow);
}

LRESULT CALLBACK OverlayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    OverlayData* record = RecordOf(window);
    if (!record) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        PaintOverlay(window, record);
        return 0;
    case WM_DESTROY:
        // No quit message: the loop that runs here is the shell's own.
        ForgetOverlay(record);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        free(record);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK TrackTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    BOOL visible = IsWindowVisible(PluginState.consoleWindow);
    OverlayData* consoleRecord = PluginState.consoleOverlay ? RecordOf(PluginState.consoleOverlay) : nullptr;

    if (PluginState.repaintCountdown && --PluginState.repaintCountdown == 0) RepaintOverlays();
    CheckVisibility(visible, consoleRecord);
    if (!PluginState.repaintCountdown) CheckSizeAndColor();

    PluginState.tickCount = (PluginState.tickCount + 1) % TicksPerSlowCheck;
    if (PluginState.tickCount == 0) SlowCheck(visible, consoleRecord);
}

void RepaintOverlays(void) {
    if (PluginState.consoleOverlay) PostMessageW(PluginState.consoleOverlay, WM_PAINT, 0, 0);
    if (PluginState.tabOverlay) PostMessageW(PluginState.tabOverlay, WM_PAINT, 0, 0);
}
