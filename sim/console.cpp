#include "console.h"

#include "kernel.h"
#include "sim.h"
#include "user.h"

namespace {

const COLORREF StandardPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

struct ConsoleState {
    int columns, rows, left, top;
    WORD attributes;
    COLORREF palette[16];
    bool fail;
};

ConsoleState state;

bool Refuse(HANDLE output) {
    // As on Windows, reading the screen buffer takes a handle opened for reading.
    if (state.fail || !sim::IsConsoleHandle(output, GENERIC_READ)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return true;
    }
    return false;
}

void Fill(COORD* size, COORD* cursor, WORD* attributes, SMALL_RECT* window, COORD* maximum) {
    const SHORT bufferWidth = SHORT(state.columns > 120 ? state.columns : 120);
    *size = {bufferWidth, 3000};
    *cursor = {0, SHORT(state.top)};
    *attributes = state.attributes;
    *window = {SHORT(state.left), SHORT(state.top), SHORT(state.left + state.columns - 1),
               SHORT(state.top + state.rows - 1)};
    *maximum = {bufferWidth, 60};
}

}  // namespace

HWND GetConsoleWindow(void) { return sim::ConsoleWindow(); }

BOOL GetConsoleScreenBufferInfo(HANDLE output, PCONSOLE_SCREEN_BUFFER_INFO info) {
    if (Refuse(output)) return FALSE;
    Fill(&info->dwSize, &info->dwCursorPosition, &info->wAttributes, &info->srWindow,
         &info->dwMaximumWindowSize);
    return TRUE;
}

BOOL GetConsoleScreenBufferInfoEx(HANDLE output, PCONSOLE_SCREEN_BUFFER_INFOEX info) {
    if (!info || info->cbSize != sizeof(CONSOLE_SCREEN_BUFFER_INFOEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (Refuse(output)) return FALSE;
    Fill(&info->dwSize, &info->dwCursorPosition, &info->wAttributes, &info->srWindow,
         &info->dwMaximumWindowSize);
    info->wPopupAttributes = 0xF5;
    info->bFullscreenSupported = FALSE;
    for (int i = 0; i < 16; i++) info->ColorTable[i] = state.palette[i];
    return TRUE;
}

namespace sim {

void SetConsoleView(int columns, int rows, int left, int top) {
    state.columns = columns;
    state.rows = rows;
    state.left = left;
    state.top = top;
}

void SetConsoleAttributes(WORD attributes) { state.attributes = attributes; }

void SetConsolePalette(const COLORREF palette[16]) {
    for (int i = 0; i < 16; i++) state.palette[i] = palette[i];
}

void SetConsoleQueriesFail(bool fail) { state.fail = fail; }

void ResetConsole() {
    state = ConsoleState();
    SetConsoleView(80, 25);
    state.attributes = 0x07;
    SetConsolePalette(StandardPalette);
}

}  // namespace sim
