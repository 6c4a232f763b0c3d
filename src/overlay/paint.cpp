// Painting an overlay. For now a paint parks the console overlay while the
// console is hidden and measures the console for the tracking timer; the
// strip itself is not drawn yet.
#include "overlay.h"
#include "plugin/plugin.h"

namespace {

const int HiddenPaintsBeforeParking = 10;

// A console overlay whose console window is hidden is shown (so the shell's
// paint requests keep arriving) and, after enough such paints, parked on the
// desktop until the timer brings it back.
bool PaintHiddenConsoleOverlay(HWND window, OverlayData* record) {
    if (record->kind != ConsoleOverlayKind) return false;
    if (IsWindowVisible(PluginState.consoleWindow)) {
        record->hiddenPaints = 0;
        return false;
    }
    record->hiddenPaints++;
    ShowWindow(window, SW_SHOW);
    ValidateRect(window, nullptr);
    if (record->hiddenPaints >= HiddenPaintsBeforeParking) {
        SetParent(window, PluginState.desktopWindow);
        record->detached = 1;
        record->hiddenPaints = 0;
    }
    return true;
}

void MeasureConsole(const OverlayData* record) {
    ZeroMemory(&PluginState.lastScreenInfo, sizeof PluginState.lastScreenInfo);
    GetConsoleScreenBufferInfo(PluginState.consoleOutput, &PluginState.lastScreenInfo);
    const SMALL_RECT& view = PluginState.lastScreenInfo.srWindow;
    PluginState.columns = DWORD(int(view.Right) - int(view.Left) + 1);
    PluginState.rows = DWORD(int(view.Bottom) - int(view.Top) + 1);
    GetClientRect(record->parent, &PluginState.lastClientRect);
}

}  // namespace

int PaintOverlay(HWND window, OverlayData* record) {
    if (record->detached) {
        ValidateRect(window, nullptr);
        return 0;
    }
    if (PaintHiddenConsoleOverlay(window, record)) return 0;
    MeasureConsole(record);
    ValidateRect(window, nullptr);
    return 0;
}
