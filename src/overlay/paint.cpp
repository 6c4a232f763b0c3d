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
// requests keep arriving), or hidden when the strip is disabled, and, after
// enough such paints without a slow check of the timer, parked on the
// desktop, hidden, until the timer brings it back. A failed move leaves it
// attached.
bool PaintHiddenConsoleOverlay(HWND window, OverlayData* record) {
    if (record->kind != ConsoleOverlayKind) return false;
    if (IsWindowVisible(PluginState.consoleWindow)) {
        record->hiddenPaints = 0;
        return false;
    }
    record->hiddenPaints++;
    ShowWindow(window, Settings.enabled ? SW_SHOW : SW_HIDE);
    ValidateRect(window, nullptr);
    if (record->hiddenPaints >= HiddenPaintsBeforeParking) {
        ShowWindow(window, SW_HIDE);
        if (SetParent(window, PluginState.desktopWindow)) record->detached = 1;
        record->hiddenPaints = 0;
    }
    return true;
}

void MeasureConsole(OverlayData* record) {
    ZeroMemory(&PluginState.lastScreenInfo, sizeof PluginState.lastScreenInfo);
    GetConsoleScreenBufferInfo(PluginState.consoleOutput, &PluginState.lastScreenInfo);
    PluginState.columns = VisibleColumns(PluginState.lastScreenInfo);
    PluginState.rows = VisibleRows(PluginState.lastScreenInfo);
    GetClientRect(record->parent, &record->paintedClient);
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

// The colours of one paint: the fill (the key colour in colour-key mode),
// the marks' colour, and whether the alternate marks get a pen of their own.
struct StripColors {
    COLORREF fill, marks;
    bool altWanted;
};

StripColors ChooseColors(COLORREF markColor, bool altWanted, COLORREF altColor) {
    if (Settings.transparencyMode) {
        // Marks like the background or like the ordinary ones need no pen.
        if (altColor == Settings.backgroundColor ||
            (altColor == Settings.hashColor && Settings.penWidth == Settings.penWidth2))
            altWanted = false;
        return {Settings.backgroundColor, Settings.hashColor, altWanted};
    }
    COLORREF key = KeyColorFor(markColor);
    if (altWanted && key == altColor) key ^= KeyBlueNudge;
    if (altColor == markColor && Settings.penWidth == Settings.penWidth2) altWanted = false;
    return {key, markColor, altWanted};
}

// Makes the fill vanish (colour key) or the whole strip fade (alpha);
// false when the system refuses.
bool SetTransparency(HWND window, const StripColors& colors) {
    if (Settings.transparencyMode) return SetLayeredWindowAttributes(window, 0, BYTE(Settings.alpha), LWA_ALPHA);
    return SetLayeredWindowAttributes(window, colors.fill, BYTE(Settings.alpha), LWA_COLORKEY);
}

Drawing MakeDrawing(HDC dc, const StripColors& colors, COLORREF altColor) {
    SetBkColor(dc, colors.fill);
    SetBkMode(dc, OPAQUE);
    return {CreateSolidBrush(colors.fill), CreatePen(PS_SOLID, int(Settings.penWidth), colors.marks),
            colors.altWanted ? CreatePen(PS_SOLID, int(Settings.penWidth2), altColor) : nullptr};
}

// Where the marks of a strip go: mark i lies on the boundary after the i-th
// cell, `along` the strip at first + i * step, and runs across it from
// `from` to `to` by its length. All in unsigned arithmetic, as the cell
// sizes are.
struct MarkLines {
    bool horizontal;
    DWORD first, step;
    DWORD from[3], to[3];  // by MarkLength
};

MarkLines LinesFor(const OverlayData* record, DWORD cellW, DWORD cellH) {
    DWORD x = DWORD(record->hMargin), y = DWORD(record->vMargin);
    switch (Settings.position) {
    case PositionBottom:
        return {true, x, cellW, {3 * cellH / 4, cellH / 2, cellH / 8}, {cellH, cellH, cellH}};
    case PositionLeft:
        return {false, y, cellH, {0, 0, 0}, {cellW / 2, cellW, 7 * cellW / 4}};
    case PositionRight:
        return {false, y, cellH, {2 * cellW, 2 * cellW, 2 * cellW}, {3 * cellW / 2, cellW, cellW / 4}};
    default:  // top, and the unnamed position 4
        return {true, x, cellW, {0, 0, 0}, {cellH / 4, cellH / 2, 7 * cellH / 8}};
    }
}

// A console line holds far fewer cells; more marks than this are not drawn.
const DWORD MaxMarks = 65536;
bool altMarkNumbers[MaxMarks + 1];  // where an alternate mark goes

// Finds the numbers 1 to `last` that any of the marks selects, so that each
// mark is tested once per paint, not once per entry of the list. Repeats
// go first: one whose distance an earlier repeat already selected adds
// nothing (its multiples are that one's too) and is skipped.
void FindAltMarks(const DWORD* marks, DWORD count, DWORD last) {
    ZeroMemory(altMarkNumbers, last + 1);
    bool* end = altMarkNumbers + last;
    for (DWORD k = 0; k < count; k++) {
        if (!(marks[k] & RepeatMarkFlag)) continue;
        DWORD distance = marks[k] & ~RepeatMarkFlag;
        if (distance == 0 || distance > last || altMarkNumbers[distance]) continue;
        for (bool* number = altMarkNumbers + distance; number <= end; number += distance) *number = true;
    }
    // A repeat mark, RepeatMarkFlag and more, lies beyond any last number.
    for (DWORD k = 0; k < count; k++)
        if (marks[k] <= last) altMarkNumbers[marks[k]] = true;
}

// The length of mark i by i modulo 10: long every 10th, medium every 5th.
const MarkLength LengthByPhase[10] = {LongMark,  ShortMark, ShortMark, ShortMark, ShortMark,
                                      MediumMark, ShortMark, ShortMark, ShortMark, ShortMark};

// The pen changes only where the marks change between plain and alternate.
// One loop for each edge and pen use, so that a mark costs its two calls and
// little more.
template <bool Horizontal, bool WithAlt>
void DrawMarksAs(HDC dc, const Drawing& drawing, const MarkLines& lines, DWORD marks) {
    bool altSelected = false;
    DWORD along = lines.first;
    DWORD phase = 0;
    for (DWORD i = 1; i <= marks; i++) {
        if (WithAlt && altMarkNumbers[i] != altSelected) {
            altSelected = !altSelected;
            SelectObject(dc, altSelected ? drawing.altPen : drawing.markPen);
        }
        along += lines.step;
        phase = phase == 9 ? 0 : phase + 1;
        MarkLength length = LengthByPhase[phase];
        int a = int(along), from = int(lines.from[length]), to = int(lines.to[length]);
        if (Horizontal) {
            MoveToEx(dc, a, from, nullptr);
            LineTo(dc, a, to);
        } else {
            MoveToEx(dc, from, a, nullptr);
            LineTo(dc, to, a);
        }
    }
}

void DrawMarks(HDC dc, const Drawing& drawing, const MarkLines& lines, DWORD marks) {
    if (lines.horizontal) {
        if (drawing.altPen) DrawMarksAs<true, true>(dc, drawing, lines, marks);
        else DrawMarksAs<true, false>(dc, drawing, lines, marks);
    } else {
        if (drawing.altPen) DrawMarksAs<false, true>(dc, drawing, lines, marks);
        else DrawMarksAs<false, false>(dc, drawing, lines, marks);
    }
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

    MeasureConsole(record);
    WORD backgroundIndex = (PluginState.lastScreenInfo.wAttributes >> BackgroundColorShift) & ColorIndexMask;
    COLORREF markColor = Settings.tickrailColors[backgroundIndex];

    DWORD right = DWORD(record->paintedClient.right);
    DWORD bottom = DWORD(record->paintedClient.bottom);
    if (record->kind == TabOverlayKind) SubtractViewScrollBars(record->parent, &right, &bottom);
    DWORD cellW = (right - DWORD(record->hMargin)) / AtLeastOne(PluginState.columns);
    DWORD cellH = (bottom - DWORD(record->vMargin)) / AtLeastOne(PluginState.rows);

    StripPlace strip = PlaceStrip(right, bottom, cellW, cellH, DWORD(record->vMargin));
    const DWORD* altMarks = strip.horizontal ? Settings.altColumns : Settings.altRows;
    DWORD altCount = strip.horizontal ? Settings.altColumnsCount : Settings.altRowsCount;
    COLORREF altColor = strip.horizontal ? Settings.altColumnsColor : Settings.altRowsColor;
    StripColors colors = ChooseColors(markColor, altCount > 0, altColor);
    // A strip that the system would not make transparent covers the text.
    if (!SetTransparency(window, colors)) {
        ShowWindow(window, SW_HIDE);
        ValidateRect(window, nullptr);
        return 0;
    }
    SetWindowPos(window, HWND_TOP, strip.x, strip.y, int(strip.width), int(strip.height), SWP_SHOWWINDOW);

    HDC dc = GetDC(window);
    Drawing drawing = MakeDrawing(dc, colors, altColor);

    HGDIOBJ originalBrush = SelectObject(dc, drawing.brush);
    HGDIOBJ originalPen = SelectObject(dc, drawing.markPen);
    RECT area = {0, 0, LONG(strip.width), LONG(strip.height)};
    FillRect(dc, &area, drawing.brush);

    if (Settings.enabled) {
        DWORD marks = strip.horizontal ? PluginState.columns : PluginState.rows;
        if (marks > MaxMarks) marks = MaxMarks;
        if (drawing.altPen) FindAltMarks(altMarks, altCount, marks);
        DrawMarks(dc, drawing, LinesFor(record, cellW, cellH), marks);
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
