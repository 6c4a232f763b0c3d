// The one settings record, its defaults and the hotkey slot rules.
#pragma once

#include "platform.h"

const int HotkeySlots = 5;
const int MaxAltMarks = 16;
const int ConsoleColorCount = 16;
const DWORD HotkeyModeCount = 18;  // modes 0-17
const DWORD MaxColor = 0xFFFFFF;

// Defaults and ranges of the settings, shared by the reset, the registry
// load and the command.
const int DefaultHotkey = 0x10088;  // Shift-F12
const DWORD DefaultHotkeyMode = 1;
const COLORREF DefaultBackgroundColor = 0xE6E0B0;  // PowderBlue
const COLORREF DefaultHashColor = 0x000000;        // Black
const DWORD DefaultAlpha = 128;
const DWORD DefaultPenWidth = 1;
const COLORREF DefaultAltColor = 0xFFFFFF;  // White
const DWORD DefaultHookList = 1;
const DWORD MinAlpha = 64;
const DWORD MaxAlpha = 255;
const DWORD MaxPenWidth = 3;
const DWORD MaxRowOffset = 5;
const DWORD MaxStoredPosition = 3;  // the registry takes the named edges only
const DWORD MaxPosition = 4;        // the command also takes the unnamed 4

enum Position { PositionTop = 0, PositionBottom = 1, PositionLeft = 2, PositionRight = 3 };

struct SettingsRecord {
    int hotkeys[HotkeySlots];  // HostKeyCode per slot; 0 is no key
    DWORD hotkeyModes[HotkeySlots];
    DWORD transparencyMode;  // 0 colour key, 1 alpha
    COLORREF backgroundColor;
    COLORREF hashColor;
    DWORD alpha;
    DWORD penWidth;
    DWORD penWidth2;
    DWORD position;
    DWORD hiddenAtStartup;
    COLORREF tickrailColors[ConsoleColorCount];
    DWORD altColumnsCount;
    DWORD altRowsCount;
    COLORREF altColumnsColor;
    COLORREF altRowsColor;
    DWORD hookList;
    DWORD altColumns[MaxAltMarks];
    DWORD altRows[MaxAltMarks];
    DWORD enabled;
    DWORD rowOffset;
};

extern SettingsRecord Settings;
// The settings of a freshly loaded library; its tickrail colours by console
// background index are DefaultTickrailColors.
extern const SettingsRecord DefaultSettings;
extern const COLORREF* const DefaultTickrailColors;
extern const LPCWSTR HotkeyModeNames[HotkeyModeCount];

int ResetSettingsToDefaults(void);
bool IsSupportedHotkey(int code);
unsigned CompactHotkeys(void);

// Registry form of the settings, under SettingsKeyPath of HKCU or HKLM.
extern const WCHAR SettingsKeyPath[];
int LoadSettingsFromRegistry(HKEY root);
LSTATUS SaveSettingsToRegistry(HKEY root);
// -1 leaves a value as it is; always works on HKCU.
LSTATUS SaveStartupSettings(int hiddenAtStartup, int hookList);
