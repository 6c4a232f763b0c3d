// Simulated console: the console window and the screen buffer behind
// "conout$", with its visible window, attributes and colour table.
#pragma once

#include "types.h"

typedef struct _COORD {
    SHORT X, Y;
} COORD;

typedef struct _SMALL_RECT {
    SHORT Left, Top, Right, Bottom;
} SMALL_RECT;

typedef struct _CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
} CONSOLE_SCREEN_BUFFER_INFO, *PCONSOLE_SCREEN_BUFFER_INFO;

typedef struct _CONSOLE_SCREEN_BUFFER_INFOEX {
    ULONG cbSize;
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
    WORD wPopupAttributes;
    BOOL bFullscreenSupported;
    COLORREF ColorTable[16];
} CONSOLE_SCREEN_BUFFER_INFOEX, *PCONSOLE_SCREEN_BUFFER_INFOEX;

static_assert(sizeof(CONSOLE_SCREEN_BUFFER_INFOEX) == 96, "the system's record size");

// The colour bits of a text attribute (the background's are these times 16).
#define FOREGROUND_BLUE 0x0001
#define FOREGROUND_GREEN 0x0002
#define FOREGROUND_RED 0x0004
#define FOREGROUND_INTENSITY 0x0008

HWND GetConsoleWindow(void);
BOOL GetConsoleScreenBufferInfo(HANDLE output, PCONSOLE_SCREEN_BUFFER_INFO info);
BOOL GetConsoleScreenBufferInfoEx(HANDLE output, PCONSOLE_SCREEN_BUFFER_INFOEX info);

namespace sim {

// The visible window of the buffer: `columns` by `rows` cells from
// `left`, `top` (a buffer of 120 by 3000 cells around it).
void SetConsoleView(int columns, int rows, int left = 0, int top = 0);
// Attributes: foreground colour index in bits 0-3, background in 4-7.
void SetConsoleAttributes(WORD attributes);
void SetConsolePalette(const COLORREF palette[16]);
// Makes every screen buffer query fail (error 6) while set.
void SetConsoleQueriesFail(bool fail);

// An open handle of the console's screen buffer, with at least `access`.
bool IsConsoleHandle(HANDLE handle, DWORD access = 0);

}  // namespace sim
