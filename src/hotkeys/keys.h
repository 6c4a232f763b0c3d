// The shell's key codes: the two generations of key tables, their names,
// and the text of a hotkey.
#pragma once

#include "platform.h"

const int ModifierColumns = 7;
const int NoKeyCode = -1;       // the combination has no code
const int KeyNotAllowed = -2;   // a typing key, never a hotkey
const int CtrlShiftFlag = 0x20000;
const int CtrlAltFlag = 0x40000;
const int CtrlAltShiftFlag = 0x60000;

// The tables hold hundreds of rows: packed to 4 bytes, a row takes no
// padding after its seven codes.
#pragma pack(push, 4)
struct KeyRow {
    LPCWSTR name;
    int codes[ModifierColumns];  // by modifier column; KeyTableV13 has no column 6
};
#pragma pack(pop)

extern const LPCWSTR ModifierPrefixes[ModifierColumns];

DWORD SelectKeyTable(void);
// Finds the cell of the active table that holds `code`; false when none.
bool FindKeyCell(int code, const KeyRow** row, int* column);
int HotkeyToText(int code, LPWSTR out);
// A key name as typed ("shift-f12", "Ctrl-Alt-Del") to its code; 0 for an
// unknown name or modifier combination, NoKeyCode or KeyNotAllowed.
int ParseHotkeyName(LPCWSTR text);
int ListHotkeys(void);

// Carries out what a hotkey of that mode does, and asks for a repaint.
int ApplyHotkeyMode(DWORD mode);
