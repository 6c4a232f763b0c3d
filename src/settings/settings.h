// The one settings record, its defaults and the hotkey slot rules.
#pragma once

#include "platform.h"

const int HotkeySlots = 5;
const int MaxAltMarks = 16;
const int ConsoleColorCount = 16;
const DWORD HotkeyModeCount = 18;  // modes 0-17
const DWORD MaxColor = 0xFFFFFF;

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
extern const COLORREF DefaultTickrailColors[ConsoleColorCount];
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
