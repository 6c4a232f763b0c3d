// Painting an overlay: measure the console in cells, place the strip along
// its edge, make its background vanish (colour key) or fade (alpha), and
// draw a mark on every cell boundary. Every paint starts from the console
// and the settings afresh.
#include "overlay.h"
#include "plugin/plugin.h"
#include "settings/marks.h"
#include "settings/settings.h"

namespace {

const int HiddenPaintsBeforeParking = 10;
const WORD BackgroundColorShift = 4;
const WORD ColorIndexMask = 0xF;
const COLORREF KeyBlueNudge = 0x030000;
const DWORD LongMarkEvery = 10;
const DWORD MediumMarkEvery = 5;

enum MarkLength { ShortMark, MediumMark, LongMark };

// The strip in its parent's client coordinates, and what lies along it.
struct StripPlace {
    int x, y;
    DWORD width, height;
    bool horizontal;  // marks are columns (top, bottom) or rows (left, right)
};

struct Drawing {
    HBRUSH brush;
    HPEN markPen;
    HPEN altPen;  // null when no mark is drawn in the alternate colour
};

// A console overlay whose console window is hidden is shown (so the paint
// requests keep arriving) unless the strip is disabled, and, after enough
// such paints without a slow check of the timer, parked on the desktop,
// hidden, until the timer brings it back. A failed move leaves it attached.
bool PaintHiddenConsoleOverlay(HWND window, OverlayData* record) {
    if (record->kind != ConsoleOverlayKind) return false;
    if (IsWindowVisible(PluginState.consoleWindow)) {
        record->hiddenPaints = 0;
        return false;
    }
    record->hiddenPaints++;
    if (Settings.enabled) ShowWindow(window, SW_SHOW);
    ValidateRect(window, nullptr);
    if (record->hiddenPaints >= HiddenPaintsBeforeParking) {
        ShowWindow(window, SW_HIDE);
        if (SetParent(window, PluginState.desktopWindow)) record->detached = 1;
        record->hiddenPaints = 0;
    }
    return true;
}

void MeasureConsole(const OverlayData* record) {
    ZeroMemory(&PluginState.lastScreenInfo, sizeof PluginState.lastScreenInfo);
    GetConsoleScreenBufferInfo(PluginState.consoleOutput, &PluginState.lastScreenInfo);
    PluginState.columns = VisibleColumns(PluginState.lastScreenInfo);
    PluginState.rows = VisibleRows(PluginState.lastScreenInfo);
    GetClientRect(record->parent, &PluginState.lastClientRect);
}

// The tab view's visible scroll bars take their width off the text area.
void SubtractViewScrollBars(HWND parent, DWORD* right, DWORD* bottom) {
    if (!parent) return;
    ViewSearch search = {nullptr};
    EnumChildWindows(parent, MatchViewClass, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    SCROLLBARINFO vertical, horizontal;
    ZeroMemory(&vertical, sizeof vertical);
    ZeroMemory(&horizontal, sizeof horizontal);
    vertical.cbSize = sizeof vertical;
    horizontal.cbSize = sizeof horizontal;
    GetScrollBarInfo(search.found, OBJID_VSCROLL, &vertical);
    GetScrollBarInfo(search.found, OBJID_HSCROLL, &horizontal);
    if (!(vertical.rgstate[0] & STATE_SYSTEM_INVISIBLE)) *right -= DWORD(vertical.dxyLineButton);
    if (!(horizontal.rgstate[0] & STATE_SYSTEM_INVISIBLE)) *bottom -= DWORD(horizontal.dxyLineButton);
}

// A console that reports no cells is measured as one, never divided by.
DWORD AtLeastOne(DWORD cells) { return cells ? cells : 1; }

StripPlace PlaceStrip(DWORD right, DWORD bottom, DWORD cellW, DWORD cellH, DWORD vMargin) {
    DWORD offset = Settings.rowOffset ? Settings.rowOffset * cellH + vMargin : 0;
    switch (Settings.position) {
    case PositionBottom:
        return {0, int(bottom - cellH - 1), right, cellH, true};
    case PositionLeft:
        return {0, int(offset), 2 * cellW, bottom - offset, false};
    case PositionRight:
        return {int(right - 2 * cellW - 1), int(offset), 2 * cellW, bottom - offset, false};
    default:  // top, and the unnamed position 4
        return {0, int(offset), right, cellH, true};
    }
}

// The key colour lies at the far end of each channel from the mark colour,
// so it never equals it.
COLORREF KeyColorFor(COLORREF markColor) {
    COLORREF key = 0;
    if (!(markColor & 0x000080)) key |= 0x0000FF;
    if (!(markColor & 0x008000)) key |= 0x00FF00;
    if (!(markColor & 0x800000)) key |= 0xFF0000;
    return key;
}

// Sets the window's transparency and makes the brush and pens; returns
// whether the alternate pen is made.
Drawing MakeDrawing(HWND window, HDC dc, COLORREF markColor, bool altWanted, COLORREF altColor) {
    Drawing drawing;
    COLORREF fill;
    COLORREF penColor;
    if (Settings.transparencyMode) {
        SetLayeredWindowAttributes(window, 0, BYTE(Settings.alpha), LWA_ALPHA);
        fill = Settings.backgroundColor;
        penColor = Settings.hashColor;
        // Marks like the background or like the ordinary ones need no pen.
        if (altColor == Settings.backgroundColor ||
            (altColor == Settings.hashColor && Settings.penWidth == Settings.penWidth2))
            altWanted = false;
    } else {
        fill = KeyColorFor(markColor);
        if (altWanted && fill == altColor) fill ^= KeyBlueNudge;
        SetLayeredWindowAttributes(window, fill, BYTE(Settings.alpha), LWA_COLORKEY);
        penColor = markColor;
        if (altColor == markColor && Settings.penWidth == Settings.penWidth2) altWanted = false;
    }
    SetBkColor(dc, fill);
    SetBkMode(dc, OPAQUE);
    drawing.brush = CreateSolidBrush(fill);
    drawing.markPen = CreatePen(PS_SOLID, int(Settings.penWidth), penColor);
    drawing.altPen = altWanted ? CreatePen(PS_SOLID, int(Settings.penWidth2), altColor) : nullptr;
    return drawing;
}

void DrawMark(HDC dc, const OverlayData* record, DWORD i, DWORD cellW, DWORD cellH) {
    MarkLength length = i % LongMarkEvery == 0 ? LongMark : i % MediumMarkEvery == 0 ? MediumMark : ShortMark;
    DWORD x = DWORD(record->hMargin) + i * cellW;
    DWORD y = DWORD(record->vMargin) + i * cellH;
    switch (Settings.position) {
    case PositionBottom: {
        const DWORD start[] = {3 * cellH / 4, cellH / 2, cellH / 8};
        MoveToEx(dc, int(x), int(start[length]), nullptr);
        LineTo(dc, int(x), int(cellH));
        break;
    }
    case PositionLeft: {
        const DWORD end[] = {cellW / 2, cellW, 7 * cellW / 4};
        MoveToEx(dc, 0, int(y), nullptr);
        LineTo(dc, int(end[length]), int(y));
        break;
    }
    case PositionRight: {
        const DWORD end[] = {3 * cellW / 2, cellW, cellW / 4};
        MoveToEx(dc, int(2 * cellW), int(y), nullptr);
        LineTo(dc, int(end[length]), int(y));
        break;
    }
    default: {
        const DWORD end[] = {cellH / 4, cellH / 2, 7 * cellH / 8};
        MoveToEx(dc, int(x), 0, nullptr);
        LineTo(dc, int(x), int(end[length]));
        break;
    }
    }
}

bool IsAltMark(DWORD i, const DWORD* marks, DWORD count) {
    for (DWORD k = 0; k < count; k++)
        if (AltMarkMatches(marks[k], i)) return true;
    return false;
}

}  // namespace

DWORD VisibleColumns(const CONSOLE_SCREEN_BUFFER_INFO& info) {
    return DWORD(int(info.srWindow.Right) - int(info.srWindow.Left) + 1);
}

DWORD VisibleRows(const CONSOLE_SCREEN_BUFFER_INFO& info) {
    return DWORD(int(info.srWindow.Bottom) - int(info.srWindow.Top) + 1);
}

int PaintOverlay(HWND window, OverlayData* record) {
    if (record->detached) {
        ValidateRect(window, nullptr);
        return 0;
    }
    if (PaintHiddenConsoleOverlay(window, record)) return 0;

    HDC dc = GetDC(window);
    MeasureConsole(record);
    WORD backgroundIndex = (PluginState.lastScreenInfo.wAttributes >> BackgroundColorShift) & ColorIndexMask;
    COLORREF markColor = Settings.tickrailColors[backgroundIndex];

    DWORD right = DWORD(PluginState.lastClientRect.right);
    DWORD bottom = DWORD(PluginState.lastClientRect.bottom);
    if (record->kind == TabOverlayKind) SubtractViewScrollBars(record->parent, &right, &bottom);
    DWORD cellW = (right - DWORD(record->hMargin)) / AtLeastOne(PluginState.columns);
    DWORD cellH = (bottom - DWORD(record->vMargin)) / AtLeastOne(PluginState.rows);

    StripPlace strip = PlaceStrip(right, bottom, cellW, cellH, DWORD(record->vMargin));
    SetWindowPos(window, HWND_TOP, strip.x, strip.y, int(strip.width), int(strip.height), SWP_SHOWWINDOW);

    const DWORD* altMarks = strip.horizontal ? Settings.altColumns : Settings.altRows;
    DWORD altCount = strip.horizontal ? Settings.altColumnsCount : Settings.altRowsCount;
    COLORREF altColor = strip.horizontal ? Settings.altColumnsColor : Settings.altRowsColor;
    Drawing drawing = MakeDrawing(window, dc, markColor, altCount > 0, altColor);

    HGDIOBJ originalBrush = SelectObject(dc, drawing.brush);
    HGDIOBJ originalPen = SelectObject(dc, drawing.markPen);
    RECT area = {0, 0, LONG(strip.width), LONG(strip.height)};
    FillRect(dc, &area, drawing.brush);

    if (Settings.enabled) {
        DWORD marks = strip.horizontal ? PluginState.columns : PluginState.rows;
        bool altSelected = false;
        for (DWORD i = 1; i <= marks; i++) {
            if (drawing.altPen) {
                bool wantAlt = IsAltMark(i, altMarks, altCount);
                if (wantAlt != altSelected) {
                    SelectObject(dc, wantAlt ? drawing.altPen : drawing.markPen);
                    altSelected = wantAlt;
                }
            }
            DrawMark(dc, record, i, cellW, cellH);
        }
    }

    ValidateRect(window, nullptr);
    SelectObject(dc, originalPen);
    SelectObject(dc, originalBrush);
    DeleteObject(drawing.brush);
    DeleteObject(drawing.markPen);
    if (drawing.altPen) DeleteObject(drawing.altPen);
    ReleaseDC(window, dc);

    if (!Settings.enabled) ShowWindow(window, SW_HIDE);
    return 0;
}
